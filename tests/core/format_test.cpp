// User-visible number and date texts.
#include "core/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberText, FixedWholeAndSignificantFormsAreAsShown) {
    EXPECT_EQ(format_fixed(kNaN, 0, 6), "NaN");
    EXPECT_EQ(format_fixed(kNaN, 7, 3), "    NaN");
    EXPECT_EQ(format_fixed(-kNaN, 7, 3), "    NaN");
    EXPECT_EQ(format_fixed(kInf, 7, 3), "    Inf");
    EXPECT_EQ(format_fixed(-kInf, 0, 6), "-Inf");
    EXPECT_EQ(format_fixed(0.5, 0, 6), "0.500000");
    EXPECT_EQ(format_fixed(-1.23456, 7, 3), " -1.235");
    EXPECT_EQ(format_fixed(12345.5, 7, 3), "12345.500");
    EXPECT_EQ(format_int(kNaN), "NaN");
    EXPECT_EQ(format_int(-kInf), "-Inf");
    EXPECT_EQ(format_int(-42), "-42");
    EXPECT_EQ(format_significant(kNaN), "NaN");
    EXPECT_EQ(format_significant(kInf), "Inf");
    EXPECT_EQ(format_significant(0.133136), "0.13314");
    EXPECT_EQ(format_significant(2), "2");
    EXPECT_EQ(format_significant(1234.567), "1234.6");
}

std::tm date(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    return t;
}

TEST(DateTime, PadsEveryFieldToItsWidthAndNamesTheMonthInEnglish) {
    EXPECT_EQ(format_date_time(date(2026, 12, 5, 11, 54, 46)), "05-Dec-2026 11:54:46");
    EXPECT_EQ(format_date_time(date(2004, 1, 1, 0, 0, 0)), "01-Jan-2004 00:00:00");
    EXPECT_EQ(format_date_time(date(1999, 7, 9, 7, 5, 3)), "09-Jul-1999 07:05:03");
    EXPECT_EQ(format_date_time(date(2031, 10, 31, 23, 59, 59)), "31-Oct-2031 23:59:59");
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(format_date_time(date(2010, month, 15, 12, 0, 0)),
                  std::string("15-") + names[month - 1] + "-2010 12:00:00");
}

TEST(Fill, ReplacesPlaceholdersInOrderAndLeavesOtherPercentSignsAndInsertedTextAlone) {
    EXPECT_EQ(fill("3D VOWEL OVERLAP of Group <%s> and Group <%s> is: %s", {"i", "u", "0.250000"}),
              "3D VOWEL OVERLAP of Group <i> and Group <u> is: 0.250000");
    EXPECT_EQ(fill("no placeholder", {"x"}), "no placeholder");
    EXPECT_EQ(fill("50% of %s", {"x"}), "50% of x");
    EXPECT_EQ(fill("%s-%s", {"%s", "y"}), "%s-y");
    EXPECT_EQ(fill("Function \"%s\"", {"update_log"}), "Function \"update_log\"");
}

TEST(CaseInsensitiveText, ComparesAndLowersAscii) {
    EXPECT_TRUE(iequals("ZERIVIzi_export", "zerivizi_EXPORT"));
    EXPECT_FALSE(iequals("zerivizi_export", "zerivizi_exports"));
    EXPECT_FALSE(iequals("abc", "abd"));
    EXPECT_EQ(to_lower("ZERIVIzi LOG:"), "zerivizi log:");
}

} // namespace
} // namespace tarvik
