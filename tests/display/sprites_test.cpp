// The sprite sheets and the drawing primitives of the frame loop: nothing is ever drawn in part.
#include "display/sprites.h"

#include <limits>

#include "tests/display/display_fixture.h"

namespace kraylo {
namespace {

constexpr uint32_t kInk = 0x00A0A0;  // a pixel value of every depth, never the key

uint32_t Gradient(int32_t x, int32_t y) {
  return (static_cast<uint32_t>(x * 40) << 16) | (static_cast<uint32_t>(y * 50) << 8) | 0x80;
}

// A .bmp of 24 or 32 bits showing Gradient; bottom row first unless `top_down`.
std::string BmpBytes(int32_t width, int32_t height, int bits, bool top_down = false) {
  std::string out = "BM";
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const auto row_bytes = static_cast<uint32_t>((width * bits + 31) / 32 * 4);
  const auto pixel_bytes = row_bytes * static_cast<uint32_t>(height);
  for (uint32_t field : {54 + pixel_bytes, 0u, 54u, 40u, static_cast<uint32_t>(width),
                         static_cast<uint32_t>(top_down ? -height : height)}) {
    put(field, 4);
  }
  put(1, 2);  // planes
  put(static_cast<uint32_t>(bits), 2);
  for (uint32_t field : {0u, pixel_bytes, 2835u, 2835u, 0u, 0u}) put(field, 4);
  for (int32_t row = 0; row < height; ++row) {
    const size_t start = out.size();
    for (int32_t x = 0; x < width; ++x)
      put(Gradient(x, top_down ? row : height - 1 - row), bits / 8);
    out.append(row_bytes - (out.size() - start), '\0');
  }
  return out;
}

class Sprites : public DisplayTest {
 protected:
  void SetUp() override { EnterMode(800, 600, 32); }

  // Loads the sheet `name` of the program folder as the ball sheet; the error it raised.
  std::optional<RunError> LoadBalls(const std::string& name) {
    return CaughtError([&] {
      display_.ball_sheet = CreateSurface(system_, display_, "\\dorvane\\graph\\" + name, 0);
    });
  }
  // Draws ball 1 at (x, y) from cell (row, col); the error number, 0 when it was drawn.
  int32_t DrawBallAt(double x, double y, int16_t row = 0, int16_t col = 1) {
    GameModel game;
    game.Balls(1).X = x;
    game.Balls(1).Y = y;
    return ErrorNumberOf([&] { DrawBall(display_, game, 1, row, col); });
  }
};

TEST_F(Sprites, ASheetLoadsWithEveryPixelInTheModesDepth) {
  for (int bits : {24, 32}) {
    for (bool top_down : {false, true}) {
      folder_.Write("dorvane/graph/made.bmp", BmpBytes(5, 3, bits, top_down));
      ASSERT_FALSE(LoadBalls("made.bmp"));
      for (int32_t i = 0; i < 15; ++i) {
        EXPECT_EQ(display_.ball_sheet->Pixel(i % 5, i / 5), Gradient(i % 5, i / 5)) << bits << i;
      }
    }
  }
  for (const char* name : {"balls.bmp", "cursor.bmp", "buttons.bmp"}) InstallSheet(name);
  for (int32_t bits : {16, 32}) {
    SetUpFullScreenDisplay(system_, display_, kMainWindow, 800, 600, bits);
    for (const auto& [name, width, height] :
         {std::tuple{"balls.bmp", 204, 204}, {"cursor.bmp", 30, 30}, {"buttons.bmp", 280, 160}}) {
      ASSERT_FALSE(LoadBalls(name));
      EXPECT_EQ(display_.ball_sheet->width(), width) << name;
      EXPECT_EQ(display_.ball_sheet->height(), height) << name;
      EXPECT_EQ(display_.ball_sheet->bits(), bits);
    }
  }
}

TEST_F(Sprites, ASheetThatIsNotAWholeBitmapStaysUnsetNamingTheFile) {
  const std::string good = BmpBytes(6, 4, 24);
  const auto changed = [&good](size_t at, char value) {
    std::string bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no such file
  } files[] = {
      {"missing.bmp", std::nullopt},
      {"empty.bmp", ""},
      {"cut-header.bmp", good.substr(0, 20)},
      {"cut-rows.bmp", good.substr(0, good.size() - 1)},
      {"text.bmp", "[Screen]\r\ndispX = 800\r\n"},
      {"magic.bmp", changed(0, 'X')},
      {"too-wide.bmp", changed(19, 0x40)},  // 16384 + 6 pixels
      {"no-height.bmp", changed(22, 0)},
      {"run-length.bmp", changed(30, 1)},
      {"data-past-end.bmp", changed(13, 0x7F)},
  };
  for (const auto& [name, bytes] : files) {
    if (bytes) folder_.Write(std::string("dorvane/graph/") + name, *bytes);
    const auto error = LoadBalls(name);
    ASSERT_TRUE(error) << name;
    EXPECT_EQ(error->number(), kErrBadSurfaceSize);
    EXPECT_NE(error->description().find(folder_.path() + "/dorvane/graph/" + name),
              std::string::npos)
        << error->description();
    EXPECT_EQ(display_.ball_sheet, nullptr);
  }
  EXPECT_EQ(DrawBallAt(400, 300), kErrNoSurface);
  EXPECT_EQ(LitArea(*display_.back_buffer), Rect{});
}

TEST_F(Sprites, ABallIsCentredWithHalvesRoundedToEvenAndNeverDrawnInPart) {
  display_.ball_sheet = SolidSheet(204, 204, 32, kInk);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double x, y;
    int32_t error, left = 0, top = 0;  // the corner drawn when there is no error
  } cases[] = {
      {151.5, 300, 0, 100, 249}, {152.5, 300, 0, 102, 249}, {151.6, 300, 0, 101, 249},
      {51, 300, 0, 0, 249},      {50.5, 50.5, 0, 0, 0},     {749.5, 549, 0, 698, 498},
      {50.4, 300, kErrBadRect},  {50, 300, kErrBadRect},    {400, 50.4, kErrBadRect},
      {749.6, 300, kErrBadRect}, {400, 549.6, kErrBadRect}, {-1e6, 300, kErrBadRect},
      {3e9, 300, kErrOverflow},  {-3e9, 300, kErrOverflow}, {nan, 300, kErrOverflow},
  };
  for (const auto& c : cases) {
    ClearBackBuffer(display_.back_buffer);
    EXPECT_EQ(DrawBallAt(c.x, c.y), c.error) << c.x << "," << c.y;
    EXPECT_EQ(LitArea(*display_.back_buffer),
              (c.error != 0 ? Rect{} : Rect{c.left, c.top, c.left + 102, c.top + 102}))
        << c.x << "," << c.y;
  }
}

TEST_F(Sprites, CellArithmeticOverflowsSixteenBits) {
  display_.ball_sheet = SolidSheet(204, 204, 32, kInk);
  display_.button_sheet = SolidSheet(280, 160, 32, kInk);
  const struct {
    int16_t row, col;
    int32_t error;
  } cells[] = {
      {322, 0, kErrOverflow},  {0, 322, kErrOverflow}, {321, 0, kErrOverflow},
      {-322, 0, kErrOverflow}, {320, 0, kErrBadRect},  // 320 x 102 + 102 still fits
  };
  for (const auto& c : cells) {
    EXPECT_EQ(DrawBallAt(300, 300, c.row, c.col), c.error) << c.row << "," << c.col;
  }
  for (int16_t index : {int16_t{1024}, int16_t{-1024}}) {
    EXPECT_EQ(ErrorNumberOf([&] { DrawButton(display_, 0, 0, 330, 250, index); }), kErrOverflow);
  }
  EXPECT_EQ(ErrorNumberOf([&] { DrawButton(display_, 0, 0, 330, 250, 6); }), kErrBadRect);
  EXPECT_EQ(LitArea(*display_.back_buffer), Rect{});
}

TEST_F(Sprites, APointerIsDrawnUpToTheEdgesAndNeverClipped) {
  display_.cursor_sheet = SolidSheet(30, 30, 32, kInk);
  const struct {
    int16_t x, y;
    int32_t left, top, size, error;
  } cases[] = {
      {770, 570, 0, 0, 30, 0},         {0, 0, 0, 0, 30, 0},
      {771, 0, 0, 0, 30, kErrBadRect}, {0, 571, 0, 0, 30, kErrBadRect},
      {-1, 0, 0, 0, 30, kErrBadRect},  {0, -1, 0, 0, 30, kErrBadRect},
      {0, 0, 1, 0, 30, kErrBadRect},   {0, 0, 0, 1, 30, kErrBadRect},
      {0, 0, -1, 0, 30, kErrBadRect},  {0, 0, 0, 0, 0, kErrBadRect},
      {0, 0, 0, 0, -5, kErrBadRect},   {0, 0, INT32_MAX, 0, 1, kErrOverflow},
  };
  for (const auto& c : cases) {
    ClearBackBuffer(display_.back_buffer);
    EXPECT_EQ(ErrorNumberOf([&] { DrawCursor(display_, c.x, c.y, c.left, c.top, c.size); }),
              c.error);
    const Rect drawn = c.error != 0 ? Rect{} : Rect{c.x, c.y, c.x + 30, c.y + 30};
    EXPECT_EQ(LitArea(*display_.back_buffer), drawn) << c.x << "," << c.y << " " << c.left;
  }
}

TEST_F(Sprites, TheKeyBlackOfASheetLeavesTheBackBufferAsItWasAtSixteenAndThirtyTwoBits) {
  for (int32_t bits : {16, 32}) {
    SetUpFullScreenDisplay(system_, display_, kMainWindow, 400, 300, bits);
    display_.ball_sheet = SolidSheet(204, 204, bits, kInk);
    display_.ball_sheet->Fill(Rect{0, 0, 51, 204}, 0);  // the left half of column 0 is black
    display_.back_buffer->Fill(Rect{0, 0, 400, 300}, 0x1F);
    ASSERT_EQ(DrawBallAt(200, 150, 1, 0), 0);
    EXPECT_EQ(LitArea(*display_.back_buffer, 0x1F), (Rect{200, 99, 251, 201})) << bits;
  }
}

}  // namespace
}  // namespace kraylo
