// value_reader_test.cpp: entries of the text definition files: spaces after
// the colon, the empty value that swallows the next line, cut-off files,
// long values and number conversion.
#include <gtest/gtest.h>

#include <string>

#include "common/value_reader.h"

namespace {

ValueReader Reader(const std::string& text) { return ValueReader({text.begin(), text.end()}); }

TEST(ValueReaderTest, ValuesFollowTheColonAndItsSpaces) {
  ValueReader in = Reader("count:    12\r\nname:tiles:big one\r\nLabel over\ntwo lines: 7\r\n");
  EXPECT_EQ(in.ReadValue(), "12");
  EXPECT_EQ(in.ReadValue(), "tiles:big one");  // only the first colon ends the label
  EXPECT_EQ(in.ReadNumber(), 7);
  EXPECT_FALSE(in.Ended());
}

TEST(ValueReaderTest, AnEmptyValueSwallowsTheNextLine) {
  ValueReader in = Reader("a:\r\nb: 5\r\nc: 6\r\n");
  EXPECT_EQ(in.ReadValue(), "\r\nb: 5");
  EXPECT_EQ(in.ReadValue(), "6");
}

TEST(ValueReaderTest, AValueCutOffByTheEndIsEmptyAndReadingStops) {
  for (const char* text : {"a: 1\r\nb: 2", "a: 1\r\nb:", "a: 1\r\nno colon at all", "a: 1\r\n"}) {
    ValueReader in = Reader(text);
    EXPECT_EQ(in.ReadValue(), "1") << text;
    EXPECT_EQ(in.ReadValue(), "") << text;
    EXPECT_TRUE(in.Ended()) << text;
    EXPECT_EQ(in.ReadNumber(), 0) << text;
  }
  ValueReader empty = Reader("");
  EXPECT_EQ(empty.ReadValue(), "");
  EXPECT_TRUE(empty.Ended());
}

TEST(ValueReaderTest, ValuesKeepAtMost255Characters) {
  ValueReader in = Reader("a: " + std::string(600, 'x') + "\r\nb: 9\r\n");
  EXPECT_EQ(in.ReadValue(), std::string(255, 'x'));
  EXPECT_EQ(in.ReadNumber(), 9);
}

TEST(ValueReaderTest, NumbersConvertLikeDecimalTextToInteger) {
  struct {
    const char* text;
    int32_t value;
  } cases[] = {{"42", 42},
               {"  -7", -7},
               {"+3x", 3},
               {"x3", 0},
               {"", 0},
               {"256", 256},
               {"\t 12 ", 12},
               {"4294967295", -1},
               {"2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
  EXPECT_EQ(uint8_t(ParseNumber("256")), 0) << "byte fields keep the low 8 bits";
}

}  // namespace
