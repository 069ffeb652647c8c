#pragma once

#include "entry/ArrangeControls.h"

#include <QImage>

class QWidget;

// The main window's designed geometry, in twips, and its designed banner picture.
namespace talor::design {

inline constexpr int WindowWidth = 15360;
inline constexpr int WindowHeight = 10500;
inline constexpr int ToolbarTop = 0;
inline constexpr int ToolbarHeight = 780;
// Every toolbar button has this width (Frame1 is placed after the visible buttons).
inline constexpr int ButtonWidth = 750;
inline constexpr int ButtonHeight = 750;
inline constexpr int StatusHeight = 330;

// The places above were drawn for text of this size; the window scales them with the desktop's font.
inline constexpr double FontPointSize = 9.0;
// The banner's title line, drawn larger than the text.
inline constexpr double TitlePointSize = 14.0;

inline constexpr TwipsRect Tree{0, 800, 3300, 8600};
inline constexpr TwipsRect List{0, 5000, 3300, 4000};
inline constexpr TwipsRect Image{10360, 800, 4800, 900};
inline constexpr TwipsRect Label1{10660, 820, 4500, 360};
inline constexpr TwipsRect Label2{10710, 1180, 4400, 250};
inline constexpr TwipsRect Label3{10710, 1420, 4400, 250};
inline constexpr TwipsRect Grid{3300, 1700, 11860, 7700};
inline constexpr TwipsRect Frame{6200, 60, 6600, 660};

// Pixels per inch of the designed places in `window`: the screen's, scaled with the desktop's font.
double dpi(const QWidget& window);

// The banner picture shown until a report names its own: a soft horizontal gradient.
QImage bannerPicture();

} // namespace talor::design
