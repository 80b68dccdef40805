#include "app/TraceBacklog.h"

void TraceBacklog::AddTraffic(ECRTrafficDirection direction, std::string_view bytes, std::int64_t ms)
{
    Item& item = m_items.emplace_back();
    item.direction = direction;
    item.ms = ms;
    item.bytes = bytes;
}

void TraceBacklog::AddMessage(std::string_view text, std::int64_t ms)
{
    Item& item = m_items.emplace_back();
    item.message = true;
    item.ms = ms;
    item.bytes = text;
}

void TraceBacklog::HandOn(const std::function<void(const Item&)>& take)
{
    // Called again from take: the round under way hands on what came meanwhile.
    if (m_handingOn) {
        return;
    }
    m_handingOn = true;
    while (!m_items.empty()) {
        m_handing.swap(m_items);
        for (const Item& item : m_handing) {
            take(item);
        }
        m_handing.clear();
    }
    m_handingOn = false;
}
