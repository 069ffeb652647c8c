#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace talor::print {

// What the codes of a header or footer stand for on one page.
struct HeaderFooterContext
{
    QString sheetName;   // &A
    QString filePath;    // &F gives its file name, &Z its folder
    QDateTime printedAt; // &D, &T
    int page = 1;        // &P
    int pages = 1;       // &N
};

// A piece of header or footer text in one look. An empty family or a size of 0 means the
// header's default.
struct TextRun
{
    QString text;
    QString family;
    double pointSize = 0;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool operator==(const TextRun&) const = default;
};

// Expands a header or footer text with Excel's codes into runs:
//   &A sheet name, &P page number, &N number of pages, &D date, &T time, &F file name,
//   &Z file folder, &"font,style" (style: Regular, Bold, Italic, "Bold Italic", or the
//   Chinese 常规, 加粗, 倾斜, 加粗 倾斜), &nn font size in points, &B bold, &I italic, &U
//   underline, &E double underline (drawn single), &S strike-through (each of the last five
//   switches on and off), &K colour (dropped: headers print black), && an ampersand.
// An "&" before anything else is kept as it stands. Dates read yyyy-MM-dd, times hh:mm.
QList<TextRun> expandHeaderFooter(const QString& codes, const HeaderFooterContext& context);

// The runs' texts joined.
QString plainText(const QList<TextRun>& runs);

} // namespace talor::print
