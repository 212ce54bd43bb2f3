// The meeting's datagrams: each kind goes round its bytes at its fixed size, ENet's datagrams are
// never taken for ours, a changed byte or another version is seen; STUN as the standard writes it.
#include "meeting/messages.h"

#include <gtest/gtest.h>

#include "meeting/link_path.h"
#include "meeting/stun.h"

namespace kraylo {
namespace {

Offer SomeOffer() {
  Offer offer{3, 800, 600, 1, 1, {}};
  offer.candidates.count = 2;
  offer.candidates.endpoints[0] = {0x0A000002, 27910};
  offer.candidates.endpoints[1] = {0xC0000201, 40000};
  return offer;
}

std::vector<MeetingMessage> EveryKind() {
  const HashKey key{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  return {RegisterMessage{SomeOffer()},
          KeepAliveMessage{RoomCode{0x123456789A}, key, SomeOffer()},
          JoinMessage{RoomCode{kRoomCodeValues - 1}, MeetingRole::kWatcher, SomeOffer()},
          BindRequestMessage{~uint64_t{0}, MeetingRole::kPlayer},
          BindMessage{7, MeetingRole::kHost, 8, 9, 600},
          ProbeMessage{7, MeetingRole::kPlayer, 1, 0xDEADBEEF},
          RegisteredMessage{RoomCode{5}, key, {0x7F000001, 1}},
          KeptMessage{RoomCode{5}, {0x7F000001, 65535}},
          JoinedMessage{7, key, {1, 2}, {3, 4}, SomeOffer()},
          IntroductionMessage{7, key, MeetingRole::kPlayer, {3, 4}, SomeOffer()},
          ChallengeMessage{7, 99},
          BoundMessage{7, 28000, 28001},
          RefusedMessage{MeetingRefusal::kSlowDown, kMeetingVersion}};
}

TEST(MeetingMessagesTest, EveryKindGoesRoundItsBytesAtItsFixedSize) {
  for (const MeetingMessage& message : EveryKind()) {
    SCOPED_TRACE(message.index());
    const MeetingBytes bytes = EncodeMeeting(message);
    EXPECT_EQ(bytes.size, MeetingSize(message));
    EXPECT_TRUE(IsMeetingDatagram(bytes.bytes()));
    const MeetingMessage decoded = DecodeMeeting(bytes.bytes());
    ASSERT_EQ(decoded.index(), message.index());
    const MeetingBytes again = EncodeMeeting(decoded);
    EXPECT_TRUE(std::equal(bytes.data.begin(), bytes.data.end(), again.data.begin()));
    // Every byte counts: one changed, or one short, is not a message.
    for (size_t at = 0; at < bytes.size; ++at) {
      MeetingBytes changed = bytes;
      changed.data[at] ^= 0x10;
      EXPECT_FALSE(DecodeMeeting(changed.bytes()).index() == message.index()) << at;
    }
    EXPECT_TRUE(std::holds_alternative<MalformedMessage>(
        DecodeMeeting(bytes.bytes().first(bytes.size - 1))));
    EXPECT_EQ(
        std::get<OtherVersionMessage>(DecodeMeeting(EncodeMeeting(message, 9).bytes())).version, 9);
  }
}

TEST(MeetingMessagesTest, EnetDatagramsAndFieldsOutOfRangeAreNotOurs) {
  // ENet's connect (peer 0xFFF with the sent-time flag), and a datagram to peer 0.
  EXPECT_FALSE(IsMeetingDatagram(std::vector<uint8_t>{0x8F, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(IsMeetingDatagram(std::vector<uint8_t>{0x00, 0x00, 'K', 'M', 'E', 'T', 1, 1}));
  Offer wide = SomeOffer();
  wide.width = 0;
  EXPECT_TRUE(std::holds_alternative<MalformedMessage>(
      DecodeMeeting(EncodeMeeting(RegisterMessage{wide}).bytes())));
  Offer crowded = SomeOffer();
  crowded.candidates.count = kMostCandidates + 1;
  EXPECT_TRUE(std::holds_alternative<MalformedMessage>(
      DecodeMeeting(EncodeMeeting(RegisterMessage{crowded}).bytes())));
}

TEST(StunTest, AnswersABindingRequestWithTheAddressItCameFrom) {
  const StunTransaction transaction{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const Endpoint from{0xC6336401, 54321};
  const auto request = StunRequest(transaction);
  const auto answer = AnswerStun(request, from);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->size(), kStunAnswerBytes);
  EXPECT_EQ(ReadStunAnswer(*answer, transaction), from);
  EXPECT_FALSE(ReadStunAnswer(*answer, StunTransaction{}));
  // A bare 20-byte request of the standard, and the older standard's (no cookie): same size out.
  std::vector<uint8_t> bare(request.begin(), request.begin() + 20);
  bare[3] = 0;
  EXPECT_TRUE(AnswerStun(bare, from));
  bare[4] = 0;
  ASSERT_TRUE(AnswerStun(bare, from));
  EXPECT_EQ((*AnswerStun(bare, from))[21], 0x01);  // MAPPED-ADDRESS
  // Not requests: an answer, a length that lies, our own datagram.
  EXPECT_FALSE(AnswerStun(*answer, from));
  bare[3] = 4;
  EXPECT_FALSE(AnswerStun(bare, from));
  EXPECT_FALSE(AnswerStun(EncodeMeeting(ChallengeMessage{}).bytes(), from));
}

TEST(LinkPathTest, DirectOnceProbesWentBothWaysElseTheRelay) {
  struct Case {
    bool own_varies, peer_varies, heard, answered;
    double at;
    PathKind expected;
  };
  for (const Case& c : {Case{false, false, false, false, 1.9, PathKind::kUndecided},
                        Case{false, false, true, false, 1.9, PathKind::kUndecided},
                        Case{false, false, true, true, 0.3, PathKind::kDirect},
                        Case{false, false, false, true, 2.0, PathKind::kRelayed},
                        Case{true, false, false, false, 1.0, PathKind::kUndecided},
                        Case{true, true, false, false, 0.0, PathKind::kRelayed}}) {
    PathFacts facts{0, c.own_varies, c.peer_varies, c.heard, std::nullopt};
    if (c.answered) facts.answered = Endpoint{1, 2};
    EXPECT_EQ(ChoosePath(facts, c.at), c.expected) << c.at;
  }
  // Even with probes that went both ways: a hidden address is never played to directly.
  EXPECT_EQ(ChoosePath(PathFacts{0, false, false, true, Endpoint{1, 2}, true}, 0),
            PathKind::kRelayed);
}

TEST(KeyedHashTest, MatchesThePublishedValues) {
  HashKey key{};
  std::vector<uint8_t> message;
  for (uint8_t i = 0; i < 16; ++i) key[i] = i;
  EXPECT_EQ(SipHash(key, message), 0x726fdb47dd0e0e31ull);
  for (uint8_t i = 0; i < 15; ++i) message.push_back(i);
  EXPECT_EQ(SipHash(key, message), 0xa129ca6149be45e5ull);
  const std::string_view check = "123456789";
  EXPECT_EQ(Crc32({reinterpret_cast<const uint8_t*>(check.data()), check.size()}), 0xCBF43926u);
}

}  // namespace
}  // namespace kraylo
