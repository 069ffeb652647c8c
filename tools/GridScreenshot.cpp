// Writes a picture of the grid widget (docs/grid.png): a report sheet with frozen columns,
// custom headings, fills and borders. Usage: grid_screenshot <png path>
#include "grid/SheetView.h"
#include "grid/Workbook.h"

#include <QApplication>
#include <QFont>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>

using namespace talor::grid;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: grid_screenshot <png path>\n");
        return 2;
    }
    app.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));

    Workbook book;
    book.setSheetName(1, QStringLiteral("部门一天"));
    Sheet& s = book.active();
    const QStringList headings{"工号", "姓名", "日期", "上班", "下班", "迟到",
                               "早退", "加班", "出勤", "备注", "ok"};
    for (int c = 0; c < headings.size(); ++c)
        s.setColumnHeading(c + 1, headings[c]);
    const QStringList names{"张三", "李四", "王五", "赵六", "孙七", "周八", "吴九", "郑十", "钱一", "陈二"};
    for (int r = 1; r <= 40; ++r) {
        s.setText(r, 1, QStringLiteral("'%1").arg(r, 4, 10, QLatin1Char('0')));
        s.setText(r, 2, names[(r - 1) % names.size()]);
        s.setText(r, 3, QStringLiteral("2024-3-%1").arg((r - 1) % 28 + 1));
        s.setText(r, 4, r % 7 == 0 ? QStringLiteral("09:12") : QStringLiteral("08:%1").arg(20 + r % 30));
        s.setText(r, 5, QStringLiteral("17:%1").arg(30 + r % 25));
        s.setText(r, 6, r % 7 == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        s.setText(r, 7, QStringLiteral("0"));
        s.setText(r, 8, QString::number((r % 5) * 0.5, 'f', 2));
        s.setText(r, 9, QStringLiteral("=IF(F%1>0,\"迟到\",\"正常\")").arg(r));
        s.setText(r, 10, r % 7 == 0 ? QStringLiteral("异常") : QString());
        s.select(QStringLiteral("$A$%1:$J$%1").arg(r));
        const quint32 colour = r % 7 == 0 ? 0x9999FF : (r % 11 == 0 ? 0x99FFFF : 0xFFFFFF);
        s.setPattern(1, colour, 0);
        s.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    }
    s.setLastColumn(10);
    s.setColumnWidth(2, 70);
    s.setColumnWidth(3, 90);
    s.setFrozenColumns(2);
    s.select(QStringLiteral("$C5"));

    SheetView view;
    view.setWorkbook(&book);
    view.resize(640, 330);
    view.show();
    QApplication::processEvents();
    // Scrolled sideways, so that the frozen columns show their worth.
    if (auto* table = view.findChild<QTableView*>(QStringLiteral("sheetTable")))
        table->horizontalScrollBar()->setValue(180);
    QApplication::processEvents();
    if (!view.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
