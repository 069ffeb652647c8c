// Writes pictures of the select-report dialog and of the template designer on a fresh demo
// suite with two reports of its own (docs/select-report.png, docs/designer.png).
// Usage: dialog_screenshots <select-report png> <designer png>
#include "PrintingUi.h"
#include "demo/DemoSuite.h"
#include "grid/Workbook.h"
#include "query/ReportConditions.h"
#include "query/frmSQL0.h"
#include "report/frmMODEL.h"
#include "suite/LocalSuite.h"
#include "ui/UiService.h"

#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <cstdio>

using namespace talor;

namespace {

bool save(QWidget& widget, const char* path)
{
    widget.show();
    QApplication::processEvents();
    if (widget.grab().save(QString::fromLocal8Bit(path)))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: dialog_screenshots <select-report png> <designer png>\n");
        return 2;
    }
    app.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
    QTemporaryDir dir;
    try {
        DemoSuite::generate(dir.filePath("demo"), DemoOptions());
        LocalSuite suite(dir.filePath("demo/suite.ini"));
        PrintingUi ui;
        ReportConditions reports(suite);
        reports.add({QStringLiteral("夜班考勤"), QStringLiteral("banci='3'"), QString()});
        reports.add({QStringLiteral("迟到早退"), QStringLiteral("(cdfz>0 or ztfz>0)"),
                     QStringLiteral("(cdfz>0 or ztfz>0)")});
        suite.setReportKey(QStringLiteral("夜班考勤"));
        suite.setReportOption(QStringLiteral("2"));

        frmSQL0 select(suite, ui, {});
        select.resize(360, 280);
        if (!save(select, argv[1]))
            return 1;

        frmMODEL designer(suite, ui);
        // A label the field dictionary does not know, as the designer shows it.
        designer.book().active().setText(4, 7, QStringLiteral("'上班时刻"));
        designer.book().active().setActiveCell(4, 7);
        designer.designer().cellClick(4, 7);
        designer.resize(1100, 520);
        if (!save(designer, argv[2]))
            return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
