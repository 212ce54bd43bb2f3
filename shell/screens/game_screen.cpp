// The menu and the game screen with its debug overlay.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "display/field_messages.h"
#include "display/sprites.h"
#include "display/timeline_bar.h"
#include "platform/run_error.h"
#include "shell/screens/screens.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// RGB(20, 255, 20), packed red + 256 * green + 65536 * blue.
constexpr int32_t kOverlayColor = 20 + 256 * 255 + 65536 * 20;
constexpr int32_t kOverlayX = 10;  // pixels
// The kind of game's own overlay lines start below the balls' nine, one row apart (pixels).
constexpr int32_t kMatchLinesY = 225;
constexpr int32_t kMatchLineHeight = 20;
// The corner note's top above the field's bottom (pixels).
constexpr int32_t kCornerNoteRise = 24;

enum class NumberForm { kPlain, kOneDecimal };

struct OverlayLine {
  int32_t y;  // pixels
  const char* label;
  double (*value)(const GameModel& game);
  NumberForm form;
};

const std::array<OverlayLine, 9> kOverlayLines = {{
    {30, "Time To Drop: ", [](const GameModel& g) -> double { return g.TimeToDrop; },
     NumberForm::kPlain},
    {55, "Player 1 X: ", [](const GameModel& g) { return g.Balls(1).X; }, NumberForm::kPlain},
    {75, "Player 1 Y: ", [](const GameModel& g) { return g.Balls(1).Y; }, NumberForm::kPlain},
    {95, "Player 1 MX: ", [](const GameModel& g) { return g.Balls(1).MX; },
     NumberForm::kOneDecimal},
    {115, "Player 1 MY: ", [](const GameModel& g) { return g.Balls(1).MY; },
     NumberForm::kOneDecimal},
    {140, "Player 2 X: ", [](const GameModel& g) { return g.Balls(2).X; }, NumberForm::kPlain},
    {160, "Player 2 Y: ", [](const GameModel& g) { return g.Balls(2).Y; }, NumberForm::kPlain},
    {180, "Player 2 MX: ", [](const GameModel& g) { return g.Balls(2).MX; },
     NumberForm::kOneDecimal},
    {200, "Player 2 MY: ", [](const GameModel& g) { return g.Balls(2).MY; },
     NumberForm::kOneDecimal},
}};

std::string OverlayText(const OverlayLine& line, const GameModel& game, char separator) {
  const double value = line.value(game);
  return line.label +
         (line.form == NumberForm::kPlain ? PlainForm(value) : OneDecimalForm(value, separator));
}

// Positions and velocities of balls 1 and 2 in the log's font; the text colour is put back.
void DrawDebugOverlay(Program& program, int32_t& saved_fore_color) {
  DisplayState& display = program.display;
  Guarded([&] { saved_fore_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] { BackBuffer(display).SetForeColor(kOverlayColor); });
  Guarded([&] { BackBuffer(display).SetFont(LogFont()); });
  const char separator = program.system.DecimalSeparator();
  for (const OverlayLine& line : kOverlayLines) {
    Guarded([&] {
      BackBuffer(display).DrawText(kOverlayX, line.y, OverlayText(line, program.game, separator));
    });
  }
  int32_t y = kMatchLinesY;
  for (const std::string& line : program.match->OverlayLines()) {
    Guarded([&] { BackBuffer(display).DrawText(kOverlayX, y, line); });
    y += kMatchLineHeight;
  }
  Guarded([&] { BackBuffer(display).SetForeColor(saved_fore_color); });
}

// What the kind of game has to say, in the window's face across the field.
void DrawMessages(Program& program, const std::vector<std::string>& messages, int32_t middle) {
  if (messages.empty()) return;
  DisplayState& display = program.display;
  int32_t saved_color = 0;
  Guarded([&] { saved_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] {
    DrawFieldMessages(BackBuffer(display), program.game.ScreenWidth, program.game.ScreenHeight,
                      messages, middle);
  });
  Guarded([&] { BackBuffer(display).SetForeColor(saved_color); });
}

// The game's messages and the address screen's: a quarter of the way down.
void DrawMessages(Program& program, const std::vector<std::string>& messages) {
  DrawMessages(program, messages, program.game.ScreenHeight / 4);
}

// The kind of game's corner note, low on the left in the overlay's colour and the log's font.
void DrawCornerNote(Program& program, const std::string& note) {
  if (note.empty()) return;
  DisplayState& display = program.display;
  int32_t saved_color = 0;
  Guarded([&] { saved_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] { BackBuffer(display).SetForeColor(kOverlayColor); });
  Guarded([&] { BackBuffer(display).SetFont(LogFont()); });
  Guarded([&] {
    BackBuffer(display).DrawText(kOverlayX, program.game.ScreenHeight - kCornerNoteRise, note);
  });
  Guarded([&] { BackBuffer(display).SetForeColor(saved_color); });
}

// A replay's timeline bar over the bottom of the field; the text colour is put back.
void DrawBar(Program& program, const TimelineBar& bar) {
  DisplayState& display = program.display;
  int32_t saved_color = 0;
  Guarded([&] { saved_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] {
    DrawTimelineBar(BackBuffer(display), program.game.ScreenWidth, program.game.ScreenHeight, bar);
  });
  Guarded([&] { BackBuffer(display).SetForeColor(saved_color); });
}

// Sprite column of a ball: 0 is the look of the ball that lost the round, 1 the ordinary look.
constexpr int16_t kLosingColumn = 0;
constexpr int16_t kOrdinaryColumn = 1;

}  // namespace

void DrawAddressScreen(Program& program) {
  if (program.address_entry) DrawMessages(program, AddressLines(*program.address_entry));
}

void DrawMenu(Program& program) {
  const ScreenState& screen = program.screen;
  for (int i = 0; i < kMenuButtonCount; ++i) {
    Guarded([&] {
      DrawButton(program.display, screen.MouseX, screen.MouseY, screen.MenuX, kMenuButtonTops[i],
                 static_cast<int16_t>(i + 1));
    });
  }
}

void DrawGameScreen(Program& program, int32_t& saved_fore_color) {
  const GameModel& game = program.game;
  // Ball 1 first, so that ball 2 lies on top where they overlap; sprite row = index - 1.
  for (int16_t index = 1; index <= 2; ++index) {
    const bool visible = game.Balls(index).Visible;
    const auto row = static_cast<int16_t>(index - 1);
    if (game.Dropped) {
      // During the count-down both balls are drawn whatever their flags say.
      const bool lost = visible && game.DroppedPlayer == index;
      Guarded([&] {
        DrawBall(program.display, game, index, row, lost ? kLosingColumn : kOrdinaryColumn);
      });
    } else if (visible) {
      Guarded([&] { DrawBall(program.display, game, index, row, kOrdinaryColumn); });
    }
  }
  DrawMessages(program, program.match->Messages());
  DrawCornerNote(program, program.match->CornerNote());
  if (game.ShowDebug) DrawDebugOverlay(program, saved_fore_color);
  if (const std::optional<TimelineBar> bar = program.match->Bar()) DrawBar(program, *bar);
}

void DrawSoundNote(Program& program) {
  // Low on the screen, clear of the menu's buttons and of the game's own messages.
  if (const std::optional<const char*> note = SoundNote(program)) {
    DrawMessages(program, {*note}, program.game.ScreenHeight * 7 / 8);
  }
}

}  // namespace kraylo
