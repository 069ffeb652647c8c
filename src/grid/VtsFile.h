#pragma once

#include "grid/Sheet.h"

#include <QString>
#include <memory>
#include <vector>

namespace talor::grid {

class Workbook;

// The sheets read from a template, ready to be taken over by a Workbook.
struct VtsContent
{
    std::vector<std::unique_ptr<Sheet>> sheets;
    std::vector<QString> names;
    int active = 1;
};

// What a template may make the reader allocate; a file beyond any of them is refused
// before it takes more (docs/vts-format.md lists them).
struct VtsLimits
{
    // Reading JSON takes several times a file's size in memory (most for long arrays of small
    // numbers): 16 MiB, hundreds of times what a report template takes, keeps that within
    // what a desktop has.
    qint64 fileBytes = qint64(16) << 20;
    int sheets = 256;
    int cells = 4 << 20; // in all sheets together
    // Rows of all sheets together down to each sheet's lowest cell: a sheet keeps a slot (a
    // dozen bytes) for every row above its lowest cell, so that a few cells on the last row
    // of many sheets would take gigabytes. Four whole sheets.
    qint64 rowSlots = qint64(4) << 20;
    int formulaLength = 8192;        // characters of one formula
    int formulaCharacters = 4 << 20; // characters of all formulas together
    // Cells the formulas of one sheet may read to compute their first results: about a
    // minute's work. Formulas that read the same cells over and over (thousands of sums over
    // whole columns, each starting on another row) could otherwise keep a load busy for hours.
    qint64 formulaReads = qint64(4) << 30;
};

// The product's template format (.vts): UTF-8 JSON with a "format": "talor-vts" and
// "version" header, every sheet with its cells, headings, widths, panes, extent and formats.
// docs/vts-format.md describes it.
class VtsFile
{
public:
    static constexpr int Version = 1;

    // Throws GridFileError naming the file and the problem (a limit exceeded: naming it).
    static VtsContent read(const QString& path, const VtsLimits& limits = {});
    // Writes atomically (io::writeFileAtomically): the old file stays whole on any failure.
    // Throws GridFileError naming the file, and saying so when the disk is full. A file larger
    // than `limits` lets a template be is refused, not written: it could not be read back.
    static void write(const Workbook& book, const QString& path, const VtsLimits& limits = {});
    // The file's bytes for `book`.
    static QByteArray toBytes(const Workbook& book);
};

} // namespace talor::grid
