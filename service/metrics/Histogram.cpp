#include "service/metrics/Histogram.h"

#include <cstdio>

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

}  // namespace

Histogram::Histogram(std::vector<double> bounds) : m_bounds(std::move(bounds)), m_counts(m_bounds.size() + 1, 0) {}

void Histogram::Observe(double value)
{
    std::size_t i = 0;
    while (i < m_bounds.size() && value > m_bounds[i])
        ++i;
    ++m_counts[i];
    m_sum += value;
    ++m_count;
}

void Histogram::Render(const std::string& name, const std::string& labels, std::string& out) const
{
    const std::string prefix = labels.empty() ? "" : labels + ",";
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < m_bounds.size(); ++i) {
        cumulative += m_counts[i];
        out += name + "_bucket{" + prefix + "le=\"" + Number(m_bounds[i]) + "\"} " + std::to_string(cumulative) + "\n";
    }
    out += name + "_bucket{" + prefix + "le=\"+Inf\"} " + std::to_string(m_count) + "\n";
    const std::string braces = labels.empty() ? "" : "{" + labels + "}";
    out += name + "_sum" + braces + " " + Number(m_sum) + "\n";
    out += name + "_count" + braces + " " + std::to_string(m_count) + "\n";
}
