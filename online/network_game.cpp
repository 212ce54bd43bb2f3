#include "online/network_game.h"

#include <utility>

namespace kraylo {

NetworkSetup HostSetup(const HostGame& host, const NetSettings& settings, uint64_t seed) {
  NetworkSetup setup;
  setup.role = Role::kHost;
  setup.address.port = host.port;
  setup.input_delay = host.input_delay;
  setup.map_port = host.port_mapping && settings.port_mapping;
  setup.reconnect_seconds = settings.reconnect_seconds;
  setup.seed = seed;
  return setup;
}

NetworkSetup JoinSetup(const JoinGame& join, const NetSettings& settings) {
  NetworkSetup setup;
  setup.role = Role::kJoin;
  setup.address = join.host;
  setup.input_delay = join.input_delay;
  // The joiner takes the host's limit; its own only stands until the welcome.
  setup.reconnect_seconds = settings.reconnect_seconds;
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
  return *session_;
}

}  // namespace kraylo
