// Arbitrary bytes as datagrams from the other player: each one must decode to one of our packets
// (which then encodes back to exactly its bytes) or be refused; and a session in the middle of a
// game must take all of them without crashing, hanging or going out of step by itself.
// The input is a run of records: a byte whose low bit picks the channel, a length byte, the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <variant>

#include "net/protocol.h"
#include "tests/net/duel.h"
#include "tests/net/fake_network.h"

namespace {

using kraylo::Packet;

// Encodes a decoded packet again; nullopt for what has no bytes of its own.
std::optional<kraylo::PacketBytes> Reencoded(const Packet& packet) {
  return std::visit(
      [](const auto& p) -> std::optional<kraylo::PacketBytes> {
        using T = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<T, kraylo::MalformedPacket> ||
                      std::is_same_v<T, kraylo::UnknownPacket> ||
                      std::is_same_v<T, kraylo::OtherVersionPacket>) {
          return std::nullopt;
        } else {
          return kraylo::Encode(p);
        }
      },
      packet);
}

void CheckDecoding(std::span<const uint8_t> bytes) {
  const Packet packet = kraylo::Decode(bytes);
  const std::optional<kraylo::PacketBytes> again = Reencoded(packet);
  if (!again) return;
  const std::span<const uint8_t> encoded = again->bytes();
  if (encoded.size() != bytes.size() ||
      !std::equal(encoded.begin(), encoded.end(), bytes.begin())) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kraylo;
  using namespace kraylo::testing;
  ManualClock clock;
  FakeTransport host_transport(clock);
  FakeTransport join_transport(clock);
  Connect(host_transport, join_transport, 0.01);
  SessionSettings settings;
  settings.width = 800;
  settings.height = 600;
  Duel duel(host_transport, join_transport, clock, settings);
  duel.Run(2, [&] { return duel.BothRan(20); });
  if (!duel.BothRan(20)) std::abort();

  for (size_t at = 0; at + 2 <= size;) {
    const Channel channel = (data[at] & 1) != 0 ? Channel::kControl : Channel::kInput;
    const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
    const std::span<const uint8_t> bytes(data + at + 2, length);
    CheckDecoding(bytes);
    host_transport.Inject(1, channel, bytes);
    at += 2 + length;
  }
  duel.Run(0.3, nullptr);
  // Whatever came, the host has either played on in step with the joiner or stopped cleanly.
  const Phase phase = duel.host.session.phase();
  if (phase == Phase::kPlaying) {
    const size_t common = std::min(duel.host.checksums.size(), duel.join.checksums.size());
    for (size_t tick = 0; tick < common; ++tick) {
      if (duel.host.checksums[tick] != duel.join.checksums[tick]) std::abort();
    }
  }
  return 0;
}
