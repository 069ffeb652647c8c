#pragma once

#include <QRect>
#include <QString>

namespace talor {

// A rectangle in twips (1/1440 inch).
struct TwipsRect
{
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Twips and screen pixels at a logical dpi (96 dpi: 15 twips a pixel).
int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);
QRect toPixels(const TwipsRect& rect, double dpi);

// What ArrangeControls reads: the inner size of the window, the toolbar, and the controls'
// designed places and sizes (all twips).
struct ArrangeInput
{
    int scaleWidth = 0, scaleHeight = 0;
    int toolbarTop = 0, toolbarHeight = 0;
    QString reportOption;
    TwipsRect tree, list, image, grid;
    int label1Width = 0, label2Width = 0, label3Width = 0;
};

struct ArrangeResult
{
    TwipsRect tree, list, image, grid;
    bool listVisible = false;
    int label1Left = 0, label2Left = 0, label3Left = 0;
};

// ArrangeControls: the tree below the toolbar, the employee list under it for report kind
// "1", the picture and labels at the right, the grid right of the tree under the picture; a
// 1100-twip margin stays at the bottom. Tree and list keep their left edges and widths.
ArrangeResult arrangeControls(const ArrangeInput& in);

} // namespace talor
