#include "meet_service/counters_line.h"

namespace kraylo {
namespace {

// The refusals' names in the log, by MeetingRefusal.
constexpr const char* kRefusalNames[] = {
    "",          "no-such-code", "has-player", "game-version",    "field-size",
    "bad-token", "too-many",     "slow-down",  "meeting-version", "watchers-full"};

}  // namespace

std::string CountersLine(const ServiceCounters& counters) {
  std::string line = "rooms " + std::to_string(counters.rooms) + ", games met " +
                     std::to_string(counters.games_met) + ", relayed " +
                     std::to_string(counters.relayed_games) + " (" +
                     std::to_string(counters.games_bound) + " began), relayed " +
                     std::to_string(counters.bytes_relayed) + " bytes in " +
                     std::to_string(counters.datagrams_relayed) + " datagrams, dropped " +
                     std::to_string(counters.dropped) + ", refused:";
  bool any = false;
  for (size_t reason = 1; reason < counters.refusals.size(); ++reason) {
    if (counters.refusals[reason] == 0) continue;
    line +=
        std::string(" ") + kRefusalNames[reason] + " " + std::to_string(counters.refusals[reason]);
    any = true;
  }
  return any ? line : line + " none";
}

}  // namespace kraylo
