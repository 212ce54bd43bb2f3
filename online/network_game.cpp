#include "online/network_game.h"

#include <utility>

#include "meeting/messages.h"
#include "net/enet_transport.h"
#include "platform/run_error.h"

namespace kraylo {
// A game's reconnection limit is how long the relay keeps it: every limit the game takes must be
// one the meeting carries, and a game that sets none asks for the relay's default.
static_assert(kFewestKeepSeconds <= kFewestReconnectSeconds &&
              kMostReconnectSeconds <= kMostKeepSeconds);
static_assert(kDefaultReconnectSeconds == kDefaultKeepSeconds);

namespace {

const char* const kHiddenHow = "--hide-address or [Net] hideAddress = true";
const char* const kSetService = "set [Net] meetServer = HOST[:PORT] in config.cfg";

// The meeting `settings` configure, hiding this machine's address when either asks.
MeetingPlan PlanOf(const NetSettings& settings, bool hide_address, uint64_t seed) {
  MeetingPlan plan;
  plan.service = settings.meet_server;
  plan.hide_address = hide_address || settings.hide_address;
  plan.seed = seed;
  return plan;
}

NetworkSetup JoinerSetup(int input_delay, const NetSettings& settings) {
  NetworkSetup setup;
  setup.role = Role::kJoin;
  setup.input_delay = input_delay;
  // The joiner takes the host's limit; its own only stands until the welcome.
  setup.reconnect_seconds = settings.reconnect_seconds;
  return setup;
}

}  // namespace

NetworkSetup HostSetup(const HostGame& host, const NetSettings& settings, uint64_t seed) {
  NetworkSetup setup;
  setup.role = Role::kHost;
  setup.address.port = host.port;
  setup.input_delay = host.input_delay;
  setup.reconnect_seconds = settings.reconnect_seconds;
  setup.seed = seed;
  setup.meeting = PlanOf(settings, host.hide_address, seed);
  if (setup.meeting.hide_address && !setup.meeting.service) {
    Raise(kErrNetwork,
          std::string("This machine's address is to be hidden (") + kHiddenHow +
              "): the game must go through a meeting service, and none is set: " + kSetService);
  }
  // A hidden host shows no address of its own, and has no use for a port opened to the world.
  setup.map_port = host.port_mapping && settings.port_mapping && !setup.meeting.hide_address;
  return setup;
}

NetworkSetup JoinSetup(const JoinGame& join, const NetSettings& settings) {
  if (settings.hide_address) {
    Raise(kErrNetwork, std::string("This machine's address is to be hidden (") + kHiddenHow +
                           "): join by the host's code, through a meeting service, not by address");
  }
  NetworkSetup setup = JoinerSetup(join.input_delay, settings);
  setup.address = join.host;
  return setup;
}

MeetingPlan CodePlan(RoomCode code, bool hide_address, const NetSettings& settings, uint64_t seed,
                     const char* joining) {
  if (!settings.meet_server) {
    Raise(kErrNetwork,
          std::string(joining) + " by code needs a meeting service: " + std::string(kSetService));
  }
  MeetingPlan plan = PlanOf(settings, hide_address, seed);
  plan.code = code;
  return plan;
}

NetworkSetup CodeJoinSetup(const CodeJoin& join, const NetSettings& settings, uint64_t seed) {
  NetworkSetup setup = JoinerSetup(join.input_delay, settings);
  setup.meeting = CodePlan(join.code, join.hide_address, settings, seed, "Joining");
  return setup;
}

NetworkGame::NetworkGame(std::unique_ptr<Transport> transport, NetworkSetup setup, HostReach reach,
                         ConfirmedTickHooks hooks)
    : transport_(std::move(transport)),
      setup_(std::move(setup)),
      reach_(std::move(reach)),
      hooks_(std::move(hooks)) {}

Session& NetworkGame::Begin(Clock& clock, int32_t width, int32_t height, uint64_t token,
                            StepFunction step) {
  SessionSettings settings;
  settings.role = setup_.role;
  settings.input_delay = setup_.input_delay;
  settings.width = width;
  settings.height = height;
  settings.seed = setup_.seed;
  settings.token = token;
  settings.reconnect_seconds = setup_.reconnect_seconds;
  session_.emplace(*transport_, clock, settings, std::move(step));
  session_->SetHooks(hooks_);
  if (setup_.role == Role::kHost && setup_.map_port && reach_.map_port) {
    mapping_ = reach_.map_port(setup_.address.port);
  }
  MeetingSocket* socket = transport_->meeting_socket();
  if (setup_.meeting.service && socket != nullptr) {
    Offer offer{kProtocolVersion, width, height, 0, 0, {}};
    // Another machine on this network reaches this one at its own address.
    if (const auto lan = ReadIpv4(reach_.lan_address); lan && !setup_.meeting.hide_address) {
      offer.candidates.Add({*lan, socket->port()});
    }
    const MeetingRole role = setup_.role == Role::kHost ? MeetingRole::kHost : MeetingRole::kPlayer;
    meeting_.emplace(*socket, clock, role, setup_.meeting, offer,
                     static_cast<uint16_t>(setup_.reconnect_seconds));
  }
  return *session_;
}

void NetworkGame::Serve() {
  if (meeting_) {
    meeting_->Serve();
    OfferMappedPort();
    // A relayed way gone silent may be a new address of this side, or a restarted service:
    // binding again costs a few datagrams and finds out, before the connection counts as lost.
    if (session_->interrupted() || session_->phase() == Phase::kReconnecting) meeting_->Rebind();
  }
  session_->Serve();
}

void NetworkGame::OfferMappedPort() {
  if (mapped_port_offered_ || mapping_ == nullptr || setup_.meeting.hide_address) return;
  const MappingStatus status = mapping_->status();
  if (status.state != MappingState::kMapped) return;
  mapped_port_offered_ = true;
  if (const auto outside = ReadIpv4(status.port.external_address)) {
    meeting_->AddCandidate({*outside, status.port.external_port});
  }
}

}  // namespace kraylo
