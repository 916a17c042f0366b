// User-visible number and date texts.
#include "core/format.h"
#include "core/number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tarvik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// NaN and infinities read "NaN", "Inf" and "-Inf" in every form, padded like a number. (Rounding and
// widths of "%7.3f": the subject and group listings, summaries_test.cpp.)
TEST(NumberText, FixedWholeAndSignificantFormsAreAsShown) {
    EXPECT_EQ(format_fixed(kNaN, 0, 6), "NaN");
    EXPECT_EQ(format_fixed(-kNaN, 7, 3), "    NaN");
    EXPECT_EQ(format_fixed(kInf, 7, 3), "    Inf");
    EXPECT_EQ(format_fixed(-kInf, 0, 6), "-Inf");
    EXPECT_EQ(format_fixed(0.5, 0, 6), "0.500000");
    EXPECT_EQ(format_int(kNaN), "NaN");
    EXPECT_EQ(format_int(-kInf), "-Inf");
    EXPECT_EQ(format_int(-42), "-42");
    for (const auto& [n, text] :
         {std::pair<std::size_t, const char*>{999, "999"}, {1590, "1,590"}, {1234567, "1,234,567"}})
        EXPECT_EQ(format_count(n), text);
    EXPECT_EQ(format_significant(kNaN), "NaN");
    EXPECT_EQ(format_significant(kInf), "Inf");
    EXPECT_EQ(format_significant(0.133136), "0.13314");
    EXPECT_EQ(format_significant(2), "2");
    EXPECT_EQ(format_significant(1234.567), "1234.6");
}

// A GUI toolkit sets the process locale from the environment; one with a decimal comma changes nothing.
TEST(NumberText, KeepsTheDecimalPointWhateverTheProcessLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/setup-debian.sh generates it)";
    const std::vector<std::string> texts = {format_fixed(0.5, 7, 3), format_significant(1234.567),
                                            format_int(0.5), format_significant(to_number("512.5"))};
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(texts, (std::vector<std::string>{"  0.500", "1234.6", "5.000000e-01", "512.5"}));
}

TEST(DateTime, PadsEveryFieldToItsWidthAndNamesTheMonthInEnglish) {
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 0; month < 12; ++month) {
        std::tm t{};
        t.tm_year = 1999 - 1900;
        t.tm_mon = month;
        t.tm_mday = 9;
        t.tm_hour = 7;
        t.tm_min = 5;
        t.tm_sec = 3;
        EXPECT_EQ(format_date_time(t), std::string("09-") + names[month] + "-1999 07:05:03");
    }
}

TEST(Fill, ReplacesPlaceholdersInOrderAndLeavesOtherPercentSignsAndInsertedTextAlone) {
    EXPECT_EQ(fill("3D VOWEL OVERLAP of Group <%s> and Group <%s> is: %s", {"i", "u", "0.250000"}),
              "3D VOWEL OVERLAP of Group <i> and Group <u> is: 0.250000");
    EXPECT_EQ(fill("50% of %s", {"x"}), "50% of x");
    EXPECT_EQ(fill("%s-%s", {"%s", "y"}), "%s-y");
}

} // namespace
} // namespace tarvik
