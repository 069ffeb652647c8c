#include "entry/frmKQJL.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace talor;

namespace {

struct Laid
{
    QSize window, tree, grid;
    double titlePoints = 0;
};

// The window as built under an application font of the given size.
Laid laidOutWith(double points)
{
    const QFont before = QApplication::font();
    QFont font = before;
    font.setPointSizeF(points);
    QApplication::setFont(font);
    test::FakeSuite suite;
    test::ScriptedUi ui;
    frmKQJL window(suite, ui);
    QApplication::setFont(before);
    return {window.size(), window.findChild<QTreeWidget*>("TreeView1")->size(),
            window.findChild<QWidget*>("F1Book1")->size(),
            window.findChild<QLabel*>("Label1")->font().pointSizeF()};
}

// The designed places were drawn for 9-point text: a desktop with twice that size gets a window
// twice as large, so the texts keep their room, and the banner's title stays larger than the text.
TEST(WindowFont, TheLayoutScalesWithTheDesktopsFont)
{
    const Laid small = laidOutWith(9);
    const Laid large = laidOutWith(18);
    EXPECT_NEAR(double(large.window.width()) / small.window.width(), 2.0, 0.01);
    EXPECT_NEAR(double(large.window.height()) / small.window.height(), 2.0, 0.01);
    EXPECT_NEAR(double(large.tree.width()) / small.tree.width(), 2.0, 0.01);
    EXPECT_NEAR(double(large.grid.height()) / small.grid.height(), 2.0, 0.01);
    EXPECT_DOUBLE_EQ(small.titlePoints, 14.0);
    EXPECT_DOUBLE_EQ(large.titlePoints, 28.0);
}

} // namespace
