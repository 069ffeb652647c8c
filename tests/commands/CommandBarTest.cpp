#include "commands/CommandBar.h"

#include "commands/CommandRules.h"
#include "commands/DesignedImages.h"
#include "commands/ModuleMenus.h"
#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>
#include <numeric>

using namespace talor;
using Kind = ModuleMenuOutcome::Kind;

namespace {

// The menu table of the suite's database; pictures and programs beside it.
class CommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.iconDir = suite.appDir = suite.settingsDir = data.directory();
        suite.allowed = ",工资,考勤,";
        images = DesignedImages::imageList();
    }

    void picture(const QString& name, QColor colour = Qt::red)
    {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QDir(data.directory()).filePath(name), "PNG"));
    }

    void program(const QString& name)
    {
        const QString path = QDir(data.directory()).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        test::putFile(path, "#!/bin/sh\n");
    }

    // Settings of the module (keys after the module key) as "SUFFIX=value|SUFFIX=value".
    void setModule(const QString& settings)
    {
        for (const QString& setting : settings.split(u'|'))
            suite.setSetting("TALOR", "考勤日报" + setting.section(u'=', 0, 0), setting.section(u'=', 1));
    }
    CommandBarLayout build() { return commandBar.build(); }
    ModuleMenuOutcome run(const QString& name)
    {
        suite.menuName = name;
        return ModuleMenus(suite, menuRecords, launcher).runModuleMenu();
    }

    test::ModuleDatabase data;
    test::FakeSuite suite;
    Recordset menuRecords;
    ImageList images;
    test::RecordingLauncher launcher;
    CommandBar commandBar{suite, menuRecords, images};
};

// Each button as key, caption, picture, shown and the command a click on it runs.
TEST_F(CommandsTest, FifteenButtonsInTheirOrderWithPlaceholdersWhenNothingIsConfigured)
{
    using enum MenuCommand;
    const CommandBarLayout bar = build();
    QStringList buttons;
    for (int i = 1; i <= int(bar.buttons.size()); ++i) {
        const ToolButtonSpec& b = bar.buttons[size_t(i - 1)];
        buttons << b.key + ' ' + b.caption + ' ' + QString::number(b.image) + (b.visible ? "" : "-") + ' ' +
                       QString::number(int(CommandBar::commandOfButton(i)));
    }
    // Commands by number: MN01..MN08 are 1..8, the external positions MNE1..MNE7 9..15.
    EXPECT_EQ(buttons.join(u'|'),
              "KEY-1 选定 7 1|KEY-3 没挂 1- 9|KEY-4 没挂 1- 10|KEY-5 没挂 1- 11|KEY-6 没挂 1- 12|"
              "KEY-7 没挂 1- 13|KEY-8 没挂 1- 14|KEY-9 没挂 1- 15|KEY-10 编辑 1 2|KEY-11 保存 17 3|"
              "KEY-12 预览 10 4|KEY-13 打印 11 5|KEY-14 输出 15 6|KEY-15 关于 6 7|KEY-16 退出 2 8");
    // The menu recordset is left on the last position's query.
    EXPECT_EQ(std::tuple(CommandBar::commandOfButton(0), CommandBar::commandOfButton(16),
                         bar.visibleButtonCount(), bar.externalMenuVisible, bar.menuVisible, images.count(),
                         menuRecords.isOpen()),
              std::tuple(None, None, 8, std::array<bool, 7>{},
                         std::array<bool, 8>{true, true, true, true, true, true, true, true},
                         DesignedImages::Count, true));
}

// Position 1's picture cannot be loaded: its button shows without one and the path is told,
// once however often the bar is built. Position 2's row has no caption (a hidden button) and a
// null picture, the mail icon; position 3's empty picture names no file at all, so none is
// missing.
TEST_F(CommandsTest, MissingPictureNullPictureAndRowWithoutCaption)
{
    picture("MAILM.ICO", Qt::blue);
    data.menu("工资", "missing.ico", "", "salary.dll");
    data.menu("考勤机", QVariant(), "*", "reader.dll");
    data.menu("排班", "", "*", "shift.dll");
    setModule("MENU1=工资|CAP1=工资|MENU2=考勤机|MENU3=排班|CAP3=排班");

    build();
    const CommandBarLayout bar = build();
    // The menu item shows whenever a name is configured.
    const QDir dir(data.directory());
    EXPECT_EQ(std::tuple(bar.buttons[1].image, bar.buttons[1].visible, bar.missingPictures.join(u'|'),
                         images.count(), bar.buttons[2].key + "|" + bar.buttons[2].caption,
                         bar.buttons[2].visible, bar.buttons[2].image, bar.externalMenuVisible[1],
                         bar.buttons[3].image),
              std::tuple(0, true, dir.filePath("missing.ico"), DesignedImages::Count + 1, QString("KEY-4|"),
                         false, DesignedImages::Count + 1, true, 0));
    EXPECT_EQ(images.image(DesignedImages::Count + 1).pixelColor(2, 2), QColor(Qt::blue));
}

TEST(ImageListTest, ZhimagesFindsTheFirstExactKeyAndEachDesignedIndexHoldsItsOwnPicture)
{
    ImageList list;
    QImage image(4, 4, QImage::Format_RGB32);
    for (const char* key : {"k1", "KEY-3", "KEY-3", "key-4"})
        list.add(image, key);
    // Indexes outside 1..count hold nothing.
    EXPECT_EQ(std::tuple(list.zhimages("KEY-3"), list.zhimages("KEY-4"), list.zhimages("key-4"),
                         list.image(0).isNull(), list.image(5).isNull(), list.key(0), list.key(1),
                         list.key(4), list.key(5)),
              std::tuple(2, 0, 4, true, true, QString(), QString("k1"), QString("key-4"), QString()));

    // Each index of the designed pictures holds its own: all of the designed size, none blank, no
    // two alike; the plain tiles share one outline, and the selected picture of a pair (the
    // second) is the lighter.
    const ImageList designed = DesignedImages::imageList();
    QSet<QByteArray> distinct;
    QStringList tiles;
    std::vector<double> lightness{0};
    const QImage tile = designed.image(3).convertToFormat(QImage::Format_Alpha8);
    for (int i = 1; i <= designed.count(); ++i) {
        const QImage image = designed.image(i), alpha = image.convertToFormat(QImage::Format_Alpha8),
                     grey = image.convertToFormat(QImage::Format_Grayscale8);
        ASSERT_EQ(image.size(), QSize(DesignedImages::Size, DesignedImages::Size)) << i;
        EXPECT_GE(std::count(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes(), 255), 40)
            << i << " is blank";
        distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        if (alpha == tile)
            tiles << QString::number(i);
        lightness.push_back(std::accumulate(grey.constBits(), grey.constBits() + grey.sizeInBytes(), 0.0));
    }
    EXPECT_EQ(std::tuple(distinct.size(), tiles.join(u' ')),
              std::tuple(DesignedImages::Count, QString("3 4 5 8 9 12 13 14 16 19 22 23 24 27 28 29 30")));
    for (const int selected : {21, 26, 32, 34})
        EXPECT_GT(lightness[size_t(selected)], lightness[size_t(selected - 1)]) << selected;
}

// A registered menu ends by the rights test, a program in the application directory (which
// beats the component), or the component; a null module file means no module at all. The
// module's name is its file's in upper case without any ".dll" (in any case). Names are looked
// up as literals.
TEST_F(CommandsTest, RegisteredMenuEndsByRightsProgramOrComponent)
{
    // The program file is placed in the application directory ("" for none).
    // clang-format off
    const struct { const char *name, *zxtm; QVariant mkwj; const char* programFile; bool componentFails; Kind kind;
                   const char *message, *title, *program, *component; } cases[] = {
        {"奖金", "x", "bonus.dll", "", false, Kind::NotAuthorised, "张三未被授权使用'奖金'", "系统提示", "", ""},
        {"工资", "", "Salary.Dll", "SALARY.exe", false, Kind::ProgramStarted, "", "", "SALARY.exe", ""},
        {"考勤", "", "rea.dllder.dll", "", true, Kind::ComponentFailed, "READER.dll未注册", "", "", "READER.clszh"},
        {"夜班", "*", QVariant(), "???.exe", false, Kind::ComponentFailed, "???.dll未注册", "", "", ""},
        // A module file that leaves the application directory starts nothing, even where the
        // program exists.
        {"越界", "*", "sub/../../x.dll", "", false, Kind::ComponentFailed, "SUB/../../X.dll未注册", "", "", ""},
        {"子目录", "*", "sub/x.dll", "SUB/X.exe", false, Kind::ComponentFailed, "SUB/X.dll未注册", "", "", ""},
        {"反斜杠", "*", "..\\x.dll", "", false, Kind::ComponentFailed, "..\\X.dll未注册", "", "", ""},
        {"上级", "*", "...dll", "", false, Kind::ComponentFailed, "...dll未注册", "", "", ""},
        {"本级", "*", ".", "", false, Kind::ComponentFailed, "..dll未注册", "", "", ""},
        {"O'Brien", "*", "ob", "", false, Kind::ComponentRun, "", "", "", "OB.clszh"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        data.menu(c.name, QVariant(), c.zxtm, c.mkwj);
        if (*c.programFile)
            program(c.programFile);
        launcher = test::RecordingLauncher();
        launcher.componentFails = c.componentFails;
        suite.menuPicture = "old";
        const ModuleMenuOutcome out = run(c.name);
        // A null picture is handed over as the empty text.
        EXPECT_EQ(std::tuple(out.kind, out.message, out.title, suite.menuPicture, launcher.programs.join(""),
                             launcher.components.join("")),
                  std::tuple(c.kind, QString::fromUtf8(c.message), QString::fromUtf8(c.title), QString(),
                             *c.program ? QDir(data.directory()).filePath(c.program) : "",
                             QString::fromUtf8(c.component)));
    }
    // A name that would find another menu if pasted into the query unquoted.
    EXPECT_EQ(run("' or cdmc='越界").kind, Kind::NotRegistered);
}

// Per menu command: the guard (g), the activation after it (0 never, 1 when run, 2 when a
// component ran) and whether the stored report is shown again after edits were given up (s);
// and when each activation follows.
TEST(CommandRulesTest, GuardActivationAndStoredReportOfEachMenuCommand)
{
    QStringList rules;
    for (int c = int(MenuCommand::MN01); c <= int(MenuCommand::MNE7); ++c) {
        const CommandRule r = commandRule(MenuCommand(c));
        rules << (r.guard ? u"g"_qs : u"-"_qs) + QString::number(int(r.activation)) +
                     (r.showsStoredAfter ? u"s"_qs : u"-"_qs);
    }
    EXPECT_EQ(rules.join(u' '), u"g1s -0- -0- -0- -0- -0- g1s g0- g2s g2s g2s g2s g2s g2s g2s"_qs);
    // Whether each activation follows a command that failed, ran, or ran another module's part.
    QString after;
    for (const auto activation :
         {ActivationAfter::Never, ActivationAfter::WhenRun, ActivationAfter::WhenComponentRan})
        for (const auto end : {CommandEnd::NotRun, CommandEnd::Ran, CommandEnd::ComponentRan})
            after += CommandRule{false, activation}.activatesAfter(end) ? u'1' : u'0';
    EXPECT_EQ(after, u"000011001"_qs);
}

} // namespace
