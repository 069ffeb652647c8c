// Speed and memory of the grid's sheet model and files. Prints one line per measurement.
// Times are CPU time of this process, each taken on a second (warm) run.
//   bench_grid [rows] [columns] [recalc|running]   (default 36000 x 40; recalc, running: that part only)
#include "BenchData.h"
#include "grid/VtsFile.h"
#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "grid/formula/Formula.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
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

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// CPU time of `run` in ms, measured on its second run (the first warms caches and the heap).
double warmCpuMs(const std::function<void()>& run)
{
    run();
    const double start = cpuMs();
    run();
    return cpuMs() - start;
}

// Heap bytes that `make` leaves allocated (it keeps what it makes alive in `keep`).
template <typename T>
double heapCost(std::unique_ptr<T>& keep, const std::function<std::unique_ptr<T>()>& make)
{
    const size_t before = heapInUse();
    keep = make();
    return double(heapInUse()) - double(before);
}

double batchEndMs = 0; // CPU time of the last fillReport's batch end (the recalculation)

// The per-row formulas of the recalculation benchmark, in the last four columns; they read
// number columns (D, E, G) and one another.
QString rowFormula(int row, int k)
{
    switch (k) {
    case 0:
        return QStringLiteral("=D%1*2").arg(row);
    case 1:
        return QStringLiteral("=D%1+E%1").arg(row);
    case 2:
        return QStringLiteral("=SUM(D%1:G%1)").arg(row);
    default:
        return QStringLiteral("=IF(E%1>4,AK%1,0)").arg(row);
    }
}

// Fills rows 2..rows+1 x cols in one batch: values, or with `formulas` the last four columns
// per-row formulas under a template whose row 1 sums every column (=SUM(X2:X<rows+1>)).
std::unique_ptr<Workbook> fillReport(int rows, int cols, bool formulas)
{
    auto book = std::make_unique<Workbook>();
    Sheet& sheet = book->active();
    sheet.beginUpdate();
    if (formulas) {
        for (int c = 1; c <= cols; ++c)
            sheet.setText(1, c,
                          QStringLiteral("=SUM(%1%2:%1%3)")
                              .arg(talor::grid::formula::columnLetters(c))
                              .arg(2)
                              .arg(rows + 1));
    }
    for (int r = 2; r <= rows + 1; ++r)
        for (int c = 1; c <= cols; ++c)
            sheet.setText(r, c, formulas && c > cols - 4 ? rowFormula(r, c - (cols - 3)) : cellText(r, c));
    const double start = cpuMs();
    sheet.endUpdate();
    batchEndMs = cpuMs() - start;
    return book;
}

// Recalculation: a report filled under a template with a sum row above the data and per-row
// formulas, and a template loaded whose formulas precede their inputs, each against the
// same work without formulas.
void recalculationTimings(int rows, int cols, const QTemporaryDir& dir)
{
    std::unique_ptr<Workbook> plain, withFormulas;
    const double plainFill = warmCpuMs([&] { plain = fillReport(rows, cols, false); });
    const double formulaFill = warmCpuMs([&] { withFormulas = fillReport(rows, cols, true); });
    const double recalculation = batchEndMs;
    // Column D's sum read back against the values typed: a wrong order shows here.
    double expected = 0;
    for (int r = 2; r <= rows + 1; ++r)
        expected += plain->active().number(r, 4);
    const bool right = withFormulas->active().number(1, 4) == expected &&
                       withFormulas->active().number(rows + 1, cols - 1) ==
                           plain->active().number(rows + 1, 4) + plain->active().number(rows + 1, 5) +
                               plain->active().number(rows + 1, 7);
    std::printf("fill %d x %d under a sum row and per-row formulas: %.0f ms (recalculation at the batch end "
                "%.0f ms); without formulas %.0f ms; ratio %.2f%s\n",
                rows, cols, formulaFill, recalculation, plainFill, formulaFill / plainFill,
                right ? "" : " (WRONG RESULTS)");

    const QString plainPath = dir.filePath("plain.vts");
    const QString formulaPath = dir.filePath("formulas.vts");
    plain->write(plainPath, FileType::Template);
    withFormulas->write(formulaPath, FileType::Template);
    if (QFileInfo(formulaPath).size() > VtsLimits().fileBytes) {
        std::printf(".vts load: skipped, the file is past the size a template may have (use fewer rows)\n");
        return;
    }
    Workbook loaded;
    const double plainLoad = warmCpuMs([&] { loaded.read(plainPath); });
    const double formulaLoad = warmCpuMs([&] { loaded.read(formulaPath); });
    std::printf(".vts load with the formulas before their inputs: %.0f ms; without formulas %.0f ms; "
                "ratio %.2f%s\n",
                formulaLoad, plainLoad, formulaLoad / plainLoad,
                loaded.active().number(1, 4) == expected ? "" : " (WRONG RESULTS)");
}

// Running totals over a computed column: A1 a rate, B<r> hours, C<r> =$A$1*B<r> and
// F<r> =SUM($C$2:C<r>). Editing A1 recomputes every C and every running total; the time and
// the memory that edit takes beyond the filled sheet.
void runningTotals(int rows)
{
    Workbook book;
    Sheet& sheet = book.active();
    {
        Sheet::Batch batch(sheet);
        sheet.setText(1, 1, "2");
        for (int r = 2; r <= rows + 1; ++r) {
            sheet.setText(r, 2, QString::number(r % 7 + 1));
            sheet.setText(r, 3, QStringLiteral("=$A$1*B%1").arg(r));
            sheet.setText(r, 6, QStringLiteral("=SUM($C$2:C%1)").arg(r));
        }
    }
    std::ofstream("/proc/self/clear_refs") << "5";
    const long startKiB = talor::bench::statusKiB("VmRSS:");
    const double start = cpuMs();
    sheet.setText(1, 1, "3");
    const double edit = cpuMs() - start;
    const double peakMiB = double(talor::bench::statusKiB("VmHWM:") - startKiB) / 1024.0;
    double expected = 0;
    for (int r = 2; r <= rows + 1; ++r)
        expected += 3.0 * (r % 7 + 1);
    std::printf("edit of a cell read by %d running totals over a computed column: %.0f ms CPU, "
                "%.0f MiB peak beyond the sheet (target 100 ms, 200 MB)%s\n",
                rows, edit, peakMiB, sheet.number(rows + 1, 6) == expected ? "" : " (WRONG RESULTS)");

    // Every row of column A summing the whole sheet beside it, as a template may: each sum
    // reads the same cells, so one pass reads them once.
    Sheet sums;
    const double fillStart = cpuMs();
    {
        Sheet::Batch batch(sums);
        for (int r = 1; r <= Sheet::MaxRows && r <= 65536; ++r) {
            sums.setText(r, 1, QStringLiteral("=SUM(B1:IV65536)"));
            sums.setText(r, 2, "1");
        }
    }
    std::printf("65536 formulas =SUM(B1:IV65536) over 65536 numbers, typed in one batch: %.0f ms CPU%s\n",
                cpuMs() - fillStart, sums.number(65536, 1) == 65536 ? "" : " (WRONG RESULTS)");
}

// What formula cells, big ranges, far cells and sheets cost.
void memoryCosts()
{
    constexpr int n = 50000;
    std::unique_ptr<Sheet> keep;
    auto fill = [](bool formulas) {
        return [formulas] {
            auto sheet = std::make_unique<Sheet>();
            Sheet::Batch batch(*sheet);
            for (int r = 1; r <= n; ++r) {
                sheet->setText(r, 1, QString::number(r));
                sheet->setText(r, 2, "1");
                sheet->setText(r, 3,
                               formulas ? QStringLiteral("=A%1*2+B%1").arg(r) : QString::number(r * 2 + 1));
            }
            return sheet;
        };
    };
    const double numbers = heapCost<Sheet>(keep, fill(false));
    keep.reset();
    const double formulas = heapCost<Sheet>(keep, fill(true));
    keep.reset();
    std::printf("memory: %.0f bytes per formula cell =A<r>*2+B<r> (beyond a number cell)\n",
                (formulas - numbers) / n);

    constexpr int sums = 1000;
    const double ranges = heapCost<Sheet>(keep, [] {
        auto sheet = std::make_unique<Sheet>();
        Sheet::Batch batch(*sheet);
        for (int i = 1; i <= sums; ++i)
            sheet->setText(i, 1, "=SUM(B1:IV65536)");
        return sheet;
    });
    keep.reset();
    std::printf("memory: %.0f bytes per formula =SUM(B1:IV65536), %.0f bytes per =SUM(B1:B65536)\n",
                ranges / sums, heapCost<Sheet>(keep, [] {
                                   auto sheet = std::make_unique<Sheet>();
                                   Sheet::Batch batch(*sheet);
                                   for (int i = 1; i <= sums; ++i)
                                       sheet->setText(i, 1, "=SUM(B1:B65536)");
                                   return sheet;
                               }) / sums);
    keep.reset();

    const double far = heapCost<Sheet>(keep, [] {
        auto sheet = std::make_unique<Sheet>();
        for (int r = 1; r <= Sheet::MaxRows; ++r)
            sheet->setText(r, Sheet::MaxColumns, "x");
        return sheet;
    });
    keep.reset();
    std::printf("memory: %.0f bytes per row holding one cell in column IV (65536 rows)\n",
                far / Sheet::MaxRows);

    std::unique_ptr<std::vector<std::unique_ptr<Sheet>>> sheets;
    const double empty = heapCost<std::vector<std::unique_ptr<Sheet>>>(sheets, [] {
        auto all = std::make_unique<std::vector<std::unique_ptr<Sheet>>>();
        for (int i = 0; i < 1000; ++i)
            all->push_back(std::make_unique<Sheet>());
        return all;
    });
    std::printf("memory: %.0f bytes per empty sheet\n", empty / 1000);
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
    if (argc > 3 && std::strcmp(argv[3], "recalc") == 0) { // the recalculation and memory part only
        QTemporaryDir dir;
        recalculationTimings(rows, cols, dir);
        runningTotals(rows);
        memoryCosts();
        return 0;
    }
    if (argc > 3 && std::strcmp(argv[3], "running") == 0) {
        runningTotals(rows);
        return 0;
    }

    // --- setText against filling a plain vector with the same texts -----------------------
    std::vector<QString> texts;
    texts.reserve(size_t(cells));
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            texts.push_back(cellText(r, c));

    QElapsedTimer timer;
    const double baseline = warmCpuMs([&] {
        std::vector<QString> plain(static_cast<size_t>(cells));
        for (size_t i = 0; i < plain.size(); ++i)
            plain[i] = texts[i];
    });
    std::unique_ptr<Workbook> filled;
    const double setText = warmCpuMs([&] {
        filled = std::make_unique<Workbook>();
        size_t i = 0;
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                filled->active().setText(r, c, texts[i++]);
    });
    Workbook& book = *filled;
    Sheet& sheet = book.active();
    std::printf("setText: %.1f ms; plain vector<QString>: %.1f ms; ratio %.2f (target within 5)\n", setText,
                baseline, setText / baseline);
    std::vector<QString> plain;
    size_t i = 0;

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
    recalculationTimings(rows, cols, dir);
    runningTotals(rows);
    memoryCosts();

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
