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
    QImage picture(client.width() + 2 * border, client.height() + bar + border, QImage::Format_RGB32);
    picture.fill(QColor(64, 64, 64));
    QPainter p(&picture);
    p.fillRect(border, border, client.width(), bar - border, QColor(0, 0, 128));
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
    p.drawText(QRect(textLeft, border, client.width() - textLeft - 20, bar - border), Qt::AlignVCenter | Qt::AlignLeft,
               window.windowTitle());
    // The close box.
    const QRect close(client.width() - 18, border + 3, 15, 14);
    p.fillRect(close, QColor(192, 192, 192));
    p.setPen(Qt::black);
    p.drawLine(close.topLeft() + QPoint(4, 3), close.bottomRight() - QPoint(4, 3));
    p.drawLine(close.topRight() + QPoint(-4, 3), close.bottomLeft() + QPoint(4, -3));
    p.drawImage(border, bar, client);
    return picture;
}

} // namespace oskel::qt::shots
