#include "entry/WindowDesign.h"

#include <QLinearGradient>
#include <QPainter>

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

} // namespace talor::design
