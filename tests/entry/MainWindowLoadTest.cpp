#include "entry/MainWindowLoad.h"

#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// A suite and a window that log, in one list, the calls whose order the load step fixes.
class LoggingSuite : public test::FakeSuite
{
public:
    QStringList* log = nullptr;

    // Logs `name`=`value` and passes the value on.
    QString note(const QString& name, const QString& value) const
    {
        *log << name + "=" + value;
        return value;
    }
    int note(const QString& name, int value) const { return note(name, QString::number(value)).toInt(); }
    void setRefreshFlag(int v) override { FakeSuite::setRefreshFlag(note("RefreshFlag", v)); }
    void setSavedTable(const QString& c) override { FakeSuite::setSavedTable(note("SavedTable", c)); }
    void setCurrentTable(const QString& c) override { FakeSuite::setCurrentTable(note("CurrentTable", c)); }
    void setReportKey(const QString& k) override { FakeSuite::setReportKey(note("ReportKey", k)); }
    void setViewName(const QString& c) override { FakeSuite::setViewName(note("ViewName", c)); }
    QString filterText() const override { return note("filterText", FakeSuite::filterText()); }
    void setReportOption(const QString& v) override { FakeSuite::setReportOption(note("ReportOption", v)); }
    void writeSetting(const QString& s, const QString& k, const QString& v, const QString& f) override
    {
        FakeSuite::writeSetting(s, k, note("write " + s + "/" + k, v), f);
    }
};

class RecordingTarget : public LoadTarget
{
public:
    QStringList* log = nullptr;
    QStringList pictures;
    bool pictureLoads = true;

    void showTree(const TreeFillResult& t) override { *log << "tree " + QString::number(t.nodes.size()); }
    void showSetupDialog() override { *log << "setup dialog"; }
    void prepareGrid() override { *log << "grid"; }
    bool setBackgroundPicture(const QString& path) override
    {
        pictures << path;
        return pictureLoads;
    }
    void setExternalMenuCaption(int n, const QString& c) override
    {
        *log << QString("MNE%1=%2").arg(n).arg(c);
    }
    void setWindowCaption(const QString& caption) override { *log << "caption " + caption; }
    void setWindowIconFile(const QString& path) override { *log << "icon " + path; }
};

class MainWindowLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.log = target.log = &log;
        suite.db = data.db();
        suite.settingsDir = suite.appDir = data.directory();
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

    void setUpModule(const QString& table = "kq01", const QString& setupIf = "YES")
    {
        suite.setSetting("TALOR", "考勤日报TABLE", table);
        suite.setSetting("TALOR", "考勤日报IF", setupIf);
    }

    int argc = 0;
    QCoreApplication app{argc, nullptr};
    test::ModuleDatabase data;
    QStringList log;
    LoggingSuite suite;
    RecordingTarget target;
    ModuleRecordsets records;
    MainWindowState state;
};

TEST_F(MainWindowLoadTest, StepsRunInTheirOrderAndOpenTheRecordsetsAFailingDatabaseEndsThem)
{
    setUpModule();
    suite.setSetting("TALOR", "考勤日报MENU2", "工资");
    // A kind that is none (as a damaged install has) starts the window on the one-day report.
    suite.setSetting("TALOR", "考勤日报OPT", "4");
    state.DataChanged = state.PrintRest = true;
    run();
    const QStringList expected =
        QString("RefreshFlag=0|SavedTable=suite1|ReportKey=考勤日报|tree 2|write MODEL8/DLL=TALOR|"
                "write MODEL8/OPT=2|CurrentTable=kq01|ViewName=在职资料|filterText=depart='01'|"
                "ViewName=考勤表|grid|MNE1=|MNE2=工资|MNE3=|MNE4=|MNE5=|MNE6=|MNE7=|caption 考勤日报|"
                "icon /icons/talor.png|ReportOption=2")
            .split('|');
    EXPECT_EQ(log, expected);
    EXPECT_EQ(QStringList({state.SuiteFilter, state.SetupIf, records.MenuRecords.source(),
                           records.EmployeeRecords.source(), records.PersonTemplateRecords.source()}),
              QStringList({"depart='01'", "YES", "select * from SYS02", "select memberid,name from ygzl",
                           "select * from YGZL where memberid='1'"}));
    EXPECT_FALSE(state.DataChanged || state.PrintRest);
    for (const Recordset& level : records.TreeRecords)
        EXPECT_TRUE(level.isOpen());

    // A failing database ends the load where it fails.
    log.clear();
    data.exec("drop table SYS02");
    EXPECT_THROW(run(), std::exception);
    EXPECT_EQ(std::pair(log.contains("tree 2"), log.contains("write MODEL8/DLL=TALOR")),
              std::pair(true, false));
}

TEST_F(MainWindowLoadTest, BackgroundPictureFromTheReportThenTheDefault)
{
    setUpModule();
    const QString own = QDir(data.directory()).filePath("own.png");
    const QString fallback = QDir(data.directory()).filePath("brantel.bmp");
    test::putFile(own, {});
    test::putFile(fallback, {});
    suite.setSetting("TALOR", "夜班IMAGE", own); // the previous report's key: not read
    // Configured, whether it loads; the pictures shown.
    const std::tuple<QString, bool, QStringList> cases[] = {
        {own, true, {own}},
        {QDir(data.directory()).filePath("missing.png"), true, {fallback}},
        {own, false, {own, fallback}}, // a file that is no picture falls back as well
        {"", true, {}}};
    for (const auto& [configured, loads, shown] : cases) {
        SCOPED_TRACE(configured.toStdString());
        if (shown.isEmpty())
            QFile::remove(fallback);
        target.pictures.clear();
        target.pictureLoads = loads;
        suite.setSetting("TALOR", "考勤日报IMAGE", configured);
        run();
        EXPECT_EQ(target.pictures, shown);
    }
}

} // namespace
