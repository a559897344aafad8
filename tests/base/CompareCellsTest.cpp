#include "base/CompareCells.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace quorvane;

namespace {

struct Case {
  std::string a;
  std::string b;
  int expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << '"' << c.a << "\" vs \"" << c.b << '"';
}

class CompareCellsTest : public ::testing::TestWithParam<Case> {};

TEST_P(CompareCellsTest, ComparesNumericReadings) {
  const Case& c = GetParam();
  EXPECT_EQ(CompareCells(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
  EXPECT_EQ(CompareCells(c.b, c.a), -c.expected) << "reversed";
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CompareCellsTest,
    ::testing::Values(
        // Thousands separators are dropped before reading.
        Case{"1,200", "950", 1}, Case{"1,2,3", "123", 0}, Case{",5", "5", 0},
        // Not a number: 0.
        Case{"", "0", 0}, Case{"golf", "0", 0}, Case{"5 ", "0", 0}, Case{"0x10", "0", 0},
        Case{"\t5", "0", 0}, Case{"+", "0", 0}, Case{"-", "0", 0}, Case{",,,", "0", 0},
        Case{"12a", "0", 0}, Case{"1.5", "0", 0},
        // Leading blanks and a sign are read.
        Case{"  5", "4", 1}, Case{"+5", "5", 0}, Case{"-5", "0", -1}, Case{" -1,000", "-999", -1},
        Case{", -3", "-3", 0}, Case{"-,3", "-3", 0},
        // The signed 32-bit range; beyond it a cell counts as 0.
        Case{"2,147,483,647", "2147483646", 1}, Case{"-2147483648", "-2147483647", -1},
        Case{"2147483648", "0", 0}, Case{"-2147483649", "0", 0}, Case{"3,120,000,000", "0", 0},
        Case{"99999999999999999999999", "0", 0}, Case{"0000000000000000000012", "12", 0}));

TEST(CellNumberTest, ReadsTheExtremes) {
  EXPECT_EQ(CellNumber("2147483647"), 2147483647);
  EXPECT_EQ(CellNumber("-2,147,483,648"), -2147483647 - 1);
  EXPECT_EQ(CellNumber("2147483648"), 0);
}

}  // namespace
