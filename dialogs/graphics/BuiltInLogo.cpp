#include "dialogs/graphics/BuiltInLogo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

// A receipt with a torn top edge and printed lines, coming out of a printer.
void DrawReceipt(QPainter& painter)
{
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::white);
    QPainterPath slip;
    slip.moveTo(14, 58);
    slip.lineTo(14, 10);
    for (int i = 0; i < 6; ++i) {
        slip.lineTo(18 + 8 * i, i % 2 == 0 ? 5 : 10);
    }
    slip.lineTo(58, 10);
    slip.lineTo(58, 58);
    painter.drawPath(slip);
    painter.setPen(QPen(Qt::black, 3));
    for (int y : {20, 29, 38}) {
        painter.drawLine(21, y, y == 29 ? 42 : 51, y);
    }
    painter.drawLine(40, 47, 51, 47);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(4, 52, 64, 22), 5, 5);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(12, 56, 48, 3));
    painter.drawEllipse(QPointF(57, 66), 3.5, 3.5);
}

}  // namespace

QImage BuiltInLogo::Image()
{
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        // Hard edges: the printer has no grey.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        DrawReceipt(painter);

        QFont title(QStringLiteral("DejaVu Sans"));
        title.setStyleStrategy(QFont::NoAntialias);
        title.setPixelSize(44);
        title.setBold(true);
        painter.setFont(title);
        painter.setPen(Qt::black);
        painter.drawText(QRect(84, 0, 272, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Thermal"));
        painter.fillRect(QRect(86, 52, 268, 3), Qt::black);
        QFont subtitle = title;
        subtitle.setPixelSize(15);
        subtitle.setBold(false);
        painter.setFont(subtitle);
        painter.drawText(QRect(86, 57, 268, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("servis fiskalne kase"));
    }

    // Threshold to exactly two colours, whatever the font rendering left.
    QImage logo(kWidth, kHeight, QImage::Format_Mono);
    logo.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            logo.setPixel(x, y, qGray(canvas.pixel(x, y)) < 128 ? 1 : 0);
        }
    }
    return logo;
}
