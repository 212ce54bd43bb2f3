// The program's numbers at their edges: rounding, checked arithmetic, the two readings of
// configuration values, and their text forms.
#include "support/numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
// Stands for an overflow where a result is expected.
constexpr int64_t kOver = std::numeric_limits<int64_t>::min();

// What `function` gives for `arguments`, or kOver when it raised an overflow.
template <typename Function, typename... Arguments>
int64_t Outcome(Function function, Arguments... arguments) {
  try {
    return function(arguments...);
  } catch (const RunError& error) {
    if (error.number() != kErrOverflow) throw;
    return kOver;
  }
}

// One input and what ToInt16, ToInt32 and FloorToInt16 give for it.
using Rounding = std::tuple<double, int64_t, int64_t, int64_t>;

TEST(ConversionTest, RoundsHalfToEvenOrDownAndOverflowsJustPastTheLimits) {
  for (const auto& [input, to_int16, to_int32, floor_to_int16] :
       {Rounding{0.5, 0, 0, 0}, Rounding{1.5, 2, 2, 1}, Rounding{2.5, 2, 2, 2},
        Rounding{-0.5, 0, 0, -1}, Rounding{-2.5, -2, -2, -3}, Rounding{2.5000001, 3, 3, 2},
        Rounding{0.49999999999999994, 0, 0, 0}, Rounding{32766.5, 32766, 32766, 32766},
        Rounding{32767.5, kOver, 32768, 32767}, Rounding{32768, kOver, 32768, kOver},
        Rounding{-32767.5, -32768, -32768, -32768}, Rounding{-32768.5, -32768, -32768, kOver},
        Rounding{-32768.6, kOver, -32769, kOver}, Rounding{kMax - 0.5, kOver, kMax - 1, kOver},
        Rounding{kMax + 0.5, kOver, kOver, kOver}, Rounding{kMin - 0.5, kOver, kMin, kOver},
        Rounding{kMin - 1.0, kOver, kOver, kOver}, Rounding{kNaN, kOver, kOver, kOver},
        Rounding{-kInf, kOver, kOver, kOver}}) {
    EXPECT_EQ(Outcome(ToInt16, input), to_int16) << input;
    EXPECT_EQ(Outcome(ToInt32, input), to_int32) << input;
    EXPECT_EQ(Outcome(FloorToInt16, input), floor_to_int16) << input;
  }
  EXPECT_EQ(CaughtError([] { ToInt16(40000); })->description(), "Overflow");
}

// A checked operation, its operands and its result.
using Op16 = std::tuple<int16_t (*)(int16_t, int16_t), int16_t, int16_t, int64_t>;
using Op32 = std::tuple<int32_t (*)(int32_t, int32_t), int32_t, int32_t, int64_t>;

TEST(ArithmeticTest, SumsDifferencesAndProductsOverflowJustPastTheLimits) {
  for (const auto& [operation, a, b, expected] :
       {Op16{Add16, 32766, 1, 32767}, Op16{Add16, 32767, 1, kOver}, Op16{Add16, -32768, -1, kOver},
        Op16{Sub16, -32767, 1, -32768}, Op16{Sub16, -32768, 1, kOver},
        Op16{Sub16, 0, -32768, kOver}, Op16{Mul16, 181, 181, 32761}, Op16{Mul16, 182, 181, kOver},
        Op16{Mul16, -32768, 1, -32768}, Op16{Mul16, -32768, -1, kOver}}) {
    EXPECT_EQ(Outcome(operation, a, b), expected) << a << ", " << b;
  }
  for (const auto& [operation, a, b, expected] :
       {Op32{Add32, kMax - 1, 1, kMax}, Op32{Add32, kMax, 1, kOver}, Op32{Add32, kMin, -1, kOver},
        Op32{Sub32, -1, kMin, kMax}, Op32{Sub32, 0, kMin, kOver}, Op32{Mul32, kMin, 1, kMin},
        Op32{Mul32, 46340, 46340, 2147395600}, Op32{Mul32, 46341, 46341, kOver},
        Op32{Mul32, kMin, -1, kOver}}) {
    EXPECT_EQ(Outcome(operation, a, b), expected) << a << ", " << b;
  }
}

using Reading = std::pair<std::string, double>;

TEST(ReadNumberTest, ReadsTheLeadingNumberIgnoringBlanksAnywhere) {
  for (const auto& [text, expected] :
       {Reading{" 8 0 0", 800}, Reading{"\t8\n00", 800}, Reading{"800.5", 800.5},
        Reading{"- 5", -5}, Reading{"+.5", 0.5}, Reading{"5.", 5}, Reading{"1 e 3", 1000},
        Reading{"1D3", 1000}, Reading{"25e-1", 2.5}, Reading{"12abc", 12}, Reading{"1.2.3", 1.2},
        Reading{"1,5", 1}, Reading{"1e+", 1}, Reading{"7-3", 7}, Reading{"16\r", 16},
        Reading{"1e308", 1e308}, Reading{std::string(400, '0') + "5", 5}}) {
    EXPECT_DOUBLE_EQ(ReadNumber(text), expected) << testing::PrintToString(text);
  }
  for (const auto& [text, expected] :
       {Reading{"&H10", 16}, Reading{"&h 1f", 31}, Reading{"&HFFFF", 65535}, Reading{"&H1G", 1},
        Reading{"&O10", 8}, Reading{"&o17", 15}, Reading{"&O78", 7}}) {
    EXPECT_EQ(ReadNumber(text), expected) << text;
  }
  for (const char* text :
       {"", "abc", " ", ".", "+-1", "= 1", "\r5", "e5", "&H", "&O8", "-&H10", "1e-400"}) {
    EXPECT_EQ(ReadNumber(text), 0.0) << testing::PrintToString(text);
  }
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(ReadNumber(std::nullopt), 0.0);
  for (const std::string& text : {std::string("1e400"), std::string("-1e309"),
                                  "1" + std::string(400, '0'), "&H" + std::string(300, 'F')}) {
    EXPECT_EQ(ErrorNumberOf([&] { ReadNumber(text); }), kErrOverflow) << text;
  }
}

using Whole = std::pair<const char*, int32_t>;

TEST(ToWholeNumberTest, ConvertsADecimalBetweenBlanksOrRaises) {
  for (const auto& [text, expected] :
       {Whole{" 800 ", 800}, Whole{"\t16\t", 16}, Whole{"800.5", 800}, Whole{"801.5", 802},
        Whole{"-2.5", -2}, Whole{"+16", 16}, Whole{".5", 0}, Whole{"1e3", 1000}, Whole{"1D-1", 0},
        Whole{"2147483647", kMax}, Whole{"-2147483648.5", kMin}}) {
    EXPECT_EQ(ToWholeNumber(text), expected) << testing::PrintToString(text);
  }
  EXPECT_EQ(ToWholeNumber(std::nullopt), 0);
  for (const char* text : {"", "abc", " ", "12abc", "- 5", " 8 0", "1e", "&H10", ".", "800\r",
                           "\n800", "1,5", "= 1"}) {
    EXPECT_EQ(ErrorNumberOf([&] { ToWholeNumber(text); }), kErrTypeMismatch)
        << testing::PrintToString(text);
  }
  for (const char* text : {"2147483647.5", "-2147483649", "1e400"}) {
    EXPECT_EQ(ErrorNumberOf([&] { ToWholeNumber(text); }), kErrOverflow) << text;
  }
  const std::string description = CaughtError([] { ToWholeNumber("sixteen"); })->description();
  EXPECT_EQ(description.rfind("Type mismatch", 0), 0u) << description;
  EXPECT_NE(description.find("sixteen"), std::string::npos) << description;
}

using Form = std::pair<double, const char*>;

TEST(PlainFormTest, WritesTheInvariantGeneralForm) {
  for (const auto& [value, expected] :
       {Form{-0.0, "0"}, Form{30, "30"}, Form{412.5, "412.5"}, Form{-1.25, "-1.25"},
        Form{0.5, "0.5"}, Form{0.1 + 0.2, "0.3"}, Form{1.0 / 3, "0.333333333333333"},
        Form{123456789012345.0, "123456789012345"}, Form{0.00001, "0.00001"}, Form{1e15, "1E+15"},
        Form{999999999999999.9, "1E+15"}, Form{-1e300, "-1E+300"}, Form{1.5e-6, "1.5E-06"},
        Form{kInf, "Infinity"}, Form{-kInf, "-Infinity"}, Form{kNaN, "NaN"}}) {
    EXPECT_EQ(PlainForm(value), expected) << value;
  }
}

// A value in the forms "0.0" and "#.0".
using Forms = std::tuple<double, const char*, const char*>;

TEST(LocaleFormTest, WritesOneDecimalWithTheGivenSeparator) {
  for (const auto& [value, one_decimal, hash_dot_zero] :
       {Forms{2, "2,0", "2,0"}, Forms{-1.26, "-1,3", "-1,3"}, Forms{0, "0,0", ",0"},
        Forms{-0.04, "0,0", ",0"}, Forms{-0.06, "-0,1", "-,1"}, Forms{0.25, "0,2", ",2"},
        Forms{0.75, "0,8", ",8"}, Forms{0.96, "1,0", "1,0"}, Forms{-0.5, "-0,5", "-,5"},
        Forms{59.94f, "59,9", "59,9"}, Forms{1000.05f, "1000,0", "1000,0"},
        Forms{-12.25, "-12,2", "-12,2"},
        Forms{1e20, "100000000000000000000,0", "100000000000000000000,0"}}) {
    EXPECT_EQ(OneDecimalForm(value, ','), one_decimal) << value;
    EXPECT_EQ(HashDotZeroForm(value, ','), hash_dot_zero) << value;
  }
  EXPECT_EQ(HashDotZeroForm(0.5, '.'), ".5");
}

TEST(TextTest, StripRemovesOuterSpacesOnlyAndUpperCaseRaisesAsciiOnly) {
  EXPECT_EQ(Strip("  a b  "), "a b");
  EXPECT_EQ(Strip("    "), "");
  EXPECT_EQ(Strip("\tFALSE \r"), "\tFALSE \r");
  EXPECT_EQ(UpperCase(" False x1\xE4 "), " FALSE X1\xE4 ");
}

}  // namespace
}  // namespace kraylo
