#pragma once

// What the benchmarks fill their sheets with, and how they measure.
#include "grid/Sheet.h"

#include <QString>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace talor::bench {

// The text an attendance report shows in (row, col): codes, names, dates, times, numbers.
inline QString cellText(int row, int col)
{
    static const char16_t* const Names[] = {u"张三", u"李四", u"王五", u"赵六",
                                            u"孙七", u"周八", u"吴九", u"郑十"};
    switch (col % 8) {
    case 0:
        return QStringLiteral("E%1").arg(row, 5, 10, QLatin1Char('0'));
    case 1:
        return QString::fromUtf16(Names[row % 8]);
    case 2:
        return QStringLiteral("2024-03-%1").arg(row % 28 + 1, 2, 10, QLatin1Char('0'));
    case 3:
        return QStringLiteral("08:%1").arg(row % 60, 2, 10, QLatin1Char('0'));
    case 4:
        return QString::number((row % 17) * 0.25, 'f', 2);
    case 5:
        return QString::number(row % 9);
    case 6:
        return row % 5 == 0 ? QStringLiteral("病假") : QStringLiteral("正常");
    default:
        return QString::number(row * 3 + col);
    }
}

// What the heap holds, the large blocks that malloc maps on their own included (a sheet's list
// of rows is one of them).
inline size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// CPU time of the process in milliseconds: other builds on the machine do not count.
inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Resident size now and its peak since the last reset, in KiB (/proc/self/status).
inline long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0)
            return std::atol(line.c_str() + length);
    }
    return 0;
}

// A sheet's cells as libxlsxwriter takes them, made before any timing starts.
struct DirectCells
{
    struct Value
    {
        bool isNumber;
        double number;
        std::string text;
        int format; // 0 none, 1 date, 2 time, 3 "0.00"
    };
    std::vector<Value> values;
    int rows = 0, cols = 0;
};

inline DirectCells directCells(const grid::Sheet& sheet, int rows, int cols)
{
    DirectCells cells;
    cells.rows = rows;
    cells.cols = cols;
    cells.values.reserve(size_t(rows) * size_t(cols));
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            const QString f = sheet.numberFormat(r, c);
            const int format = f == u"yyyy-mm-dd" ? 1 : f == u"hh:mm" ? 2 : f == u"0.00" ? 3 : 0;
            cells.values.push_back(
                {sheet.isNumber(r, c), sheet.number(r, c), sheet.text(r, c).toStdString(), format});
        }
    return cells;
}

// The cells written by libxlsxwriter alone: the floor the grid's writer is measured against.
// False when the file could not be written.
inline bool writeDirectly(const DirectCells& cells, const std::string& path, bool constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb)
        return false;
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet1");
    lxw_format* formats[4] = {nullptr, workbook_add_format(wb), workbook_add_format(wb),
                              workbook_add_format(wb)};
    format_set_num_format(formats[1], "yyyy-mm-dd");
    format_set_num_format(formats[2], "hh:mm");
    format_set_num_format(formats[3], "0.00");
    size_t k = 0;
    for (int r = 0; r < cells.rows; ++r)
        for (int c = 0; c < cells.cols; ++c, ++k) {
            const DirectCells::Value& v = cells.values[k];
            if (v.isNumber)
                worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), v.number, formats[v.format]);
            else
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), v.text.c_str(), nullptr);
        }
    return workbook_close(wb) == LXW_NO_ERROR;
}

} // namespace talor::bench
