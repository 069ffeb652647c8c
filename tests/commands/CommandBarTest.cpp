#include "commands/CommandBar.h"

#include "commands/DesignedImages.h"
#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;

namespace {

class CommandBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.iconDir = data.directory();
        suite.settingsDir = data.directory();
        images = DesignedImages::imageList();
    }

    void picture(const QString& name, QColor colour = Qt::red)
    {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QDir(data.directory()).filePath(name), "PNG"));
    }

    CommandBarLayout build() { return CommandBar(suite, menuRecords, images).build(); }

    ModuleDatabase data;
    FakeSuite suite;
    Recordset menuRecords;
    ImageList images;
};

TEST_F(CommandBarTest, FifteenButtonsInTheirOrderWithPlaceholdersWhenNothingIsConfigured)
{
    const CommandBarLayout bar = build();
    ASSERT_EQ(bar.buttons.size(), 15u);
    const QStringList keys{"KEY-1",  "KEY-3",  "KEY-4",  "KEY-5",  "KEY-6",  "KEY-7",  "KEY-8", "KEY-9",
                           "KEY-10", "KEY-11", "KEY-12", "KEY-13", "KEY-14", "KEY-15", "KEY-16"};
    const QStringList captions{"选定", "没挂", "没挂", "没挂", "没挂", "没挂", "没挂", "没挂",
                               "编辑", "保存", "预览", "打印", "输出", "关于", "退出"};
    const std::vector<int> imageIndices{7, 1, 1, 1, 1, 1, 1, 1, 1, 17, 10, 11, 15, 6, 2};
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(bar.buttons[size_t(i)].key, keys[i]);
        EXPECT_EQ(bar.buttons[size_t(i)].caption, captions[i]);
        EXPECT_EQ(bar.buttons[size_t(i)].image, imageIndices[size_t(i)]);
        EXPECT_EQ(bar.buttons[size_t(i)].visible, i == 0 || i >= 8);
        EXPECT_EQ(bar.buttons[size_t(i)].command, CommandBar::commandOfButton(i + 1));
    }
    EXPECT_EQ(bar.visibleButtonCount(), 8);
    for (bool visible : bar.externalMenuVisible)
        EXPECT_FALSE(visible);
    for (bool visible : bar.menuVisible)
        EXPECT_TRUE(visible);
    EXPECT_EQ(images.count(), DesignedImages::Count);
    // The menu recordset is left on the last position's query.
    EXPECT_TRUE(menuRecords.isOpen());
}

TEST_F(CommandBarTest, ButtonIndicesMapToTheirMenuCommands)
{
    EXPECT_EQ(CommandBar::commandOfButton(1), MenuCommand::MN01);
    for (int i = 2; i <= 8; ++i)
        EXPECT_EQ(CommandBar::commandOfButton(i), MenuCommand(int(MenuCommand::MNE1) + i - 2));
    const MenuCommand later[] = {MenuCommand::MN02, MenuCommand::MN03, MenuCommand::MN04, MenuCommand::MN05,
                                 MenuCommand::MN06, MenuCommand::MN07, MenuCommand::MN08};
    for (int i = 9; i <= 15; ++i)
        EXPECT_EQ(CommandBar::commandOfButton(i), later[i - 9]);
    EXPECT_EQ(CommandBar::commandOfButton(0), MenuCommand::None);
    EXPECT_EQ(CommandBar::commandOfButton(16), MenuCommand::None);
}

TEST_F(CommandBarTest, ConfiguredPositionGetsItsCaptionAndPictureUnderItsKey)
{
    picture("pay.png");
    data.menu("工资", "pay.png", "", "salary.dll");
    data.menu("人事", "pay.png", "", "veld.dll");
    suite.setSetting("TALOR", "考勤日报MENU1", "工资");
    suite.setSetting("TALOR", "考勤日报CAP1", "工资");
    suite.setSetting("TALOR", "考勤日报MENU3", "人事");
    suite.setSetting("TALOR", "考勤日报CAP3", "人事");

    const CommandBarLayout bar = build();
    EXPECT_EQ(bar.buttons[1].caption, "工资");
    EXPECT_TRUE(bar.buttons[1].visible);
    EXPECT_EQ(bar.buttons[1].image, DesignedImages::Count + 1);
    EXPECT_EQ(images.zhimages("KEY-3"), DesignedImages::Count + 1);
    // The same picture file for two positions: one entry per position's key.
    EXPECT_EQ(bar.buttons[3].image, DesignedImages::Count + 2);
    EXPECT_EQ(images.zhimages("KEY-5"), DesignedImages::Count + 2);
    EXPECT_EQ(bar.buttons[2].caption, "没挂");
    EXPECT_FALSE(bar.buttons[2].visible);
    EXPECT_TRUE(bar.externalMenuVisible[0]);
    EXPECT_FALSE(bar.externalMenuVisible[1]);
    EXPECT_TRUE(bar.externalMenuVisible[2]);
    EXPECT_EQ(bar.visibleButtonCount(), 10);

    // A rebuild finds the pictures by key and adds none.
    const CommandBarLayout again = build();
    EXPECT_EQ(images.count(), DesignedImages::Count + 2);
    EXPECT_EQ(again.buttons[1].image, DesignedImages::Count + 1);
}

TEST_F(CommandBarTest, RowWithoutCaptionKeepsAHiddenButtonAndNullPictureMeansMailIcon)
{
    picture("MAILM.ICO", Qt::blue);
    data.menu("考勤机", QVariant(), "*", "reader.dll");
    suite.setSetting("TALOR", "考勤日报MENU2", "考勤机");

    const CommandBarLayout bar = build();
    EXPECT_EQ(bar.buttons[2].key, "KEY-4");
    EXPECT_EQ(bar.buttons[2].caption, "");
    EXPECT_FALSE(bar.buttons[2].visible);
    ASSERT_EQ(bar.buttons[2].image, DesignedImages::Count + 1);
    EXPECT_EQ(images.image(bar.buttons[2].image).pixelColor(2, 2), QColor(Qt::blue));
    // The menu item shows whenever a name is configured.
    EXPECT_TRUE(bar.externalMenuVisible[1]);
}

TEST_F(CommandBarTest, PictureThatCannotBeLoadedLeavesTheButtonWithoutPicture)
{
    data.menu("工资", "missing.ico", "", "salary.dll");
    suite.setSetting("TALOR", "考勤日报MENU1", "工资");
    suite.setSetting("TALOR", "考勤日报CAP1", "工资");

    const CommandBarLayout bar = build();
    EXPECT_EQ(bar.buttons[1].image, 0);
    EXPECT_TRUE(bar.buttons[1].visible);
    EXPECT_EQ(images.count(), DesignedImages::Count);
    ASSERT_EQ(bar.missingPictures.size(), 1);
    EXPECT_TRUE(bar.missingPictures[0].endsWith("missing.ico"));
}

TEST_F(CommandBarTest, MenuNameWithQuoteIsLookedUpAsALiteral)
{
    picture("x.png");
    data.menu("O'Brien", "x.png", "", "ob.dll");
    data.menu("x", "x.png", "", "x.dll");
    suite.setSetting("TALOR", "考勤日报MENU1", "O'Brien");
    suite.setSetting("TALOR", "考勤日报CAP1", "O");
    // A name that would widen the query if pasted in unquoted.
    suite.setSetting("TALOR", "考勤日报MENU2", "' or cdmc='x");
    suite.setSetting("TALOR", "考勤日报CAP2", "Y");

    const CommandBarLayout bar = build();
    EXPECT_TRUE(bar.buttons[1].visible);
    EXPECT_EQ(bar.buttons[1].caption, "O");
    EXPECT_EQ(bar.buttons[2].caption, "没挂");
    EXPECT_FALSE(bar.buttons[2].visible);
}

TEST_F(CommandBarTest, ReportKindThreeHidesEditAndSave)
{
    suite.option = "3";
    const CommandBarLayout bar = build();
    EXPECT_FALSE(bar.buttons[8].visible);
    EXPECT_FALSE(bar.buttons[9].visible);
    EXPECT_FALSE(bar.isMenuVisible(MenuCommand::MN02));
    EXPECT_FALSE(bar.isMenuVisible(MenuCommand::MN03));
    EXPECT_TRUE(bar.isMenuVisible(MenuCommand::MN04));
    EXPECT_TRUE(bar.buttons[10].visible);
}

TEST_F(CommandBarTest, RestrictedListHidesMenuItemsAndButtons)
{
    suite.setSetting("TALOR", "考勤日报MENU", "编辑保存");
    suite.option = "2";
    const CommandBarLayout bar = build();
    EXPECT_FALSE(bar.buttons[8].visible);
    EXPECT_FALSE(bar.buttons[9].visible);
    EXPECT_FALSE(bar.isMenuVisible(MenuCommand::MN02));
    EXPECT_FALSE(bar.isMenuVisible(MenuCommand::MN03));
    EXPECT_TRUE(bar.isMenuVisible(MenuCommand::MN01));
    EXPECT_EQ(bar.visibleButtonCount(), 6);
}

struct RestrictedCase
{
    const char* list;
    std::vector<MenuCommand> hidden;
};

class RestrictedListTest : public ::testing::TestWithParam<RestrictedCase>
{};

TEST_P(RestrictedListTest, ReadsPairsOfCharacters)
{
    EXPECT_EQ(CommandBar::restrictedCommands(QString::fromUtf8(GetParam().list)), GetParam().hidden);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RestrictedListTest,
    ::testing::Values(RestrictedCase{"", {}},
                      RestrictedCase{"编辑保存", {MenuCommand::MN02, MenuCommand::MN03}},
                      RestrictedCase{"编辑保", {MenuCommand::MN02}}, RestrictedCase{"调时", {}},
                      RestrictedCase{"辑保", {}}, RestrictedCase{"x编辑", {}},
                      RestrictedCase{"选定预览打印输出关于退出",
                                     {MenuCommand::MN01, MenuCommand::MN04, MenuCommand::MN05,
                                      MenuCommand::MN06, MenuCommand::MN07, MenuCommand::MN08}},
                      RestrictedCase{"调时退出", {MenuCommand::MN08}}));

TEST(ImageListTest, ZhimagesFindsTheFirstExactKey)
{
    ImageList list;
    QImage image(4, 4, QImage::Format_RGB32);
    list.add(image);
    list.add(image, "KEY-3");
    list.add(image, "KEY-3");
    list.add(image, "key-4");
    EXPECT_EQ(list.zhimages("KEY-3"), 2);
    EXPECT_EQ(list.zhimages("KEY-4"), 0);
    EXPECT_EQ(list.zhimages("key-4"), 4);
    EXPECT_TRUE(list.image(0).isNull());
    EXPECT_TRUE(list.image(5).isNull());
}

TEST(DesignedImagesTest, ThirtyFourDistinctPictures)
{
    const ImageList list = DesignedImages::imageList();
    ASSERT_EQ(list.count(), DesignedImages::Count);
    for (int i = 1; i <= list.count(); ++i)
        EXPECT_FALSE(list.image(i).isNull()) << i;
    EXPECT_NE(list.image(25), list.image(26));
    EXPECT_NE(list.image(31), list.image(33));
}

} // namespace
