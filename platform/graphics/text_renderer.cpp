#include "platform/graphics/text_renderer.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

#include "platform/graphics/pixels.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

// The cache of rendered texts is dropped as a whole beyond either bound; a frame draws a few
// dozen texts at most, so the bounds are reached only by texts that change every frame.
constexpr size_t kMaxCachedPictures = 512;
constexpr size_t kMaxCachedPixels = size_t{8} << 20;  // pixel values (4 bytes each)
constexpr int kMaxPoints = 1000;
constexpr unsigned kDotsPerInch = 96;

// A stretch of non-black pixels along one row of a rendered text.
struct Run {
  int32_t x = 0;
  int32_t y = 0;
  int32_t length = 0;
  size_t offset = 0;  // index of the first pixel in Picture::pixels
};

// A text rendered in one surface format, reduced to the pixels that are not black.
struct Picture {
  std::vector<Run> runs;
  std::vector<uint32_t> pixels;
};

std::string Describe(const Font& font) {
  return "\"" + font.face + "\" " + std::to_string(font.points) + " points" +
         (font.bold ? " bold" : "");
}

// The lines of a text; CR LF, a lone LF and a lone CR each end a line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

// Appends one rendered line at `top`, its letters composed on black in the format of `bits`.
void AppendLine(Picture& picture, const SDL_Surface& line, int32_t top, int32_t bits) {
  for (int32_t row = 0; row < line.h; ++row) {
    const auto* pixels = reinterpret_cast<const uint32_t*>(
        static_cast<const uint8_t*>(line.pixels) + static_cast<size_t>(row) * line.pitch);
    bool in_run = false;
    for (int32_t x = 0; x < line.w; ++x) {
      const uint32_t argb = pixels[x];
      const uint32_t alpha = argb >> 24;
      const auto scaled = [&](int shift) {
        return (((argb >> shift) & 0xFFu) * alpha + 127) / 255;
      };
      const uint32_t value = PixelOf(bits, scaled(16), scaled(8), scaled(0));
      if (value == 0) {
        in_run = false;
        continue;
      }
      if (!in_run) picture.runs.push_back({x, top + row, 0, picture.pixels.size()});
      in_run = true;
      picture.runs.back().length += 1;
      picture.pixels.push_back(value);
    }
  }
}

class SdlTextRenderer final : public TextRenderer {
 public:
  SdlTextRenderer() : ready_(TTF_Init() == 0), init_error_(ready_ ? "" : TTF_GetError()) {}

  ~SdlTextRenderer() override {
    for (auto& [key, font] : fonts_) {
      if (font != nullptr) TTF_CloseFont(font);
    }
    if (ready_) TTF_Quit();
  }

  SdlTextRenderer(const SdlTextRenderer&) = delete;
  SdlTextRenderer& operator=(const SdlTextRenderer&) = delete;

  void Draw(Surface& target, int32_t x, int32_t y, std::string_view text, const Font& font,
            int32_t color) override {
    if (text.empty()) return;
    const Picture& picture = Rendered(font, color, text, target.bits());
    const int64_t width = target.width();
    for (const Run& run : picture.runs) {
      const int64_t row = int64_t{y} + run.y;
      if (row < 0 || row >= target.height()) continue;
      const int64_t first = int64_t{x} + run.x;
      const int64_t start = std::max<int64_t>(first, 0);
      const int64_t end = std::min<int64_t>(first + run.length, width);
      if (start >= end) continue;
      std::memcpy(target.Row(static_cast<int32_t>(row)) + start,
                  &picture.pixels[run.offset + static_cast<size_t>(start - first)],
                  static_cast<size_t>(end - start) * sizeof(uint32_t));
    }
  }

  int32_t Width(std::string_view text, const Font& font) override {
    TTF_Font* ttf = OpenFont(font);
    int32_t widest = 0;
    for (const std::string& line : SplitLines(text)) {
      int width = 0;
      if (!line.empty() && TTF_SizeUTF8(ttf, line.c_str(), &width, nullptr) != 0) {
        Raise(kErrText, "The width of \"" + line + "\" in " + Describe(font) +
                            " cannot be measured: " + TTF_GetError());
      }
      widest = std::max(widest, static_cast<int32_t>(width));
    }
    return widest;
  }

 private:
  const Picture& Rendered(const Font& font, int32_t color, std::string_view text, int32_t bits) {
    std::string key = font.face;
    key += '\0';
    key += std::to_string(font.points) + (font.bold ? "b" : "r") + std::to_string(color) + "/" +
           std::to_string(bits);
    key += '\0';
    key += text;
    if (auto found = pictures_.find(key); found != pictures_.end()) return found->second;
    Picture picture = Render(OpenFont(font), font, color, text, bits);
    if (pictures_.size() >= kMaxCachedPictures ||
        cached_pixels_ + picture.pixels.size() > kMaxCachedPixels) {
      pictures_.clear();
      cached_pixels_ = 0;
    }
    cached_pixels_ += picture.pixels.size();
    return pictures_.emplace(std::move(key), std::move(picture)).first->second;
  }

  Picture Render(TTF_Font* ttf, const Font& font, int32_t color, std::string_view text,
                 int32_t bits) {
    const SDL_Color ink{static_cast<uint8_t>(PackedRed(color)),
                        static_cast<uint8_t>(PackedGreen(color)),
                        static_cast<uint8_t>(PackedBlue(color)), 255};
    Picture picture;
    int32_t top = 0;
    for (const std::string& line : SplitLines(text)) {
      if (!line.empty() && line.front() != '\0') {
        SDL_Surface* rendered = TTF_RenderUTF8_Blended(ttf, line.c_str(), ink);
        SDL_Surface* argb = rendered == nullptr
                                ? nullptr
                                : SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (argb == nullptr) {
          Raise(kErrText, "The text \"" + line + "\" could not be drawn in " + Describe(font) +
                              ": " + SDL_GetError());
        }
        AppendLine(picture, *argb, top, bits);
        SDL_FreeSurface(argb);
      }
      top += TTF_FontLineSkip(ttf);
    }
    return picture;
  }

  // The open font for `font`; raises kErrText when none can be had.
  TTF_Font* OpenFont(const Font& font) {
    if (!ready_) {
      Raise(kErrText, "Text cannot be drawn: the font library did not start: " + init_error_);
    }
    if (font.points < 1 || font.points > kMaxPoints) {
      Raise(kErrText, "Text cannot be drawn in " + Describe(font) + ": the size must be 1 to " +
                          std::to_string(kMaxPoints) + " points");
    }
    const auto key = std::make_tuple(font.face, font.points, font.bold);
    auto [slot, fresh] = fonts_.try_emplace(key, nullptr);
    if (fresh) slot->second = OpenBestFile(font);
    if (slot->second == nullptr) {
      Raise(kErrText, "Text cannot be drawn: no font file was found for " + Describe(font) + " (" +
                          kFontsLookedFor + ")");
    }
    return slot->second;
  }

  static TTF_Font* OpenBestFile(const Font& font) {
    for (const FontFile& file : FontFilesFor(font)) {
      TTF_Font* opened = TTF_OpenFontIndexDPI(file.path.c_str(), font.points, file.index,
                                              kDotsPerInch, kDotsPerInch);
      if (opened == nullptr) continue;
      // SDL_ttf emboldens only faces that are not bold already.
      if (font.bold) TTF_SetFontStyle(opened, TTF_STYLE_BOLD);
      return opened;
    }
    return nullptr;
  }

  bool ready_;
  std::string init_error_;
  std::map<std::tuple<std::string, int, bool>, TTF_Font*> fonts_;
  std::unordered_map<std::string, Picture> pictures_;
  size_t cached_pixels_ = 0;
};

}  // namespace

std::unique_ptr<TextRenderer> CreateTextRenderer() { return std::make_unique<SdlTextRenderer>(); }

}  // namespace kraylo
