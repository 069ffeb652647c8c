#include "entry/ArrangeControls.h"

#include <QList>
#include <gtest/gtest.h>

using namespace talor;

namespace {

TEST(ArrangeControlsTest, KindOneSplitsTreeAndListOtherKindsGiveTheTreeTheWholeHeight)
{
    ArrangeInput in;
    in.scaleWidth = 15000;
    in.scaleHeight = 10000;
    in.toolbarHeight = 780;
    in.tree = {0, 999, 3300, 1};
    in.list = {0, 5, 3300, 7};
    in.image = {1, 800, 4800, 900};
    in.grid = {9, 9, 9, 9};
    in.label1Width = 4500;
    in.label2Width = 4400;
    in.label3Width = 4000;
    for (const char* option : {"1", "2", "3", "", "7"}) {
        SCOPED_TRACE(option);
        in.reportOption = option;
        const ArrangeResult out = arrangeControls(in);
        const bool one = in.reportOption == "1";
        // tree top 800; (10000 - 800 - 1100) / 2 = 4050
        EXPECT_EQ(std::tuple(out.tree, out.listVisible, out.list, out.image, out.grid),
                  std::tuple(TwipsRect{0, 800, 3300, one ? 3800 : 8100}, one,
                             one ? TwipsRect{0, 4300, 3300, 4600} : in.list, TwipsRect{10000, 800, 4800, 900},
                             TwipsRect{3300, 1700, 11500, 7200}));
        EXPECT_EQ(std::tuple(out.label1Left, out.label2Left, out.label3Left),
                  std::tuple(10300, 10350, 10750));
    }
}

TEST(ArrangeControlsTest, TwipsAndPixels)
{
    EXPECT_EQ(QList<int>({twipsToPixels(1440, 96), twipsToPixels(15, 96), twipsToPixels(1100, 96),
                          twipsToPixels(1440, 144), pixelsToTwips(100, 96), pixelsToTwips(100, 192)}),
              QList<int>({96, 1, 73, 144, 1500, 750}));
    EXPECT_EQ(toPixels({150, 300, 1500, -30}, 96), QRect(10, 20, 100, 0));
}

} // namespace
