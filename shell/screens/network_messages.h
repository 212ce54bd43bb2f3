// What the game screen says over the field during a network game, and the overlay's lines of it.
#pragma once

#include <string>
#include <vector>

#include "online/network_game.h"

namespace kraylo {

// The messages of `game` as it stands: what it waits for, or why it stopped; none while it plays
// as it should.
std::vector<std::string> NetworkMessages(const NetworkGame& game);
// What a joiner's or a spectator's meeting is doing before the connection to the host is up, the
// host named as `host` ("the other player", "the host"); why it failed, once it has.
std::vector<std::string> MeetingLines(const Meeting& meeting, const std::string& host);
// The host's code, shown large while it waits for the other player; empty without one.
std::string NetworkHeadline(const NetworkGame& game);
// "Code: ABCD-EFGH", as the waiting screen and standard output write it.
std::string CodeLine(RoomCode code);
// For standard output, once the meeting has chosen the way: "Path: direct to 10.0.0.2:27910
// (0.41 s, 3 requests to the meeting service)".
std::string PathLine(const Meeting& meeting);
// "0.41 s".
std::string SecondsText(double seconds);
// How many spectators watch the game ("2 spectators watch"), as the players see it; empty while
// none do.
std::string WatchersNote(const NetworkGame& game);
// The overlay's lines: the round trip, the input delay, the rollbacks, the packets ignored.
std::vector<std::string> NetworkOverlayLines(const NetworkGame& game);

}  // namespace kraylo
