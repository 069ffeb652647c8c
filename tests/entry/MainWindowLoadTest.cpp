#include "entry/MainWindowLoad.h"

#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;

namespace {

// A suite that logs the calls whose order the load step fixes, in one list with the window's.
class LoggingSuite : public FakeSuite
{
public:
    QStringList* log = nullptr;

    void setRefreshFlag(int value) override
    {
        *log << "RefreshFlag=" + QString::number(value);
        FakeSuite::setRefreshFlag(value);
    }
    void setSavedTable(const QString& code) override
    {
        *log << "SavedTable=" + code;
        FakeSuite::setSavedTable(code);
    }
    void setCurrentTable(const QString& code) override
    {
        *log << "CurrentTable=" + code;
        FakeSuite::setCurrentTable(code);
    }
    void setReportKey(const QString& key) override
    {
        *log << "ReportKey=" + key;
        FakeSuite::setReportKey(key);
    }
    void setViewName(const QString& caption) override
    {
        *log << "ViewName=" + caption;
        FakeSuite::setViewName(caption);
    }
    QString filterText() const override
    {
        *log << "filterText";
        return FakeSuite::filterText();
    }
    void setReportOption(const QString& value) override
    {
        *log << "ReportOption=" + value;
        FakeSuite::setReportOption(value);
    }
    void writeSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file) override
    {
        *log << "write " + section + "/" + key + "=" + value;
        FakeSuite::writeSetting(section, key, value, file);
    }
};

class RecordingTarget : public LoadTarget
{
public:
    QStringList* log = nullptr;
    TreeFillResult tree;
    QStringList pictures;
    bool pictureLoads = true;

    void showTree(const TreeFillResult& t) override
    {
        tree = t;
        *log << "tree " + QString::number(t.nodes.size());
    }
    void showSetupDialog() override { *log << "setup dialog"; }
    void prepareGrid() override { *log << "grid"; }
    bool setBackgroundPicture(const QString& path) override
    {
        pictures << path;
        *log << "picture " + QFileInfo(path).fileName();
        return pictureLoads;
    }
    void setExternalMenuCaption(int position, const QString& caption) override
    {
        *log << QString("MNE%1=%2").arg(position).arg(caption);
    }
    void setWindowCaption(const QString& caption) override { *log << "caption " + caption; }
    void setWindowIconFile(const QString& path) override { *log << "icon " + path; }
};

class MainWindowLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.log = &log;
        target.log = &log;
        suite.db = data.db();
        suite.settingsDir = data.directory();
        suite.appDir = data.directory();
        suite.iconDir = "/icons";
        suite.current = "suite1";
        suite.reportKeyValue = "夜班";
        suite.option = "2";
        suite.filter = "depart='01'";
        suite.tableCaptions = {{"kq01", "考勤表"}, {"suite1", "人事表"}};
        data.root(1);
        data.node(10, 1, "生产部", 1);
    }

    void run() { MainWindowLoad(suite, records, state, target).run(); }

    void setUpModule()
    {
        suite.setSetting("TALOR", "考勤日报TABLE", "kq01");
        suite.setSetting("TALOR", "考勤日报IF", "YES");
    }

    int argc = 0;
    QCoreApplication app{argc, nullptr};
    ModuleDatabase data;
    QStringList log;
    LoggingSuite suite;
    RecordingTarget target;
    ModuleRecordsets records;
    MainWindowState state;
};

TEST_F(MainWindowLoadTest, StepsRunInTheirOrder)
{
    setUpModule();
    suite.setSetting("TALOR", "考勤日报MENU2", "工资");
    suite.setSetting("TALOR", "考勤日报OPT", "1");
    run();
    const QStringList expected{
        "RefreshFlag=0",
        "SavedTable=suite1",
        "ReportKey=考勤日报",
        "tree 2",
        "write MODEL8/DLL=TALOR",
        "write MODEL8/OPT=2",
        "CurrentTable=kq01",
        "ViewName=在职资料",
        "filterText",
        "ViewName=考勤表",
        "grid",
        "MNE1=",
        "MNE2=工资",
        "MNE3=",
        "MNE4=",
        "MNE5=",
        "MNE6=",
        "MNE7=",
        "caption 考勤日报",
        "icon /icons/talor.png",
        "ReportOption=1",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(state.SuiteFilter, "depart='01'");
    EXPECT_EQ(state.SetupIf, "YES");
    EXPECT_EQ(suite.saved, "suite1");
    EXPECT_EQ(suite.current, "kq01");
}

TEST_F(MainWindowLoadTest, RecordsetsAreOpenOnTheirStatements)
{
    setUpModule();
    state.DataChanged = state.PrintRest = true;
    run();
    EXPECT_EQ(records.MenuRecords.source(), "select * from SYS02");
    EXPECT_EQ(records.EmployeeRecords.source(), "select memberid,name from ygzl");
    EXPECT_EQ(records.PersonTemplateRecords.source(), "select * from YGZL where memberid='1'");
    for (const Recordset& level : records.TreeRecords)
        EXPECT_TRUE(level.isOpen());
    EXPECT_FALSE(state.DataChanged);
    EXPECT_FALSE(state.PrintRest);
}

struct SetupCase
{
    const char* table;
    const char* setupIf;
    bool dialog;
};

class SetupDialogTest : public MainWindowLoadTest, public ::testing::WithParamInterface<SetupCase>
{};

TEST_P(SetupDialogTest, OpensUnlessTableIsSetAndIfIsExactlyYes)
{
    suite.setSetting("TALOR", "考勤日报TABLE", GetParam().table);
    suite.setSetting("TALOR", "考勤日报IF", GetParam().setupIf);
    run();
    EXPECT_EQ(log.contains("setup dialog"), GetParam().dialog);
    if (GetParam().dialog) {
        EXPECT_EQ(log.indexOf("setup dialog"), log.indexOf("CurrentTable=" + QString(GetParam().table)) + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SetupDialogTest,
                         ::testing::Values(SetupCase{"", "", true}, SetupCase{"kq01", "", true},
                                           SetupCase{"kq01", "yes", true}, SetupCase{"kq01", "NO", true},
                                           SetupCase{"", "YES", true}, SetupCase{"kq01", "YES", false}));

TEST_F(MainWindowLoadTest, BackgroundPictureFromTheReportThenTheDefault)
{
    setUpModule();
    const QString own = QDir(data.directory()).filePath("own.png");
    const QString fallback = QDir(data.directory()).filePath("brantel.bmp");
    QFile(own).open(QIODevice::WriteOnly);
    QFile(fallback).open(QIODevice::WriteOnly);

    suite.setSetting("TALOR", "夜班IMAGE", own); // another report's key: not read
    suite.setSetting("TALOR", "考勤日报IMAGE", own);
    run();
    EXPECT_EQ(target.pictures, QStringList{own});

    target.pictures.clear();
    suite.setSetting("TALOR", "考勤日报IMAGE", QDir(data.directory()).filePath("missing.png"));
    run();
    EXPECT_EQ(target.pictures, QStringList{fallback});

    // A configured file that is no picture falls back as well.
    target.pictures.clear();
    target.pictureLoads = false;
    suite.setSetting("TALOR", "考勤日报IMAGE", own);
    run();
    EXPECT_EQ(target.pictures, (QStringList{own, fallback}));

    target.pictures.clear();
    QFile::remove(fallback);
    suite.setSetting("TALOR", "考勤日报IMAGE", "");
    run();
    EXPECT_TRUE(target.pictures.isEmpty());
}

TEST_F(MainWindowLoadTest, AFailingDatabaseEndsTheLoad)
{
    setUpModule();
    data.exec("drop table SYS02");
    EXPECT_THROW(run(), std::exception);
    EXPECT_FALSE(log.contains("write MODEL8/DLL=TALOR"));
    EXPECT_TRUE(log.contains("tree 2"));
}

} // namespace
