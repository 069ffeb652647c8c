#include "commands/DesignedImages.h"

#include <QPainter>

namespace talor {

namespace {

void drawSheet(QPainter& p, const QColor& colour)
{
    p.setBrush(Qt::white);
    p.setPen(QPen(colour, 2));
    p.drawRect(7, 4, 18, 24);
    for (int y = 10; y <= 22; y += 4)
        p.drawLine(10, y, 22, y);
}

// A right-pointing arrow along y = 16 from x = `from` to its tip at x = `tip`.
void drawArrow(QPainter& p, const QColor& colour, int from, int tip)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, 16, tip, 16);
    p.drawLine(tip - 4, 12, tip, 16);
    p.drawLine(tip - 4, 20, tip, 16);
}

void drawPerson(QPainter& p, int x, int y, int scale, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPoint(x, y), scale, scale);
    p.drawRoundedRect(x - scale * 2, y + scale + 1, scale * 4, scale * 3, scale, scale);
}

void drawFolder(QPainter& p, const QColor& colour, bool open)
{
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    p.drawRect(4, 9, 24, 17);
    p.drawRect(4, 6, 10, 4);
    if (open) {
        p.setBrush(colour.lighter(130));
        QPolygon front;
        front << QPoint(8, 14) << QPoint(30, 14) << QPoint(26, 26) << QPoint(4, 26);
        p.drawPolygon(front);
    }
}

void drawBuilding(QPainter& p, const QColor& colour, bool selected)
{
    p.setPen(QPen(colour.darker(160), 1.5));
    p.setBrush(selected ? colour.lighter(130) : colour);
    p.drawRect(8, 6, 16, 22);
    p.setBrush(Qt::white);
    for (int y = 9; y < 24; y += 5)
        for (int x = 11; x < 22; x += 6)
            p.drawRect(x, y, 3, 3);
}

} // namespace

QImage DesignedImages::picture(int index)
{
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 1: // edit: a pencil over a sheet
        drawSheet(p, QColor(70, 110, 170));
        p.setPen(QPen(QColor(200, 120, 20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(12, 24, 27, 9);
        break;
    case 2: // exit: a door and an arrow
        p.setPen(QPen(QColor(120, 80, 40), 2));
        p.setBrush(QColor(190, 140, 90));
        p.drawRect(6, 4, 14, 24);
        drawArrow(p, QColor(200, 30, 30), 16, 29);
        break;
    case 6: // about: an information disc
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 100, 200));
        p.drawEllipse(4, 4, 24, 24);
        p.setBrush(Qt::white);
        p.drawEllipse(14, 8, 4, 4);
        p.drawRect(14, 14, 4, 10);
        break;
    case 7: // select: a list with a tick
        drawSheet(p, QColor(60, 140, 60));
        p.setPen(QPen(QColor(20, 150, 40), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(9, 18, 14, 24);
        p.drawLine(14, 24, 27, 8);
        break;
    case 10: // preview: a magnifier over a sheet
        drawSheet(p, QColor(90, 90, 90));
        p.setPen(QPen(QColor(30, 30, 120), 3));
        p.setBrush(QColor(200, 220, 255, 180));
        p.drawEllipse(12, 10, 12, 12);
        p.drawLine(22, 21, 29, 28);
        break;
    case 11: // print: a printer
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(9, 3, 14, 10);
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(3, 12, 26, 11, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(9, 20, 14, 9);
        break;
    case 15: { // output: a green workbook with an arrow
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 130, 70));
        p.drawRoundedRect(3, 5, 20, 22, 2, 2);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(8, 10, 18, 22);
        p.drawLine(18, 10, 8, 22);
        drawArrow(p, QColor(230, 140, 20), 21, 30);
        break;
    }
    case 17: // save: a floppy disk
        p.setPen(QPen(QColor(20, 40, 90), 1.5));
        p.setBrush(QColor(50, 80, 160));
        p.drawRoundedRect(4, 4, 24, 24, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(9, 4, 14, 9);
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(8, 18, 16, 10);
        break;
    case 18: // employee
        drawPerson(p, 16, 10, 5, QColor(60, 110, 180));
        break;
    case 20:
    case 21: // group
        drawFolder(p, QColor(240, 200, 80), index == 21);
        break;
    case 25:
    case 26: // department
        drawBuilding(p, QColor(120, 150, 200), index == 26);
        break;
    case 31:
    case 32: { // organisation: a globe
        p.setPen(QPen(QColor(20, 90, 60), 1.5));
        p.setBrush(index == 32 ? QColor(120, 210, 150) : QColor(70, 170, 110));
        p.drawEllipse(3, 3, 26, 26);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(10, 3, 12, 26);
        p.drawLine(3, 16, 29, 16);
        break;
    }
    case 33:
    case 34: // team: three persons
        drawPerson(p, 9, 11, 3, index == 34 ? QColor(220, 120, 60) : QColor(170, 80, 40));
        drawPerson(p, 23, 11, 3, index == 34 ? QColor(220, 120, 60) : QColor(170, 80, 40));
        drawPerson(p, 16, 15, 4, index == 34 ? QColor(240, 150, 70) : QColor(200, 100, 50));
        break;
    default: { // a plain tile, its hue by index
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv((index * 37) % 360, 90, 210));
        p.drawRoundedRect(6, 6, 20, 20, 4, 4);
        break;
    }
    }
    return image;
}

ImageList DesignedImages::imageList()
{
    ImageList list;
    for (int i = 1; i <= Count; ++i)
        list.add(picture(i));
    return list;
}

} // namespace talor
