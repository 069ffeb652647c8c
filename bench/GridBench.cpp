// Speed and memory of the grid's sheet model and files. Prints one line per measurement.
//   bench_grid [rows] [columns]      (default 36000 x 40)
#include "BenchData.h"
#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "grid/formula/Formula.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

using namespace talor::grid;
using talor::bench::cellText;
using talor::bench::heapInUse;

namespace {

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Column A holds the row number, column B a 1: what the formula timing reads.
class TwoColumns : public talor::grid::formula::CellSource
{
public:
    talor::grid::formula::Value value(int row, int col) const override
    {
        return talor::grid::formula::Value::number(col == 1 ? row : col == 2 ? 1 : 0);
    }
};

// 100,000 formulas "=A<r>*2+B<r>": the engine alone (parse, then evaluate), then typed into
// a sheet (parse, dependencies, first result) and recomputed after one change they all read.
void formulaTimings()
{
    using talor::grid::formula::Formula;
    constexpr int n = 100000;
    constexpr int rows = 50000;
    QElapsedTimer timer;
    timer.start();
    std::vector<Formula> formulas;
    formulas.reserve(n);
    for (int i = 0; i < n; ++i)
        formulas.push_back(Formula::parse(QStringLiteral("=A%1*2+B%1").arg(i % rows + 1)));
    const double parsed = ms(timer);
    timer.restart();
    double total = 0;
    const TwoColumns cells;
    for (const Formula& f : formulas)
        total += f.evaluate(cells).asNumber();
    const double evaluated = ms(timer);
    // Twice the sum of 2r+1 over r = 1..rows: a wrong engine shows here, not only a slow one.
    const bool right = total == 2.0 * (double(rows) * (rows + 1) + rows);
    std::printf("100000 formulas, engine: parse %.0f ms, evaluate %.0f ms%s\n", parsed, evaluated,
                right ? "" : " (WRONG RESULTS)");

    Sheet sheet;
    sheet.setText(1, 2, "1");
    timer.restart();
    for (int row = 1; row <= rows; ++row)
        sheet.setText(row, 1, QString::number(row));
    for (int i = 0; i < n; ++i)
        sheet.setText(i % rows + 1, 3 + i / rows, QStringLiteral("=A%1*2+$B$1").arg(i % rows + 1));
    const double typed = ms(timer);
    timer.restart();
    sheet.setText(1, 2, "2"); // every formula reads $B$1
    const double recomputed = ms(timer);
    std::printf("100000 formulas, sheet: typed in %.0f ms, all recomputed after one change in %.0f ms%s\n",
                typed, recomputed,
                sheet.text(rows, 4) == QString::number(rows * 2 + 2) ? "" : " (WRONG RESULTS)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 36000;
    const int cols = argc > 2 ? std::atoi(argv[2]) : 40;
    const double cells = double(rows) * cols;
    std::printf("grid benchmarks, %d rows x %d columns (%.0f cells)\n", rows, cols, cells);

    // --- setText against filling a plain vector with the same texts -----------------------
    std::vector<QString> texts;
    texts.reserve(size_t(cells));
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            texts.push_back(cellText(r, c));

    QElapsedTimer timer;
    timer.start();
    std::vector<QString> plain(static_cast<size_t>(cells));
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = texts[i];
    const double baseline = ms(timer);
    plain.clear();
    plain.shrink_to_fit();

    Workbook book;
    Sheet& sheet = book.active();
    timer.restart();
    size_t i = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            sheet.setText(r, c, texts[i++]);
    const double setText = ms(timer);
    std::printf("setText: %.1f ms; plain vector<QString>: %.1f ms; ratio %.2f (target within 5)\n", setText,
                baseline, setText / baseline);

    // The same with the texts made on the way, as the record display does.
    timer.restart();
    plain.resize(size_t(cells));
    i = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            plain[i++] = cellText(r, c);
    const double baselineMaking = ms(timer);
    plain.clear();
    plain.shrink_to_fit();
    {
        Workbook other;
        timer.restart();
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                other.active().setText(r, c, cellText(r, c));
        const double making = ms(timer);
        std::printf("setText with texts made on the way: %.1f ms; plain vector: %.1f ms; ratio %.2f\n",
                    making, baselineMaking, making / baselineMaking);
    }

    // --- memory per filled cell: the sheet owns every text it holds ------------------------
    {
        const size_t before = heapInUse();
        auto measured = std::make_unique<Workbook>();
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                measured->active().setText(r, c, cellText(r, c));
        const size_t after = heapInUse();
        std::printf("memory: %.1f bytes per filled cell (target under 120)\n",
                    double(after - before) / cells);
    }

    // --- Excel workbook: the grid's writer against libxlsxwriter fed directly ---------------
    QTemporaryDir dir;
    {
        const talor::bench::DirectCells direct = talor::bench::directCells(sheet, rows, cols);
        timer.restart();
        talor::bench::writeDirectly(direct, dir.filePath("direct.xlsx").toStdString(), false);
        const double directMs = ms(timer);

        timer.restart();
        book.write(dir.filePath("grid.xls"), FileType::Excel);
        const double gridMs = ms(timer);
        std::printf(
            "Excel workbook: grid %.0f ms; libxlsxwriter directly %.0f ms; ratio %.2f (target within 1.5)\n",
            gridMs, directMs, gridMs / directMs);
    }

    formulaTimings();

    // --- loading a 100-column template ---------------------------------------------------
    {
        Workbook tpl;
        Sheet& t = tpl.active();
        for (int c = 1; c <= 100; ++c) {
            t.setColumnHeading(c, QStringLiteral("字段%1").arg(c));
            t.setColumnWidth(c, 60 + c % 40);
            for (int r = 1; r <= 4; ++r)
                t.setText(r, c,
                          r == 4 ? QStringLiteral("标签%1").arg(c)
                                 : QStringLiteral("标题%1-%2").arg(r).arg(c));
            t.setText(
                5, c,
                QStringLiteral("=SUM(%1%2:%1%3)").arg(QString(QChar(u'A' + (c - 1) % 26))).arg(6).arg(40));
        }
        t.select("$A$4:$CV$4");
        t.setPattern(1, 0xCCFFCC, 0);
        t.setBorder(1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0);
        t.setFrozenColumns(2);
        t.setLastRow(5);
        const QString path = dir.filePath("100.vts");
        tpl.write(path, FileType::Template);
        constexpr int runs = 20;
        Workbook target;
        timer.restart();
        for (int n = 0; n < runs; ++n)
            target.read(path);
        std::printf("loading a 100-column template: %.2f ms per load\n", ms(timer) / runs);
    }
    return 0;
}
