// Writes a picture of the main window on a small populated suite (docs/main-window.png):
//     entry_screenshot <file.png>
// Run with QT_QPA_PLATFORM=offscreen; the window uses WenQuanYi Micro Hei.
#include "commands/DesignedImages.h"
#include "entry/ModuleDatabase.h"
#include "entry/frmKQJL.h"
#include "grid/Sheet.h"
#include "grid/Workbook.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: entry_screenshot FILE.png\n");
        return 2;
    }
    talor::test::ModuleDatabase data;
    talor::test::FakeSuite suite;
    talor::test::ScriptedUi ui;
    suite.db = data.db();
    suite.appDir = suite.settingsDir = suite.iconDir = suite.templateDir = data.directory();
    suite.tableCaptions = {{"kq01", "考勤表"}};
    suite.setSetting("TALOR", "考勤日报TABLE", "kq01");
    suite.setSetting("TALOR", "考勤日报IF", "YES");
    suite.setSetting("TALOR", "考勤日报OPT", "2");
    suite.setSetting("TALOR", "考勤日报MENU1", "人事档案");
    suite.setSetting("TALOR", "考勤日报CAP1", "档案");
    for (const char* kind : {"1", "2"})
        QFile(QDir(data.directory()).filePath(QString("考勤日报%1.vts").arg(kind)))
            .open(QIODevice::WriteOnly);
    data.menu("人事档案", QVariant(), "*", "veld.dll");
    // The menu has no picture of its own: the suite's default MAILM.ICO (here a PNG inside).
    talor::DesignedImages::picture(18).save(QDir(data.directory()).filePath("MAILM.ICO"), "PNG");
    data.root(1);
    data.node(10, 1, "生产部", 1);
    data.node(11, 1, "行政部", 2);
    data.node(20, 10, "一组", 1);
    data.node(21, 10, "二组", 2);
    data.node(22, 11, "文员组", 1);
    data.node(30, 20, "甲班", 1);
    data.node(31, 20, "乙班", 2);

    talor::frmKQJL window(suite, ui);
    window.load();
    window.show();
    window.activate();
    window.TreeView1()->expandAll();
    window.TreeView1()->setCurrentItem(window.treeNode("B生产部一组"));

    talor::grid::Sheet& sheet = window.book().active();
    const QStringList headings{"工号", "姓名", "上班", "下班", "迟到", "早退", "加班", "备注"};
    for (int c = 1; c <= headings.size(); ++c)
        sheet.setColumnHeading(c, headings[c - 1]);
    const QStringList rows[] = {{"'0001", "张三", "08:00", "17:00", "0", "0", "1.5", ""},
                                {"'0002", "李四", "08:12", "17:00", "12", "0", "0", "迟到"},
                                {"'0003", "王五", "07:58", "16:30", "0", "30", "0", "早退"},
                                {"'0004", "赵六", "08:00", "17:00", "0", "0", "2", ""}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < headings.size(); ++c)
            sheet.setText(r + 1, c + 1, rows[r][c]);
    window.book().setSheetName(1, "考勤日报表");
    window.Label(1)->setText("考勤日报表");
    window.Label(2)->setText("2026-11-05");
    window.Label(3)->setText("生产部一组");
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "entry_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
