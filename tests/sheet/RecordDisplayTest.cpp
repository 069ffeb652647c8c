#include "sheet/RecordDisplay.h"

#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "grid/SheetBulkWriter.h"
#include "sheet/ColumnFields.h"
#include "sheet/TemplatePattern.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"
#include "text/TextFunctions.h"

#include <QSqlQuery>
#include <QTime>
#include <bit>
#include <gtest/gtest.h>
#include <string>

using namespace talor;
using talor::test::FakeSuite;

namespace {

// One record with a field of every kind, shown through a dictionary that counts its lookups.
class DisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        db = QSqlDatabase::addDatabase("QSQLITE", "display");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        exec("create table kq (memberid text, depart text, group0 text, team text, banci text, "
             "cdfz integer, cqgs real, zhdate text, sbsj text, bz text, nColor integer, xx text)");
        exec("insert into kq values ('0012', 'D1', 'G1', 'T1', '01', 0, 7.5, '2024-01-05 08:00', "
             "'08:03:12', '=1+1', 2, 'x'), (null, null, null, null, null, null, null, null, null, "
             "null, null, null)");
        // clang-format off
        suite.fields = {{"memberid", {"工号", "S", "", 0}}, {"depart", {"部门", "S", "", 3}}, {"group0", {"班组", "S", "", 2}},
                        {"team", {"小组", "S", "", 1}}, {"banci", {"班次", "S", "", 3}}, {"cdfz", {"迟到", "I", "", 0}},
                        {"cqgs", {"出勤", "D", "  ", 0}}, {"zhdate", {"日期", "T", "", 0}}, {"sbsj", {"上班", "Y", "hh:nn", 0}},
                        {"bz", {"备注", "Q", "", 0}}, {"ncolor", {"异常", "I", "", 0}}, {"xx", {"隐藏", "S", "", 0}}};
        suite.categoryNames = {{"部门\nD1", "生产部"}, {"班次\n01", "白班"}}, suite.groupNames = {{"生产部\nG1", "一组"}};
        suite.teamNames = {{"生产部\n一组\nT1", "甲班"}}, suite.hidden = "隐藏,其他";
        // clang-format on
        columns = columnsOf({"memberid", "depart", "group0", "team", "banci", "cdfz", "cqgs", "zhdate",
                             "sbsj", "bz", "", "xx"});
        records.open("select * from kq order by memberid desc", db);
    }
    void TearDown() override
    {
        records.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("display");
    }
    void exec(const QString& sql) { ASSERT_TRUE(QSqlQuery(db).exec(sql)) << sql.toStdString(); }
    // Columns 1.. showing these fields.
    ColumnFields columnsOf(const QStringList& fields)
    {
        ColumnFields shown;
        for (int c = 1; c <= fields.size(); ++c)
            shown.setField(c, fields[c - 1]);
        shown.lookUp(suite, int(fields.size()));
        return shown;
    }
    QStringList row(int r, int columns = 12) const
    {
        QStringList texts;
        for (int c = 1; c <= columns; ++c)
            texts << sheet.text(r, c);
        return texts;
    }

    QSqlDatabase db;
    FakeSuite suite;
    SheetState state;
    ColumnFields columns;
    grid::Sheet sheet;
    Recordset records;
};

// The first record shows each type formatted, codes named, formula cells and the hidden column
// left alone, the row painted by its nColor; the record of nulls shows the zeros of
// the numbers and paints white.
TEST_F(DisplayTest, EachTypeFormattedNullsAndFormulaCellsLeftAlone)
{
    for (const auto& [column, text] : {std::pair{12, "keep"}, {11, "=F5+1"}, {10, "old"}})
        sheet.setText(5, column, text);
    RecordDisplay display(suite, state, columns, sheet);
    display.DisplayMRecord(records, 5, 12);
    EXPECT_EQ(row(5), (QStringList{"0012", "生产部", "一组", "甲班", "白班", "0", "7.50", "2024-01-05",
                                   "08:03", "=1+1", "1", "keep"}));
    // An untyped field is text, never a formula.
    EXPECT_EQ(std::tuple(sheet.isText(5, 10), sheet.fill(5, 1).foreground, sheet.fill(5, 12).foreground,
                         sheet.fill(5, 13).pattern),
              std::tuple(true, state.AbnormalColour2, state.AbnormalColour2, 0));
    // Another read of the same fields in another order is shown by its own field numbers.
    Recordset reordered;
    reordered.open("select xx, ncolor, bz, sbsj, zhdate, cqgs, cdfz, banci, team, group0, depart, memberid "
                   "from kq order by memberid desc",
                   db);
    display.DisplayMRecord(reordered, 6, 12);
    EXPECT_EQ(row(6, 10), row(5, 10));
    records.moveNext();
    display.DisplayMRecord(records, 1, 10);
    EXPECT_EQ(std::pair(row(1, 10), sheet.fill(1, 1).foreground),
              std::pair(QStringList{"", "", "", "", "", "0", "0.00", "", "", ""}, SheetState::White));
}

// Team and group codes are named within the row's own department (and group), every row
// of a read, though the names are kept by code; the zero rule blanks zeros only (as shown:
// 0.004 shows as 0.00), never a negative number nor a stored text leading with digits ("12abc");
// nColor 1..3 picks its colour, any other white.
TEST_F(DisplayTest, EachRowNamedWithinItsDepartmentBlankZeroAndColoured)
{
    exec("create table r (n integer, depart text, group0 text, team text, cdfz integer, cqgs real, "
         "ncolor integer)");
    exec("insert into r values (1, 'D1', 'G1', 'T1', 0, 0, 1), (2, 'D2', 'G1', 'T1', -1, -0.5, 2), "
         "(3, 'D1', 'G2', 'T1', 1, 0.004, 3), (4, 'D1', 'G1', 'T1', null, null, 4), "
         "(5, 'D2', 'G1', 'T1', 2, 1.5, 0), (6, 'D1', 'G1', 'T1', '12abc', 0, 0)");
    suite.categoryNames.insert("部门\nD2", "质检部");
    suite.groupNames.insert({{"质检部\nG1", "二组"}, {"生产部\nG2", "三组"}});
    suite.teamNames.insert({{"质检部\n二组\nT1", "乙班"}, {"生产部\n三组\nT1", "丙班"}});
    state.AbnormalColour1 = 0x11, state.AbnormalColour2 = 0x22, state.AbnormalColour3 = 0x33;
    // clang-format off
    const struct { const char *shown, *blank; quint32 fill; } rows[] = { // blank: the numbers with BlankZero
        {"生产部,一组,甲班,0,0.00", ",", 0x11}, {"质检部,二组,乙班,-1,-0.50", "-1,-0.50", 0x22},
        {"生产部,三组,丙班,1,0.00", "1,", 0x33}, {"生产部,一组,甲班,0,0.00", ",", SheetState::White},
        {"质检部,二组,乙班,2,1.50", "2,1.50", SheetState::White},
        {"生产部,一组,甲班,12abc,0.00", "12abc,", SheetState::White}};
    // clang-format on
    const ColumnFields shown = columnsOf({"depart", "group0", "team", "cdfz", "cqgs"});
    Recordset r;
    r.open("select ncolor, * from r order by n", db); // nColor as the first column read
    RecordDisplay display(suite, state, shown, sheet);
    for (const bool blank : {false, true}) {
        state.BlankZero = blank;
        int n = 0;
        for (r.moveFirst(); !r.eof(); r.moveNext(), ++n) {
            display.DisplayMRecord(r, 5 + n, 5);
            const QString expected = blank ? QString(rows[n].shown).section(',', 0, 2) + "," + rows[n].blank
                                           : QString(rows[n].shown);
            EXPECT_EQ(std::tuple(row(5 + n, 5).join(',').toStdString(), sheet.fill(5 + n, 5).foreground),
                      std::tuple(expected.toStdString(), rows[n].fill))
                << "row " << n + 1;
        }
    }
}

// A record's row and the sum row are framed over exactly their columns: the right line on the
// last one, none beyond it. All the sheet's columns are the whole row, framed up to the used
// extent (100 here); no columns frames columns 1..70.
TEST_F(DisplayTest, RowsAreFramedOverTheirColumns)
{
    // clang-format off
    const struct { bool sum; int columns, framedTo; } cases[] = {{false, 1, 1}, {false, 12, 12}, {false, 255, 255},
        {false, 256, 100}, {true, 3, 3}, {true, 255, 255}, {true, 256, 100}, {true, 0, 70}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE((c.sum ? "sum " : "record ") + std::to_string(c.columns));
        sheet.clear();
        sheet.setLastColumn(100);
        RecordDisplay display(suite, state, columns, sheet);
        if (c.sum)
            display.DisplaySum(4, 6, c.columns);
        else
            display.DisplayMRecord(records, 6, c.columns);
        EXPECT_EQ(std::tuple(sheet.border(6, 1).bottom, sheet.border(6, c.framedTo).right,
                             c.framedTo < grid::Sheet::MaxColumns &&
                                 sheet.border(6, c.framedTo + 1) != grid::CellBorder{},
                             sheet.border(5, 1) != grid::CellBorder{}),
                  std::tuple(1, 1, false, false));
    }
}

// A time column shown as "hh:nn" or "hh:nn:ss" is written from the time's seconds: every
// second of a day, and stored forms that are not "HH:mm:ss", show exactly the cell that
// formatting the stored text and typing it in gives (text, number, format).
TEST_F(DisplayTest, TimesShowAsTheirFormattedTextTypedIn)
{
    QSqlQuery q(db);
    exec("create table tm (n integer primary key, v text)");
    // clang-format off
    const QStringList odd{"24:00:00", "23:60:00", "23:59:60", "8:03:12", "08:3:12", "08:03:12.5", "08:03:12.500",
                          "08:03:12.499", "08:03:59.999", " 08:03:12", "08:03:12 ", "08:03", "2024-01-05 08:00",
                          "08-03-12", "08;03:12", "08:03:1a", "+8:03:12", "-8:03:12", "０８:03:12", "", "abc"};
    // clang-format on
    QVariantList values;
    for (int s = 0; s < 86400; ++s)
        values << QTime::fromMSecsSinceStartOfDay(s * 1000).toString("HH:mm:ss");
    values << QVariantList(odd.begin(), odd.end()) << QVariant(QMetaType(QMetaType::QString));
    db.transaction();
    q.prepare("insert into tm (v) values (?)");
    q.addBindValue(values);
    ASSERT_TRUE(q.execBatch());
    db.commit();

    const QStringList pictures{"hh:nn", "", "hh:nn:ss", "h:n"};
    suite.fields.clear();
    for (int c = 0; c < 4; ++c)
        suite.fields[QString(QChar(u'a' + c))] = {QString(QChar(u'a' + c)), "Y", pictures[c], 0};
    const ColumnFields times = columnsOf({"a", "b", "c", "d"});
    Recordset tm;
    tm.open("select v as a, v as b, v as c, v as d from tm order by n", db);
    RecordDisplay display(suite, state, times, sheet);
    int rows = 0;
    for (; !tm.eof(); tm.moveNext(), ++rows) {
        display.DisplayMRecord(tm, 5, 4);
        for (int c = 1; c <= 4; ++c) {
            const QString picture = pictures[c - 1].isEmpty() ? RecordDisplay::TimeFormat : pictures[c - 1];
            grid::SheetBulkWriter(sheet).setInput(
                6, c, grid::parseInput(tm.isNull(c - 1) ? QString() : text::format(tm.text(c - 1), picture)));
            const auto cell = [&](int row) {
                return std::tuple(sheet.text(row, c), sheet.isNumber(row, c),
                                  std::bit_cast<quint64>(sheet.number(row, c)), sheet.isDate(row, c),
                                  sheet.formatId(row, c));
            };
            ASSERT_EQ(cell(5), cell(6)) << tm.text(c - 1).toStdString() << " as " << picture.toStdString();
        }
    }
    EXPECT_EQ(rows, 86400 + odd.size() + 1);
}

// A number, date or time column may hold any text (SQLite keeps it, a text column of
// PostgreSQL too): what reads as a value is one, anything else is text exactly as stored.
TEST_F(DisplayTest, StoredTextsShowAsStoredNeverAsFormulas)
{
    exec("create table odd (n integer primary key, i text, d text, t text, y text)");
    exec("insert into odd (i, d, t, y) values ('=1+1', '=HYPERLINK(\"http://x/\",\"y\")', '=A1', "
         "'''8:00'), ('''12', '=', 'x', ''''), ('3', '1.5', '2024-01-05', '08:03:12')");
    suite.fields.clear();
    for (const QString type : {"I", "D", "T", "Y"})
        suite.fields[type.toLower()] = {type, type, "", 0};
    const ColumnFields odd = columnsOf({"i", "d", "t", "y"});
    Recordset stored;
    stored.open("select * from odd order by n", db);
    RecordDisplay display(suite, state, odd, sheet);
    QStringList cells;
    for (int r = 1; !stored.eof(); stored.moveNext(), ++r) {
        display.DisplayMRecord(stored, r, 4);
        for (int c = 1; c <= 4; ++c)
            cells << (sheet.isFormula(r, c)  ? "formula "
                      : sheet.isNumber(r, c) ? "number "
                                             : "text ") +
                         sheet.text(r, c);
    }
    EXPECT_EQ(cells, (QStringList{"text =1+1", "text =HYPERLINK(\"http://x/\",\"y\")", "text =A1",
                                  "text '8:00", "text '12", "text =", "text x", "text '", "number 3",
                                  "number 1.50", "number 2024-01-05", "number 08:03:12"}));
}

// DisplaySum over rows holding the given "D" and "I" texts: the totals, the label and the
// count of a kind-2 report (its data from row 5, or from row 1 in the heading layout); times
// (column 9) are emptied. A field shown as a percentage sums to two places of its percent (two of
// the number would give 24.0% here), and a field's format decides that, not the cell's. A number
// set with a picture is read as that picture shows it in the sheet's format table of the moment:
// the same value and format id in a later table may show otherwise.
TEST_F(DisplayTest, SumRowHoldsRunningTotalsLabelAndCount)
{
    // clang-format off
    const struct { const char* name; QStringList decimals, integers; const char* option; QStringList sums; int above = 4;
                   const char* format = "  "; const char* picture = nullptr; } cases[] = {
        {"NoRows", {}, {}, "2", {"0.00", "0", "0"}},
        {"KindTwoCountsRows", {"1.5", "2.25", "x"}, {"1", "2", "3"}, "2", {"3.75", "6", "3"}},
        {"KindTwoHeadingLayoutCountsRows", {"1", "2", "3"}, {"1", "2", "3"}, "2", {"6.00", "6", "3"}, 0},
        // Every partial sum is rounded: 0.005 + 0.005 -> 0.01 (not 0.00 + ...), then 0.02.
        {"RoundedAfterEveryRow", {"0.005", "0.005", "0.005"}, {"0", "0", "0"}, "1", {"0.03", "0", ""}},
        {"KindThreeNoCount", {"8"}, {"12abc"}, "3", {"8.00", "12", ""}},
        // Percentages and grouped thousands read as a number cell reads them typed in.
        {"PercentAndThousands", {"100.0%", "250.0%", "250.0%"}, {"50%", "1,000", "2"}, "3", {"6.00", "1002.5", ""}},
        {"PercentField", {"12.3%", "12.3%"}, {"0", "0"}, "3", {"24.6%", "0", ""}, 4, "0.0%"},
        {"PercentFieldToTwoPlaces", {"12.34%", "12.34%"}, {"0", "0"}, "3", {"24.68%", "0", ""}, 4, "0.00%"},
        {"PercentFieldOfPlainNumbers", {"0.125", "0.125"}, {"0", "0"}, "3", {"25.0%", "0", ""}, 4, "0.0%"},
        {"NumberShownWhole", {"2.5"}, {"0"}, "3", {"3.00", "0", ""}, 4, "  ", "0"},
        {"SameFormatIdInALaterTable", {"2.5"}, {"0"}, "3", {"2.50", "0", ""}, 4, "  ", "0.00"}};
    // clang-format on
    RecordDisplay display(suite, state, columns, sheet);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet.clear();
        suite.option = c.option;
        suite.fields["cqgs"].format = c.format;
        columns.lookUp(suite, 12);
        for (int i = 0; i < c.decimals.size(); ++i) {
            if (c.picture)
                sheet.setNumber(c.above + 1 + i, 7, c.decimals[i].toDouble(), c.picture);
            else
                sheet.setText(c.above + 1 + i, 7, c.decimals[i]);
            sheet.setText(c.above + 1 + i, 6, c.integers[i]);
        }
        const int sumRow = c.above + 1 + int(c.decimals.size());
        sheet.setText(sumRow, 9, "stale");
        display.DisplaySum(c.above, sumRow, 12);
        EXPECT_EQ(std::tuple(QStringList({sheet.text(sumRow, 7), sheet.text(sumRow, 6), sheet.text(sumRow, 2),
                                          sheet.text(sumRow, 1), sheet.text(sumRow, 9)}),
                             sheet.border(sumRow, 12).bottom, sheet.selection()),
                  std::tuple(c.sums + QStringList({"合计：", ""}), 1, grid::CellRange{5, 3, 5, 3}));
    }
}

// A pattern kept once stamps its formats per cell into whichever format table the sheet has.
TEST(TemplatePatternTest, StampedFormatsStayPerCellAndFollowTheSheetsTable)
{
    grid::Sheet sheet;
    sheet.select(1, 1, 1, 2);
    sheet.setPattern(1, 0x00FF00, 0);
    sheet.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    TemplatePattern pattern;
    pattern.capture(sheet, 1, 1, 2);
    const grid::CellFormat first = sheet.formatById(sheet.formatId(1, 1));
    for (int row = 2; row <= 4; ++row)
        pattern.stamp(sheet, row);
    sheet.select(3, 1, 3, 1);
    sheet.setPattern(1, 0x0000FF, 0);
    EXPECT_EQ(sheet.fill(3, 1).foreground, 0x0000FFu);
    for (const int row : {1, 2, 4})
        EXPECT_EQ(sheet.formatById(sheet.formatId(row, 1)), first) << "row " << row;

    // A table the pattern's kept ids do not belong to: a new sheet, and this one emptied
    // (whose table starts again with only the default format).
    grid::Sheet other;
    grid::SheetBulkWriter(other).addFormat(grid::CellFormat{QStringLiteral("0.00"), {}, {}});
    pattern.stamp(other, 1);
    sheet.clear();
    pattern.stamp(sheet, 7);
    EXPECT_EQ(std::tuple(other.formatById(other.formatId(1, 1)), sheet.formatById(sheet.formatId(7, 1)),
                         sheet.border(7, 2).right, sheet.fill(7, 2).foreground),
              std::tuple(first, first, 1, 0x00FF00u));

    // Kept again from a row of another look, the pattern takes its new formats into the table
    // it was last stamped on; a number stays a number.
    sheet.select(9, 1, 9, 2);
    sheet.setPattern(1, 0xFF0000, 0);
    sheet.setNumber(9, 2, 8);
    pattern.capture(sheet, 9, 9, 2);
    pattern.stamp(sheet, 11);
    EXPECT_EQ(std::tuple(sheet.fill(11, 1).foreground, sheet.border(11, 2).right, sheet.isNumber(11, 2)),
              std::tuple(0xFF0000u, 0, true));
    // A pattern of a single column.
    pattern.capture(sheet, 9, 9, 1);
    pattern.stamp(sheet, 13);
    EXPECT_EQ(std::tuple(sheet.fill(13, 1).foreground, sheet.isEmpty(13, 2)), std::tuple(0xFF0000u, true));
}

TEST(ColumnFieldsTest, IndexLimitsAndHiddenRule)
{
    ColumnFields fields;
    EXPECT_NO_THROW(fields.setField(255, "x"));
    EXPECT_THROW(fields.setField(256, "x"), std::out_of_range);
    EXPECT_THROW(fields.field(-1), std::out_of_range);
    EXPECT_EQ(QList<bool>({ColumnFields::isHidden("", ""), ColumnFields::isHidden("", "a"),
                           ColumnFields::isHidden("班", "班次,备注"), ColumnFields::isHidden("Bz", "bz")}),
              QList<bool>({false, true, true, false}));
}

} // namespace
