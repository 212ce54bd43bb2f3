// Each event heard once, however often a network game runs its tick.
#include "sound/heard_events.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

constexpr SoundKind kContact = SoundKind::kContact;
constexpr SoundKind kDrop = SoundKind::kDrop;

// One run of a tick: its number and its events' kinds.
struct TickRun {
  int64_t tick;
  std::vector<SoundKind> kinds;
};

// Runs the batches, settling after each; the kinds and ticks started, and the number faded.
struct Heard {
  std::vector<std::pair<SoundKind, int64_t>> started;
  size_t faded = 0;
};

Heard Play(const std::vector<std::vector<TickRun>>& batches) {
  HeardEvents heard;
  Heard result;
  for (const std::vector<TickRun>& batch : batches) {
    for (const TickRun& run : batch) {
      std::vector<SoundEvent> events;
      for (const SoundKind kind : run.kinds) events.push_back({kind, run.tick, 1});
      heard.Ran(run.tick, events);
    }
    const HeardChanges changes = heard.Settle();
    for (const HeardEvent& event : changes.start) {
      result.started.emplace_back(event.event.kind, event.event.tick);
    }
    result.faded += changes.fade.size();
  }
  return result;
}

TEST(HeardEvents, ARunAgainRepeatsNothingAndTakesBackWhatItLost) {
  struct Case {
    const char* what;
    std::vector<std::vector<TickRun>> batches;
    std::vector<std::pair<SoundKind, int64_t>> started;
    size_t faded;
  };
  const Case cases[] = {
      {"ticks run once, each contact heard",
       {{{5, {kContact}}}, {{6, {kContact}}}, {{7, {kDrop}}}},
       {{kContact, 5}, {kContact, 6}, {kDrop, 7}},
       0},
      {"the same tick again",
       {{{5, {kContact}}, {6, {}}}, {{5, {kContact}}, {6, {}}}},
       {{kContact, 5}},
       0},
      {"a tick later in the corrected run",
       {{{5, {kContact}}, {6, {}}}, {{5, {}}, {6, {kContact}}}},
       {{kContact, 5}},
       0},
      {"a tick earlier",
       {{{4, {}}}, {{5, {kContact}}}, {{4, {kContact}}, {5, {}}, {6, {}}}},
       {{kContact, 5}},
       0},
      {"two ticks later: another contact",
       {{{5, {kContact}}, {6, {}}, {7, {}}}, {{5, {}}, {6, {}}, {7, {kContact}}}},
       {{kContact, 5}, {kContact, 7}},
       1},
      {"gone from the corrected run",
       {{{5, {kContact}}, {6, {}}}, {{5, {}}, {6, {}}}},
       {{kContact, 5}},
       1},
      {"another kind instead", {{{5, {kContact}}}, {{5, {kDrop}}}}, {{kContact, 5}, {kDrop, 5}}, 1},
      {"before the run again: kept",
       {{{3, {kDrop}}, {4, {}}, {5, {}}}, {{5, {}}}},
       {{kDrop, 3}},
       0},
      {"run twice in one batch", {{{5, {kContact}}, {6, {}}, {5, {}}, {6, {}}}}, {}, 0},
  };
  for (const Case& c : cases) {
    const Heard heard = Play(c.batches);
    EXPECT_EQ(heard.started, c.started) << c.what;
    EXPECT_EQ(heard.faded, c.faded) << c.what;
  }
}

}  // namespace
}  // namespace kraylo
