// Codes as players read them aloud and type them: look-alike letters, any case, clear errors.
#include "meeting/room_code.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

struct Typed {
  const char* text;
  const char* read;  // the code as shown, or nullptr for an error
};

TEST(RoomCodeTest, ReadsWhatPlayersTypeAndRefusesTheRest) {
  for (const Typed& typed : {
           Typed{"ABCD-EFGH", "ABCD-EFGH"},
           Typed{"abcd-efgh", "ABCD-EFGH"},
           Typed{"  0123-4567 ", "0123-4567"},
           Typed{"iIlL-oO00", "1111-0000"},
           Typed{"ZZZZ-ZZZZ", "ZZZZ-ZZZZ"},
           Typed{"ABCDEFGH", nullptr},
           Typed{"ABCD-EFG", nullptr},
           Typed{"ABCD-EFGHJ", nullptr},
           Typed{"ABCD-EFGU", nullptr},
           Typed{"AB-CDEFGH", nullptr},
           Typed{"ABCD_EFGH", nullptr},
           Typed{"", nullptr},
       }) {
    SCOPED_TRACE(typed.text);
    const auto parsed = ParseRoomCode(typed.text);
    if (typed.read == nullptr) {
      ASSERT_TRUE(std::holds_alternative<RoomCodeError>(parsed));
      EXPECT_FALSE(std::get<RoomCodeError>(parsed).message.empty());
    } else {
      ASSERT_TRUE(std::holds_alternative<RoomCode>(parsed));
      EXPECT_EQ(FormatRoomCode(std::get<RoomCode>(parsed)), typed.read);
    }
  }
}

TEST(RoomCodeTest, EveryValueGoesRoundTheTextAndTheErrorNamesTheSymbol) {
  for (const uint64_t value :
       {uint64_t{0}, uint64_t{1}, uint64_t{0x123456789A}, kRoomCodeValues - 1}) {
    const auto parsed = ParseRoomCode(FormatRoomCode(RoomCode{value}));
    ASSERT_TRUE(std::holds_alternative<RoomCode>(parsed));
    EXPECT_EQ(std::get<RoomCode>(parsed).value, value);
  }
  EXPECT_NE(std::get<RoomCodeError>(ParseRoomCode("ABCD-EFGU")).message.find("'U'"),
            std::string::npos);
  EXPECT_TRUE(LooksLikeRoomCode("abcd-efgu"));
  EXPECT_FALSE(LooksLikeRoomCode("example.org"));
  EXPECT_FALSE(LooksLikeRoomCode("192.0.2.1:27910"));
}

}  // namespace
}  // namespace kraylo
