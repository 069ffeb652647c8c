// Printing formulas back, their references, and moving references for inserted or deleted
// columns and rows and for copies.
#include "TestCells.h"
#include "grid/formula/Formula.h"

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

struct TextCase
{
    const char* input;
    const char* canonical;
};

class FormulaText : public ::testing::TestWithParam<TextCase>
{};

TEST_P(FormulaText, PrintsCanonicalTextThatReadsBackTheSame)
{
    const Formula f = Formula::parse(QString::fromUtf8(GetParam().input));
    ASSERT_TRUE(f.isValid()) << f.errorMessage().toStdString();
    EXPECT_EQ(f.text(), QString::fromUtf8(GetParam().canonical));
    EXPECT_EQ(Formula::parse(f.text()).text(), f.text());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormulaText,
    ::testing::Values(
        TextCase{"=sum( a1 : b2 )*2", "=SUM(A1:B2)*2"}, TextCase{"1+2", "=1+2"},
        TextCase{"=$a$1+b$2+$c3", "=$A$1+B$2+$C3"}, TextCase{"=SUM(B2:A1)", "=SUM(A1:B2)"},
        TextCase{"=-2^2", "=-2^2"}, TextCase{"=2^-2", "=2^-2"}, TextCase{"=(1+2)*3", "=(1+2)*3"},
        TextCase{"=1- -1", "=1--1"}, TextCase{"=50 %", "=50%"}, TextCase{"=\"a\"\"b\"", "=\"a\"\"b\""},
        TextCase{"=1.50", "=1.5"}, TextCase{"=1e20", "=1E+20"}, TextCase{"=0.1", "=0.1"},
        TextCase{"=12345678901234567", "=12345678901234568"}, TextCase{"=IF(A1,,1)", "=IF(A1,,1)"},
        TextCase{"=foo(1)", "=FOO(1)"}, TextCase{"=myName+1", "=myName+1"}, TextCase{"=#ref!+1", "=#REF!+1"},
        TextCase{"=a1<>b1", "=A1<>B1"}, TextCase{"=a1 >= 2", "=A1>=2"}, TextCase{"=true", "=TRUE"},
        TextCase{"=\"出勤\"&A1", "=\"出勤\"&A1"}, TextCase{"=NOW()", "=NOW()"}));

TEST(FormulaReferences, ListsCellsAndRangesInOrder)
{
    const Formula f = Formula::parse(QStringLiteral("=A1+SUM($B$2:C3)*A1+IF(D4,E5:F6)"));
    const auto refs = f.references();
    ASSERT_EQ(refs.size(), 5u);
    EXPECT_EQ(refs[0].toString(), QStringLiteral("A1"));
    EXPECT_EQ(refs[1].toString(), QStringLiteral("$B$2:C3"));
    EXPECT_TRUE(refs[1].contains(3, 3));
    EXPECT_EQ(refs[2].toString(), QStringLiteral("A1"));
    EXPECT_EQ(refs[3].toString(), QStringLiteral("D4"));
    EXPECT_EQ(refs[4].toString(), QStringLiteral("E5:F6"));
    EXPECT_TRUE(Formula::parse(QStringLiteral("=1+2")).references().empty());
}

struct ShiftCase
{
    const char* formula;
    int at;
    int delta;
    const char* shifted;
};

void PrintTo(const ShiftCase& c, std::ostream* os)
{
    *os << c.formula << " at " << c.at << " by " << c.delta;
}

class ShiftColumns : public ::testing::TestWithParam<ShiftCase>
{};

TEST_P(ShiftColumns, MovesReferencesWithTheirCells)
{
    const Formula f = Formula::parse(QString::fromUtf8(GetParam().formula));
    EXPECT_EQ(f.shiftedColumns(GetParam().at, GetParam().delta), QString::fromUtf8(GetParam().shifted));
}

INSTANTIATE_TEST_SUITE_P(
    Insert, ShiftColumns,
    ::testing::Values(ShiftCase{"=A1+C1", 2, 1, "=A1+D1"}, ShiftCase{"=SUM(A1:C1)", 2, 1, "=SUM(A1:D1)"},
                      ShiftCase{"=SUM(B1:C1)", 2, 1, "=SUM(C1:D1)"},
                      ShiftCase{"=SUM(A1:B1)", 3, 1, "=SUM(A1:B1)"}, ShiftCase{"=$C$1*2", 1, 2, "=$E$1*2"},
                      ShiftCase{"=$C1+C$1", 3, 1, "=$D1+D$1"}, ShiftCase{"=IV1", 1, 1, "=#REF!"},
                      ShiftCase{"=SUM(A1:IV1)", 5, 1, "=SUM(A1:IV1)"},
                      ShiftCase{"=SUM(IU1:IV1)", 3, 5, "=SUM(#REF!)"}, ShiftCase{"=1+2", 1, 3, "=1+2"},
                      ShiftCase{"=A1*2", 2, 0, "=A1*2"}));

INSTANTIATE_TEST_SUITE_P(Delete, ShiftColumns,
                         ::testing::Values(ShiftCase{"=A1+C1", 2, -1, "=A1+B1"},
                                           ShiftCase{"=B1*2", 2, -1, "=#REF!*2"},
                                           ShiftCase{"=SUM(A1:D1)", 2, -2, "=SUM(A1:B1)"},
                                           ShiftCase{"=SUM(B1:C1)", 2, -2, "=SUM(#REF!)"},
                                           ShiftCase{"=SUM(B1:D1)", 1, -2, "=SUM(A1:B1)"},
                                           ShiftCase{"=SUM(A1:C1)", 3, -5, "=SUM(A1:B1)"},
                                           ShiftCase{"=SUM(A1:A5)", 2, -1, "=SUM(A1:A5)"},
                                           ShiftCase{"=$D$4+IF(C1,B1)", 2, -2, "=$B$4+IF(#REF!,#REF!)"}));

TEST(ShiftColumns, ResultReadsBackAndRefErrorsEvaluate)
{
    TestCells cells;
    cells.set(1, 1, N(4));
    const Formula f = Formula::parse(QStringLiteral("=A1+B1"));
    const Formula shifted = Formula::parse(f.shiftedColumns(2, -1));
    ASSERT_TRUE(shifted.isValid());
    EXPECT_EQ(shifted.evaluate(cells), E(ErrorCode::Ref));
    EXPECT_EQ(Formula::parse(f.shiftedColumns(1, 1)).text(), QStringLiteral("=B1+C1"));
}

class ShiftRows : public ::testing::TestWithParam<ShiftCase>
{};

TEST_P(ShiftRows, MovesReferencesWithTheirCells)
{
    const Formula f = Formula::parse(QString::fromUtf8(GetParam().formula));
    EXPECT_EQ(f.shiftedRows(GetParam().at, GetParam().delta), QString::fromUtf8(GetParam().shifted));
}

INSTANTIATE_TEST_SUITE_P(InsertAndDelete, ShiftRows,
                         ::testing::Values(ShiftCase{"=A5", 3, 2, "=A7"}, ShiftCase{"=A2", 3, 2, "=A2"},
                                           ShiftCase{"=SUM(A1:A10)", 3, -2, "=SUM(A1:A8)"},
                                           ShiftCase{"=A3", 3, -1, "=#REF!"},
                                           ShiftCase{"=SUM($B$2:C4)", 1, 1, "=SUM($B$3:C5)"},
                                           ShiftCase{"=A65536", 2, 1, "=#REF!"}));

class CopyFormula : public ::testing::TestWithParam<ShiftCase>
{};

TEST_P(CopyFormula, MovesRelativePartsOnly)
{
    const Formula f = Formula::parse(QString::fromUtf8(GetParam().formula));
    EXPECT_EQ(f.copied(GetParam().at, GetParam().delta), QString::fromUtf8(GetParam().shifted));
}

// at = rows, delta = columns for these cases.
INSTANTIATE_TEST_SUITE_P(Offsets, CopyFormula,
                         ::testing::Values(ShiftCase{"=A1+$B$1+$C2+D$3", 1, 1, "=B2+$B$1+$C3+E$3"},
                                           ShiftCase{"=A1", -1, 0, "=#REF!"},
                                           ShiftCase{"=SUM($A$1:A3)", 2, 0, "=SUM($A$1:A5)"},
                                           ShiftCase{"=SUM(B1:$C$1)", 0, 3, "=SUM($C$1:E1)"}));

} // namespace
