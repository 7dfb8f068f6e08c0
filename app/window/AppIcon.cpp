#include "app/window/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace {
// A small calculator: a dark body, a light display and a 3 x 3 keypad.
QPixmap Draw(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 16.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 52, 84));
    p.drawRoundedRect(QRectF(2 * u, 0.5 * u, 12 * u, 15 * u), 2 * u, 2 * u);
    p.setBrush(QColor(196, 226, 206));
    p.drawRect(QRectF(3.5 * u, 2 * u, 9 * u, 3.5 * u));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == 2 && col == 2 ? QColor(232, 128, 48) : QColor(222, 226, 234));
            p.drawRect(QRectF((3.5 + col * 3.2) * u, (7 + row * 2.7) * u, 2.4 * u, 1.9 * u));
        }
    return pixmap;
}
}  // namespace

QIcon MakeAppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64}) icon.addPixmap(Draw(size));
    return icon;
}
