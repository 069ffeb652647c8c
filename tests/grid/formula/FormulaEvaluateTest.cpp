// Formulas evaluated against a fixed set of cells, compared with what a spreadsheet shows.
#include "grid/formula/CellSource.h"
#include "grid/formula/Formula.h"
#include "grid/formula/Value.h"

#include <QHash>
#include <QThread>
#include <gtest/gtest.h>

using namespace talor::grid::formula;

namespace {

const auto N = &Value::number;
const auto T = &Value::text;
const auto B = &Value::boolean;
const Value Div0Err = Value::error(ErrorCode::Div0), ValueErr = Value::error(ErrorCode::Value),
            RefErr = Value::error(ErrorCode::Ref), NameErr = Value::error(ErrorCode::Name),
            NAErr = Value::error(ErrorCode::NA), NumErr = Value::error(ErrorCode::Num),
            CircErr = Value::error(ErrorCode::Circular), SyntaxErr = Value::error(ErrorCode::Syntax);

// Cells held in a hash: what the sheet gives the evaluator, without the sheet.
struct TestCells : CellSource
{
    QHash<std::pair<int, int>, Value> cells;
    void set(int row, int col, const Value& v) { cells[{row, col}] = v; }
    Value value(int row, int col) const override { return cells.value({row, col}); }
};

// A value as a cell shows it, with its type: numbers that differ only past the shown digits
// compare equal, a sum that a spreadsheet shows as 0 but leaves a trace in the last bits does not.
std::pair<Value::Type, std::string> shown(const Value& value)
{
    return {value.type(), displayText(value).toStdString()};
}

// A1=1 A2=2 A3=3 A4="text" A5 empty A6=TRUE A7="3" (text) A8=#DIV/0! A13=#N/A
// B1=10 B2=-2.5 C1="abc" C2="ABC"
// A9=08:30 B9=17:30 (day fractions) A10="08:30" B10="17:30" (texts) A11=20,000 "x" A12=12,767 "y"
class FormulaEvaluate : public ::testing::Test
{
protected:
    FormulaEvaluate()
    {
        // clang-format off
        const std::tuple<int, int, Value> cells[] = {{1, 1, N(1)}, {2, 1, N(2)}, {3, 1, N(3)}, {4, 1, T("text")},
            {6, 1, B(true)}, {7, 1, T("3")}, {8, 1, Div0Err}, {1, 2, N(10)}, {2, 2, N(-2.5)}, {1, 3, T("abc")},
            {2, 3, T("ABC")}, {9, 1, N(8.5 / 24)}, {9, 2, N(17.5 / 24)}, {10, 1, T("08:30")}, {10, 2, T("17:30")},
            {11, 1, T(QString(20000, u'x'))}, {12, 1, T(QString(12767, u'y'))}, {13, 1, NAErr}};
        // clang-format on
        for (const auto& [row, col, value] : cells)
            m_cells.set(row, col, value);
    }
    TestCells m_cells;
};

TEST_F(FormulaEvaluate, GivesTheSpreadsheetValue)
{
    // clang-format off
    const std::pair<const char*, Value> formulas[] = {
        {"=1+2*3", N(7)}, {"=(1+2)*3", N(9)}, {"=7-2-1", N(4)}, {"=10/4", N(2.5)}, {"=2^3^2", N(64)}, {"=-2^2", N(4)},
        {"=-(2^2)", N(-4)}, {"=2^-1", N(0.5)}, {"=50%", N(0.5)}, {"=200%*3", N(6)}, {"=2*3%", N(0.06)},
        {"=-50%", N(-0.5)}, {"= 1 +  2 ", N(3)}, {"1+2", N(3)}, {"=+3", N(3)}, {"=--3", N(3)}, {"=1-(-1)", N(2)},
        {"=1e+3+1", N(1001)}, {"=.5*2", N(1)}, {"=1.5E-2*100", N(1.5)}, {"=1/0", Div0Err}, {"=0^0", NumErr},
        {"=0^-1", Div0Err}, {"=(-8)^(1/3)", NumErr}, {"=10^400", NumErr}, {"=1e308*10", NumErr}, {"=\"3\"+1", N(4)},
        {"=A7+1", N(4)}, {"=\"abc\"+1", ValueErr}, {"=A4*1", ValueErr}, {"=-\"x\"", ValueErr}, {"=A5+1", N(1)},
        {"=A5*5", N(0)}, {"=A6+1", N(2)}, {"=TRUE+TRUE", N(2)}, {"=FALSE*5", N(0)}, {"=A5", N(0)}, {"=+C1", T("abc")},
        {"=\"\"+1", ValueErr},
        // Texts that hold numbers, dates or times count in arithmetic, as typed entries (kept as
        // apostrophe texts) must: A9/B9 08:30 and 17:30 as times, A10/B10 the same as texts (what a
        // text reads as is the text module's: its NumberFromText cases).
        {"=\"08:30\"*24", N(8.5)}, {"=(B10-A10)*24", N(9)}, {"=-\"1,234\"", N(-1234)}, {"=SUM(A10,1)", N(1)},
        {"=SUM(\"08:30\",1)", N(1 + 8.5 / 24)}, {"=ROUND(\"2.675\",2)", N(2.68)}, {"=\"a\"&\"b\"", T("ab")},
        {"=1/3&\"\"", T("0.333333333333333")}, {"=A5&\"x\"", T("x")}, {"=A6&\"\"", T("TRUE")}, {"=1&2", T("12")},
        {"=2&3+1", T("24")}, {"=\"say \"\"hi\"\"\"", T("say \"hi\"")}, {"=C1&\"出勤\"", T(QStringLiteral("abc出勤"))},
        {"=B2&\"h\"", T("-2.5h")}, {"=1<2", B(true)}, {"=1<1", B(false)}, {"=2>2", B(false)}, {"=1<>1", B(false)},
        {"=2>=2", B(true)}, {"=2<=1", B(false)},
        {"=2<=2", B(true)}, {"=FALSE<TRUE", B(true)}, {"=3>2", B(true)}, {"=1+1=2", B(true)},
        {"=\"abc\"=\"ABC\"", B(true)}, {"=C1=C2", B(true)}, {"=\"a\"<\"B\"", B(true)}, {"=1<\"a\"", B(true)},
        {"=\"z\"<TRUE", B(true)}, {"=\"1\"=1", B(false)}, {"=A5=0", B(true)}, {"=A5=\"\"", B(true)},
        {"=A5=FALSE", B(true)}, {"=0.1+0.2=0.3", B(true)}, {"=1=1.00000000000001", B(false)}, {"=A11&A11", ValueErr},
        {"=A11&A12", T(QString(20000, u'x') + QString(12767, u'y'))}, {"=SUM(A8,#N/A)", Div0Err},
        {"=A1=1&\"\"", B(false)}, {"=A8=1", Div0Err}, {"=A1+B1", N(11)}, {"=$A$1+$B1+A$2", N(13)}, {"=a1*2", N(2)},
        {"=C1", T("abc")}, {"=A6", B(true)}, {"=A1:A3", ValueErr}, {"=IV65536", N(0)}, {"=A8+1", Div0Err},
        {"=FOO(1)", NameErr}, {"=foo", NameErr}, {"=IW1", NameErr}, {"=#REF!+1", RefErr}, {"=1+#N/A", NAErr},
        {"=#n/a", NAErr}, {"=#DIV/0!", Div0Err}, {"=#name?&1", NameErr}, {"=IF(1,#CIRC!)", CircErr},
        {"=A8&\"x\"", Div0Err}, {"=1/0+#N/A", Div0Err}, {"=#N/A+1/0", NAErr}, {"=SUM(A1:A8)", Div0Err},
        {"=IF(A8,1,2)", Div0Err}, {"=ROUND(1/0,2)", Div0Err}, {"=-A8", Div0Err}, {"=A8%", Div0Err},
        {"=\"x\"&FOO()", NameErr}, {"=SUM(A1:A3)", N(6)}, {"=SUM(A1:A7)", N(6)}, {"=SUM(A3:A1)", N(6)},
        {"=SUM(1,\"2\",TRUE)", N(4)}, {"=SUM(A1:A3,10)", N(16)}, {"=SUM(A1:B2)", N(10.5)}, {"=SUM(\"x\")", ValueErr},
        {"=SUM(A4)", N(0)}, {"=SUM(A7)", N(0)}, {"=sum(a1:a3)", N(6)}, {"=Sum( A1 , A2 )", N(3)}, {"=SUM()", ValueErr},
        {"=AVERAGE(A1:A3)", N(2)}, {"=AVERAGE(A1:A7)", N(2)}, {"=AVERAGE(A1:A3,B1)", N(4)},
        {"=AVERAGE(A4:A5)", Div0Err}, {"=AVERAGE(A1:A8)", Div0Err}, {"=COUNT(A1:A8)", N(3)},
        {"=COUNT(1,\"2\",\"x\",TRUE)", N(3)}, {"=COUNT(A8)", N(0)}, {"=COUNT(A4:A5)", N(0)}, {"=COUNTA(A1:A8)", N(7)},
        {"=COUNTA(A5)", N(0)}, {"=COUNTA(A5,\"\",1)", N(2)}, {"=MIN(A1:A3,B2)", N(-2.5)}, {"=MAX(A1:A7)", N(3)},
        {"=MIN(A4:A5)", N(0)}, {"=MAX(-1,-5)", N(-1)}, {"=MAX(A1:B2)", N(10)}, {"=SUM(A1:A3)/COUNT(A1:A3)", N(2)},
        {"=IF(1>2,\"y\",\"n\")", T("n")}, {"=IF(A1,\"y\")", T("y")}, {"=IF(0,\"y\")", B(false)}, {"=IF(TRUE,,1)", N(0)},
        {"=IF(\"x\",1,2)", ValueErr}, {"=IF(TRUE,1,1/0)", N(1)}, {"=IF(FALSE,1/0,2)", N(2)},
        {"=IF(\"true\",1,2)", N(1)}, {"=IF(\" false \",1,2)", N(2)}, {"=IF(A5,1,2)", N(2)}, {"=IF(A5=\"\",\"\",1)", T("")}, {"=IF(1)", ValueErr},
        {"=IF(1,2,3,4)", ValueErr}, {"=IF(A1,)", N(0)}, {"=AND(TRUE,1)", B(true)}, {"=AND(TRUE,0)", B(false)},
        {"=AND(A1:A4)", B(true)}, {"=AND(TRUE,\"x\")", ValueErr}, {"=AND(A4,TRUE)", B(true)},
        {"=AND(A4:A5)", ValueErr}, {"=AND(A8)", Div0Err}, {"=AND(\"x\")", ValueErr}, {"=OR(0,0)", B(false)},
        {"=OR(0,A6)", B(true)}, {"=OR(A1:A3>5)", ValueErr}, {"=OR(\"x\")", ValueErr}, {"=OR(A8:A13,\"x\")", Div0Err},
        {"=NOT(0)", B(true)}, {"=NOT()", ValueErr}, {"=NOT(\"x\")", ValueErr}, {"=TRUE(1)", ValueErr},
        {"=NOT(A1)", B(false)}, {"=NOT(1,2)", ValueErr}, {"=TRUE()", B(true)}, {"=false()", B(false)},
        {"=IF(AND(A1>0,OR(A2=2,A3=0)),\"ok\",\"no\")", T("ok")}, {"=ROUND(2.5,0)", N(3)}, {"=ROUND(-2.5,0)", N(-3)},
        {"=ROUND(1234.5678,-2)", N(1200)}, {"=ROUND(2.675,2)", N(2.68)}, {"=ROUND(1.005,2)", N(1.01)},
        {"=ROUND(-1.005,2)", N(-1.01)}, {"=ROUND(3.14159,3)", N(3.142)}, {"=ROUND(5,-1)", N(10)},
        {"=ROUND(1.25,1.9)", N(1.3)}, {"=ROUND(A1/3,2)", N(0.33)}, {"=ROUND(0.5)", ValueErr},
        {"=ROUND(\"x\",1)", ValueErr}, {"=ROUND(123.456,20)", N(123.456)}, {"=ROUND(5,-400)", N(0)},
        {"=ROUND(1E308,-308)", N(1e308)}, {"=ROUND(1E308,-309)", N(0)}, {"=ROUND(1E308,10)", N(1e308)},
        {"=ROUND(1.5E-15,15)*1E15", N(2)}, {"=ROUND(1.4E-17,16)*1E17", N(0)}, {"=ROUND(2.5E-20,20)*1E20", N(3)},
        {"=ROUND(1234,-1.5)", N(1230)}, {"=ROUND(1E-300,400)*1E300", N(1)}, {"=ROUND(1,\"x\")", ValueErr},
        {"=INT(-1.5)", N(-2)}, {"=INT(1.9)", N(1)}, {"=INT(\"2.5\")", N(2)}, {"=INT(A5)", N(0)}, {"=ABS(-3)", N(3)},
        {"=ABS(A4)", ValueErr}, {"=ABS(A1:A2)", ValueErr}, {"=MOD(-3,2)", N(1)}, {"=MOD(3,-2)", N(-1)},
        {"=MOD(-3,-2)", N(-1)}, {"=MOD(5,3)", N(2)}, {"=MOD(5.5,2)", N(1.5)}, {"=MOD(1,0)", Div0Err},
        {"=IF(SUM(A1:A3)>5,ROUND(AVERAGE(A1:A3)*1.005,2),0)", N(2.01)}, {"=1+", SyntaxErr}, {"=(1", SyntaxErr},
        {"=SUM(1", SyntaxErr}, {"=1 2", SyntaxErr}, {"=\"abc", SyntaxErr}, {"=A1:", SyntaxErr}, {"=A1:foo", SyntaxErr},
        {"=2A", SyntaxErr}, {"=#FOO", SyntaxErr}, {"=", SyntaxErr}, {"=1)", SyntaxErr}, {"=@", SyntaxErr},
        {"=*2", SyntaxErr}, {"=1e999", SyntaxErr}, {"=SUM(1;2)", SyntaxErr},
        // A sum or difference that cancels to within the last digits is 0, as a spreadsheet
        // shows it; differences above that stay.
        {"=(B9-A9)*24-1-8", N(0)}, {"=(B10-A10)*24-1-8", N(0)}, {"=0.1+0.2-0.3", N(0)}, {"=0.5-0.4-0.1", N(0)},
        {"=-0.3+0.1+0.2", N(0)}, {"=B9-A9-0.375", N(0)}, {"=0.3-0.29999999999999", N(9.99200722162641E-15)},
        {"=1.000000000000001-1", N(1.11022302462516E-15)}, {"=1+1E-14-1", N(9.99200722162641E-15)},
        {"=(B9-A9)*24", N(9)}};
    // clang-format on
    for (const auto& [formula, expected] : formulas)
        EXPECT_EQ(shown(Formula::parse(QString::fromUtf8(formula)).evaluate(m_cells)), shown(expected))
            << formula;
}

TEST(FormulaParse, BadSyntaxKeepsTheTextAndSaysWhy)
{
    const Formula f = Formula::parse(QStringLiteral("=SUM(A1,2A)"));
    EXPECT_EQ(
        std::tuple(f.isValid(), f.errorMessage(), f.text(), f.references().size(), f.shiftedColumns(1, 1),
                   Formula().isValid(), Formula::parse(QStringLiteral("1+")).text()),
        std::tuple(false, QStringLiteral("Unexpected \"2A\" at position 8"), QStringLiteral("=SUM(A1,2A)"),
                   size_t(0), QStringLiteral("=SUM(A1,2A)"), false, QStringLiteral("=1+")));
}

// Nesting beyond the limits is refused, not recursed into; nesting within them recurses, so it
// runs on the test's own stack (a sanitizer's frames would not fit the small stack below).
TEST(FormulaParse, DeepNestingIsRefusedNotRecursedInto)
{
    TestCells cells;
    cells.set(36000, 1, N(5));
    cells.set(1, 1, N(1));
    const std::pair<QString, Value> cases[] = {
        {u'=' + QString(5000, u'(') + u'1' + QString(5000, u')'), SyntaxErr},
        {u'=' + QString(5000, u'-') + u'1', SyntaxErr},
        {u'=' + QStringLiteral("ABS(").repeated(1000) + u'1' + QString(1000, u')'), SyntaxErr},
        {QStringLiteral("=1") + QStringLiteral("+1").repeated(5000), SyntaxErr},
        {u'=' + QString(65, u'(') + u'7' + QString(65, u')'), SyntaxErr},
        {QStringLiteral("=1") + QString(65, u'%'), SyntaxErr},
        {QStringLiteral("=0") + QString(64, u'%'), N(0)},
        {QStringLiteral("=1") + QString(8191, u' '), N(1)},
        {u'=' + QString(64, u'-') + u'1', N(1)},
        {u'=' + QStringLiteral("ABS(").repeated(64) + u'1' + QString(64, u')'), N(1)},
        {QStringLiteral("=0") + QStringLiteral("+FALSE()").repeated(65), N(0)},
        // Within the limits long and nested formulas work.
        {QStringLiteral("=1") + QStringLiteral("+1").repeated(4000), N(4001)},
        {u'=' + QString(64, u'(') + u'7' + QString(64, u')'), N(7)},
        // Long ranges are read cell by cell through the source.
        {QStringLiteral("=SUM(A1:A36000)+COUNT($A$1:A36000)"), N(8)}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Formula::parse(text).evaluate(cells), expected) << text.left(20).toStdString();
}

// The longest chains a formula can hold are read, evaluated, printed and freed without
// recursing along the chain: on a thread with a 256 KB stack.
TEST(FormulaParse, LongestChainsRunOnASmallStack)
{
    const std::pair<QString, Value> cases[] = {
        {QStringLiteral("=1") + QStringLiteral("+1").repeated(4095), N(4096)},
        {QStringLiteral("=A1") + QStringLiteral("-A1").repeated(2729), N(-2728)},
        {QStringLiteral("=1") + QStringLiteral("*1").repeated(4095), N(1)},
        {QStringLiteral("=2") + QStringLiteral("^1").repeated(4095), N(2)},
        {QStringLiteral("=\"\"") + QStringLiteral("&1").repeated(4094), T(QString(4094, u'1'))},
        {QStringLiteral("=1") + QStringLiteral("=1").repeated(4095), B(false)}};
    for (const auto& [text, expected] : cases) {
        ASSERT_LE(text.size(), 8192);
        std::tuple<bool, bool, size_t> result; // the same value, the same text, the references
        QThread* thread = QThread::create([&, text = text, expected = expected] {
            TestCells cells;
            cells.set(1, 1, N(1));
            const Formula f = Formula::parse(text);
            result = {f.evaluate(cells) == expected, f.text() == text, f.references().size()};
        });
        thread->setStackSize(256 * 1024);
        thread->start();
        thread->wait();
        delete thread;
        EXPECT_EQ(result, std::tuple(true, true, text.startsWith(u"=A1") ? 2730u : 0u))
            << text.left(20).toStdString();
    }
}

} // namespace
