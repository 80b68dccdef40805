#include "WireTable.h"

#include <algorithm>

namespace {

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

template <class Value>
Spread SpreadOf(const std::vector<WireSample>& samples, Value value)
{
    std::vector<double> values;
    for (const WireSample& sample : samples) {
        values.push_back(value(sample));
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

}  // namespace

void WireTable::Add(const std::string& row, const WireSample& sample)
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [&row](const auto& r) { return r.first == row; });
    if (found != m_rows.end()) {
        found->second.push_back(sample);
    } else {
        m_rows.push_back({row, {sample}});
    }
}

void WireTable::Print(std::FILE* out) const
{
    std::fprintf(out, "\n%s\n", m_title.c_str());
    std::fprintf(out, "%-30s %4s %7s %9s %8s | %-26s | %-23s | %s\n", "", "runs", "frames", "bytes", "wire s",
                 "wall s  min / med / max", "wire/wall %  min/med/max", "per frame (med): ms over wire, CPU ms");
    for (const auto& [row, samples] : m_rows) {
        const Spread wall = SpreadOf(samples, [](const WireSample& s) { return s.wallSeconds; });
        const Spread ratio = SpreadOf(samples, [](const WireSample& s) { return 100 * s.Efficiency(); });
        const Spread extra = SpreadOf(samples, [](const WireSample& s) {
            return s.frames > 0 ? 1000 * (s.wallSeconds - s.wireSeconds) / static_cast<double>(s.frames) : 0;
        });
        const Spread cpu = SpreadOf(samples, [](const WireSample& s) {
            return s.frames > 0 ? 1000 * s.cpuSeconds / static_cast<double>(s.frames) : 0;
        });
        const WireSample& first = samples.front();
        std::fprintf(out, "%-30s %4zu %7llu %9llu %8.2f | %7.2f / %7.2f / %7.2f | %6.2f / %6.2f / %6.2f | %.2f  %.2f\n",
                     row.c_str(), samples.size(), static_cast<unsigned long long>(first.frames),
                     static_cast<unsigned long long>(first.lineBytes), first.wireSeconds, wall.min, wall.median,
                     wall.max, ratio.min, ratio.median, ratio.max, extra.median, cpu.median);
    }
}
