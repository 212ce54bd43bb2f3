// The pads as both backends keep them: which pad steers which ball as pads come and go, the
// stick's dead zone, and what a player's pad holds, only while the window has the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/pads_core.h"

namespace kraylo {
namespace {

constexpr uint8_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;

// A pads core that reads no mapping files.
class Pads final : public PadsCore {
 public:
  Pads() { SetFocus(true); }
  int AddMappings(const std::string&) override { return 0; }
};

// The players of the connected pads, in the order they were plugged in.
std::vector<int> Players(const Pads& pads) {
  std::vector<int> players;
  for (const PadInfo& pad : pads.Connected()) players.push_back(pad.player);
  return players;
}

TEST(PadSeats, FirstPadPlayerOneSecondPlayerTwoAndAnUnpluggedPadFreesItsPlayer) {
  // Each step plugs in (+id) or unplugs (-id) a pad; then the players of pads 1 to 4 (0: none).
  const struct {
    const char* what;
    std::vector<int> steps;
    std::vector<int> players;  // of pads 1, 2, 3, 4
  } cases[] = {
      {"one pad", {+1}, {1, 0, 0, 0}},
      {"two pads", {+1, +2}, {1, 2, 0, 0}},
      {"a third pad waits without a ball", {+1, +2, +3}, {1, 2, 0, 0}},
      {"unplugging the first frees player 1 only", {+1, +2, -1}, {0, 2, 0, 0}},
      {"the next pad plugged in takes the free player", {+1, +2, -1, +3}, {0, 2, 1, 0}},
      {"plugged in again, a pad gets its ball back", {+1, +2, -1, +1}, {1, 2, 0, 0}},
      {"the lowest free player first", {+1, +2, -2, -1, +3, +4}, {0, 0, 1, 2}},
      {"a waiting pad is not moved up", {+1, +2, +3, -1}, {0, 2, 0, 0}},
      {"after all that, a new pad", {+1, +2, +3, -1, +4}, {0, 2, 0, 1}},
      {"a pad plugged in twice keeps its one player", {+1, +1, +2}, {1, 2, 0, 0}},
      {"unplugging an unknown pad changes nothing", {+1, -7}, {1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    PadSeats seats;
    for (int step : c.steps) {
      if (step > 0) seats.Connect(step);
      if (step < 0) seats.Disconnect(-step);
    }
    std::vector<int> players;
    for (PadId pad = 1; pad <= 4; ++pad) players.push_back(seats.PlayerOf(pad));
    EXPECT_EQ(players, c.players) << c.what;
    for (int player = 1; player <= 2; ++player) {
      const auto seated = std::find(c.players.begin(), c.players.end(), player);
      const std::optional<PadId> expected =
          seated == c.players.end() ? std::nullopt
                                    : std::optional<PadId>(seated - c.players.begin() + 1);
      EXPECT_EQ(seats.PadOf(player), expected) << c.what << ", player " << player;
    }
  }
  EXPECT_EQ(PadSeats().PadOf(0), std::nullopt);
  EXPECT_EQ(PadSeats().PadOf(3), std::nullopt);
}

TEST(StickDirections, AnAxisBeyond8000HoldsItsDirectionAndNotAtOrInside) {
  const struct {
    int16_t x, y;
    uint8_t held;
  } cases[] = {
      {0, 0, 0},
      {8000, 0, 0},
      {8001, 0, kRight},
      {-8000, 0, 0},
      {-8001, 0, kLeft},
      {0, 8000, 0},
      {0, 8001, kDown},
      {0, -8000, 0},
      {0, -8001, kUp},
      {32767, 32767, kRight | kDown},
      {-32768, -32768, kLeft | kUp},
      {-32768, 7999, kLeft},
      {7999, -7999, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StickDirections(c.x, c.y), c.held) << c.x << ", " << c.y;
  }
}

TEST(PadsCore, DpadAndStickTogetherBackApartAndOnlyThePlayersOwnPad) {
  Pads pads;
  pads.Connect(10, "Pad A");
  pads.Connect(20, "Pad B");
  pads.SetButton(10, PadButton::kDpadLeft, true);
  pads.SetAxis(10, PadAxis::kLeftY, -20000);
  pads.SetButton(20, PadButton::kBack, true);
  pads.SetAxis(20, PadAxis::kLeftX, 8000);  // just inside the dead zone
  EXPECT_EQ(pads.Held(1).directions, kLeft | kUp);
  EXPECT_FALSE(pads.Held(1).back);
  EXPECT_EQ(pads.Held(2).directions, 0);
  EXPECT_TRUE(pads.Held(2).back);

  // Let go: the D-pad button up, the stick back inside the dead zone.
  pads.SetButton(10, PadButton::kDpadLeft, false);
  pads.SetAxis(10, PadAxis::kLeftY, -100);
  pads.SetButton(20, PadButton::kBack, false);
  pads.SetButton(20, PadButton::kDpadDown, true);
  pads.SetButton(20, PadButton::kDpadRight, true);
  EXPECT_EQ(pads.Held(1).directions, 0);
  EXPECT_EQ(pads.Held(2).directions, kRight | kDown);
  EXPECT_FALSE(pads.Held(2).back);

  // Events of pads nobody plugged in, and players that do not exist, hold nothing.
  pads.SetButton(99, PadButton::kDpadUp, true);
  pads.SetAxis(99, PadAxis::kLeftX, -32768);
  EXPECT_EQ(pads.Held(1).directions, 0);
  EXPECT_EQ(pads.Held(0).directions, 0);
  EXPECT_EQ(pads.Held(3).directions, 0);
}

TEST(PadsCore, HoldsNothingWithoutTheFocusAndWhatIsHeldNowWhenItComesBack) {
  Pads pads;
  pads.Connect(1, "Pad");
  pads.SetButton(1, PadButton::kDpadUp, true);
  pads.SetButton(1, PadButton::kBack, true);
  pads.SetFocus(false);
  EXPECT_EQ(pads.Held(1).directions, 0);
  EXPECT_FALSE(pads.Held(1).back);
  // Changes while away are kept, and count once the focus is back.
  pads.SetButton(1, PadButton::kDpadUp, false);
  pads.SetAxis(1, PadAxis::kLeftX, 30000);
  pads.SetFocus(true);
  EXPECT_EQ(pads.Held(1).directions, kRight);
  EXPECT_TRUE(pads.Held(1).back);
}

TEST(PadsCore, APadUnpluggedLetsGoAndTheNextPadSteersItsBallFromScratch) {
  Pads pads;
  pads.Connect(1, "First");
  pads.Connect(2, "Second");
  pads.Connect(3, "Third");
  EXPECT_EQ(Players(pads), (std::vector<int>{1, 2, 0}));
  pads.SetButton(1, PadButton::kDpadDown, true);
  pads.SetButton(3, PadButton::kDpadUp, true);  // the spare pad steers nobody
  EXPECT_EQ(pads.Held(1).directions, kDown);

  pads.Disconnect(1);
  EXPECT_EQ(pads.Held(1).directions, 0) << "an unplugged pad holds nothing";
  EXPECT_EQ(Players(pads), (std::vector<int>{2, 0}));
  pads.Connect(4, "Fourth");
  EXPECT_EQ(Players(pads), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(pads.Held(1).directions, 0) << "a new pad holds nothing until it says so";
  EXPECT_EQ(pads.Connected().back().name, "Fourth");

  // The same pad plugged in twice is one pad.
  pads.Connect(4, "Fourth again");
  EXPECT_EQ(pads.Connected().size(), 3u);
  EXPECT_EQ(pads.Connected().back().name, "Fourth");
}

}  // namespace
}  // namespace kraylo
