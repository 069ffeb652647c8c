#include "grid/VtsFile.h"

#include "grid/FormatTable.h"
#include "grid/Workbook.h"
#include "io/FileWrite.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cmath>

namespace talor::grid {

namespace {

const QString FormatName = QStringLiteral("talor-vts");

// A problem in the file's contents; turned into a GridFileError naming the file.
struct Damaged
{
    QString problem;
};

// A file beyond one of the reader's limits (not damaged, but refused).
struct TooLarge
{
    QString problem;
};

QJsonObject borderToJson(const CellBorder& b)
{
    QJsonObject o;
    auto side = [&o](const char* name, short style, quint32 colour) {
        if (style != 0)
            o.insert(QLatin1String(name), QJsonArray{style, qint64(colour)});
    };
    side("left", b.left, b.leftColour);
    side("right", b.right, b.rightColour);
    side("top", b.top, b.topColour);
    side("bottom", b.bottom, b.bottomColour);
    return o;
}

QJsonObject formatToJson(const CellFormat& f)
{
    QJsonObject o;
    o.insert(u"numberFormat", f.numberFormat);
    if (f.fill != CellFill())
        o.insert(u"fill", QJsonObject{{QStringLiteral("pattern"), f.fill.pattern},
                                      {QStringLiteral("foreground"), qint64(f.fill.foreground)},
                                      {QStringLiteral("background"), qint64(f.fill.background)}});
    if (f.border != CellBorder())
        o.insert(u"border", borderToJson(f.border));
    return o;
}

// A number as the file holds it, for a message: 1048576 and 4294967296 whole, not rounded to six
// digits.
QString shortest(double d)
{
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

// The range is checked on the double before any conversion: a cast of 1e308 or 1e20 to an
// integer type is undefined.
int toInt(const QJsonValue& v, const QString& what, int min, int max)
{
    if (!v.isDouble())
        throw Damaged{what + QStringLiteral(" is missing or not a number")};
    const double d = v.toDouble();
    if (!(d >= min && d <= max) || d != std::trunc(d))
        throw Damaged{QStringLiteral("%1 %2 is out of range").arg(what, shortest(d))};
    return int(d);
}

quint32 toColour(const QJsonValue& v, const QString& what)
{
    if (!v.isDouble())
        throw Damaged{what + QStringLiteral(" is missing or not a number")};
    const double d = v.toDouble();
    if (!(d >= 0 && d <= 0xFFFFFFFF) || d != std::trunc(d))
        throw Damaged{QStringLiteral("%1 %2 is not a colour").arg(what, shortest(d))};
    return quint32(d);
}

// An optional member of the kind the format gives it: absent gives `absent`, another kind is
// damage (a "cells" object or "showColumnHeadings": "no" must not load as something else).
QJsonValue member(const QJsonObject& o, QStringView key, QJsonValue::Type type, const QJsonValue& absent)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined())
        return absent;
    if (v.type() != type) {
        static const QHash<int, QString> kinds{{QJsonValue::Array, QStringLiteral("a list")},
                                               {QJsonValue::Object, QStringLiteral("an object")},
                                               {QJsonValue::Bool, QStringLiteral("true or false")},
                                               {QJsonValue::String, QStringLiteral("a text")}};
        throw Damaged{QStringLiteral("\"%1\" is not %2").arg(key, kinds.value(type))};
    }
    return v;
}

QJsonArray arrayMember(const QJsonObject& o, QStringView key)
{
    return member(o, key, QJsonValue::Array, QJsonArray()).toArray();
}

QJsonObject objectMember(const QJsonObject& o, QStringView key)
{
    return member(o, key, QJsonValue::Object, QJsonObject()).toObject();
}

QJsonObject toObject(const QJsonValue& v, const QString& what)
{
    if (!v.isObject())
        throw Damaged{what + QStringLiteral(" is not an object")};
    return v.toObject();
}

CellFormat formatFromJson(const QJsonObject& o)
{
    CellFormat f;
    f.numberFormat = member(o, u"numberFormat", QJsonValue::String, QStringLiteral("General")).toString();
    if (o.contains(u"fill")) {
        const QJsonObject fill = objectMember(o, u"fill");
        f.fill.pattern = short(toInt(fill.value(u"pattern"), QStringLiteral("fill pattern"), 0, 18));
        f.fill.foreground = toColour(fill.value(u"foreground"), QStringLiteral("fill foreground"));
        f.fill.background = toColour(fill.value(u"background"), QStringLiteral("fill background"));
    }
    const QJsonObject border = objectMember(o, u"border");
    auto side = [&border](const char* name, short& style, quint32& colour) {
        const QJsonValue v = border.value(QLatin1String(name));
        if (v.isUndefined())
            return;
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != 2)
            throw Damaged{QStringLiteral("border side %1 is not [style, colour]").arg(QLatin1String(name))};
        style = short(toInt(a[0], QStringLiteral("border style"), 0, 13));
        colour = toColour(a[1], QStringLiteral("border colour"));
    };
    side("left", f.border.left, f.border.leftColour);
    side("right", f.border.right, f.border.rightColour);
    side("top", f.border.top, f.border.topColour);
    side("bottom", f.border.bottom, f.border.bottomColour);
    return f;
}

// The members of a sheet other than its cells and formats, as one JSON object.
QJsonObject sheetHeadToJson(const Sheet& sheet, const QString& name)
{
    QJsonObject o;
    o.insert(u"name", name);
    o.insert(u"lastRow", sheet.lastRow());
    o.insert(u"lastColumn", sheet.lastColumn());
    o.insert(u"frozenRows", sheet.frozenRows());
    o.insert(u"frozenColumns", sheet.frozenColumns());
    o.insert(u"showColumnHeadings", sheet.showColumnHeadings());
    o.insert(u"showRowHeadings", sheet.showRowHeadings());
    o.insert(u"activeCell", QJsonArray{sheet.activeRow(), sheet.activeColumn()});
    const CellRange sel = sheet.selection();
    o.insert(u"selection", QJsonArray{sel.row1, sel.col1, sel.row2, sel.col2});

    QJsonObject headings, widths;
    for (int col = 1; col <= Sheet::MaxColumns; ++col) {
        if (!sheet.columnHeading(col).isEmpty())
            headings.insert(QString::number(col), sheet.columnHeading(col));
        if (sheet.columnWidth(col) != Sheet::DefaultColumnWidth)
            widths.insert(QString::number(col), sheet.columnWidth(col));
    }
    QJsonObject rowHeadings;
    for (const int row : sheet.rowsWithHeadings())
        rowHeadings.insert(QString::number(row), sheet.rowHeading(row));
    o.insert(u"columnHeadings", headings);
    o.insert(u"rowHeadings", rowHeadings);
    o.insert(u"columnWidths", widths);
    return o;
}

// `text` as a JSON string, UTF-8.
void appendJsonString(QByteArray& out, const QString& text)
{
    out += '"';
    for (const char ch : text.toUtf8()) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (uchar(ch) < 0x20) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out += Hex[uchar(ch) >> 4];
            out += Hex[uchar(ch) & 0xF];
        } else {
            out += ch;
        }
    }
    out += '"';
}

// One sheet's JSON object into `out`: its members, then its cells one per line as they come
// (never all of them in memory at once), then the formats in use, renumbered in order of first
// use. Fails when `out` refuses a write.
void writeSheet(const Sheet& sheet, const QString& name, QIODevice& out)
{
    QByteArray head = QJsonDocument(sheetHeadToJson(sheet, name)).toJson(QJsonDocument::Compact);
    head.chop(1); // the closing brace: the cells and formats follow
    out.write(QByteArray("        " + head + ",\n        \"cells\": ["));
    QJsonArray formats{formatToJson(CellFormat())};
    QHash<int, int> fileIds{{0, 0}};
    QByteArray line;
    bool first = true;
    sheet.forEachCell([&](int row, int col) {
        line.resize(0);
        line += first ? "\n            {\"row\": " : ",\n            {\"row\": ";
        first = false;
        line += QByteArray::number(row);
        line += ", \"col\": ";
        line += QByteArray::number(col);
        const int id = sheet.formatId(row, col);
        auto known = fileIds.constFind(id);
        if (known == fileIds.cend()) {
            known = fileIds.insert(id, int(formats.size()));
            formats.append(formatToJson(sheet.formatById(id)));
        }
        if (known.value() != 0) {
            line += ", \"format\": ";
            line += QByteArray::number(known.value());
        }
        if (const QString f = sheet.formula(row, col); !f.isEmpty()) {
            line += ", \"formula\": ";
            appendJsonString(line, f);
        } else if (sheet.isNumber(row, col)) {
            line += ", \"number\": ";
            line += QByteArray::number(sheet.number(row, col), 'g', QLocale::FloatingPointShortest);
        } else if (!sheet.isEmpty(row, col)) {
            line += ", \"text\": ";
            appendJsonString(line, sheet.text(row, col));
        }
        line += '}';
        out.write(line);
    });
    out.write(QByteArray(
        "\n        ],\n        \"formats\": " + QJsonDocument(formats).toJson(QJsonDocument::Compact) + "}"));
}

// The whole file into `out`, a sheet at a time.
void writeBook(const Workbook& book, QIODevice& out)
{
    out.write("{\n    \"format\": ");
    QByteArray name;
    appendJsonString(name, FormatName);
    out.write(QByteArray(name + ",\n    \"version\": " + QByteArray::number(VtsFile::Version) +
                         ",\n    \"activeSheet\": " + QByteArray::number(book.activeSheet()) +
                         ",\n    \"sheets\": [\n"));
    for (int n = 1; n <= book.sheetCount(); ++n) {
        if (n > 1)
            out.write(",\n");
        writeSheet(book.sheet(n), book.sheetName(n), out);
    }
    out.write("\n    ]\n}\n");
}

// What the file has taken of the reader's limits so far.
struct Budget
{
    const VtsLimits& limits;
    int cells = 0;
    qint64 formulaCharacters = 0;
    qint64 rowSlots = 0;

    // A cell on `row` of a sheet whose lowest cell so far is on `lowest` (updated).
    void addCell(int row, int& lowest)
    {
        if (++cells > limits.cells)
            throw TooLarge{QStringLiteral("it holds more than %1 cells, the most a template may hold")
                               .arg(limits.cells)};
        if (row <= lowest)
            return;
        rowSlots += row - lowest;
        lowest = row;
        if (rowSlots > limits.rowSlots)
            throw TooLarge{QStringLiteral("its sheets reach down more than %1 rows together, the most a "
                                          "template may")
                               .arg(limits.rowSlots)};
    }

    void addFormula(int row, int col, const QString& formula)
    {
        // Counted after its "=", as the grid counts a formula typed into a cell: what the grid
        // takes, a template keeps.
        if (formula.size() - qsizetype(formula.startsWith(u'=')) > limits.formulaLength)
            throw TooLarge{QStringLiteral("the formula of cell (%1, %2) is longer than %3 characters, "
                                          "the most a formula may have")
                               .arg(row)
                               .arg(col)
                               .arg(limits.formulaLength)};
        formulaCharacters += formula.size();
        if (formulaCharacters > limits.formulaCharacters)
            throw TooLarge{QStringLiteral("its formulas hold more than %1 characters, the most a "
                                          "template may hold")
                               .arg(limits.formulaCharacters)};
    }
};

QString toText(const QJsonValue& v, const QString& what)
{
    if (!v.isString())
        throw Damaged{what + QStringLiteral(" is not a text")};
    return v.toString();
}

std::unique_ptr<Sheet> sheetFromJson(const QJsonObject& o, QString& name, Budget& budget)
{
    auto sheet = std::make_unique<Sheet>();
    // One recalculation for the whole sheet, whatever order its cells come in. A sheet that
    // fails half-way is dropped unfinished.
    sheet->setRecalculationLimit(budget.limits.formulaReads);
    sheet->beginUpdate();
    name = toText(o.value(u"name"), QStringLiteral("the sheet name"));

    const QJsonArray formatList = arrayMember(o, u"formats");
    if (formatList.size() > FormatTable::MaxFormats)
        throw TooLarge{QStringLiteral("a sheet holds more than %1 formats, the most a sheet may hold")
                           .arg(FormatTable::MaxFormats)};
    std::vector<CellFormat> formats;
    for (const QJsonValue& f : formatList)
        formats.push_back(formatFromJson(toObject(f, QStringLiteral("a format"))));
    if (formats.empty())
        formats.emplace_back();

    int lowest = 0;
    for (const QJsonValue& v : arrayMember(o, u"cells")) {
        const QJsonObject c = toObject(v, QStringLiteral("a cell"));
        const int row = toInt(c.value(u"row"), QStringLiteral("cell row"), 1, Sheet::MaxRows);
        budget.addCell(row, lowest);
        const int col = toInt(c.value(u"col"), QStringLiteral("cell column"), 1, Sheet::MaxColumns);
        const int format = c.contains(u"format") ? toInt(c.value(u"format"), QStringLiteral("cell format"), 0,
                                                         int(formats.size()) - 1)
                                                 : 0;
        if (format != 0 || sheet->formatId(row, col) != 0)
            sheet->setFormat(row, col, formats[size_t(format)]);
        if (c.contains(u"formula")) {
            const QString f = toText(c.value(u"formula"), QStringLiteral("cell formula"));
            if (!f.startsWith(u'='))
                throw Damaged{QStringLiteral("the formula of cell (%1, %2) does not begin with \"=\"")
                                  .arg(row)
                                  .arg(col)};
            budget.addFormula(row, col, f);
            sheet->setText(row, col, f);
        } else if (c.contains(u"number")) {
            if (!c.value(u"number").isDouble())
                throw Damaged{
                    QStringLiteral("the number of cell (%1, %2) is not a number").arg(row).arg(col)};
            sheet->setNumber(row, col, c.value(u"number").toDouble());
        } else if (c.contains(u"text")) {
            sheet->setPlainText(row, col, toText(c.value(u"text"), QStringLiteral("cell text")));
        }
    }

    const QJsonObject headings = objectMember(o, u"columnHeadings");
    for (auto it = headings.begin(); it != headings.end(); ++it)
        sheet->setColumnHeading(
            toInt(QJsonValue(it.key().toDouble()), QStringLiteral("heading column"), 1, Sheet::MaxColumns),
            toText(it.value(), QStringLiteral("column heading")));
    const QJsonObject rowHeadings = objectMember(o, u"rowHeadings");
    for (auto it = rowHeadings.begin(); it != rowHeadings.end(); ++it)
        sheet->setRowHeading(
            toInt(QJsonValue(it.key().toDouble()), QStringLiteral("heading row"), 1, Sheet::MaxRows),
            toText(it.value(), QStringLiteral("row heading")));
    const QJsonObject widths = objectMember(o, u"columnWidths");
    for (auto it = widths.begin(); it != widths.end(); ++it)
        sheet->setColumnWidth(
            toInt(QJsonValue(it.key().toDouble()), QStringLiteral("width column"), 1, Sheet::MaxColumns),
            toInt(it.value(), QStringLiteral("column width"), 0, Sheet::MaxColumnWidth));

    // The extent as written: it may be larger than the cells (a sized, empty report) and is
    // never smaller in a file this program wrote.
    const int lastRow = toInt(o.value(u"lastRow"), QStringLiteral("lastRow"), 0, Sheet::MaxRows);
    const int lastCol = toInt(o.value(u"lastColumn"), QStringLiteral("lastColumn"), 0, Sheet::MaxColumns);
    if (lastRow < sheet->lastRow() || lastCol < sheet->lastColumn())
        throw Damaged{QStringLiteral("cells lie outside the sheet's last row and column")};
    sheet->setLastRow(lastRow);
    sheet->setLastColumn(lastCol);
    sheet->setFrozenRows(toInt(o.value(u"frozenRows"), QStringLiteral("frozenRows"), 0, Sheet::MaxRows - 1));
    sheet->setFrozenColumns(
        toInt(o.value(u"frozenColumns"), QStringLiteral("frozenColumns"), 0, Sheet::MaxColumns - 1));
    sheet->setShowColumnHeadings(member(o, u"showColumnHeadings", QJsonValue::Bool, true).toBool());
    sheet->setShowRowHeadings(member(o, u"showRowHeadings", QJsonValue::Bool, true).toBool());
    const QJsonArray sel = arrayMember(o, u"selection");
    if (sel.size() == 4) {
        sheet->select(toInt(sel[0], QStringLiteral("selection"), 1, Sheet::MaxRows),
                      toInt(sel[1], QStringLiteral("selection"), 1, Sheet::MaxColumns),
                      toInt(sel[2], QStringLiteral("selection"), 1, Sheet::MaxRows),
                      toInt(sel[3], QStringLiteral("selection"), 1, Sheet::MaxColumns));
    }
    const QJsonArray active = arrayMember(o, u"activeCell");
    if (active.size() == 2) {
        const int row = toInt(active[0], QStringLiteral("active cell"), 1, Sheet::MaxRows);
        const int col = toInt(active[1], QStringLiteral("active cell"), 1, Sheet::MaxColumns);
        if (!sheet->selection().contains(row, col))
            sheet->setActiveCell(row, col);
    }
    sheet->endUpdate();
    if (sheet->recalculationLimitReached())
        throw TooLarge{QStringLiteral("its formulas read more than %1 cells to compute, the most a template "
                                      "may ask for")
                           .arg(budget.limits.formulaReads)};
    sheet->setRecalculationLimit(0);
    return sheet;
}

} // namespace

VtsContent VtsFile::read(const QString& path, const VtsLimits& limits)
{
    auto fail = [&path](const QString& problem) {
        return GridFileError(
            QCoreApplication::translate("talor", "Cannot read \"%1\": %2").arg(path, problem));
    };
    QFile file(path);
    if (!file.exists())
        throw fail(QCoreApplication::translate("talor", "the file does not exist"));
    if (!file.open(QIODevice::ReadOnly))
        throw fail(file.errorString());
    if (file.size() > limits.fileBytes)
        throw fail(QCoreApplication::translate(
                       "talor", "the file is larger than %1 bytes, the most a template may have")
                       .arg(limits.fileBytes));
    const auto tooLargeToRead = [&] {
        return fail(QCoreApplication::translate("talor", "there is not memory enough to read it"));
    };
    QJsonParseError error;
    QJsonDocument doc;
    QByteArray bytes;
    try {
        bytes = file.readAll();
        doc = QJsonDocument::fromJson(bytes, &error);
    } catch (const std::bad_alloc&) {
        throw tooLargeToRead();
    }
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        if (!bytes.trimmed().startsWith('{'))
            throw fail(QCoreApplication::translate("talor", "it is not a TALOR template (.vts) file"));
        throw fail(QCoreApplication::translate("talor", "the file is damaged or truncated (%1 at byte %2)")
                       .arg(error.errorString())
                       .arg(error.offset));
    }
    const QJsonObject root = doc.object();
    if (root.value(u"format").toString() != FormatName)
        throw fail(QCoreApplication::translate("talor", "it is not a TALOR template (.vts) file"));
    const QJsonValue version = root.value(u"version");
    if (!version.isDouble() || version.toDouble() < 1)
        throw fail(QCoreApplication::translate("talor", "the template has no valid format version"));
    if (version.toDouble() > Version)
        throw fail(QCoreApplication::translate(
                       "talor", "the template was written in format version %1 by a newer program; "
                                "this program reads up to version %2")
                       .arg(version.toDouble())
                       .arg(Version));
    try {
        VtsContent content;
        const QJsonArray sheets = arrayMember(root, u"sheets");
        if (sheets.isEmpty())
            throw Damaged{QCoreApplication::translate("talor", "it holds no sheet")};
        if (sheets.size() > limits.sheets)
            throw TooLarge{QCoreApplication::translate(
                               "talor", "it holds more than %1 sheets, the most a template may hold")
                               .arg(limits.sheets)};
        Budget budget{limits};
        for (const QJsonValue& s : sheets) {
            QString name;
            content.sheets.push_back(sheetFromJson(toObject(s, QStringLiteral("a sheet")), name, budget));
            content.names.push_back(name);
        }
        content.active =
            root.contains(u"activeSheet")
                ? toInt(root.value(u"activeSheet"), QStringLiteral("activeSheet"), 1, int(sheets.size()))
                : 1;
        return content;
    } catch (const TooLarge& tooLarge) {
        throw fail(tooLarge.problem);
    } catch (const std::bad_alloc&) {
        throw tooLargeToRead();
    } catch (const Damaged& damaged) {
        throw fail(QCoreApplication::translate("talor", "the file is damaged: ") + damaged.problem);
    } catch (const std::exception& e) {
        throw fail(QCoreApplication::translate("talor", "the file is damaged: ") +
                   QString::fromStdString(e.what()));
    }
}

QByteArray VtsFile::toBytes(const Workbook& book)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeBook(book, buffer);
    return bytes;
}

void VtsFile::write(const Workbook& book, const QString& path, const VtsLimits& limits)
{
    // Written as it is made, through a file that checks every write, into a temporary file
    // that replaces the target only when complete: a large report is not held in memory a
    // second time as text.
    try {
        io::AtomicTarget target(path);
        io::CheckedFile file(target.tempPath());
        writeBook(book, file);
        file.close();
        const auto fail = [&path](const QString& problem) {
            return GridFileError(
                QCoreApplication::translate("talor", "Cannot write \"%1\": %2").arg(path, problem));
        };
        if (!file.failure().isEmpty())
            throw fail(file.failure());
        if (const qint64 size = QFileInfo(target.tempPath()).size(); size > limits.fileBytes)
            throw fail(QCoreApplication::translate("talor",
                                                   "it would take %1 bytes, and a template of more than %2 "
                                                   "bytes cannot be opened again; nothing was written (keep "
                                                   "a report that large as .xlsx)")
                           .arg(size)
                           .arg(limits.fileBytes));
        target.commit();
    } catch (const io::FileWriteError& e) {
        throw GridFileError(e.message());
    }
}

} // namespace talor::grid
