// Writes a picture of the main window showing a filled report of one kind on a fresh demo
// suite (docs/report-kind1.png, ...), or of its set-up dialog (docs/setup-dialog.png).
// Usage: window_screenshot <kind 1|2|3|setup> <png path>
#include "PrintingUi.h"
#include "demo/DemoSuite.h"
#include "entry/ModuleParts.h"
#include "entry/frmKQJL.h"
#include "setup/frmYBXZ.h"
#include "suite/LocalSuite.h"
#include "ui/UiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

using namespace talor;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_screenshot <kind 1|2|3|setup> <png path>\n");
        return 2;
    }
    app.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
    const int kind = QString::fromLocal8Bit(argv[1]).toInt();
    QTemporaryDir dir;
    try {
        DemoSuite::generate(dir.filePath("demo"), DemoOptions());
        LocalSuite suite(dir.filePath("demo/suite.ini"));
        PrintingUi ui;
        frmKQJL window(suite, ui);
        ModuleParts parts(suite, ui, window.state(), window.records(), window.book(), window.view());
        window.setCommands(&parts);
        window.load();
        window.resize(1280, 760);
        window.show();
        window.activate();
        if (QString::fromLocal8Bit(argv[1]) == u"setup") {
            frmYBXZ setup(suite, ui, window.records().TreeRecords[0], window.records().MenuRecords, &window);
            setup.show();
            app.processEvents();
            return setup.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
        }
        // As the operator: the report kind, the sum box, the organisation or 生产部, a person.
        window.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(kind))->click();
        if (kind != 3)
            window.findChild<QCheckBox*>(QStringLiteral("Check1"))->click();
        auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        QTreeWidgetItem* node =
            kind == 2
                ? tree->topLevelItem(0)
                : tree->findItems(QStringLiteral("生产部"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
        tree->setCurrentItem(node);
        Q_EMIT tree->itemClicked(node, 0);
        if (kind == 1) {
            auto* list = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
            list->setCurrentRow(1);
            Q_EMIT list->itemClicked(list->currentItem());
        }
        app.processEvents();
        if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
