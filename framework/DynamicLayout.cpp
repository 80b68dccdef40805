#include "framework/DynamicLayout.h"

#include <cmath>

namespace {

int Part(int change, double share)
{
    return static_cast<int>(std::lround(change * share));
}

}  // namespace

void DynamicLayout::Add(QWidget* control, Share share)
{
    m_items.push_back({control, control->geometry(), share});
}

void DynamicLayout::Apply(QSize change) const
{
    for (const Item& item : m_items) {
        if (item.control.isNull()) {
            continue;
        }
        // Edge by edge, so that edges with the same share stay together and
        // an edge with the whole change keeps its distance to the dialog's edge.
        const Share& s = item.share;
        const QRect& built = item.built;
        const QPoint topLeft(built.left() + Part(change.width(), s.moveX), built.top() + Part(change.height(), s.moveY));
        const QPoint bottomRight(built.right() + Part(change.width(), s.moveX + s.sizeX),
                                 built.bottom() + Part(change.height(), s.moveY + s.sizeY));
        item.control->setGeometry(QRect(topLeft, bottomRight));
    }
}
