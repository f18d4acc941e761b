#include "ScreenshotTable.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace oskel::qt::shots {

QImage WindowPicture(QWidget& window)
{
    window.show();
    QApplication::processEvents();
    const QImage client = window.grab().toImage();
    const int bar = 22, border = 1;
    // Drawn at the screen's scale, in device-independent pixels, so that a
    // picture at QT_SCALE_FACTOR=2 has twice the pixels, not a shrunk copy.
    const qreal scale = client.devicePixelRatio();
    const QSize clientSize = client.deviceIndependentSize().toSize();
    QImage picture(QSize(clientSize.width() + 2 * border, clientSize.height() + bar + border) * scale,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(scale);
    picture.fill(QColor(64, 64, 64));
    QPainter p(&picture);
    p.fillRect(border, border, clientSize.width(), bar - border, QColor(0, 0, 128));
    const QIcon icon = window.windowIcon();
    int textLeft = border + 4;
    if (!icon.isNull()) {
        p.drawPixmap(border + 3, border + 2, icon.pixmap(16, 16));
        textLeft += 20;
    }
    QFont font = window.font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(textLeft, border, clientSize.width() - textLeft - 20, bar - border), Qt::AlignVCenter | Qt::AlignLeft,
               window.windowTitle());
    // The close box.
    const QRect close(clientSize.width() - 18, border + 3, 15, 14);
    p.fillRect(close, QColor(192, 192, 192));
    p.setPen(Qt::black);
    p.drawLine(close.topLeft() + QPoint(4, 3), close.bottomRight() - QPoint(4, 3));
    p.drawLine(close.topRight() + QPoint(-4, 3), close.bottomLeft() + QPoint(4, -3));
    p.drawImage(border, bar, client);
    return picture;
}

} // namespace oskel::qt::shots
