#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A histogram as Prometheus keeps one: how many observations fell at or
// below each bound, their sum and their count. Not locked: its owner locks.
class Histogram {
public:
    explicit Histogram(std::vector<double> bounds);

    void Observe(double value);
    // The _bucket, _sum and _count lines of the metric with these labels
    // ("register=\"kasa1\"" or empty).
    void Render(const std::string& name, const std::string& labels, std::string& out) const;

private:
    std::vector<double> m_bounds;
    std::vector<std::uint64_t> m_counts;  // per bound, not cumulative; the last one above every bound
    double m_sum = 0;
    std::uint64_t m_count = 0;
};
