#pragma once

#include "WireSample.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// The benchmark's results: per row the runs' minimum, median and maximum
// wall time and wire efficiency, and the median time each frame took beyond
// its bytes. Rows print in the order they were first added.
class WireTable {
public:
    explicit WireTable(std::string title) : m_title(std::move(title)) {}

    void Add(const std::string& row, const WireSample& sample);
    void Print(std::FILE* out) const;

private:
    std::string m_title;
    std::vector<std::pair<std::string, std::vector<WireSample>>> m_rows;
};
