#include "sim/SimJournal.h"

#include "sim/SimClock.h"

#include <cstdio>

void SimJournal::Line(const std::string& text)
{
    Append(text + "\n");
}

void SimJournal::Columns(const std::string& left, const std::string& right)
{
    std::string line = left;
    if (line.size() + right.size() < kPaperWidth) {
        line.append(kPaperWidth - line.size() - right.size(), ' ');
    } else {
        line.push_back(' ');
    }
    Line(line + right);
}

void SimJournal::Rule(char fill)
{
    Line(std::string(kPaperWidth, fill));
}

void SimJournal::Append(const std::string& text)
{
    m_text += text;
    if (m_text.size() > kMaxKept) {
        m_text.erase(0, m_text.size() - kMaxKept / 2);
    }
    if (m_listener) {
        m_listener(text);
    }
}

std::string SimJournal::Amount(std::int64_t value, int decimals)
{
    const std::string digits = std::to_string(value < 0 ? -value : value);
    const std::size_t places = static_cast<std::size_t>(decimals);
    const std::string padded =
        digits.size() <= places ? std::string(places + 1 - digits.size(), '0').append(digits) : digits;
    std::string text = value < 0 ? std::string(1, '-') : std::string();
    text.append(padded, 0, padded.size() - places);
    text.push_back('.');
    text.append(padded, padded.size() - places, places);
    return text;
}

std::string SimJournal::Date(std::int64_t seconds)
{
    const SimClock::Calendar c = SimClock::FromSeconds(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", c.day, c.month, c.year);
    return text;
}

std::string SimJournal::DateTime(std::int64_t seconds)
{
    const SimClock::Calendar c = SimClock::FromSeconds(seconds);
    char text[16];
    std::snprintf(text, sizeof text, " %02d:%02d", c.hour, c.minute);
    return Date(seconds) + text;
}
