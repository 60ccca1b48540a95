#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/Dates.h"
#include "runtime/Numbers.h"

TEST(NumberText, FloatsAsWritten) {
  const struct { float in; const char* out; } cases[] = {
      {0.0f, "0"},          {-0.0f, "0"},          {0.5f, ".5"},          {-0.5f, "-.5"},
      {1800.0f, "1800"},    {-1.0f, "-1"},         {30.25f, "30.25"},     {1234567.0f, "1234567"},
      {123456789.0f, "1.234568E+08"},              {12345678.0f, "1.234568E+07"},
      {1e8f, "1E+08"},      {-2.5e9f, "-2.5E+09"}, {0.0001f, ".0001"},    {0.00001f, "1E-05"},
      {1.0f / 3, ".3333333"}, {86399.99f, "86399.99"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::CStr(c.in), c.out) << c.out;
}

TEST(NumberText, StrHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(rt::Str(int64_t{70}), " 70");
  EXPECT_EQ(rt::Str(int32_t{0}), " 0");
  EXPECT_EQ(rt::Str(int32_t{-3}), "-3");
  EXPECT_EQ(rt::Str(0.5f), " .5");
  EXPECT_EQ(rt::Str(-0.5f), "-.5");
  EXPECT_EQ(rt::CStr(int64_t{-2147483648LL}), "-2147483648");
}

TEST(NumberText, ZeroPaddedFormats) {
  EXPECT_EQ(rt::FormatDigits(1, 4), "0001");
  EXPECT_EQ(rt::FormatDigits(123, 2), "123");
  EXPECT_EQ(rt::FormatDigits(7, 2), "07");
  EXPECT_EQ(rt::FormatDigits(-5, 4), "-0005");
}

TEST(NumberText, ValReadsTheLeadingNumber) {
  const struct { const char* in; double out; } cases[] = {
      {"", 0},          {"abc", 0},          {" 100", 100},     {"  -1", -1},      {"-.5", -0.5},
      {".5", 0.5},      {"1 2 3", 123},      {"\t14x", 14},     {"1.5E+3", 1500},  {"2e-1", 0.2},
      {"1E", 1},        {"7E+", 7},          {"1,5", 1},        {"3.4.5", 3.4},    {"-", 0},
      {".", 0},         {"+8", 8},           {"1800 s", 1800},  {"12.04.2007", 12.04},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(rt::Val(QString::fromUtf8(c.in)), c.out) << c.in;
  EXPECT_TRUE(std::isinf(rt::Val("1e999")));
}

TEST(NumberText, ClampedConversionsStayInTheirType) {
  EXPECT_EQ(rt::ClampCInt(70000), 32767);
  EXPECT_EQ(rt::ClampCInt(-70000), -32768);
  EXPECT_EQ(rt::ClampCInt(18.5), 18);
  EXPECT_EQ(rt::ClampCLng(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(rt::ClampCByte(300), 255);
  EXPECT_EQ(rt::ClampCByte(-4), 0);
  EXPECT_EQ(rt::ClampCInt(std::nan("")), 0);
  EXPECT_EQ(rt::ClampCSng(1e300), std::numeric_limits<float>::max());
  EXPECT_EQ(rt::ClampCSng(-INFINITY), std::numeric_limits<float>::lowest());
}

TEST(Dates, ShortDateTextRoundTrips) {
  EXPECT_EQ(rt::ShortDateText(QDate(2007, 4, 23)), "23.04.2007");
  EXPECT_EQ(rt::ParseShortDate("23.04.2007"), QDate(2007, 4, 23));
  EXPECT_EQ(rt::ParseShortDate(" 3.4.2007 "), QDate(2007, 4, 3));
  for (const char* bad : {"", "Montag", "31.02.2007", "23.04.", "2007-04-23", "23.04.2007x"})
    EXPECT_FALSE(rt::ParseShortDate(bad).has_value()) << bad;
}
