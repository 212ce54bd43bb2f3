// The packets on the wire: each kind comes back as it went, and bytes that are not exactly one of
// them are malformed or of an unknown type, never more.
#include "net/protocol.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const PacketBytes& packet) { return {packet.bytes().begin(), packet.bytes().end()}; }
Packet DecodeBytes(const Bytes& bytes) { return Decode(bytes); }

InputPacket SomeInput(int count) {
  InputPacket packet;
  packet.tick = 1000;
  packet.first = 998;
  packet.count = count;
  for (int i = 0; i < count; ++i)
    packet.inputs[static_cast<size_t>(i)] = static_cast<Directions>(i % 16);
  packet.ack = 1002;
  packet.checked = 995;
  packet.checksum = 0xDEADBEEF;
  packet.stamp = 65535;
  packet.echo = 17;
  return packet;
}

bool SameInput(const InputPacket& a, const InputPacket& b) {
  return a.tick == b.tick && a.first == b.first && a.count == b.count && a.inputs == b.inputs &&
         a.ack == b.ack && a.checked == b.checked && a.checksum == b.checksum &&
         a.stamp == b.stamp && a.echo == b.echo;
}

TEST(Protocol, InputPacketsComeBackAsTheyWentInSeventeenBytesAndHalfAByteAnInput) {
  for (int count : {0, 1, 2, 3, 31, 32}) {
    const InputPacket sent = SomeInput(count);
    const PacketBytes bytes = Encode(sent);
    EXPECT_EQ(bytes.size, 17u + static_cast<size_t>((count + 1) / 2)) << count;
    const Packet got = Decode(bytes.bytes());
    ASSERT_TRUE(std::holds_alternative<InputPacket>(got)) << count;
    EXPECT_TRUE(SameInput(std::get<InputPacket>(got), sent)) << count;
  }
}

TEST(Protocol, HandshakeAndControlPacketsComeBackAsTheyWent) {
  const auto hello = std::get<HelloPacket>(Decode(Encode(HelloPacket{1024, 768}).bytes()));
  EXPECT_EQ(std::pair(hello.width, hello.height), std::pair(1024, 768));
  const auto welcome = std::get<WelcomePacket>(
      Decode(Encode(WelcomePacket{0x0123456789ABCDEFULL, 800, 600, 2}).bytes()));
  EXPECT_EQ(welcome.seed, 0x0123456789ABCDEFULL);
  EXPECT_EQ(std::tuple(welcome.width, welcome.height, welcome.ball), std::tuple(800, 600, 2));
  const auto refuse = std::get<RefusePacket>(
      Decode(Encode(RefusePacket{RefusalReason::kFieldSize, 640, 480}).bytes()));
  EXPECT_EQ(refuse.reason, RefusalReason::kFieldSize);
  EXPECT_EQ(std::pair(refuse.width, refuse.height), std::pair(640, 480));
  EXPECT_TRUE(std::holds_alternative<ReadyPacket>(Decode(Encode(ReadyPacket{}).bytes())));
  EXPECT_TRUE(std::holds_alternative<StartPacket>(Decode(Encode(StartPacket{}).bytes())));
  EXPECT_TRUE(std::holds_alternative<QuitPacket>(Decode(Encode(QuitPacket{}).bytes())));
  EXPECT_EQ(std::get<DesyncPacket>(Decode(Encode(DesyncPacket{123456}).bytes())).tick, 123456);
}

TEST(Protocol, AHandshakeOfAnotherVersionGivesOnlyItsVersionWhateverFollows) {
  for (const PacketBytes& bytes : {Encode(HelloPacket{800, 600}, 1), Encode(WelcomePacket{}, 9),
                                   Encode(RefusePacket{}, 65535)}) {
    const Packet got = Decode(bytes.bytes());
    ASSERT_TRUE(std::holds_alternative<OtherVersionPacket>(got));
  }
  // A later version may make its hello longer or shorter: the head is all that is read.
  Bytes longer = BytesOf(Encode(HelloPacket{800, 600}, kProtocolVersion + 1));
  longer.resize(40, 0xAB);
  EXPECT_EQ(std::get<OtherVersionPacket>(DecodeBytes(longer)).version, kProtocolVersion + 1);
  Bytes head_only = BytesOf(Encode(HelloPacket{800, 600}, kProtocolVersion + 1));
  head_only.resize(7);
  EXPECT_EQ(std::get<OtherVersionPacket>(DecodeBytes(head_only)).version, kProtocolVersion + 1);
}

// Bytes of a valid packet with one change.
Bytes Changed(const PacketBytes& packet, size_t at, uint8_t value) {
  Bytes bytes = BytesOf(packet);
  bytes.at(at) = value;
  return bytes;
}
Bytes Cut(const PacketBytes& packet, size_t size) {
  Bytes bytes = BytesOf(packet);
  bytes.resize(size);
  return bytes;
}
Bytes Longer(const PacketBytes& packet) {
  Bytes bytes = BytesOf(packet);
  bytes.push_back(0);
  return bytes;
}

TEST(Protocol, AnythingNotExactlyOneOfOurPacketsIsMalformed) {
  const PacketBytes input = Encode(SomeInput(3));
  const PacketBytes hello = Encode(HelloPacket{800, 600});
  const PacketBytes welcome = Encode(WelcomePacket{1, 800, 600, 2});
  const PacketBytes refuse = Encode(RefusePacket{RefusalReason::kVersion, 800, 600});
  InputPacket first = SomeInput(0);
  first.tick = 3;
  first.first = 3;
  first.ack = 3;
  first.checked = 3;
  const PacketBytes early = Encode(first);
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"nothing", {}},
      {"one byte more than any packet", Bytes(kMaxPacketBytes + 1, 1)},
      {"input cut short", Cut(input, input.size - 1)},
      {"input with a byte left over", Longer(input)},
      {"input with 33 inputs", Changed(input, 6, 33)},
      {"input with a count that does not match its length", Changed(input, 6, 5)},
      {"input with the unused half byte set", Changed(input, 8, 0xF0 | (input.data[8] & 0x0F))},
      {"input before tick 0", Changed(early, 5, 0xFC)},
      {"acknowledgement below 0", Changed(early, 7, 0xF0)},
      {"checksum of the state before tick 0", Changed(early, 8, 3)},
      {"checksum from before tick 0", Changed(early, 8, 10)},
      {"hello without its magic", Changed(hello, 1, 'X')},
      {"hello cut after its version", Cut(hello, 7)},
      {"hello cut in its head", Cut(hello, 5)},
      {"hello too long", Longer(hello)},
      {"hello with a field 0 wide", BytesOf(Encode(HelloPacket{0, 600}))},
      {"hello with a field 20000 high", BytesOf(Encode(HelloPacket{800, 20000}))},
      {"welcome for ball 1", BytesOf(Encode(WelcomePacket{1, 800, 600, 1}))},
      {"welcome cut short", Cut(welcome, welcome.size - 1)},
      {"refusal for no reason", Changed(refuse, 7, 0)},
      {"refusal for reason 5", Changed(refuse, 7, 5)},
      {"refusal with a negative field",
       BytesOf(Encode(RefusePacket{RefusalReason::kVersion, -800, 600}))},
      {"ready with a tail", {5, 0}},
      {"quit with a tail", {7, 7}},
      {"desync cut short", {8, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(std::holds_alternative<MalformedPacket>(DecodeBytes(c.bytes))) << c.what;
  }
}

TEST(Protocol, ATypeThisVersionDoesNotKnowIsUnknownNotMalformed) {
  for (const uint8_t type : std::vector<uint8_t>{0, 14, 100, 255}) {
    const Packet got = DecodeBytes({type, 1, 2, 3});
    ASSERT_TRUE(std::holds_alternative<UnknownPacket>(got)) << int{type};
    EXPECT_EQ(std::get<UnknownPacket>(got).type, type);
  }
}

TEST(Protocol, AnInputPacketClaimsNoMoreThanTheWireCanSayAndLeavesOutOldChecksums) {
  InputPacket packet = SomeInput(1);
  packet.ack = packet.tick + 500;
  packet.checked = packet.tick - 300;
  const auto got = std::get<InputPacket>(Decode(Encode(packet).bytes()));
  EXPECT_EQ(got.ack, packet.tick + 127);
  EXPECT_EQ(got.checked, 0) << "no checksum";
}

TEST(Protocol, AnInputPacketOutsideTheWiresRangesIsNeverSent) {
  const struct {
    const char* what;
    void (*change)(InputPacket&);
  } cases[] = {
      {"tick beyond 32 bits", [](InputPacket& p) { p.tick = int64_t{1} << 32; }},
      {"first input 129 ticks back", [](InputPacket& p) { p.first = p.tick - 129; }},
      {"33 inputs", [](InputPacket& p) { p.count = 33; }},
      {"acknowledgement 129 back", [](InputPacket& p) { p.ack = p.tick - 129; }},
      {"checksum of a later tick", [](InputPacket& p) { p.checked = p.tick + 1; }},
  };
  for (const auto& c : cases) {
    InputPacket packet = SomeInput(2);
    c.change(packet);
    EXPECT_EQ(ErrorNumberOf([&] { Encode(packet); }), kErrOverflow) << c.what;
  }
}

}  // namespace
}  // namespace kraylo
