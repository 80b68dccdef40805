#pragma once

#include "ecr/commands/ECRTrafficEntry.h"

#include <string>
#include <string_view>
#include <vector>

// A capture of the line read back for decoding, in one of three forms:
//   - raw bytes as they went over the line (both ways, in order), split
//     into frames, status and control bytes and runs of stray bytes;
//   - the monitor's hexadecimal text, as copied from "Komunikacija:"
//     (newest entry first, each a hex line above a printable line);
//   - a session log, whose traffic lines keep their times and directions
//     and whose other lines pass through unchanged.
class ECRCapture {
public:
    enum class Form { Raw, MonitorText, SessionLog };

    // A traffic entry to decode, or a line to show as it stands (UTF-8).
    struct Item {
        bool traffic = true;
        ECRTrafficEntry entry;
        std::string line;
    };

    static Form Detect(std::string_view content);
    // The items in the order they happened.
    static std::vector<Item> Read(std::string_view content);
    // One line per item: the decoded entries and the passed-through lines.
    static std::vector<std::string> Decode(std::string_view content);

    // Raw bytes cut into frames (ESC P ... ESC \), runs of busy status
    // bytes, single ENQ, ACK and NAK, and runs of anything else.
    static std::vector<std::string> SplitRaw(std::string_view bytes);

private:
    static std::vector<Item> ReadMonitorText(const std::vector<std::string_view>& lines);
    static std::vector<Item> ReadSessionLog(const std::vector<std::string_view>& lines);
};
