// Scrolling the grid widget over a 36,000 x 70 sheet with frozen columns: time per repaint
// while scrolling down and sideways (offscreen unless QT_QPA_PLATFORM says otherwise).
#include "grid/SheetTableView.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

using namespace talor::grid;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 36000;
    constexpr int cols = 70;
    Workbook book;
    Sheet& sheet = book.active();
    sheet.setLastRow(rows);
    sheet.setLastColumn(cols);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c)
            sheet.setText(r, c, c % 3 == 0 ? QStringLiteral("正常") : QString::number(r * 7 + c));
        sheet.select(r, 1, r, cols);
        sheet.setPattern(1, r % 7 == 0 ? 0x9999FF : 0xFFFFFF, 0);
        sheet.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    }
    sheet.setFrozenColumns(2);

    SheetView view;
    QElapsedTimer timer;
    timer.start();
    view.setWorkbook(&book);
    view.resize(1280, 800);
    view.show();
    QApplication::processEvents();
    std::printf("showing %d x %d cells: %.1f ms\n", rows, cols, timer.nsecsElapsed() / 1e6);

    // Filling a shown sheet as the record display does: texts, then the row's fill and frame.
    {
        Workbook shown;
        SheetView other;
        other.setWorkbook(&shown);
        other.resize(1280, 800);
        other.show();
        QApplication::processEvents();
        QElapsedTimer fill;
        fill.start();
        Sheet& s = shown.active();
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= cols; ++c)
                s.setText(r, c, QString::number(r * 7 + c));
            s.select(r, 1, r, cols);
            s.setPattern(1, 0xFFFFFF, 0);
            s.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
        }
        QApplication::processEvents();
        std::printf("filling a shown sheet of %d x %d cells with row fills and frames: %.0f ms\n", rows, cols,
                    fill.nsecsElapsed() / 1e6);
    }

    SheetTableView* table = view.table();
    auto frames = [&](QScrollBar* bar, int steps, const char* what) {
        const int step = std::max(1, bar->maximum() / steps);
        QElapsedTimer t;
        double worst = 0;
        t.start();
        for (int i = 0; i < steps; ++i) {
            QElapsedTimer frame;
            frame.start();
            bar->setValue(bar->value() + step);
            table->viewport()->repaint();
            worst = std::max(worst, frame.nsecsElapsed() / 1e6);
        }
        std::printf("scrolling %s: %.2f ms per repaint on average, %.2f ms at worst (%d repaints)\n", what,
                    t.nsecsElapsed() / 1e6 / steps, worst, steps);
    };
    frames(table->verticalScrollBar(), 200, "down");
    frames(table->horizontalScrollBar(), 50, "sideways");
    return 0;
}
