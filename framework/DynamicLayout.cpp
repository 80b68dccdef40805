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
        const Share& s = item.share;
        QRect place = item.built.translated(Part(change.width(), s.moveX), Part(change.height(), s.moveY));
        place.setWidth(item.built.width() + Part(change.width(), s.sizeX));
        place.setHeight(item.built.height() + Part(change.height(), s.sizeY));
        item.control->setGeometry(place);
    }
}
