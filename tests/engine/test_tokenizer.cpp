// Field splitter and number readings.

#include <gtest/gtest.h>

#include "engine/tokenizer.h"

namespace {

TEST(Tokenizer, FieldsBetweenSeparators) {
  Tokenizer t("VCO_1;FREQ=440;AMOUNT=0.5", ';');
  EXPECT_EQ(t.fieldCount(), 2);
  EXPECT_EQ(t.field(0), "VCO_1");
  EXPECT_EQ(t.field(1), "FREQ=440");
  EXPECT_EQ(t.field(2), "AMOUNT=0.5");
  EXPECT_EQ(t.field(3), std::nullopt);

  Tokenizer empty("KEY_1;;", ';');
  EXPECT_EQ(empty.fieldCount(), 2);
  EXPECT_EQ(empty.field(1), std::nullopt);  // empty field
  EXPECT_EQ(empty.field(2), std::nullopt);  // starts at the end of the text

  Tokenizer eq("PORTA=12=3", '=');
  EXPECT_EQ(eq.field(1), "12");
  EXPECT_EQ(Tokenizer("", ';').field(0), std::nullopt);
  EXPECT_EQ(Tokenizer(";x", ';').field(0), std::nullopt);
  EXPECT_EQ(Tokenizer("x", ';').field(-1), std::nullopt);
}

TEST(Tokenizer, WholeNumbers) {
  struct Case {
    const char* text;
    int value;
  };
  for (Case c : {Case{"42", 42}, Case{"  -17xyz", -17}, Case{"+8", 8}, Case{"3.7", 3}, Case{"12abc", 12},
                 Case{"x", 0}, Case{"", 0}, Case{"-", 0}, Case{"99999999999999", 2147483647},
                 Case{"-99999999999999", -2147483647 - 1}}) {
    EXPECT_EQ(readWhole(c.text), c.value) << c.text;
  }
}

TEST(Tokenizer, RealNumbers) {
  struct Case {
    const char* text;
    double value;
  };
  for (Case c : {Case{"440", 440.0}, Case{"0.5;", 0.5}, Case{" -1.25e2x", -125.0}, Case{".5", 0.5},
                 Case{"2.", 2.0}, Case{"1e", 1.0}, Case{"abc", 0.0}, Case{"0x10", 0.0}, Case{"inf", 0.0},
                 Case{"nan", 0.0}, Case{"-", 0.0}, Case{"7e+1", 70.0}}) {
    EXPECT_DOUBLE_EQ(readReal(c.text), c.value) << c.text;
  }
}

}  // namespace
