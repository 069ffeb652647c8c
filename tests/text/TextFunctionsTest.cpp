#include "text/TextFunctions.h"

#include <QSet>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

using namespace talor::text;

namespace {

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// numericValue takes the leading number (overflow is infinite, so every upper-bound check rejects
// it); parseNumber only a whole text.
TEST(NumericValue, TakesTheLeadingNumberAndParseNumberOnlyAWholeText)
{
    const double inf = std::numeric_limits<double>::infinity();
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"1e3x", 1000}, {"abc", 0}, {" -3.5", -3.5}, {"1e", 1}, {"1e+", 1}, {"1E-2", 0.01},
        {".", 0}, {"", 0}, {"-", 0}, {"+.5", 0.5}, {"5.", 5}, {"1.5.3", 1.5}, {"\t 7", 7}, {"0.00", 0},
        {"12.50元", 12.5}, {"1,234", 1}, {"- 5", 0}, {"e5", 0}, {"007", 7}, {"１２", 0}, {"1e-400", 0},
        {"2147483648", 2147483648.0}, {"1.2E+307", 1.2e307}, {"1e400", inf}, {"-1e400", -inf}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(numericValue(q(text)), expected) << '"' << text << '"';
    EXPECT_EQ(parseNumber(u" 12.5 "_qs), 12.5);
    EXPECT_FALSE(parseNumber(u"12abc"_qs) || parseNumber(u""_qs) || parseNumber(u"1e"_qs) ||
                 parseNumber(u"2024-01-05"_qs));
}

struct FormatCase
{
    const char *text, *picture, *expected;
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.text << " with " << c.picture; }
};

class FormatTest : public testing::TestWithParam<FormatCase>
{};

TEST_P(FormatTest, FormatsLikeASpreadsheet)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(format(q(c.text), q(c.picture)).toStdString(), std::string(c.expected));
}

// clang-format off
const FormatCase formats[] = {
    // Numbers.
    {"12.5", "#0.00", "12.50"}, {"1234.5", "#,##0.00", "1,234.50"}, {"0.25", "0%", "25%"}, {"0", "##0.00", "0.00"},
    {"0", "#.##", "."}, {"0.5", "#.00", ".50"}, {"-12.5", "#0.00", "-12.50"}, {"-0.001", "0.00", "0.00"},
    {"-2.5", "0", "-3"}, {"0.3", "0.00", "0.30"}, {"1234567.891", "#,##0.00", "1,234,567.89"},
    {"123456", "00", "123456"}, {"5", "000", "005"}, {"1.5", "0.0#", "1.5"}, {"1.25", "0.0#", "1.25"},
    {"1.2", "0.###", "1.2"}, {"12.5", "0.00元", "12.50元"}, {"8", "0\"小时\"", "8小时"}, {"7", "\\#0", "#7"},
    {"5551234", "000-0000", "555-1234"}, {"0.125", "0.0%", "12.5%"}, {"1e3", "0", "1000"}, {" 3 ", "0.0", "3.0"},
    {"1e20", "#,##0", "100,000,000,000,000,000,000"}, {"5", "0;(0)", "5"}, {"-5", "0;(0)", "(5)"},
    {"0", "0.0;-0.0;\"零\"", "零"}, {"0.1", "0.00000000000000000000", "0.10000000000000000000"},
    {"1e-5", "0.00", "0.00"}, {"-0", "0.00", "0.00"}, {"-0.004", "0.00;(0.00)", "(0.00)"},
    {"12345.678", "#,##0.0%", "1,234,567.8%"},
    // Dates and times.
    {"2024-01-05 08:00", "yyyy-mm-dd", "2024-01-05"}, {"2024-1-5", "yyyy-mm-dd", "2024-01-05"},
    {"2024/2/3", "yyyy-mm-dd", "2024-02-03"}, {"2024年2月3日", "yyyy-mm-dd", "2024-02-03"},
    {"2024-02-03", "yy/m/d", "24/2/3"}, {"2024-02-03", "YYYY-MM-DD", "2024-02-03"},
    {"2024-02-03 08:05:09", "yyyy年mm月dd日 hh时nn分ss秒", "2024年02月03日 08时05分09秒"}, {"8:30", "hh:nn:ss", "08:30:00"},
    {"8:30", "h:n", "8:30"}, {"8:05", "hh:mm", "08:05"}, {"8:05:09", "mm:ss", "05:09"},
    {"2024-03-07 08:05", "mm-dd hh:mm", "03-07 08:05"}, {"2024-03-07 18:05:01", "hh:nn:ss", "18:05:01"},
    {"8:30", "yyyy-mm-dd", "1899-12-30"}, {"45000", "yyyy-mm-dd", "2023-03-15"}, {"2", "yyyy-mm-dd", "1900-01-01"},
    {"0.25", "hh:nn:ss", "06:00:00"}, {"45000.5", "yyyy-mm-dd hh:nn", "2023-03-15 12:00"},
    {"1e300", "yyyy-mm-dd", "1e300"}, {"2024-02-03", "\"d\"d", "d3"}, {"2024-02-03", "d\\", "3"}, {"2024-02-03T07:00", "hh", "07"},
    // Left unchanged.
    {"abc", "#0.00", "abc"}, {"abc", "yyyy-mm-dd", "abc"}, {"12abc", "#0.00", "12abc"}, {"", "#0.00", ""},
    {"", "yyyy-mm-dd", ""}, {"12.5", "", "12.5"}, {"12.5", "   ", "12.5"}, {"12.5", "abc", "12.5"},
    {"2024-01-05", "#0.00", "2024-01-05"}, {"8:30", "0.00", "8:30"}, {"2024-02-30", "yyyy-mm-dd", "2024-02-30"},
    {"25:61", "hh:nn:ss", "25:61"}, {"1,234", "#,##0", "1,234"},
    // Texts the format function already gives as a spreadsheet would, kept as they are.
    {"25:00", "hh:mm", "25:00"}, {"-3", "hh:mm", "00:00"}, {"12.5", "hh:mm", "12:00"},
    {"2024-03-05 08:30", "h:mm", "8:30"}, {"1e3", "@", "1e3"}, {"8:30", "@", "8:30"}, {"abc", "@", "abc"},
    {"-3", "0.00", "-3.00"}, {"45000", "0.00", "45000.00"}, {"abc", "0.0;-0.0;\"零\"", "abc"},
    // A text that reads as no number takes the picture's text section, "@" standing for it.
    {"abc", "0.00;-0.00;0;\"T:\"@", "T:abc"}, {"abc", "\"[\"@\"]\"", "[abc]"}, {"abc", "[Red]@", "abc"},
    {"abc", "@\\@", "abc@"}, {"12.5", "0.00;@", "12.50"}, {"8:30", "h:mm;\"x\"@", "8:30"},
    {"x", "h:mm;\"x\"@", "xx"}, {"", "0;\"-\"@", "-"}, {"abc", "0.00;-0.00", "abc"},
    // Named formats.
    {"1234.5", "Standard", "1,234.50"}, {"3", "fixed", "3.00"}, {"0.5", "Percent", "50.00%"},
    {"12", "General", "12"}, {"12.50", "General Number", "12.50"}, {"2024-2-3 8:05", "Short Date", "2024-02-03"},
    {"2024-2-3 8:05", "Long Time", "08:05:00"}, {"8:05:59", "Short Time", "08:05"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Texts, FormatTest, testing::ValuesIn(formats));

// A number under a cell's format code, as a spreadsheet program shows it: the one formatter
// of the grid's display, its Excel and PDF output and the format function.
struct CellNumberCase
{
    double value;
    const char *picture, *shown;
    friend void PrintTo(const CellNumberCase& c, std::ostream* os)
    {
        *os << std::setprecision(17) << c.value << " with \"" << c.picture << '"';
    }
};

class CellNumberTest : public testing::TestWithParam<CellNumberCase>
{};

TEST_P(CellNumberTest, ShowsWhatASpreadsheetShows)
{
    const CellNumberCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, q(c.picture)).toStdString(), std::string(c.shown));
}

// clang-format off
const CellNumberCase cellNumbers[] = {
    // Rounding and signs.
    {2.675, "0.00", "2.68"}, {1.005, "0.00", "1.01"}, {-2.675, "0.00", "-2.68"}, {-1.005, "0.00", "-1.01"},
    {0.125, "0.00", "0.13"}, {2.5, "0", "3"}, {1.5, "0", "2"}, {0.5, "0", "1"}, {-0.5, "0", "-1"},
    {1.045, "0.0", "1.0"}, {1.05, "0.0", "1.1"}, {-1.25, "0.0", "-1.3"},
    {0.1 + 0.2, "0.000000000000000", "0.300000000000000"}, {9.995, "0.00", "10.00"}, {-9.995, "0.00", "-10.00"},
    {123456.785, "#,##0.00", "123,456.79"}, {-123456.785, "#,##0.00", "-123,456.79"},
    // Grouping: each boundary of a group of three, up to seven digits and beyond.
    {0, "#,##0", "0"}, {7, "#,##0", "7"}, {999, "#,##0", "999"}, {1000, "#,##0", "1,000"}, {1234, "#,##0", "1,234"},
    {9999, "#,##0", "9,999"}, {12345, "#,##0", "12,345"}, {99999, "#,##0", "99,999"}, {100000, "#,##0", "100,000"},
    {123456, "#,##0", "123,456"}, {999999, "#,##0", "999,999"}, {999999.5, "#,##0", "1,000,000"},
    {1000000, "#,##0", "1,000,000"}, {1234567, "#,##0", "1,234,567"}, {12345678, "#,##0", "12,345,678"},
    {123456789, "#,##0", "123,456,789"}, {-123456, "#,##0", "-123,456"}, {-1234, "#,##0", "-1,234"},
    {-999, "#,##0", "-999"}, {123456.5, "#,##0", "123,457"}, {1234.5, "#,##0.0", "1,234.5"},
    {0.5, "#,##0.00", "0.50"}, {123456, "0", "123456"}, {123456, "#,##0.00%", "12,345,600.00%"},
    // Percentages.
    {1, "0%", "100%"}, {0.5, "0%", "50%"}, {0.005, "0%", "1%"}, {0.004, "0%", "0%"}, {0.125, "0%", "13%"},
    {0.015, "0%", "2%"}, {-0.5, "0%", "-50%"}, {0.12345, "0.00%", "12.35%"}, {0.0005, "0.0%", "0.1%"},
    {12.5, "0%", "1250%"}, {0, "0.00%", "0.00%"}, {1e308, "0%", "#####"}, {-1e308, "0.0%", "#####"},
    // The codes typing makes, and General.
    {45356.5, "General", "45356.5"}, {1.0 / 3, "General", "0.333333333333333"}, {12, "", "12"},
    {1e15, "general", "1E+15"}, {-0.0, "General", "0"}, {3.5, "0.0", "3.5"}, {3, "0.00", "3.00"},
    // Dates and times.
    {45356, "yyyy-mm-dd", "2024-03-05"}, {45356.5, "yyyy-mm-dd hh:mm", "2024-03-05 12:00"},
    {45356.99999999, "yyyy-mm-dd hh:mm", "2024-03-06 00:00"}, {0.99999999, "hh:mm:ss", "00:00:00"},
    {45356.999994, "yyyy-mm-dd hh:mm", "2024-03-05 23:59"}, {45356.999994, "hh:mm:ss", "23:59:59"},
    {8.5 / 24, "hh:mm", "08:30"}, {0.35393518518518519, "hh:mm", "08:29"}, {0.35416203703703703, "hh:mm", "08:30"},
    {0.35416203703703703, "hh:mm:ss", "08:30:00"}, {45356.3541666667, "yyyy-mm-dd hh:mm:ss", "2024-03-05 08:30:00"},
    {61, "yyyy-mm-dd", "1900-03-01"}, {1, "yyyy-mm-dd", "1899-12-31"}, {45351, "yyyy-mm-dd", "2024-02-29"},
    {45352, "yyyy-mm-dd", "2024-03-01"}, {45291, "yyyy-mm-dd", "2023-12-31"}, {45292, "yyyy-mm-dd", "2024-01-01"},
    {-657434, "yyyy-mm-dd", "0100-01-01"}, {-657433.5, "yyyy-mm-dd hh:mm", "0100-01-01 12:00"},
    {2958465.99999, "yyyy-mm-dd hh:mm:ss", "9999-12-31 23:59:59"}, {-657434.5, "yyyy-mm-dd", "#####"},
    {2958466, "yyyy-mm-dd", "#####"}, {1e300, "yyyy-mm-dd", "#####"}, {-1e300, "hh:mm", "#####"},
    {45356, "yyyy年m月d日", "2024年3月5日"},
    // Pictures that already show as a spreadsheet shows them, and oddities kept as they are: the
    // same texts after elapsed times, AM/PM, exponents, colours and text sections were added.
    {0, "#", ""}, {0.5, "#", "1"}, {-1234.5, "#", "-1235"}, {0, "#.##", "."}, {1234.5, "#.##", "1234.5"},
    {0.5, ".00", ".50"}, {-1234.5, ".00", "-1234.50"}, {1234.5, "0,", "1,235"}, {1234.5, "0.00,", "1234.50,"},
    {-1234.5, "#,##0;-#,##0;0;", "-1,235"}, {0, "#,##0;-#,##0;0;", "0"}, {-1234.5, "0;;", ""}, {0, "0;;", ""},
    {0.5, "0;;", "1"}, {1234.5, ";;", ""}, {-1234.5, "0;-0;0;0", "-1235"}, {0, "0;-0;0;0", "0"},
    {1234.5, "0E", "1235E"}, {-1234.5, "0 E+", "-1235 E+"}, {1234.5, "0\"E+\"0", "123E+5"},
    {0.5, "0.00 h", "0.50 h"}, {1234.5, "000-0000", "000-1235"}, {-1234.5, "0.00元", "-1234.50元"},
    {-1234.5, "abc", "-abc"}, {-8.5 / 24, "abc", "abc"}, {0.5, "   ", "   "}, {-2.5, "0;(0)", "(3)"},
    {45356.75, "ddd", "05"}, {45356.75, "mmmm", "03"}, {45356.75, "yyy", "2024"}, {45356.75, "y", "24"},
    {45356.75, "hhh", "18"}, {0.5, "sss", "00"}, {45356.75, "HH:MM", "18:00"},
    {45356.75, "dd/mm/yyyy", "05/03/2024"}, {-1234.5, "dd/mm/yyyy", "12/08/1896"},
    {45356.75, "m/d/yy h:mm", "3/5/24 18:00"}, {45566.4375, "m/d/yy h:mm", "10/1/24 10:30"},
    {7.020833333333333, "m/d/yy h:mm", "1/6/00 0:30"},
    {0.5, "h:m", "12:0"}, {0.35393518518518519, "nn:ss", "29:40"}, {-8.5 / 24, "nn:ss", "30:00"},
    {0.35393518518518519, "hh:nn", "08:29"}, {45356.75, "hh:nn:ss", "18:00:00"},
    // A time picture without brackets shows the time of day: negative and long times wrap.
    {-8.5 / 24, "hh:mm", "15:30"}, {-8.5 / 24, "hh:mm:ss", "15:30:00"}, {25.0 / 24, "hh:mm", "01:00"},
    {168.5 / 24, "hh:mm", "00:30"}, {1, "hh:mm", "00:00"}, {-8.5 / 24, "yyyy-mm-dd hh:mm", "1899-12-29 15:30"},
    {25.0 / 24, "yyyy-mm-dd hh:mm", "1899-12-31 01:00"}, {-1234.5, "hh:mm:ss", "12:00:00"},
    // Elapsed times: the bracketed unit counts the whole duration (hours past a day, minutes past
    // an hour), the others what is left of it; negative durations show a minus sign; a bracket
    // left open is shown as written.
    {25.0 / 24, "[h]:mm", "25:00"}, {1, "[h]:mm", "24:00"}, {1439.0 / 1440, "[h]:mm", "23:59"},
    {168.5 / 24, "[h]:mm", "168:30"}, {0, "[h]:mm", "0:00"}, {-8.5 / 24, "[h]:mm", "-8:30"},
    {-25.0 / 24, "[h]:mm", "-25:00"}, {8.5 / 24, "[hh]:mm", "08:30"}, {-8.5 / 24, "[hh]:mm", "-08:30"},
    {91815 / 86400.0, "[h]:mm:ss", "25:30:15"}, {86401 / 86400.0, "[h]:mm:ss", "24:00:01"},
    {86399.6 / 86400, "[h]:mm:ss", "24:00:00"}, {86399.4 / 86400, "[h]:mm:ss", "23:59:59"},
    {-0.4 / 86400, "[h]:mm:ss", "0:00:00"}, {0.35393518518518519, "[h]:mm", "8:29"},
    {5405 / 86400.0, "[mm]:ss", "90:05"}, {-5405 / 86400.0, "[mm]:ss", "-90:05"},
    {3599 / 86400.0, "[mm]:ss", "59:59"}, {3600 / 86400.0, "[m]", "60"}, {1, "[s]", "86400"},
    {45356.75, "[h]", "1088562"}, {-8.5 / 24, "\"Total \"[h]:mm", "Total -8:30"}, {2958466, "[h]:mm", "#####"},
    {-657435, "[h]:mm", "#####"}, {8.5 / 24, "[h:mm", "[8:30"},
    // A twelve-hour clock: hours 12, 1 to 11, the marker in the case written; midnight and noon
    // are 12.
    {20.5 / 24, "h:mm AM/PM", "8:30 PM"}, {8.5 / 24, "h:mm AM/PM", "8:30 AM"}, {0, "h:mm AM/PM", "12:00 AM"},
    {12.5 / 24, "h:mm AM/PM", "12:30 PM"}, {43199 / 86400.0, "h:mm:ss AM/PM", "11:59:59 AM"},
    {0.5, "hh:mm AM/PM", "12:00 PM"}, {13.0 / 24, "h:mm AM/PM", "1:00 PM"}, {1.0 / 24, "h:mm AM/PM", "1:00 AM"},
    {86399 / 86400.0, "h:mm:ss AM/PM", "11:59:59 PM"}, {86399.6 / 86400, "h:mm:ss AM/PM", "12:00:00 AM"},
    {20.5 / 24, "hh:mm AM/PM", "08:30 PM"}, {20.0 / 24, "h AM/PM", "8 PM"}, {20.5 / 24, "h:mm A/P", "8:30 P"},
    {8.5 / 24, "h:mm a/p", "8:30 a"}, {73815 / 86400.0, "h:mm:ss am/pm", "8:30:15 pm"},
    {45356.75, "yyyy-mm-dd h:mm AM/PM", "2024-03-05 6:00 PM"}, {20.5 / 24, "AM/PM h:mm", "PM 8:30"},
    // Scientific notation: one digit before the point, or with "##0" an exponent that is a
    // multiple of three; a rounding carry moves the exponent; the exponent keeps its "0" places.
    {12345, "0.00E+00", "1.23E+04"}, {-12345, "0.00E+00", "-1.23E+04"}, {0, "0.00E+00", "0.00E+00"},
    {1, "0.00E+00", "1.00E+00"}, {0.00012345, "0.00E+00", "1.23E-04"}, {9.994, "0.00E+00", "9.99E+00"},
    {9.995, "0.00E+00", "1.00E+01"}, {1.235, "0.00E+00", "1.24E+00"}, {1e100, "0.00E+00", "1.00E+100"},
    {-0.0001, "0.00E+00;(0.00E+00)", "(1.00E-04)"}, {12345, "0.0E+0", "1.2E+4"}, {1.5e-7, "0.0E+0", "1.5E-7"},
    {12345, "0.00e-00", "1.23e04"}, {0.0012345, "0.00e-00", "1.23e-03"}, {0.25, "0.0%E+0", "2.5%E+1"},
    {12345, "##0.0E+0", "12.3E+3"}, {123456, "##0.0E+0", "123.5E+3"}, {999.94, "##0.0E+0", "999.9E+0"},
    {999.96, "##0.0E+0", "1.0E+3"}, {1000, "##0.0E+0", "1.0E+3"}, {0.5, "##0.0E+0", "500.0E-3"},
    {0.001, "##0.0E+0", "1.0E-3"}, {0.00099, "##0.0E+0", "990.0E-6"}, {0, "##0.0E+0", "0.0E+0"},
    {1, "##0.0E+0", "1.0E+0"}, {-12345, "##0.0E+0", "-12.3E+3"},
    {12345, "0.00000000000000000E+00", "1.23450000000000000E+04"},
    // Colours are not shown; a currency bracket shows its symbol; the text section and a picture
    // of text alone leave numbers as General shows them.
    {1.5, "[Red]0.00;[Blue]-0.00", "1.50"}, {-1.5, "[Red]0.00;[Blue]-0.00", "-1.50"},
    {0, "[Red]0.00;[Blue]-0.00", "0.00"}, {-1.5, "[Red]0.00", "-1.50"}, {-1.5, "0.00;[RED](0.00)", "(1.50)"},
    {0, "[Color10]0;[Green]-0;[Blue]\"zero\"", "zero"}, {5, "[Color 10]0", "[Color 10]5"},
    {5, "[Color]0", "[Color]5"}, {5, "[Color10]0", "5"},
    {1.5, "[Red]General", "1.5"}, {1234.5, "[$€-407]#,##0.00", "€1,234.50"}, {1234.5, "[$-409]#,##0", "1,235"},
    {8.5 / 24, "[Red]hh:mm", "08:30"}, {1.5, "@", "1.5"}, {1e15, "@", "1E+15"}, {1.5, "\"Text \"@", "1.5"},
    {1.5, "0.00;-0.00;0.00;\"T:\"@", "1.50"}, {-1.5, "0.00;(0.00);\"nil\";@", "(1.50)"},
    {0, "0.00;(0.00);\"nil\";@", "nil"}, {0.5, "h:mm;@", "12:00"}, {0.5, "0.00;\"@\"", "0.50"},
    {-0.5, "0.00;\"@\"", "@"}, {25.0 / 24, "[Red][h]:mm", "25:00"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Numbers, CellNumberTest, testing::ValuesIn(cellNumbers));

// General shows up to fifteen digits; a value that is not finite is not formatted.
TEST(FormatGeneral, ShowsUpToFifteenDigits)
{
    // clang-format off
    const std::pair<double, const char*> numbers[] = {
        {0, "0"}, {-0.0, "0"}, {1, "1"}, {100, "100"}, {-1.5, "-1.5"}, {0.25, "0.25"},
        {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"}, {0.1 + 0.2, "0.3"},
        {12345.678, "12345.678"}, {1234567.891, "1234567.891"}, {999999999999999, "999999999999999"},
        {1e15, "1E+15"}, {9.9999999999999999e14, "1E+15"}, {123456789012345678.0, "1.23456789012346E+17"},
        {1e20, "1E+20"}, {-1e100, "-1E+100"}, {1e-9, "0.000000001"}, {1.25e-7, "0.000000125"}, {1e-10, "1E-10"},
        {-1.5e-10, "-1.5E-10"}};
    // clang-format on
    for (const auto& [value, text] : numbers)
        EXPECT_EQ(formatGeneral(value), q(text)) << value;
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity(), u"0.00"_qs), u"inf"_qs);
}

// Byte lengths count double-byte characters (and a lone surrogate) twice; padding fills and never cuts.
TEST(ByteLength, CountsDoubleByteCharactersTwiceAndPaddingNeverCuts)
{
    // clang-format off
    const std::pair<QString, int> cases[] = {{"", 0}, {"ABCDEFGHIJK", 11}, {"出勤天数出勤", 12}, {"出勤天数出", 10},
        {"A出", 3}, {"é", 2}, {"𠀀", 2}, {"a𠀀b", 4}, {"，", 2}, {QChar(0x7F), 1}, {QChar(0x80), 2}, {QChar(0xD800), 2}, {QString(QChar(0xD800)) + u'a', 3}};
    // clang-format on
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(byteLength(text), bytes) << text.toStdString();
    EXPECT_EQ(QStringList({zeroFill(3, 2), zeroFill(123, 2), zeroFill(0, 2), zeroFill(-5, 3),
                           zeroFill(-5, 3, u' '), zeroFill(7, 0), padRight(u"ab"_qs, 4),
                           padRight(u"abcdef"_qs, 4), padRight(u"考勤"_qs, 4, u'*')}),
              QStringList({"03", "123", "00", "-05", " -5", "7", "ab  ", "abcdef", "考勤**"}));
}

// Column letters for every column of a workbook, else BR; rows in decimal with their sign; the
// ranges join the pieces.
TEST(ColumnAddress, LettersForEveryColumnOfAWorkbookElseBRAndRowsAndRanges)
{
    const int low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
    // clang-format off
    const std::pair<int, const char*> cases[] = {
        {1, "$A"}, {8, "$H"}, {26, "$Z"}, {27, "$AA"}, {52, "$AZ"}, {53, "$BA"}, {69, "$BQ"}, {70, "$BR"}, {71, "$BS"},
        {75, "$BW"}, {100, "$CV"}, {702, "$ZZ"}, {703, "$AAA"}, {16384, "$XFD"}, {16385, "$BR"}, {0, "$BR"},
        {-1, "$BR"}, {low, "$BR"}, {high, "$BR"}};
    // clang-format on
    for (const auto& [column, address] : cases)
        EXPECT_EQ(ColumnAddress(column), q(address)) << column;
    QSet<QString> seen; // every column in reach has its own letters
    for (int c = 1; c <= 100; ++c)
        seen.insert(ColumnAddress(c));
    EXPECT_EQ(seen.size(), 100);
    EXPECT_EQ(QStringList({RowAddress(1), RowAddress(0), RowAddress(123), RowAddress(16000), RowAddress(-3)}),
              QStringList({"$1", "$0", "$123", "$16000", "$-3"}));
    EXPECT_EQ(QStringList({RowRange(5, 69), RowRange(3, 8), RowRange(5, 75), PrintArea(8, 40)}),
              QStringList({"$A$5:$BQ$5", "$A$3:$H$3", "$A$5:$BW$5", "$A$1:$H$40"}));
}

} // namespace

// shownAsFixed is the shown digits read back, bit for bit: halves at every place, values
// near a power of ten, 15 and 16 significant digits, signs and zeros, and random sums.
TEST(ShownAsFixed, ReadsAsTheShownDigits)
{
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    // clang-format off
    std::vector<double> values{0.0, -0.0, 0.005, 0.015, 1.005, 2.675, -0.005, -0.0049, 0.0049999999999, 99.995, 999.9949,
        1e12 + 0.005, 99999999999.995, 9999999999999.5, 1e13, 1e15, 1e16, 1e300, 5e-324, -123.455, 0.125, 0.375,
        1.0 / 3, 2.0 / 3, -2.0 / 3, 4503599627370495.5, inf, nan};
    // clang-format on
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 20000; ++i) { // a third place of 5 rounds half up
        const double v = unit(random) * std::pow(10.0, double(i % 18) - 3);
        values.insert(values.end(), {v, std::round(v * 1000) / 1000});
    }
    double running = 0, tenths = 0, cents = 0;
    for (int i = 0; i < 5000; ++i) { // the sum row's running totals of hours
        running = shownAsFixed(running + std::round(unit(random) * 80) / 10 + 0.005, 2);
        values.insert(values.end(), {running + 0.005, running});
    }
    for (int i = 0; i < 3000; ++i) { // sums that end near a place: 0.1 + 0.2, and far from zero
        tenths += std::round(unit(random) * 80) / 10;
        cents += std::round(unit(random) * 1e6) / 100;
        values.insert(values.end(), {tenths, cents, cents * 1e4, tenths / 1e4, std::nextafter(cents, 0.0)});
    }
    const auto bits = [](double v) {
        return std::bit_cast<quint64>(v);
    };
    const QStringList pictures{"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0.000000"};
    for (const double v : values) {
        for (int decimals = 0; decimals <= 6; ++decimals)
            ASSERT_EQ(bits(shownAsFixed(v, decimals)),
                      bits(numericValue(formatNumber(v, pictures[decimals]))))
                << std::setprecision(17) << v << " to " << decimals;
        ASSERT_EQ(bits(shownAsFixed(v, 2)), bits(numericValue(formatNumber(v, "##0.00"))))
            << std::setprecision(17) << v;
    }
}
