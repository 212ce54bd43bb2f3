// Arbitrary bytes as datagrams to a host's and a joiner's meeting clients, from the service, its
// echo port and a stranger: none crashes them or makes them send to anyone but the service and the
// candidates they were given; a message that decodes encodes again to one of the same kind. The
// input is a run of records: a byte whose low two bits pick the sender and whose next bit picks
// the client, a length byte, the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "meeting/meeting_client.h"

namespace {

void CheckDecoding(std::span<const uint8_t> bytes) {
  const kraylo::MeetingMessage message = kraylo::DecodeMeeting(bytes);
  const kraylo::MeetingBytes again = kraylo::EncodeMeeting(message);
  if (again.size == 0) return;
  if (again.size != bytes.size() ||
      kraylo::DecodeMeeting(again.bytes()).index() != message.index()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kraylo;
  const Endpoint service{0xCB007101, kMeetingPort};
  MeetingSetup setup{service, "fuzz", Offer{3, 800, 600, 0, 0, {}}, 60, 1};
  double now = 0;
  MeetingClient clients[2] = {MeetingClient::ForHost(setup, now),
                              MeetingClient::ForJoiner(setup, RoomCode{5}, now)};
  const Endpoint senders[4] = {
      service, {service.address, kEchoPort}, {0x0A000001, 5}, {service.address, 28000}};
  for (size_t at = 0; at + 2 <= size;) {
    const uint8_t pick = data[at];
    const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
    const std::span<const uint8_t> bytes(data + at + 2, length);
    CheckDecoding(bytes);
    MeetingClient& client = clients[(pick >> 2) & 1];
    now += (pick >> 3) * 0.05;
    if (MeetingClient::Intercepts(bytes)) client.Receive(senders[pick & 3], bytes, now);
    client.Advance(now);
    for (const MeetingSend& send : client.TakeSends()) {
      if (send.bytes.empty() || send.bytes.size() > kMaxMeetingBytes) std::abort();
    }
    client.TakeEvents();
    at += 2 + length;
  }
  return 0;
}
