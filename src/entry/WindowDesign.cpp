#include "entry/WindowDesign.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace talor::design {

QImage bannerPicture()
{
    QImage image(320, 60, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, image.width(), 0);
    gradient.setColorAt(0, QColor(255, 255, 255));
    gradient.setColorAt(1, QColor(190, 215, 240));
    p.fillRect(image.rect(), gradient);
    p.setPen(QPen(QColor(120, 160, 210), 2));
    p.drawLine(0, image.height() - 2, image.width(), image.height() - 2);
    return image;
}

double dpi(const QWidget& window)
{
    // Twips become pixels at the screen's dpi, enlarged or reduced as the desktop's font is
    // larger or smaller than the text the places were drawn for, so that labels keep their room.
    const double screen = window.logicalDpiY() > 0 ? window.logicalDpiY() : 96.0;
    const double points = QFontInfo(window.font()).pointSizeF();
    const double scale = points > 0 ? std::clamp(points / FontPointSize, 0.75, 3.0) : 1.0;
    return screen * scale;
}

} // namespace talor::design
