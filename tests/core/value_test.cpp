#include <gtest/gtest.h>
#include <kolvar/error.h>
#include <kolvar/value.h>

#include <cmath>
#include <cstdint>
#include <functional>

#include "core/text.h"

using kolvar::Compare;
using kolvar::Value;

namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const kolvar::Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace

TEST(ValueText, NumbersInInvariantShortestForm) {
  using kolvar::NumberToText;
  EXPECT_EQ(NumberToText(125.5), "125.5");
  EXPECT_EQ(NumberToText(10000), "10000");
  EXPECT_EQ(NumberToText(0.1), "0.1");
  EXPECT_EQ(NumberToText(0.1 + 0.2), "0.3");
  EXPECT_EQ(NumberToText(-3), "-3");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(123456789012345), "123456789012345");
  EXPECT_EQ(NumberToText(1e15), "1E+15");
  EXPECT_EQ(NumberToText(-1234567890123456), "-1.23456789012346E+15");
  EXPECT_EQ(NumberToText(1e100), "1E+100");
  EXPECT_EQ(NumberToText(1.5e-20), "1.5E-20");
  EXPECT_EQ(NumberToText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(NumberToText(1.0 / 30), "3.33333333333333E-02");
  EXPECT_EQ(NumberToText(0.00025), "0.00025");

  EXPECT_EQ(kolvar::SingleToText(0.1f), "0.1");
  EXPECT_EQ(kolvar::SingleToText(1234567.0f), "1234567");
  EXPECT_EQ(kolvar::SingleToText(12345678.0f), "1.234568E+07");
  EXPECT_EQ(kolvar::SingleToText(1.0f / 3), "0.3333333");

  EXPECT_EQ(Value(2.5f).toString(), "2.5");
  EXPECT_EQ(Value(std::int16_t{-7}).toString(), "-7");
  EXPECT_EQ(Value(std::uint8_t{255}).toString(), "255");
  EXPECT_EQ(Value(true).toString(), "True");
  EXPECT_EQ(Value(false).toString(), "False");
  EXPECT_EQ(Value(true).toLong(), -1);
  EXPECT_EQ(Value().toString(), "");
  EXPECT_EQ(ErrorOf([] { Value::Null().toString(); }), 94);
  EXPECT_EQ(ErrorOf([] { Value::Array({{0, 1}}).toString(); }), 13);
}

TEST(ValueConversion, WholeNumbersRoundHalfToEvenAndCheckRange) {
  EXPECT_EQ(Value(2.5).toLong(), 2);
  EXPECT_EQ(Value(3.5).toLong(), 4);
  EXPECT_EQ(Value(-2.5).toLong(), -2);
  EXPECT_EQ(Value(-3.5).toLong(), -4);
  EXPECT_EQ(Value(0.5).toLong(), 0);
  EXPECT_EQ(Value(2.5000001).toLong(), 3);
  EXPECT_EQ(Value("2.5").toLong(), 2);

  EXPECT_EQ(Value(32766.5).toInteger(), 32766);
  EXPECT_EQ(ErrorOf([] { Value(32767.5).toInteger(); }), 6);
  EXPECT_EQ(Value(-32768.5).toInteger(), -32768);
  EXPECT_EQ(ErrorOf([] { Value(-32769.0).toInteger(); }), 6);
  EXPECT_EQ(Value(-2147483648.5).toLong(), INT32_MIN);
  EXPECT_EQ(ErrorOf([] { Value(2147483647.5).toLong(); }), 6);
  EXPECT_EQ(ErrorOf([] { Value(std::nan("")).toLong(); }), 6);
  EXPECT_EQ(Value(254.5).toByte(), 254);
  EXPECT_EQ(Value(-0.5).toByte(), 0);
  EXPECT_EQ(ErrorOf([] { Value(255.5).toByte(); }), 6);
  EXPECT_EQ(ErrorOf([] { Value(std::int32_t{-1}).toByte(); }), 6);
  EXPECT_EQ(ErrorOf([] { Value(1e300).toSingle(); }), 6);
}

TEST(ValueConversion, TextEmptyNullAndNonScalars) {
  EXPECT_EQ(Value(" 12 ").toLong(), 12);
  EXPECT_DOUBLE_EQ(Value("+.5").toDouble(), 0.5);
  EXPECT_DOUBLE_EQ(Value("5.").toDouble(), 5);
  EXPECT_DOUBLE_EQ(Value("\t-1.5e2 ").toDouble(), -150);
  EXPECT_DOUBLE_EQ(Value("1E-3").toDouble(), 0.001);
  for (const char* bad : {"", "  ", ".", "1e", "1 2", "abc", "12abc", "--1", "1.2.3", "e5"}) {
    EXPECT_EQ(ErrorOf([bad] { Value(bad).toDouble(); }), 13) << bad;
  }
  EXPECT_EQ(ErrorOf([] { Value("1e400").toDouble(); }), 6);
  EXPECT_EQ(Value("1e-400").toDouble(), 0);

  EXPECT_EQ(Value().toLong(), 0);
  EXPECT_EQ(Value().toDouble(), 0);
  const Value null = Value::Null();
  EXPECT_EQ(ErrorOf([&] { null.toLong(); }), 94);
  EXPECT_EQ(ErrorOf([&] { null.toBool(); }), 94);
  EXPECT_EQ(ErrorOf([&] { null.toDateSerial(); }), 94);
  EXPECT_EQ(ErrorOf([] { Value::Array({{0, 1}}).toDouble(); }), 13);
  EXPECT_EQ(ErrorOf([] { Value(std::shared_ptr<kolvar::Object>()).toLong(); }), 13);
  EXPECT_EQ(ErrorOf([] { Value(1.0).toObject(); }), 13);

  EXPECT_TRUE(Value(" TRUE ").toBool());
  EXPECT_FALSE(Value("false").toBool());
  EXPECT_FALSE(Value("0").toBool());
  EXPECT_TRUE(Value("0.01").toBool());
  EXPECT_FALSE(Value().toBool());
  EXPECT_EQ(ErrorOf([] { Value("yes").toBool(); }), 13);
}

TEST(ValueConversion, Dates) {
  EXPECT_EQ(Value::Date(39582).toString(), "14/05/2008");
  EXPECT_EQ(Value::Date(39582.75).toString(), "14/05/2008 18:00:00");
  EXPECT_EQ(Value::Date(-1.25).toString(), "29/12/1899 06:00:00");
  EXPECT_EQ(Value::Date(1.0 - 1e-9).toString(), "31/12/1899");  // rounds to the next midnight
  EXPECT_EQ(Value("29/02/2008").toDateSerial(), 39507);
  EXPECT_DOUBLE_EQ(Value("14/05/2008 18:00").toDateSerial(), 39582.75);
  EXPECT_EQ(Value("01/01/0100").toDateSerial(), -657434);
  EXPECT_EQ(Value("31/12/9999").toDateSerial(), 2958465);
  EXPECT_EQ(Value("39582").toDateSerial(), 39582);
  EXPECT_EQ(ErrorOf([] { Value("29/02/2007").toDateSerial(); }), 13);
  EXPECT_EQ(ErrorOf([] { Value("14/05/2008 24:00").toDateSerial(); }), 13);
  EXPECT_EQ(ErrorOf([] { Value(3e6).toDateSerial(); }), 6);
  EXPECT_EQ(ErrorOf([] { Value::Date(-657435); }), 6);
}

TEST(ValueArray, BoundsAndSubscriptErrors) {
  Value a = Value::Array({{0, 2}, {1, 3}});
  EXPECT_TRUE(a.isArray());
  EXPECT_EQ(a.dims(), 2);
  EXPECT_EQ(a.lbound(2), 1);
  EXPECT_EQ(a.ubound(1), 2);
  EXPECT_TRUE(a(2, 3).isEmpty());
  a(2, 3) = Value("x");
  EXPECT_EQ(a(2, 3).toString(), "x");
  EXPECT_EQ(ErrorOf([&] { a(3, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { a(0, 0); }), 9);
  EXPECT_EQ(ErrorOf([&] { a(0); }), 9);
  EXPECT_EQ(ErrorOf([&] { a.lbound(3); }), 9);
  EXPECT_EQ(ErrorOf([&] { a.ubound(0); }), 9);
  EXPECT_EQ(ErrorOf([] { Value::Array({{5, 3}}); }), 9);
  EXPECT_EQ(Value::Array({{1, 0}}).ubound(1), 0);  // no cells
  EXPECT_EQ(ErrorOf([] { Value::Array({{INT32_MIN, INT32_MAX}}); }), 6);
  const Value n(1.0);
  EXPECT_EQ(ErrorOf([&] { n(0); }), 13);
  EXPECT_EQ(ErrorOf([&] { n.dims(); }), 13);
}

TEST(ValueArray, GrowingKeepsCellsAndCopiesAreDeep) {
  Value a = Value::Array({{0, 1}, {0, 1}});
  for (int i = 0; i <= 1; ++i) {
    for (int j = 0; j <= 1; ++j) a(i, j) = Value(std::int32_t{10 * i + j});
  }
  a.redimPreserve(3);
  EXPECT_EQ(a.ubound(2), 3);
  EXPECT_EQ(a(1, 0).toLong(), 10);
  EXPECT_EQ(a(0, 1).toLong(), 1);
  EXPECT_EQ(a(1, 1).toLong(), 11);
  EXPECT_TRUE(a(1, 3).isEmpty());
  a.redimPreserve(0);
  EXPECT_EQ(a(1, 0).toLong(), 10);
  EXPECT_EQ(ErrorOf([&] { a(0, 1); }), 9);
  EXPECT_EQ(ErrorOf([&] { a.redimPreserve(-2); }), 9);

  Value outer = Value::Array({{1, 1}});
  outer(1) = Value::Array({{0, 0}});
  outer(1)(0) = Value("inner");
  Value copy = outer;
  copy(1)(0) = Value("changed");
  EXPECT_EQ(outer(1)(0).toString(), "inner");

  outer = outer(1);  // the source lives inside the target
  EXPECT_EQ(outer(0).toString(), "inner");
  outer = std::move(outer(0));
  EXPECT_EQ(outer.toString(), "inner");
}

TEST(ValueCompare, MixedKindsAndNull) {
  EXPECT_EQ(Compare(Value(2.0), Value(std::int32_t{10})), -1);
  EXPECT_EQ(Compare(Value("2"), Value("10")), 1);
  EXPECT_EQ(Compare(Value(" 10 "), Value(9.5)), 1);
  EXPECT_EQ(Compare(Value("1e2"), Value(std::int16_t{100})), 0);
  EXPECT_EQ(Compare(Value("abc"), Value(1e300)), 1);
  EXPECT_EQ(Compare(Value(1e300), Value("")), -1);
  EXPECT_EQ(Compare(Value(), Value(0.0)), 0);
  EXPECT_EQ(Compare(Value(), Value(-1.0)), 1);
  EXPECT_EQ(Compare(Value(), Value("")), 0);
  EXPECT_EQ(Compare(Value("a"), Value()), 1);
  EXPECT_EQ(Compare(Value(true), Value(std::int32_t{-1})), 0);
  EXPECT_EQ(Compare(Value("Z"), Value("a")), -1);
  EXPECT_EQ(Compare(Value("\xC3\xA9"), Value("z")), 1);  // U+00E9 after z
  EXPECT_EQ(Compare(Value("ab"), Value("abc")), -1);
  EXPECT_FALSE(Compare(Value::Null(), Value(1.0)).has_value());
  EXPECT_FALSE(Compare(Value("x"), Value::Null()).has_value());
  EXPECT_EQ(ErrorOf([] { Compare(Value::Array({{0, 0}}), Value(1.0)); }), 13);
}

TEST(ValueText, ValAndIsNumeric) {
  using kolvar::Val;
  EXPECT_EQ(Val("   12abc"), 12);  // an odd number of blanks
  EXPECT_EQ(Val("\t5"), 5);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("-1.5e2x"), -150);
  EXPECT_EQ(Val(".5.5"), 0.5);
  EXPECT_EQ(Val("7e"), 7);
  EXPECT_EQ(Val("-"), 0);
  EXPECT_EQ(Val(""), 0);
  EXPECT_GT(Val("9e999"), 1e308);
  EXPECT_EQ(Val(Value::Null()), 0);
  EXPECT_EQ(Val(Value(12.5)), 12.5);

  EXPECT_TRUE(IsNumeric(Value()));
  EXPECT_TRUE(IsNumeric(Value(false)));
  EXPECT_TRUE(IsNumeric(Value(" -1.5E+3 ")));
  EXPECT_FALSE(IsNumeric(Value("")));
  EXPECT_FALSE(IsNumeric(Value("12abc")));
  EXPECT_FALSE(IsNumeric(Value::Null()));
  EXPECT_FALSE(IsNumeric(Value::Array({{0, 0}})));
}

TEST(ValueText, CaseFreeComparisonEndsWithTheView) {
  EXPECT_TRUE(kolvar::text::EqualsNoCase(std::string_view("abX", 2), std::string_view("ABY", 2)));
  EXPECT_FALSE(kolvar::text::EqualsNoCase("ab", "abc"));
}
