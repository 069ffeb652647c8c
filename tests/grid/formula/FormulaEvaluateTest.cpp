// Formulas evaluated against a fixed set of cells, compared with what a spreadsheet shows.
#include "TestCells.h"
#include "grid/formula/Formula.h"

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

struct EvalCase
{
    const char* formula;
    Value expected;
};

void PrintTo(const EvalCase& c, std::ostream* os)
{
    *os << c.formula;
}

// A1=1 A2=2 A3=3 A4="text" A5 empty A6=TRUE A7="3" (text) A8=#DIV/0!
// B1=10 B2=-2.5 C1="abc" C2="ABC"
class FormulaEvaluate : public ::testing::TestWithParam<EvalCase>
{
protected:
    void SetUp() override
    {
        m_cells.set(1, 1, N(1));
        m_cells.set(2, 1, N(2));
        m_cells.set(3, 1, N(3));
        m_cells.set(4, 1, T(QStringLiteral("text")));
        m_cells.set(6, 1, B(true));
        m_cells.set(7, 1, T(QStringLiteral("3")));
        m_cells.set(8, 1, E(ErrorCode::Div0));
        m_cells.set(1, 2, N(10));
        m_cells.set(2, 2, N(-2.5));
        m_cells.set(1, 3, T(QStringLiteral("abc")));
        m_cells.set(2, 3, T(QStringLiteral("ABC")));
    }
    TestCells m_cells;
};

TEST_P(FormulaEvaluate, GivesTheSpreadsheetValue)
{
    const Formula f = Formula::parse(QString::fromUtf8(GetParam().formula));
    EXPECT_TRUE(sameValue(GetParam().expected, f.evaluate(m_cells)));
}

const QString q = QStringLiteral("\"");

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, FormulaEvaluate,
    ::testing::Values(EvalCase{"=1+2*3", N(7)}, EvalCase{"=(1+2)*3", N(9)}, EvalCase{"=7-2-1", N(4)},
                      EvalCase{"=10/4", N(2.5)}, EvalCase{"=2^3^2", N(64)}, EvalCase{"=-2^2", N(4)},
                      EvalCase{"=-(2^2)", N(-4)}, EvalCase{"=2^-1", N(0.5)}, EvalCase{"=50%", N(0.5)},
                      EvalCase{"=200%*3", N(6)}, EvalCase{"=2*3%", N(0.06)}, EvalCase{"=-50%", N(-0.5)},
                      EvalCase{"= 1 +  2 ", N(3)}, EvalCase{"1+2", N(3)}, EvalCase{"=+3", N(3)},
                      EvalCase{"=--3", N(3)}, EvalCase{"=1-(-1)", N(2)}, EvalCase{"=1e3+1", N(1001)},
                      EvalCase{"=.5*2", N(1)}, EvalCase{"=1.5E-2*100", N(1.5)},
                      EvalCase{"=1/0", E(ErrorCode::Div0)}, EvalCase{"=0^0", E(ErrorCode::Num)},
                      EvalCase{"=0^-1", E(ErrorCode::Div0)}, EvalCase{"=(-8)^(1/3)", E(ErrorCode::Num)},
                      EvalCase{"=10^400", E(ErrorCode::Num)}, EvalCase{"=1e308*10", E(ErrorCode::Num)}));

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormulaEvaluate,
    ::testing::Values(EvalCase{"=\"3\"+1", N(4)}, EvalCase{"=A7+1", N(4)}, EvalCase{"=\" 2 \"*2", N(4)},
                      EvalCase{"=\"50%\"*2", N(1)}, EvalCase{"=\"1e2\"+0", N(100)},
                      EvalCase{"=\"abc\"+1", E(ErrorCode::Value)}, EvalCase{"=A4*1", E(ErrorCode::Value)},
                      EvalCase{"=-\"x\"", E(ErrorCode::Value)}, EvalCase{"=A5+1", N(1)},
                      EvalCase{"=A5*5", N(0)}, EvalCase{"=A6+1", N(2)}, EvalCase{"=TRUE+TRUE", N(2)},
                      EvalCase{"=FALSE*5", N(0)}, EvalCase{"=A5", N(0)}, EvalCase{"=+C1", T("abc")},
                      EvalCase{"=\"\"+1", E(ErrorCode::Value)}));

INSTANTIATE_TEST_SUITE_P(Concatenation, FormulaEvaluate,
                         ::testing::Values(EvalCase{"=\"a\"&\"b\"", T("ab")},
                                           EvalCase{"=1/4&\"\"", T("0.25")},
                                           EvalCase{"=1/3&\"\"", T("0.333333333333333")},
                                           EvalCase{"=10^20&\"\"", T("1E+20")}, EvalCase{"=A5&\"x\"", T("x")},
                                           EvalCase{"=A6&\"\"", T("TRUE")}, EvalCase{"=1&2", T("12")},
                                           EvalCase{"=2&3+1", T("24")},
                                           EvalCase{"=\"say \"\"hi\"\"\"", T("say \"hi\"")},
                                           EvalCase{"=C1&\"出勤\"", T(QStringLiteral("abc出勤"))},
                                           EvalCase{"=B2&\"h\"", T("-2.5h")}));

INSTANTIATE_TEST_SUITE_P(Comparisons, FormulaEvaluate,
                         ::testing::Values(EvalCase{"=1<2", B(true)}, EvalCase{"=1<>1", B(false)},
                                           EvalCase{"=2>=2", B(true)}, EvalCase{"=2<=1", B(false)},
                                           EvalCase{"=3>2", B(true)}, EvalCase{"=1+1=2", B(true)},
                                           EvalCase{"=\"abc\"=\"ABC\"", B(true)}, EvalCase{"=C1=C2", B(true)},
                                           EvalCase{"=\"a\"<\"B\"", B(true)}, EvalCase{"=1<\"a\"", B(true)},
                                           EvalCase{"=\"z\"<TRUE", B(true)}, EvalCase{"=\"1\"=1", B(false)},
                                           EvalCase{"=A5=0", B(true)}, EvalCase{"=A5=\"\"", B(true)},
                                           EvalCase{"=A5=FALSE", B(true)}, EvalCase{"=0.1+0.2=0.3", B(true)},
                                           EvalCase{"=A1=1&\"\"", B(false)},
                                           EvalCase{"=A8=1", E(ErrorCode::Div0)}));

INSTANTIATE_TEST_SUITE_P(References, FormulaEvaluate,
                         ::testing::Values(EvalCase{"=A1+B1", N(11)}, EvalCase{"=$A$1+$B1+A$2", N(13)},
                                           EvalCase{"=a1*2", N(2)}, EvalCase{"=C1", T("abc")},
                                           EvalCase{"=A6", B(true)}, EvalCase{"=A1:A3", E(ErrorCode::Value)},
                                           EvalCase{"=IV65536", N(0)}));

INSTANTIATE_TEST_SUITE_P(
    Errors, FormulaEvaluate,
    ::testing::Values(EvalCase{"=A8+1", E(ErrorCode::Div0)}, EvalCase{"=FOO(1)", E(ErrorCode::Name)},
                      EvalCase{"=foo", E(ErrorCode::Name)}, EvalCase{"=IW1", E(ErrorCode::Name)},
                      EvalCase{"=#REF!+1", E(ErrorCode::Ref)}, EvalCase{"=1+#N/A", E(ErrorCode::NA)},
                      EvalCase{"=#n/a", E(ErrorCode::NA)}, EvalCase{"=#DIV/0!", E(ErrorCode::Div0)},
                      EvalCase{"=#name?&1", E(ErrorCode::Name)},
                      EvalCase{"=IF(1,#CIRC!)", E(ErrorCode::Circular)},
                      EvalCase{"=A8&\"x\"", E(ErrorCode::Div0)}, EvalCase{"=1/0+#N/A", E(ErrorCode::Div0)},
                      EvalCase{"=#N/A+1/0", E(ErrorCode::NA)}, EvalCase{"=SUM(A1:A8)", E(ErrorCode::Div0)},
                      EvalCase{"=IF(A8,1,2)", E(ErrorCode::Div0)},
                      EvalCase{"=ROUND(1/0,2)", E(ErrorCode::Div0)}, EvalCase{"=-A8", E(ErrorCode::Div0)},
                      EvalCase{"=A8%", E(ErrorCode::Div0)}, EvalCase{"=\"x\"&FOO()", E(ErrorCode::Name)}));

INSTANTIATE_TEST_SUITE_P(
    Aggregates, FormulaEvaluate,
    ::testing::Values(EvalCase{"=SUM(A1:A3)", N(6)}, EvalCase{"=SUM(A1:A7)", N(6)},
                      EvalCase{"=SUM(A3:A1)", N(6)}, EvalCase{"=SUM(1,\"2\",TRUE)", N(4)},
                      EvalCase{"=SUM(A1:A3,10)", N(16)}, EvalCase{"=SUM(A1:B2)", N(10.5)},
                      EvalCase{"=SUM(\"x\")", E(ErrorCode::Value)}, EvalCase{"=SUM(A4)", N(0)},
                      EvalCase{"=SUM(A7)", N(0)}, EvalCase{"=sum(a1:a3)", N(6)},
                      EvalCase{"=Sum( A1 , A2 )", N(3)}, EvalCase{"=SUM()", E(ErrorCode::Value)},
                      EvalCase{"=AVERAGE(A1:A3)", N(2)}, EvalCase{"=AVERAGE(A1:A7)", N(2)},
                      EvalCase{"=AVERAGE(A1:A3,B1)", N(4)}, EvalCase{"=AVERAGE(A4:A5)", E(ErrorCode::Div0)},
                      EvalCase{"=AVERAGE(A1:A8)", E(ErrorCode::Div0)}, EvalCase{"=COUNT(A1:A8)", N(3)},
                      EvalCase{"=COUNT(1,\"2\",\"x\",TRUE)", N(3)}, EvalCase{"=COUNT(A8)", N(0)},
                      EvalCase{"=COUNT(A4:A5)", N(0)}, EvalCase{"=COUNTA(A1:A8)", N(7)},
                      EvalCase{"=COUNTA(A5)", N(0)}, EvalCase{"=COUNTA(A5,\"\",1)", N(2)},
                      EvalCase{"=MIN(A1:A3,B2)", N(-2.5)}, EvalCase{"=MAX(A1:A7)", N(3)},
                      EvalCase{"=MIN(A4:A5)", N(0)}, EvalCase{"=MAX(-1,-5)", N(-1)},
                      EvalCase{"=MAX(A1:B2)", N(10)}, EvalCase{"=SUM(A1:A3)/COUNT(A1:A3)", N(2)}));

INSTANTIATE_TEST_SUITE_P(
    Logic, FormulaEvaluate,
    ::testing::Values(EvalCase{"=IF(1>2,\"y\",\"n\")", T("n")}, EvalCase{"=IF(A1,\"y\")", T("y")},
                      EvalCase{"=IF(0,\"y\")", B(false)}, EvalCase{"=IF(TRUE,,1)", N(0)},
                      EvalCase{"=IF(\"x\",1,2)", E(ErrorCode::Value)}, EvalCase{"=IF(TRUE,1,1/0)", N(1)},
                      EvalCase{"=IF(FALSE,1/0,2)", N(2)}, EvalCase{"=IF(\"true\",1,2)", N(1)},
                      EvalCase{"=IF(A5,1,2)", N(2)}, EvalCase{"=IF(A5=\"\",\"\",1)", T("")},
                      EvalCase{"=IF(1)", E(ErrorCode::Value)}, EvalCase{"=IF(1,2,3,4)", E(ErrorCode::Value)},
                      EvalCase{"=AND(TRUE,1)", B(true)}, EvalCase{"=AND(TRUE,0)", B(false)},
                      EvalCase{"=AND(A1:A4)", B(true)}, EvalCase{"=AND(A4:A5)", E(ErrorCode::Value)},
                      EvalCase{"=AND(A8)", E(ErrorCode::Div0)}, EvalCase{"=AND(\"x\")", E(ErrorCode::Value)},
                      EvalCase{"=OR(0,0)", B(false)}, EvalCase{"=OR(0,A6)", B(true)},
                      EvalCase{"=OR(A1:A3>5)", E(ErrorCode::Value)},
                      EvalCase{"=OR(\"x\")", E(ErrorCode::Value)}, EvalCase{"=NOT(0)", B(true)},
                      EvalCase{"=NOT(A1)", B(false)}, EvalCase{"=NOT(1,2)", E(ErrorCode::Value)},
                      EvalCase{"=TRUE()", B(true)}, EvalCase{"=false()", B(false)},
                      EvalCase{"=IF(AND(A1>0,OR(A2=2,A3=0)),\"ok\",\"no\")", T("ok")}));

INSTANTIATE_TEST_SUITE_P(
    Mathematics, FormulaEvaluate,
    ::testing::Values(EvalCase{"=ROUND(2.5,0)", N(3)}, EvalCase{"=ROUND(-2.5,0)", N(-3)},
                      EvalCase{"=ROUND(1234.5678,-2)", N(1200)}, EvalCase{"=ROUND(2.675,2)", N(2.68)},
                      EvalCase{"=ROUND(1.005,2)", N(1.01)}, EvalCase{"=ROUND(-1.005,2)", N(-1.01)},
                      EvalCase{"=ROUND(3.14159,3)", N(3.142)}, EvalCase{"=ROUND(5,-1)", N(10)},
                      EvalCase{"=ROUND(1.25,1.9)", N(1.3)}, EvalCase{"=ROUND(A1/3,2)", N(0.33)},
                      EvalCase{"=ROUND(0.5)", E(ErrorCode::Value)},
                      EvalCase{"=ROUND(\"x\",1)", E(ErrorCode::Value)},
                      EvalCase{"=ROUND(123.456,20)", N(123.456)}, EvalCase{"=ROUND(5,-400)", N(0)},
                      EvalCase{"=INT(-1.5)", N(-2)}, EvalCase{"=INT(1.9)", N(1)},
                      EvalCase{"=INT(\"2.5\")", N(2)}, EvalCase{"=INT(A5)", N(0)}, EvalCase{"=ABS(-3)", N(3)},
                      EvalCase{"=ABS(A4)", E(ErrorCode::Value)}, EvalCase{"=ABS(A1:A2)", E(ErrorCode::Value)},
                      EvalCase{"=MOD(-3,2)", N(1)}, EvalCase{"=MOD(3,-2)", N(-1)},
                      EvalCase{"=MOD(-3,-2)", N(-1)}, EvalCase{"=MOD(5,3)", N(2)},
                      EvalCase{"=MOD(5.5,2)", N(1.5)}, EvalCase{"=MOD(1,0)", E(ErrorCode::Div0)},
                      EvalCase{"=IF(SUM(A1:A3)>5,ROUND(AVERAGE(A1:A3)*1.005,2),0)", N(2.01)}));

INSTANTIATE_TEST_SUITE_P(
    BadSyntax, FormulaEvaluate,
    ::testing::Values(EvalCase{"=1+", E(ErrorCode::Syntax)}, EvalCase{"=(1", E(ErrorCode::Syntax)},
                      EvalCase{"=SUM(1", E(ErrorCode::Syntax)}, EvalCase{"=1 2", E(ErrorCode::Syntax)},
                      EvalCase{"=\"abc", E(ErrorCode::Syntax)}, EvalCase{"=A1:", E(ErrorCode::Syntax)},
                      EvalCase{"=A1:foo", E(ErrorCode::Syntax)}, EvalCase{"=2A", E(ErrorCode::Syntax)},
                      EvalCase{"=#FOO", E(ErrorCode::Syntax)}, EvalCase{"=", E(ErrorCode::Syntax)},
                      EvalCase{"=1)", E(ErrorCode::Syntax)}, EvalCase{"=@", E(ErrorCode::Syntax)},
                      EvalCase{"=*2", E(ErrorCode::Syntax)}, EvalCase{"=1e999", E(ErrorCode::Syntax)},
                      EvalCase{"=SUM(1;2)", E(ErrorCode::Syntax)}));

TEST(FormulaParse, BadSyntaxKeepsTheTextAndSaysWhy)
{
    const Formula f = Formula::parse(QStringLiteral("=SUM(A1,"));
    EXPECT_FALSE(f.isValid());
    EXPECT_FALSE(f.errorMessage().isEmpty());
    EXPECT_EQ(f.text(), QStringLiteral("=SUM(A1,"));
    EXPECT_TRUE(f.references().empty());
    EXPECT_EQ(f.shiftedColumns(1, 1), QStringLiteral("=SUM(A1,"));
    EXPECT_FALSE(Formula().isValid());
}

TEST(FormulaParse, DeepNestingIsRefusedNotRecursedInto)
{
    TestCells cells;
    const QString deep = u'=' + QString(5000, u'(') + u'1' + QString(5000, u')');
    EXPECT_EQ(Formula::parse(deep).evaluate(cells), E(ErrorCode::Syntax));
    const QString signs = u'=' + QString(5000, u'-') + u'1';
    EXPECT_EQ(Formula::parse(signs).evaluate(cells), E(ErrorCode::Syntax));
    QString calls = QStringLiteral("=");
    for (int i = 0; i < 1000; ++i)
        calls += QStringLiteral("ABS(");
    calls += u'1' + QString(1000, u')');
    EXPECT_EQ(Formula::parse(calls).evaluate(cells), E(ErrorCode::Syntax));
    const QString tooLong = QStringLiteral("=1") + QStringLiteral("+1").repeated(5000);
    EXPECT_EQ(Formula::parse(tooLong).evaluate(cells), E(ErrorCode::Syntax));
    // Within the limits a long sum works.
    const QString longSum = QStringLiteral("=1") + QStringLiteral("+1").repeated(4000);
    EXPECT_EQ(Formula::parse(longSum).evaluate(cells), N(4001));
    const QString nested = u'=' + QString(60, u'(') + u'7' + QString(60, u')');
    EXPECT_EQ(Formula::parse(nested).evaluate(cells), N(7));
}

TEST(FormulaParse, RangesAreReadCellByCellThroughTheSource)
{
    TestCells cells;
    cells.set(36000, 1, N(5));
    cells.set(1, 1, N(1));
    const Formula f = Formula::parse(QStringLiteral("=SUM(A1:A36000)+COUNT($A$1:A36000)"));
    EXPECT_EQ(f.evaluate(cells), N(8));
}

} // namespace
