#include "entry/ArrangeControls.h"

#include <cmath>

namespace talor {

int twipsToPixels(int twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

int pixelsToTwips(int pixels, double dpi)
{
    return int(std::lround(pixels * 1440.0 / dpi));
}

QRect toPixels(const TwipsRect& r, double dpi)
{
    // A window smaller than the margins gives negative sizes: nothing is shown then.
    return QRect(twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                 std::max(0, twipsToPixels(r.width, dpi)), std::max(0, twipsToPixels(r.height, dpi)));
}

ArrangeResult arrangeControls(const ArrangeInput& in)
{
    ArrangeResult out;
    out.tree = in.tree;
    out.list = in.list;
    out.image = in.image;
    out.grid = in.grid;

    out.tree.top = in.toolbarTop + in.toolbarHeight + 20;
    if (in.reportOption == "1") {
        const int half = (in.scaleHeight - out.tree.top - 1100) / 2;
        out.tree.height = half - 250;
        out.listVisible = true;
        out.list.top = half + 250;
        out.list.height = in.scaleHeight - out.list.top - 1100;
    } else {
        out.tree.height = in.scaleHeight - out.tree.top - 1100;
        out.listVisible = false;
    }

    out.image.left = in.scaleWidth - in.image.width - 200;
    out.label1Left = in.scaleWidth - in.label1Width - 200;
    out.label2Left = in.scaleWidth - in.label2Width - 250;
    out.label3Left = in.scaleWidth - in.label3Width - 250;

    out.grid.top = in.image.top + in.image.height;
    out.grid.left = in.tree.width;
    out.grid.width = in.scaleWidth - out.grid.left - 200;
    out.grid.height = in.scaleHeight - out.grid.top - 1100;
    return out;
}

} // namespace talor
