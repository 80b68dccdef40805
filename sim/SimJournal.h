#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Everything the simulated register prints or shows, as text a person can
// read: receipts, reports, info prints, the logo as text art, the customer
// display. Kept in memory (the oldest text is dropped beyond a limit) and
// handed to an optional listener as it is written, e.g. to a file.
class SimJournal {
public:
    using Listener = std::function<void(const std::string&)>;

    static constexpr std::size_t kMaxKept = 16u << 20;
    static constexpr std::size_t kPaperWidth = 32;

    void SetListener(Listener listener) { m_listener = std::move(listener); }

    // One printed line; a newline is added.
    void Line(const std::string& text);
    // A line with text on the left and an amount or value on the right.
    void Columns(const std::string& left, const std::string& right);
    void Rule(char fill = '-');

    const std::string& Text() const { return m_text; }
    void Clear() { m_text.clear(); }

    // An amount in hundredths (or thousandths with decimals 3) as 12.34; negative values keep their sign.
    static std::string Amount(std::int64_t value, int decimals = 2);
    // Two-digit date and time fields, as on the paper roll: 15.03.2026 09:41.
    static std::string DateTime(std::int64_t seconds);
    static std::string Date(std::int64_t seconds);

private:
    void Append(const std::string& text);

    std::string m_text;
    Listener m_listener;
};
