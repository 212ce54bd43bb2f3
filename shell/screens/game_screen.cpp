// The menu and the game screen with its debug overlay.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "display/corner_note.h"
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

struct OverlayRow {
  int32_t y;  // pixels
  std::string text;
};

// Positions and velocities of balls 1 and 2, then the kind of game's own lines.
std::vector<OverlayRow> OverlayRows(Program& program) {
  std::vector<std::string> match_lines = program.match->OverlayLines();
  std::vector<OverlayRow> rows;
  rows.reserve(kOverlayLines.size() + match_lines.size());
  const char separator = program.system.DecimalSeparator();
  for (const OverlayLine& line : kOverlayLines) {
    rows.push_back({line.y, OverlayText(line, program.game, separator)});
  }
  int32_t y = kMatchLinesY;
  for (std::string& line : match_lines) {
    rows.push_back({y, std::move(line)});
    y += kMatchLineHeight;
  }
  return rows;
}

// The overlay in the log's font; the text colour is put back.
void DrawDebugOverlay(Program& program, int32_t& saved_fore_color) {
  DisplayState& display = program.display;
  Guarded([&] { saved_fore_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] { BackBuffer(display).SetForeColor(kOverlayColor); });
  Guarded([&] { BackBuffer(display).SetFont(LogFont()); });
  for (const OverlayRow& row : OverlayRows(program)) {
    Guarded([&] { BackBuffer(display).DrawText(kOverlayX, row.y, row.text); });
  }
  Guarded([&] { BackBuffer(display).SetForeColor(saved_fore_color); });
}

// What the screen shows that a note must not cover: the menu's buttons, the credits' lines, the
// overlay.
std::vector<Rect> TakenAreas(Program& program) {
  const ScreenState& screen = program.screen;
  std::vector<Rect> taken;
  switch (screen.Shown) {
    case kMenuScreen:
      for (const int16_t top : kMenuButtonTops) {
        taken.push_back({screen.MenuX, top, screen.MenuX + kButtonWidth, top + kButtonHeight});
      }
      break;
    case kCreditsScreen:
      taken = CreditsAreas(program);
      break;
    case kGameScreen:
      if (!program.game.ShowDebug) break;
      for (const OverlayRow& row : OverlayRows(program)) {
        Guarded([&] {
          taken.push_back(
              TextArea(BackBuffer(program.display), LogFont(), kOverlayX, row.y, row.text));
        });
      }
      break;
    default:
      break;
  }
  return taken;
}

// What the kind of game has to say, in the window's face across the field.
void DrawMessages(Program& program, const std::vector<std::string>& messages, int32_t middle,
                  const std::string& headline = {}) {
  if (messages.empty() && headline.empty()) return;
  DisplayState& display = program.display;
  int32_t saved_color = 0;
  Guarded([&] { saved_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] {
    DrawFieldMessages(BackBuffer(display), program.game.ScreenWidth, program.game.ScreenHeight,
                      messages, middle, headline);
  });
  Guarded([&] { BackBuffer(display).SetForeColor(saved_color); });
}

// The game's messages and the address screen's: a quarter of the way down.
void DrawMessages(Program& program, const std::vector<std::string>& messages,
                  const std::string& headline = {}) {
  DrawMessages(program, messages, program.game.ScreenHeight / 4, headline);
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
  DrawMessages(program, program.match->Messages(), program.match->Headline());
  DrawCornerNote(program, program.match->CornerNote());
  if (game.ShowDebug) DrawDebugOverlay(program, saved_fore_color);
  if (const std::optional<TimelineBar> bar = program.match->Bar()) DrawBar(program, *bar);
}

void DrawSoundNote(Program& program) {
  const std::optional<const char*> note = SoundNote(program);
  if (!note) return;
  const std::vector<Rect> taken = TakenAreas(program);
  DisplayState& display = program.display;
  int32_t saved_color = 0;
  Guarded([&] { saved_color = BackBuffer(display).GetForeColor(); });
  Guarded([&] {
    DrawCornerNote(BackBuffer(display), program.game.ScreenWidth, program.game.ScreenHeight, *note,
                   taken);
  });
  Guarded([&] { BackBuffer(display).SetForeColor(saved_color); });
}

}  // namespace kraylo
