// Printing formulas back, their references, and moving references for inserted or deleted
// columns and rows and for copies.
#include "TestCells.h"
#include "grid/formula/Formula.h"

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

// clang-format off
TEST(FormulaText, PrintsCanonicalTextThatReadsBackTheSame)
{
    const std::pair<const char*, const char*> texts[] = {
        {"=sum( a1 : b2 )*2", "=SUM(A1:B2)*2"}, {"1+2", "=1+2"}, {"=$a$1+b$2+$c3", "=$A$1+B$2+$C3"},
        {"=SUM(B2:A1)", "=SUM(A1:B2)"}, {"=-2^2", "=-2^2"}, {"=2^-2", "=2^-2"}, {"=(1+2)*3", "=(1+2)*3"},
        {"=1- -1", "=1--1"}, {"=50 %", "=50%"}, {"=\"a\"\"b\"", "=\"a\"\"b\""}, {"=1.50", "=1.5"},
        {"=1e20", "=1E+20"}, {"=0.1", "=0.1"}, {"=12345678901234567", "=12345678901234568"},
        {"=IF(A1,,1)", "=IF(A1,,1)"}, {"=foo(1)", "=FOO(1)"}, {"=myName+1", "=myName+1"}, {"=#ref!+1", "=#REF!+1"},
        {"=a1<>b1", "=A1<>B1"}, {"=a1 >= 2", "=A1>=2"}, {"=true", "=TRUE"}, {"=\"出勤\"&A1", "=\"出勤\"&A1"},
        {"=NOW()", "=NOW()"},
        // A range's corners keep the "$" of the reference each came from; on a tie the first one leads.
        {"=SUM($B1:A$3)", "=SUM(A1:$B$3)"}, {"=SUM(A$1:$A1)", "=SUM(A$1:$A1)"}, {"=SUM(E1:$C$1)", "=SUM($C$1:E1)"}};
    // clang-format on
    for (const auto& [input, canonical] : texts) {
        const Formula f = Formula::parse(QString::fromUtf8(input));
        EXPECT_TRUE(f.isValid()) << input << ": " << f.errorMessage().toStdString();
        EXPECT_EQ(f.text(), QString::fromUtf8(canonical)) << input;
        EXPECT_EQ(Formula::parse(f.text()).text(), f.text()) << input;
    }
}

TEST(FormulaReferences, ListsCellsAndRangesInOrder)
{
    const Formula f = Formula::parse(QStringLiteral("=A1+SUM($B$2:C3)*A1+IF(D4,E5:F6)"));
    QStringList refs;
    for (const auto& ref : f.references())
        refs << ref.toString();
    EXPECT_EQ(refs.join(u' '), QStringLiteral("A1 $B$2:C3 A1 D4 E5:F6"));
    EXPECT_TRUE(f.references()[1].contains(3, 3));
    EXPECT_TRUE(Formula::parse(QStringLiteral("=1+2")).references().empty());
}

// How references move: 'c' columns inserted (delta > 0) or deleted at `at`, 'r' the same for
// rows, 'p' a copy `at` rows down and `delta` columns right.
struct ShiftCase
{
    char how;
    const char* formula;
    int at;
    int delta;
    const char* shifted;
};

class ShiftReferences : public ::testing::TestWithParam<ShiftCase>
{};

TEST_P(ShiftReferences, MovesReferencesWithTheirCells)
{
    const ShiftCase& c = GetParam();
    const Formula f = Formula::parse(QString::fromUtf8(c.formula));
    const QString shifted = c.how == 'c'   ? f.shiftedColumns(c.at, c.delta)
                            : c.how == 'r' ? f.shiftedRows(c.at, c.delta)
                                           : f.copied(c.at, c.delta);
    EXPECT_EQ(shifted, QString::fromUtf8(c.shifted))
        << c.how << ' ' << c.formula << " at " << c.at << " by " << c.delta;
}

// clang-format off
const ShiftCase shifts[] = {
    {'c', "=A1+C1", 2, 1, "=A1+D1"}, {'c', "=SUM(A1:C1)", 2, 1, "=SUM(A1:D1)"},
    {'c', "=SUM(B1:C1)", 2, 1, "=SUM(C1:D1)"}, {'c', "=SUM(A1:B1)", 3, 1, "=SUM(A1:B1)"},
    {'c', "=$C$1*2", 1, 2, "=$E$1*2"}, {'c', "=$C1+C$1", 3, 1, "=$D1+D$1"}, {'c', "=IV1", 1, 1, "=#REF!"},
    {'c', "=SUM(A1:IV1)", 5, 1, "=SUM(A1:IV1)"}, {'c', "=SUM(IU1:IV1)", 3, 5, "=SUM(#REF!)"},
    {'c', "=1+2", 1, 3, "=1+2"}, {'c', "=A1*2", 2, 0, "=A1*2"}, {'c', "=A1+C1", 2, -1, "=A1+B1"},
    {'c', "=B1*2", 2, -1, "=#REF!*2"}, {'c', "=SUM(A1:D1)", 2, -2, "=SUM(A1:B1)"},
    {'c', "=SUM(B1:C1)", 2, -2, "=SUM(#REF!)"}, {'c', "=SUM(B1:D1)", 1, -2, "=SUM(A1:B1)"},
    {'c', "=SUM(A1:C1)", 3, -5, "=SUM(A1:B1)"}, {'c', "=SUM(A1:A5)", 2, -1, "=SUM(A1:A5)"},
    {'c', "=$D$4+IF(C1,B1)", 2, -2, "=$B$4+IF(#REF!,#REF!)"}, {'r', "=A5", 3, 2, "=A7"}, {'r', "=A2", 3, 2, "=A2"},
    {'r', "=SUM(A1:A10)", 3, -2, "=SUM(A1:A8)"}, {'r', "=A3", 3, -1, "=#REF!"},
    {'r', "=SUM($B$2:C4)", 1, 1, "=SUM($B$3:C5)"}, {'r', "=A1048576", 2, 1, "=#REF!"},
    {'r', "=A65536", 2, 1, "=A65537"}, {'p', "=A1+$B$1+$C2+D$3", 1, 1, "=B2+$B$1+$C3+E$3"},
    {'p', "=A1", -1, 0, "=#REF!"}, {'p', "=SUM($A$1:A3)", 2, 0, "=SUM($A$1:A5)"},
    {'p', "=SUM(B1:$C$1)", 0, 3, "=SUM($C$1:E1)"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Shifts, ShiftReferences, ::testing::ValuesIn(shifts));

} // namespace
