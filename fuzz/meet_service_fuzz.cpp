// Arbitrary bytes as datagrams to the meeting service, on its meeting port, its echo port and a
// relay port, from a few addresses: none crashes it, and nothing it sends for one of our requests
// is larger than the request. The input is a run of records: a byte whose low two bits pick the
// port and the next two the sender, a length byte, the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "meet_service/meeting_service.h"
#include "tests/meet_service/recording_network.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kraylo;
  testing::RecordingNetwork network;
  ServiceLimits limits;
  limits.relay_low = 28000;
  limits.relay_high = 28003;
  MeetingService service(HashKey{1}, limits, network);
  double now = 0;
  for (size_t at = 0; at + 2 <= size;) {
    const uint8_t pick = data[at];
    const uint16_t ports[4] = {limits.meeting_port, limits.echo_port, limits.relay_low,
                               static_cast<uint16_t>(limits.relay_low + 1)};
    const uint16_t port = ports[pick & 3];
    const Endpoint from{0x0A000001u + ((pick >> 2) & 3), 40000};
    const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
    const std::span<const uint8_t> bytes(data + at + 2, length);
    service.Receive(port, from, bytes, now);
    size_t sent = 0;
    for (const auto& datagram : network.Take()) sent += datagram.bytes.size();
    if (port == limits.meeting_port && IsMeetingDatagram(bytes) && sent > length) std::abort();
    now += (pick >> 4) * 0.5;
    service.Expire(now);
    at += 2 + length;
  }
  return 0;
}
