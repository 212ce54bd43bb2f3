// Draws the three sprite sheets of the data folder: balls.bmp, cursor.bmp and buttons.bmp, 24-bit.
// Usage: make_sprites <folder>   (the build's `sprites` target writes dorvane/graph)
// Pixel value 0 is transparent in the game, so nothing inside a sprite is ever pure black, and
// every colour used stays non-black after reduction to 16-bit RGB565.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/graphics/text_renderer.h"
#include "tools/art/sprite_art.h"

namespace {

using kraylo::art::Color;
using kraylo::art::kPlayerColors;
using kraylo::art::Mix;
using kraylo::art::Scale;
using kraylo::art::ShadedSphere;

// A picture under construction, 0xRRGGBB per pixel; 0 stays transparent.
class Sheet {
 public:
  Sheet(int width, int height)
      : width_(width),
        height_(height),
        pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0) {}

  void Set(int x, int y, const Color& c) {
    // At least 8 in one channel keeps the pixel visible (non-zero) in RGB565 too.
    auto channel = [](double v) {
      return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    uint32_t r = channel(c.r), g = channel(c.g), b = channel(c.b);
    if (std::max({r, g, b}) < 8) r = g = b = 8;
    pixels_[Index(x, y)] = (r << 16) | (g << 8) | b;
  }
  Color Get(int x, int y) const {
    const uint32_t p = pixels_[Index(x, y)];
    return {double((p >> 16) & 0xFF), double((p >> 8) & 0xFF), double(p & 0xFF)};
  }

  bool Save(const std::string& path) const {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width_, height_, 24, SDL_PIXELFORMAT_BGR24);
    if (surface == nullptr) return false;
    for (int y = 0; y < height_; ++y) {
      auto* row =
          static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch;
      for (int x = 0; x < width_; ++x) {
        const uint32_t p = pixels_[Index(x, y)];
        row[x * 3 + 0] = static_cast<uint8_t>(p & 0xFF);
        row[x * 3 + 1] = static_cast<uint8_t>((p >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<uint8_t>((p >> 16) & 0xFF);
      }
    }
    const bool saved = SDL_SaveBMP(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
  }

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }
  int width_;
  int height_;
  std::vector<uint32_t> pixels_;
};

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// ---- Balls: 102 x 102 cells; row 0 player 1 (blue), row 1 player 2 (orange); column 0 the
// look of the ball that lost the round (grey, cracked, a red X), column 1 the normal look.

constexpr int kBall = 102;
constexpr double kRadius = 51;

void DrawBallCell(Sheet& sheet, int left, int top, const Color& base, bool lost) {
  // Cracks run from a point of impact; the X marks the loser from afar.
  const double cracks[][4] = {{52, 44, 30, 20}, {30, 20, 22, 8},  {52, 44, 80, 30},
                              {80, 30, 92, 36}, {52, 44, 60, 78}, {60, 78, 52, 96},
                              {52, 44, 18, 60}, {18, 60, 8, 56},  {60, 78, 76, 86}};
  for (int y = 0; y < kBall; ++y) {
    for (int x = 0; x < kBall; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double dx = (px - kRadius) / kRadius, dy = (py - kRadius) / kRadius;
      const double distance = std::hypot(dx, dy) * kRadius;
      if (distance > kRadius) continue;
      Color c = ShadedSphere(base, dx, dy);
      if (lost) {
        const double grey = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
        c = Scale(Mix(Color{grey, grey, grey}, c, 0.25), 0.8);
        for (const auto& k : cracks) {
          if (SegmentDistance(px, py, k[0], k[1], k[2], k[3]) < 1.0) c = Color{40, 40, 44};
        }
        const double arm = std::max(std::abs(px - 51) - 32, std::abs(py - 51) - 32);
        const double stroke =
            std::min(std::abs((px - 51) - (py - 51)), std::abs((px - 51) + (py - 51)));
        if (arm < 0 && stroke < 6) c = Color{205, 30, 30};
      }
      // A darker rim keeps the disc's edge crisp on black and on the other ball.
      if (distance > kRadius - 1.5) c = Scale(c, 0.6);
      sheet.Set(left + x, top + y, c);
    }
  }
}

Sheet MakeBalls() {
  Sheet sheet(2 * kBall, 2 * kBall);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) {
      DrawBallCell(sheet, col * kBall, row * kBall, kPlayerColors[row], col == 0);
    }
  }
  return sheet;
}

// ---- Pointer: a 30 x 30 arrow whose tip, the hot spot, is the top-left pixel.

bool InsideArrow(double x, double y) {
  const double outline[][2] = {{0, 0}, {0, 25}, {6, 19}, {10, 28}, {14, 26}, {10, 18}, {18, 18}};
  const int count = 7;
  bool inside = false;
  for (int i = 0, j = count - 1; i < count; j = i++) {
    const double xi = outline[i][0], yi = outline[i][1], xj = outline[j][0], yj = outline[j][1];
    if (SegmentDistance(x, y, xi, yi, xj, yj) < 0.5) return true;  // edges belong to the arrow
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

Sheet MakeCursor() {
  constexpr int kSize = 30;
  Sheet sheet(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (!InsideArrow(x, y)) continue;
      const bool edge = x == 0 || y == 0 || !InsideArrow(x - 1, y) || !InsideArrow(x + 1, y) ||
                        !InsideArrow(x, y - 1) || !InsideArrow(x, y + 1);
      sheet.Set(x, y, edge ? Color{64, 64, 64} : Color{255, 255, 255});
    }
  }
  return sheet;
}

// ---- Buttons: five 140 x 32 cells; column 0 normal, column 1 highlighted.

constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 32;

struct ButtonLook {
  Color border, top, bottom, label;
};

bool InsideRoundedCell(int x, int y) {
  constexpr double kCorner = 7;
  const double cx = std::clamp(x + 0.5, kCorner, kButtonWidth - kCorner);
  const double cy = std::clamp(y + 0.5, kCorner, kButtonHeight - kCorner);
  return std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= kCorner;
}

// Blends a rendered label (alpha from SDL_ttf) centred into a cell.
void DrawLabel(Sheet& sheet, int left, int top, TTF_Font* font, const char* text,
               const Color& ink) {
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text, SDL_Color{255, 255, 255, 255});
  SDL_Surface* argb =
      rendered ? SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  SDL_FreeSurface(rendered);
  if (argb == nullptr) return;
  const int x0 = left + (kButtonWidth - argb->w) / 2;
  const int y0 = top + (kButtonHeight - argb->h) / 2;
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        static_cast<ptrdiff_t>(y) * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      const int sx = x0 + x, sy = y0 + y;
      if (sx <= left || sy <= top || sx >= left + kButtonWidth - 1 ||
          sy >= top + kButtonHeight - 1) {
        continue;
      }
      const double alpha = (row[x] >> 24) / 255.0;
      if (alpha > 0) sheet.Set(sx, sy, Mix(sheet.Get(sx, sy), ink, alpha));
    }
  }
  SDL_FreeSurface(argb);
}

Sheet MakeButtons(TTF_Font* font) {
  const char* labels[] = {"Play", "Empty Screen", "Does Nothing", "Credits", "Quit"};
  const ButtonLook looks[] = {
      {{130, 150, 185}, {70, 82, 118}, {32, 40, 64}, {236, 240, 255}},  // normal
      {{255, 235, 160}, {252, 196, 70}, {205, 122, 22}, {24, 26, 64}},  // highlighted
  };
  Sheet sheet(2 * kButtonWidth, 5 * kButtonHeight);
  for (int row = 0; row < 5; ++row) {
    for (int col = 0; col < 2; ++col) {
      const ButtonLook& look = looks[col];
      const int left = col * kButtonWidth, top = row * kButtonHeight;
      for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
          if (!InsideRoundedCell(x, y)) continue;
          const bool border = !InsideRoundedCell(x - 1, y) || !InsideRoundedCell(x + 1, y) ||
                              !InsideRoundedCell(x, y - 1) || !InsideRoundedCell(x, y + 1) ||
                              x == 0 || y == 0 || x == kButtonWidth - 1 || y == kButtonHeight - 1;
          const double t = static_cast<double>(y) / (kButtonHeight - 1);
          sheet.Set(left + x, top + y, border ? look.border : Mix(look.top, look.bottom, t));
        }
      }
      DrawLabel(sheet, left, top, font, labels[row], look.label);
    }
  }
  return sheet;
}

TTF_Font* OpenLabelFont() {
  const kraylo::Font label{"Tahoma", 13, true};
  for (const kraylo::FontFile& file : kraylo::FontFilesFor(label)) {
    if (TTF_Font* font =
            TTF_OpenFontIndexDPI(file.path.c_str(), label.points, file.index, 96, 96)) {
      TTF_SetFontStyle(font, TTF_STYLE_BOLD);
      return font;
    }
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "The font library did not start: %s\n", TTF_GetError());
    return 1;
  }
  TTF_Font* font = OpenLabelFont();
  if (font == nullptr) {
    std::fprintf(stderr, "No font for the button labels was found\n");
    return 1;
  }
  const bool saved = MakeBalls().Save(folder + "/balls.bmp") &&
                     MakeCursor().Save(folder + "/cursor.bmp") &&
                     MakeButtons(font).Save(folder + "/buttons.bmp");
  TTF_CloseFont(font);
  TTF_Quit();
  if (!saved) {
    std::fprintf(stderr, "The sheets could not be written to %s: %s\n", folder.c_str(),
                 SDL_GetError());
    return 1;
  }
  return 0;
}
