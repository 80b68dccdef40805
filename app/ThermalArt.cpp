#include "app/ThermalArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kInk(0x1F, 0x2A, 0x44);
const QColor kPaper(0xFB, 0xFA, 0xF4);
const QColor kAccent(0xD9, 0x4F, 0x2B);

// A receipt coming out of a printer slot, in a square of the given size.
void DrawReceipt(QPainter& painter, const QRectF& box)
{
    const qreal unit = box.width() / 16.0;
    const QRectF printer(box.left() + unit, box.top() + 9 * unit, 14 * unit, 6 * unit);
    const QRectF paper(box.left() + 4 * unit, box.top() + unit, 8 * unit, 10 * unit);

    QPainterPath slip;
    slip.moveTo(paper.bottomLeft());
    slip.lineTo(paper.left(), paper.top() + unit);
    // The torn edge at the top.
    for (int i = 0; i < 4; ++i) {
        slip.lineTo(paper.left() + (2 * i + 1) * unit, paper.top());
        slip.lineTo(paper.left() + (2 * i + 2) * unit, paper.top() + unit);
    }
    slip.lineTo(paper.bottomRight());
    slip.closeSubpath();
    painter.setPen(QPen(kInk, qMax<qreal>(1.0, unit / 2)));
    painter.setBrush(kPaper);
    painter.drawPath(slip);
    for (int line = 0; line < 3; ++line) {
        const qreal y = paper.top() + (3 + 2 * line) * unit;
        painter.drawLine(QPointF(paper.left() + 1.5 * unit, y), QPointF(paper.right() - 1.5 * unit, y));
    }
    painter.setBrush(kInk);
    painter.drawRoundedRect(printer, unit, unit);
    painter.setBrush(kAccent);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(printer.right() - 2 * unit, printer.center().y()), unit, unit);
}

}  // namespace

QPixmap ThermalArt::Banner()
{
    QImage image(343, 71, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 343, 71);
    sky.setColorAt(0, QColor(0xE8, 0xEE, 0xF6));
    sky.setColorAt(1, QColor(0xC9, 0xD6, 0xE8));
    painter.fillRect(image.rect(), sky);
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));

    DrawReceipt(painter, QRectF(10, 6, 58, 58));

    QFont title = painter.font();
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(kInk);
    painter.drawText(QRectF(80, 4, 255, 38), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Thermal"));
    QFont subtitle = painter.font();
    subtitle.setPixelSize(13);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.drawText(QRectF(82, 40, 255, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("servisni alat za fiskalnu kasu"));
    painter.setPen(QPen(kAccent, 3));
    painter.drawLine(QPointF(82, 40), QPointF(330, 40));
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap ThermalArt::IconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawReceipt(painter, QRectF(0, 0, size, size));
    return pixmap;
}

QIcon ThermalArt::Icon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addPixmap(IconPixmap(size));
    }
    return icon;
}
