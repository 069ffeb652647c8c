#include "text/TextFunctions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

using namespace talor::text;

namespace {

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// ---- numeric value ------------------------------------------------------------------

struct NumericCase
{
    const char* text;
    double expected;
};

void PrintTo(const NumericCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class NumericValueTest : public testing::TestWithParam<NumericCase>
{};

TEST_P(NumericValueTest, TakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(numericValue(q(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericValueTest,
                         testing::Values(NumericCase{"12abc", 12}, NumericCase{"1e3x", 1000},
                                         NumericCase{"abc", 0}, NumericCase{" -3.5", -3.5},
                                         NumericCase{"1e", 1}, NumericCase{"1e+", 1},
                                         NumericCase{"1E-2", 0.01}, NumericCase{".", 0}, NumericCase{"", 0},
                                         NumericCase{"-", 0}, NumericCase{"+.5", 0.5}, NumericCase{"5.", 5},
                                         NumericCase{"1.5.3", 1.5}, NumericCase{"\t 7", 7},
                                         NumericCase{"2147483648", 2147483648.0}, NumericCase{"0.00", 0},
                                         NumericCase{"12.50元", 12.5}, NumericCase{"1,234", 1},
                                         NumericCase{"- 5", 0}, NumericCase{"e5", 0}, NumericCase{"007", 7},
                                         NumericCase{"1.2E+307", 1.2e307}, NumericCase{"１２", 0}));

TEST(NumericValue, OverflowIsInfiniteSoUpperBoundsRejectIt)
{
    EXPECT_TRUE(std::isinf(numericValue(QStringLiteral("1e400"))));
    EXPECT_GT(numericValue(QStringLiteral("1e400")), 1.2e307);
    EXPECT_LT(numericValue(QStringLiteral("-1e400")), 0);
    EXPECT_EQ(numericValue(QStringLiteral("1e-400")), 0.0);
}

TEST(ParseNumber, WholeTextOnly)
{
    EXPECT_EQ(parseNumber(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_FALSE(parseNumber(QStringLiteral("12abc")));
    EXPECT_FALSE(parseNumber(QString()));
    EXPECT_FALSE(parseNumber(QStringLiteral("1e")));
    EXPECT_FALSE(parseNumber(QStringLiteral("2024-01-05")));
}

// ---- format function ----------------------------------------------------------------

struct FormatCase
{
    const char* text;
    const char* picture;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" with \"" << c.picture << '"';
}

class FormatTest : public testing::TestWithParam<FormatCase>
{};

TEST_P(FormatTest, FormatsLikeASpreadsheet)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(format(q(c.text), q(c.picture)).toStdString(), std::string(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatTest,
    testing::Values(
        FormatCase{"12.5", "#0.00", "12.50"}, FormatCase{"1234.5", "#,##0.00", "1,234.50"},
        FormatCase{"0.25", "0%", "25%"}, FormatCase{"0", "##0.00", "0.00"}, FormatCase{"0", "#0.00", "0.00"},
        FormatCase{"0", "#.##", "."}, FormatCase{"0.5", "#.00", ".50"},
        FormatCase{"-12.5", "#0.00", "-12.50"}, FormatCase{"-0.001", "0.00", "0.00"},
        FormatCase{"2.675", "0.00", "2.68"}, FormatCase{"1.005", "0.00", "1.01"},
        FormatCase{"-2.5", "0", "-3"}, FormatCase{"0.1", "0.00", "0.10"},
        FormatCase{"99.995", "0.00", "100.00"}, FormatCase{"999.5", "#,##0", "1,000"},
        FormatCase{"1234567.891", "#,##0.00", "1,234,567.89"}, FormatCase{"-1234567", "#,##0", "-1,234,567"},
        FormatCase{"123456", "00", "123456"}, FormatCase{"5", "000", "005"}, FormatCase{"1.5", "0.0#", "1.5"},
        FormatCase{"1.25", "0.0#", "1.25"}, FormatCase{"1.2", "0.###", "1.2"},
        FormatCase{"12.5", "0.00元", "12.50元"}, FormatCase{"8", "0\"小时\"", "8小时"},
        FormatCase{"7", "\\#0", "#7"}, FormatCase{"5551234", "000-0000", "555-1234"},
        FormatCase{"0.125", "0.0%", "12.5%"}, FormatCase{"1e3", "0", "1000"}, FormatCase{" 3 ", "0.0", "3.0"},
        FormatCase{"1e20", "#,##0", "100,000,000,000,000,000,000"}, FormatCase{"5", "0;(0)", "5"},
        FormatCase{"-5", "0;(0)", "(5)"}, FormatCase{"0", "0.0;-0.0;\"零\"", "零"},
        FormatCase{"0.3", "0.00", "0.30"},
        FormatCase{"0.1", "0.00000000000000000000", "0.10000000000000000000"},
        FormatCase{"1e-5", "0.00", "0.00"}, FormatCase{"0.005", "0.00", "0.01"},
        FormatCase{"-0", "0.00", "0.00"}, FormatCase{"-0.004", "0.00;(0.00)", "(0.00)"},
        FormatCase{"12345.678", "#,##0.0%", "1,234,567.8%"}));

INSTANTIATE_TEST_SUITE_P(
    DatesAndTimes, FormatTest,
    testing::Values(
        FormatCase{"2024-01-05 08:00", "yyyy-mm-dd", "2024-01-05"},
        FormatCase{"2024-1-5", "yyyy-mm-dd", "2024-01-05"},
        FormatCase{"2024/2/3", "yyyy-mm-dd", "2024-02-03"},
        FormatCase{"2024年2月3日", "yyyy-mm-dd", "2024-02-03"}, FormatCase{"2024-02-03", "yy/m/d", "24/2/3"},
        FormatCase{"2024-02-03", "YYYY-MM-DD", "2024-02-03"},
        FormatCase{"2024-02-03 08:05:09", "yyyy年mm月dd日 hh时nn分ss秒", "2024年02月03日 08时05分09秒"},
        FormatCase{"8:30", "hh:nn:ss", "08:30:00"}, FormatCase{"8:30", "h:n", "8:30"},
        FormatCase{"8:05", "hh:mm", "08:05"}, FormatCase{"8:05:09", "mm:ss", "05:09"},
        FormatCase{"2024-03-07 08:05", "mm-dd hh:mm", "03-07 08:05"},
        FormatCase{"2024-03-07 18:05:01", "hh:nn:ss", "18:05:01"},
        FormatCase{"8:30", "yyyy-mm-dd", "1899-12-30"}, FormatCase{"45000", "yyyy-mm-dd", "2023-03-15"},
        FormatCase{"2", "yyyy-mm-dd", "1900-01-01"}, FormatCase{"0.25", "hh:nn:ss", "06:00:00"},
        FormatCase{"45000.5", "yyyy-mm-dd hh:nn", "2023-03-15 12:00"},
        FormatCase{"1e300", "yyyy-mm-dd", "1e300"}, FormatCase{"2024-02-03", "\"d\"d", "d3"},
        FormatCase{"2024-02-03T07:00", "hh", "07"}));

INSTANTIATE_TEST_SUITE_P(
    LeftUnchanged, FormatTest,
    testing::Values(FormatCase{"abc", "#0.00", "abc"}, FormatCase{"abc", "yyyy-mm-dd", "abc"},
                    FormatCase{"12abc", "#0.00", "12abc"}, FormatCase{"", "#0.00", ""},
                    FormatCase{"", "yyyy-mm-dd", ""}, FormatCase{"12.5", "", "12.5"},
                    FormatCase{"12.5", "   ", "12.5"}, FormatCase{"12.5", "abc", "12.5"},
                    FormatCase{"2024-01-05", "#0.00", "2024-01-05"}, FormatCase{"8:30", "0.00", "8:30"},
                    FormatCase{"2024-02-30", "yyyy-mm-dd", "2024-02-30"},
                    FormatCase{"25:61", "hh:nn:ss", "25:61"}, FormatCase{"1,234", "#,##0", "1,234"}));

INSTANTIATE_TEST_SUITE_P(NamedFormats, FormatTest,
                         testing::Values(FormatCase{"1234.5", "Standard", "1,234.50"},
                                         FormatCase{"3", "fixed", "3.00"},
                                         FormatCase{"0.5", "Percent", "50.00%"},
                                         FormatCase{"12", "General", "12"},
                                         FormatCase{"12.50", "General Number", "12.50"},
                                         FormatCase{"2024-2-3 8:05", "Short Date", "2024-02-03"},
                                         FormatCase{"2024-2-3 8:05", "Long Time", "08:05:00"},
                                         FormatCase{"8:05:59", "Short Time", "08:05"}));

TEST(FormatNumber, NonFiniteValuesAreNotFormatted)
{
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity(), QStringLiteral("0.00")),
              QStringLiteral("inf"));
}

// ---- date and time tests ------------------------------------------------------------

struct DateCase
{
    const char* text;
    bool date;
    bool time;
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class DateTimeTest : public testing::TestWithParam<DateCase>
{};

TEST_P(DateTimeTest, Recognises)
{
    const DateCase& c = GetParam();
    EXPECT_EQ(isValidDate(q(c.text)), c.date);
    EXPECT_EQ(isValidTime(q(c.text)), c.time);
    EXPECT_EQ(isValidDateOrTime(q(c.text)), c.date || c.time);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateTimeTest,
    testing::Values(DateCase{"2024-2-3", true, false}, DateCase{"2024-02-03", true, false},
                    DateCase{"2024/2/3", true, false}, DateCase{"2024.2.3", true, false},
                    DateCase{"2024年2月3日", true, false}, DateCase{"2024-02-03 08:30:00", true, false},
                    DateCase{"2024-02-03T08:30", true, false}, DateCase{" 2024-02-03 ", true, false},
                    DateCase{"2024-02-29", true, false}, DateCase{"2023-02-29", false, false},
                    DateCase{"2024-02-30", false, false}, DateCase{"2024-13-01", false, false},
                    DateCase{"2024-00-10", false, false}, DateCase{"2024-2/3", false, false},
                    DateCase{"2024-02-03 25:00", false, false}, DateCase{"2024-02-03 junk", false, false},
                    DateCase{"24-2-3", false, false}, DateCase{"", false, false},
                    DateCase{"abc", false, false}, DateCase{"45000", false, false},
                    DateCase{"8:30", false, true}, DateCase{"08:30:15", false, true},
                    DateCase{"23:59:59.999", false, true}, DateCase{"08:30:00.123456", false, true},
                    DateCase{"2024-01-05T08:00:00.000", true, false}, DateCase{"8:30:", false, false},
                    DateCase{"0:00", false, true}, DateCase{"25:61", false, false},
                    DateCase{"24:00", false, false}, DateCase{"8:60", false, false},
                    DateCase{"8:30:60", false, false}, DateCase{"8", false, false},
                    DateCase{"８:30", false, false}));

TEST(ParseDateTime, KeepsTheTimeOfDay)
{
    const std::optional<QDateTime> dt = parseDateTime(QStringLiteral("2024-02-03 08:30:15"));
    ASSERT_TRUE(dt);
    EXPECT_EQ(dt->date(), QDate(2024, 2, 3));
    EXPECT_EQ(dt->time(), QTime(8, 30, 15));
    EXPECT_EQ(parseTime(QStringLiteral("8:30:15.25")), QTime(8, 30, 15, 250));
    EXPECT_EQ(parseTime(QStringLiteral("8:30:15.123999")), QTime(8, 30, 15, 123));
}

TEST(DateTimeFromSerial, SpreadsheetDayNumbers)
{
    EXPECT_EQ(dateTimeFromSerial(0)->date(), QDate(1899, 12, 30));
    EXPECT_EQ(dateTimeFromSerial(2)->date(), QDate(1900, 1, 1));
    EXPECT_EQ(dateTimeFromSerial(3)->date(), QDate(1900, 1, 2));
    EXPECT_EQ(dateTimeFromSerial(0.25)->time(), QTime(6, 0));
    // 8:30 as a fraction of a day comes back to the exact minute, not a millisecond short.
    EXPECT_EQ(dateTimeFromSerial(8.5 / 24)->time(), QTime(8, 30));
    EXPECT_EQ(dateTimeFromSerial(-1)->date(), QDate(1899, 12, 29));
    EXPECT_EQ(dateTimeFromSerial(2958465)->date(), QDate(9999, 12, 31));
    EXPECT_FALSE(dateTimeFromSerial(2958466));
    EXPECT_FALSE(dateTimeFromSerial(std::nan("")));
}

// ---- byte length --------------------------------------------------------------------

struct BytesCase
{
    const char* text;
    int bytes;
};

void PrintTo(const BytesCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ByteLengthTest : public testing::TestWithParam<BytesCase>
{};

TEST_P(ByteLengthTest, CountsDoubleByteCharactersTwice)
{
    EXPECT_EQ(byteLength(q(GetParam().text)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, ByteLengthTest,
                         testing::Values(BytesCase{"", 0}, BytesCase{"ABCDEFGHIJK", 11},
                                         BytesCase{"出勤天数出勤", 12}, BytesCase{"出勤天数出", 10},
                                         BytesCase{"A出", 3}, BytesCase{"é", 2}, BytesCase{"𠀀", 2},
                                         BytesCase{"a𠀀b", 4}, BytesCase{"，", 2}));

TEST(ByteLength, LoneSurrogateCountsTwo)
{
    EXPECT_EQ(byteLength(QString(QChar(0xD800))), 2);
    EXPECT_EQ(byteLength(QString(QChar(0xD800)) + u'a'), 3);
}

// ---- padding ------------------------------------------------------------------------

TEST(ZeroFill, FillsOnTheLeftAndNeverCuts)
{
    EXPECT_EQ(zeroFill(3, 2), QStringLiteral("03"));
    EXPECT_EQ(zeroFill(12, 2), QStringLiteral("12"));
    EXPECT_EQ(zeroFill(123, 2), QStringLiteral("123"));
    EXPECT_EQ(zeroFill(0, 2), QStringLiteral("00"));
    EXPECT_EQ(zeroFill(-5, 3), QStringLiteral("-05"));
    EXPECT_EQ(zeroFill(-5, 3, u' '), QStringLiteral(" -5"));
    EXPECT_EQ(zeroFill(7, 0), QStringLiteral("7"));
}

TEST(PadRight, FillsOnTheRightAndNeverCuts)
{
    EXPECT_EQ(padRight(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
    EXPECT_EQ(padRight(QStringLiteral("abcdef"), 4), QStringLiteral("abcdef"));
    EXPECT_EQ(padRight(QStringLiteral("考勤"), 4, u'*'), QStringLiteral("考勤**"));
}

// ---- addresses ----------------------------------------------------------------------

struct ColumnCase
{
    int column;
    const char* address;
};

void PrintTo(const ColumnCase& c, std::ostream* os)
{
    *os << c.column;
}

class ColumnAddressTest : public testing::TestWithParam<ColumnCase>
{};

TEST_P(ColumnAddressTest, LettersUpTo69ThenBR)
{
    EXPECT_EQ(ColumnAddress(GetParam().column).toStdString(), std::string(GetParam().address));
}

INSTANTIATE_TEST_SUITE_P(Columns, ColumnAddressTest,
                         testing::Values(ColumnCase{1, "$A"}, ColumnCase{8, "$H"}, ColumnCase{26, "$Z"},
                                         ColumnCase{27, "$AA"}, ColumnCase{52, "$AZ"}, ColumnCase{53, "$BA"},
                                         ColumnCase{69, "$BQ"}, ColumnCase{70, "$BR"}, ColumnCase{71, "$BR"},
                                         ColumnCase{256, "$BR"}, ColumnCase{0, "$BR"}, ColumnCase{-1, "$BR"},
                                         ColumnCase{std::numeric_limits<int>::min(), "$BR"},
                                         ColumnCase{std::numeric_limits<int>::max(), "$BR"}));

TEST(ColumnAddress, EveryColumnInReachHasDistinctLetters)
{
    QStringList seen;
    for (int c = 1; c <= 69; ++c) {
        const QString a = ColumnAddress(c);
        EXPECT_FALSE(seen.contains(a)) << c;
        seen.append(a);
    }
}

TEST(RowAddress, DecimalWithSign)
{
    EXPECT_EQ(RowAddress(1), QStringLiteral("$1"));
    EXPECT_EQ(RowAddress(0), QStringLiteral("$0"));
    EXPECT_EQ(RowAddress(123), QStringLiteral("$123"));
    EXPECT_EQ(RowAddress(16000), QStringLiteral("$16000"));
    EXPECT_EQ(RowAddress(-3), QStringLiteral("$-3"));
}

TEST(Ranges, JoinThePieces)
{
    EXPECT_EQ(RowRange(5, 69), QStringLiteral("$A$5:$BQ$5"));
    EXPECT_EQ(RowRange(3, 8), QStringLiteral("$A$3:$H$3"));
    EXPECT_EQ(RowRange(5, 75), QStringLiteral("$A$5:$BR$5"));
    EXPECT_EQ(PrintArea(8, 40), QStringLiteral("$A$1:$H$40"));
}

} // namespace
