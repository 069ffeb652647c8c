#pragma once

#include "commands/ImageList.h"

namespace talor {

// The main window's designed pictures, drawn at run time (no icon files are shipped):
// index 1 edit, 2 exit, 6 about, 7 select, 10 preview, 11 print, 15 output, 17 save,
// 18 employee, 20/21 group, 25/26 department, 31/32 organisation, 33/34 team (the second of
// each pair is the selected picture); the other indices are plain tiles.
class DesignedImages
{
public:
    static constexpr int Count = 34;
    static constexpr int Size = 32;

    // A picture list holding the 34 designed pictures without keys.
    static ImageList imageList();
    static QImage picture(int index);
};

} // namespace talor
