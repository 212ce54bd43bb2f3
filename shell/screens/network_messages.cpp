#include "shell/screens/network_messages.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "portmap/port_mapping.h"

namespace kraylo {
namespace {

const char* const kEscEnds = "Esc ends the game";

std::string Field(int32_t width, int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// Why the two sides cannot play, as the joiner's player reads it.
std::vector<std::string> RefusalLines(const Refusal& refusal, const SessionSettings& own) {
  switch (refusal.reason) {
    case RefusalReason::kVersion:
      return {"The host speaks protocol version " + std::to_string(refusal.their_version) +
                  ", this game version " + std::to_string(kProtocolVersion),
              kEscEnds};
    case RefusalReason::kFieldSize:
      return {"The host's field is " + Field(refusal.their_width, refusal.their_height) +
                  ", this one " + Field(own.width, own.height),
              "Both need the same dispX and dispY. " + std::string(kEscEnds)};
    case RefusalReason::kHasPlayer:
    case RefusalReason::kNoRoom:
      break;
  }
  return {"The host is playing with someone else already", kEscEnds};
}

// Who the host turned away while it waits for the right player.
std::string TurnedAwayLine(const Refusal& refusal, const SessionSettings& own) {
  if (refusal.reason == RefusalReason::kVersion) {
    return "Turned away a player with protocol version " + std::to_string(refusal.their_version) +
           " (this game: version " + std::to_string(kProtocolVersion) + ")";
  }
  return "Turned away a player whose field is " + Field(refusal.their_width, refusal.their_height) +
         " (this one: " + Field(own.width, own.height) + ")";
}

// Where the host can be reached from this network and from elsewhere, as far as it is known.
std::vector<std::string> ReachLines(const HostReach& reach, const PortMapping* mapping,
                                    uint16_t port) {
  const std::string udp_port = "UDP port " + std::to_string(port);
  const std::string on_port = ":" + std::to_string(port);
  std::vector<std::string> lines;
  if (!reach.lan_address.empty()) {
    lines.push_back("For a player on this network: " + reach.lan_address + on_port);
  }
  if (mapping == nullptr) {
    lines.push_back("For a player elsewhere, open " + udp_port + " on the router by hand");
    return lines;
  }
  const MappingStatus status = mapping->status();
  switch (status.state) {
    case MappingState::kAsking:
      lines.push_back("Asking the router to open " + udp_port);
      break;
    case MappingState::kMapped:
      lines.push_back("For a player elsewhere: " + status.port.external_address + ":" +
                      std::to_string(status.port.external_port));
      if (IsPrivateOrShared(status.port.external_address)) {
        lines.push_back(
            "But the router's outside address is not on the internet: it sits "
            "behind another router, which must open " +
            udp_port + " too");
      }
      break;
    case MappingState::kNotMapped:
      lines.push_back("The router did not open " + udp_port + " (" + status.why +
                      "): open it by hand, or let the other player host");
      break;
  }
  return lines;
}

const char* const kThroughService = "Playing through the meeting service";
const char* const kOtherPlayer = "the other player";

// What the host's meeting is doing while it waits; the failure, after which only addresses are
// left to give.
std::vector<std::string> HostMeetingLines(const Meeting& meeting) {
  switch (meeting.stage()) {
    case MeetingStage::kFindingService:
    case MeetingStage::kAsking:
      return {"Asking the meeting service for a code"};
    case MeetingStage::kWaiting:
      return {"The other player joins with this code"};
    case MeetingStage::kLooking:
      return {"Looking for a way to " + std::string(kOtherPlayer)};
    case MeetingStage::kRelayed:
      return {kThroughService};
    case MeetingStage::kDirect:
      break;
    case MeetingStage::kFailed:
      return {meeting.failure()};
  }
  return {};
}

// The host's lines while it waits for its player.
std::vector<std::string> HostWaitingLines(const NetworkGame& game) {
  std::vector<std::string> lines;
  const Meeting* meeting = game.meeting();
  if (meeting != nullptr) lines = HostMeetingLines(*meeting);
  // Where it can be reached, unless it is to be hidden; after a failed meeting, the one way left.
  if (!game.setup().meeting.hide_address) {
    for (std::string& line : ReachLines(game.reach(), game.mapping(), game.setup().address.port)) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> MeetingLines(const Meeting& meeting, const std::string& host) {
  switch (meeting.stage()) {
    case MeetingStage::kFindingService:
    case MeetingStage::kAsking:
    case MeetingStage::kWaiting:
      return {"Looking for the game of code " + FormatRoomCode(*meeting.code())};
    case MeetingStage::kLooking:
      return {"Looking for a way to " + host};
    case MeetingStage::kDirect:
      return {"Connecting to " + host};
    case MeetingStage::kRelayed:
      return {kThroughService};
    case MeetingStage::kFailed:
      break;
  }
  return {meeting.failure(), kEscEnds};
}

std::string CodeLine(RoomCode code) { return "Code: " + FormatRoomCode(code); }

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

std::string PathLine(const Meeting& meeting) {
  const std::string seconds = SecondsText(*meeting.chosen_at() - meeting.started());
  const std::string kind = meeting.stage() == MeetingStage::kRelayed
                               ? "relayed by the meeting service at "
                               : "direct to ";
  return "Path: " + kind + FormatEndpoint(*meeting.way()) + " (" + seconds + ", " +
         std::to_string(meeting.requests()) + " requests to the meeting service)";
}

std::string NetworkHeadline(const NetworkGame& game) {
  const Meeting* meeting = game.meeting();
  const Session* session = game.session();
  if (meeting == nullptr || session == nullptr || game.setup().role != Role::kHost ||
      session->phase() != Phase::kWaiting || !meeting->code() ||
      meeting->stage() == MeetingStage::kFailed) {
    return {};
  }
  return CodeLine(*meeting->code());
}

std::vector<std::string> NetworkOverlayLines(const NetworkGame& game) {
  const Session* session = game.session();
  if (session == nullptr) return {};
  const std::optional<double> round_trip = session->round_trip();
  const int delay = game.setup().input_delay;
  std::vector<std::string> lines = {
      "Round Trip: " + (round_trip ? std::to_string(std::lround(*round_trip * 1000)) + " ms"
                                   : std::string("not measured yet")),
      "Input Delay: " + std::to_string(delay) + (delay == 1 ? " tick" : " ticks"),
      "Rollbacks Per Second: " + std::to_string(std::lround(session->rollbacks_per_second())),
  };
  const SessionStats stats = session->stats();
  const int64_t ignored =
      stats.malformed + stats.unknown_type + stats.from_strangers + stats.unexpected;
  if (ignored > 0) lines.push_back("Packets Ignored: " + std::to_string(ignored));
  if (const Meeting* meeting = game.meeting()) {
    if (meeting->stage() == MeetingStage::kDirect) lines.emplace_back("Path: direct");
    if (meeting->stage() == MeetingStage::kRelayed) {
      lines.emplace_back("Path: relayed by the meeting service");
    }
  }
  return lines;
}

std::string WatchersNote(const NetworkGame& game) {
  const Session* session = game.session();
  const int watchers = session == nullptr ? 0 : session->watchers();
  if (watchers == 0) return {};
  return std::to_string(watchers) + (watchers == 1 ? " spectator watches" : " spectators watch");
}

std::vector<std::string> NetworkMessages(const NetworkGame& game) {
  const Session* found = game.session();
  if (found == nullptr) return {};
  const Session& session = *found;
  const NetworkSetup& setup = game.setup();
  switch (session.phase()) {
    case Phase::kConnecting:
      if (const Meeting* meeting = game.meeting()) return MeetingLines(*meeting, kOtherPlayer);
      return {"Connecting to " + setup.address.Text()};
    case Phase::kWaiting: {
      std::vector<std::string> lines = {"Waiting for the other player"};
      if (setup.role == Role::kHost) {
        for (std::string& line : HostWaitingLines(game)) lines.push_back(std::move(line));
      } else if (game.meeting() != nullptr && game.meeting()->stage() == MeetingStage::kRelayed) {
        lines.emplace_back(kThroughService);
      }
      if (session.turned_away()) {
        lines.push_back(TurnedAwayLine(*session.turned_away(), session.settings()));
      }
      return lines;
    }
    case Phase::kPlaying:
      if (session.interrupted()) return {"The connection is interrupted"};
      return {};
    case Phase::kReconnecting:
      return {"Connection lost, reconnecting (" +
              std::to_string(static_cast<int>(std::ceil(session.reconnect_seconds_left()))) +
              " s left)"};
    case Phase::kLeft:
      return {"The other player left", kEscEnds};
    case Phase::kNotRestored:
      return {"The connection to the other player could not be restored", kEscEnds};
    case Phase::kOutOfStep:
      return {"Out of step with the other player at tick " + std::to_string(session.desync_tick()),
              kEscEnds};
    case Phase::kRefused:
      return RefusalLines(session.refusal(), session.settings());
    case Phase::kQuit:
      break;
  }
  return {};
}

}  // namespace kraylo
