#include "print/HeaderFooter.h"

#include <QFileInfo>

namespace talor::print {

namespace {

// The style part of &"font,style": English or Chinese words, in any mix.
void applyFontStyle(const QString& style, TextRun& run)
{
    const QString s = style.toLower();
    run.bold = s.contains(u"bold") || s.contains(u"加粗") || s.contains(u"粗体");
    run.italic =
        s.contains(u"italic") || s.contains(u"oblique") || s.contains(u"倾斜") || s.contains(u"斜体");
}

} // namespace

QList<TextRun> expandHeaderFooter(const QString& codes, const HeaderFooterContext& context)
{
    QList<TextRun> runs;
    TextRun current;
    auto add = [&](const QString& text) {
        if (text.isEmpty())
            return;
        if (!runs.isEmpty()) {
            TextRun& last = runs.last();
            TextRun look = last;
            look.text = current.text;
            if (look == current) {
                last.text += text;
                return;
            }
        }
        TextRun run = current;
        run.text = text;
        runs.append(run);
    };
    // Looks are switched on `current`; its text stays empty.
    const QFileInfo file(context.filePath);
    const int n = int(codes.size());
    int i = 0;
    QString literal;
    auto flush = [&] {
        add(literal);
        literal.clear();
    };
    while (i < n) {
        const QChar ch = codes[i];
        if (ch != u'&' || i + 1 >= n) {
            literal += ch;
            ++i;
            continue;
        }
        const QChar code = codes[i + 1];
        i += 2;
        switch (code.toUpper().unicode()) {
        case u'&':
            literal += u'&';
            continue;
        case u'A':
            literal += context.sheetName;
            continue;
        case u'P':
            literal += QString::number(context.page);
            continue;
        case u'N':
            literal += QString::number(context.pages);
            continue;
        case u'D':
            literal += context.printedAt.date().toString(QStringLiteral("yyyy-MM-dd"));
            continue;
        case u'T':
            literal += context.printedAt.time().toString(QStringLiteral("hh:mm"));
            continue;
        case u'F':
            literal += file.fileName();
            continue;
        case u'Z':
            literal += context.filePath.isEmpty() ? QString() : file.absolutePath() + u'/';
            continue;
        default:
            break;
        }
        flush();
        if (code == u'B' || code == u'b') {
            current.bold = !current.bold;
        } else if (code == u'I' || code == u'i') {
            current.italic = !current.italic;
        } else if (code == u'U' || code == u'u' || code == u'E' || code == u'e') {
            current.underline = !current.underline;
        } else if (code == u'S' || code == u's') {
            current.strikeOut = !current.strikeOut;
        } else if (code == u'"') {
            const int close = codes.indexOf(u'"', i);
            const QString fontCode = codes.mid(i, close < 0 ? -1 : close - i);
            i = close < 0 ? n : close + 1;
            const int comma = int(fontCode.indexOf(u','));
            const QString family = (comma < 0 ? fontCode : fontCode.left(comma)).trimmed();
            current.family = family == u"-" ? QString() : family;
            applyFontStyle(comma < 0 ? QString() : fontCode.mid(comma + 1), current);
        } else if (code == u'K' || code == u'k') {
            // A colour (&KRRGGBB or a theme colour &KttSnnn): printed in black, the code dropped.
            int end = i;
            auto colourChar = [](QChar ch) {
                return ch.isDigit() || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f') ||
                       ch == u'S' || ch == u'+' || ch == u'-';
            };
            while (end < n && end < i + 6 && colourChar(codes[end]))
                ++end;
            i = end;
        } else if (code.isDigit()) {
            // Up to three digits: "&16" followed by other codes or text.
            int end = i;
            while (end < n && end < i + 2 && codes[end].isDigit())
                ++end;
            const int size = QString(QString(code) + codes.mid(i, end - i)).toInt();
            i = end;
            if (size > 0)
                current.pointSize = size;
        } else {
            literal += u'&';
            literal += code;
        }
    }
    flush();
    return runs;
}

QString plainText(const QList<TextRun>& runs)
{
    QString text;
    for (const TextRun& run : runs)
        text += run.text;
    return text;
}

} // namespace talor::print
