#include <gtest/gtest.h>

#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

TEST(Numbers, ConversionRoundsHalfToEven) {
  const struct { double in; int out; } cases[] = {
      {17.5, 18}, {18.5, 18}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {66.0, 66}, {32767.4, 32767}};
  for (const auto& c : cases) {
    EXPECT_EQ(rt::CInt(c.in), c.out) << c.in;
    EXPECT_EQ(rt::CLng(c.in), c.out) << c.in;
  }
}

TEST(Numbers, ConversionOutsideTheTypeRaisesOverflow) {
  for (double v : {32767.5, -32768.6, 70000.0}) {
    try {
      rt::CInt(v);
      ADD_FAILURE() << v;
    } catch (const rt::RuntimeError& e) {
      EXPECT_EQ(e.Number(), rt::ErrOverflow) << v;
    }
  }
  EXPECT_EQ(rt::CLng(70000.0), 70000);
  EXPECT_THROW(rt::CLng(3e9), rt::RuntimeError);
  EXPECT_EQ(rt::Int(-1.5), -2.0);
}
