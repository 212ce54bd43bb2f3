// A game tick as the program runs it (keys polled, the match's tick, its sounds played) makes no
// allocation, through contacts, drops, count-downs and new rounds.
#include "tests/shell/session.h"
#include "tests/support/counting_new.h"

namespace kraylo::testing {
namespace {

TEST(TickAllocation, TicksWithContactsDropsAndNewRoundsAllocateNothing) {
  Session s;
  long allocated = -1;
  int contacts = 0;
  int drops = 0;
  int rounds = 0;
  s.AtFrame(2, [&] { StartGame(s.program); });
  s.AtFrame(4, [&] {
    const WindowEvents events = BindEvents(s.program);
    GameModel& game = s.program.game;
    // Ball 2 rolls into ball 1, which player 1 keeps pushing left and over the edge, round after
    // round.
    game.Balls(1) = {300, 300, 0, 0};
    game.Balls(2) = {180, 300, 6, 0};
    s.machine.HeldKeys()[key_index::kLeft] = key_index::kHeld;
    const long before = allocations;
    for (int tick = 0; tick < 600; ++tick) {
      // Ball 2 is sent back only by a contact with ball 1.
      const bool rightward = game.Balls(2).MX > 0;
      const bool dropped = game.Dropped;
      events.timer_tick();
      contacts += rightward && game.Balls(2).MX < 0 ? 1 : 0;
      drops += !dropped && game.Dropped ? 1 : 0;
      rounds += dropped && !game.Dropped ? 1 : 0;
    }
    allocated = allocations - before;
    s.machine.HeldKeys()[key_index::kLeft] = 0;
  });
  s.EndFrom(5);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_GT(contacts, 0);
  EXPECT_GT(drops, 1);
  EXPECT_GT(rounds, 1);
  EXPECT_EQ(allocated, 0);
}

}  // namespace
}  // namespace kraylo::testing
