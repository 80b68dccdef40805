#pragma once

#include "ecr/commands/ECRTrafficEntry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the exchanges report while they run (traffic entries and the
// register's messages), held with the time each came until the windows and
// the session log take them. Holding one costs a copy of its bytes; the
// formatting, decoding and log writing that follow run later, while the
// line carries the next request, instead of between an answer and that
// request.
class TraceBacklog {
public:
    struct Item {
        bool message = false;  // a debug message; otherwise a traffic entry
        ECRTrafficDirection direction = ECRTrafficDirection::Unknown;
        std::int64_t ms = 0;   // when it came, in the session's time
        std::string bytes;
    };

    void AddTraffic(ECRTrafficDirection direction, std::string_view bytes, std::int64_t ms);
    void AddMessage(std::string_view text, std::int64_t ms);

    bool Empty() const { return m_items.empty(); }
    // When the oldest item held came; only while one is held.
    std::int64_t OldestMs() const { return m_items.front().ms; }

    // Hands every item held to take, oldest first, and holds none after.
    // An item added meanwhile (take reports something) is handed on too.
    void HandOn(const std::function<void(const Item&)>& take);

private:
    std::vector<Item> m_items;
    std::vector<Item> m_handing;  // kept between hand-ons, so that no round allocates
    bool m_handingOn = false;
};
