#pragma once

#include "ecr/commands/ECRTrafficEntry.h"

#include <cstddef>
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
// These read a capture held whole; ECRCaptureStream decodes one as it is read.
class ECRTrafficDecoder;

class ECRCapture {
public:
    // No raw piece is longer: a longer frame or run of bytes is cut there
    // (the design's longest frame is 16 KiB), so that a capture of garbage
    // never makes one line of its whole size.
    static constexpr std::size_t kMaxRawPiece = 64 * 1024;

    enum class Form { Raw, MonitorText, SessionLog };

    // A traffic entry to decode, or a line to show as it stands (UTF-8).
    struct Item {
        bool traffic = true;
        ECRTrafficEntry entry;
        std::string line;
    };

    // SessionLog when the content starts with the log's header; MonitorText
    // when every byte is printable ASCII (0x20..0x7E) or a line break and the
    // first line that is not empty is a hex line; Raw otherwise.
    static Form Detect(std::string_view content);
    // The items in the order they happened.
    // Raw: SplitRaw's pieces, direction and time unknown. MonitorText: the
    // hex lines of the entries (every other line, from the first), oldest
    // first; one that is not a hex line passes through with a note saying so.
    // SessionLog: traffic lines with their time and direction; every other
    // line that is not empty passes through.
    static std::vector<Item> Read(std::string_view content);
    // One line per item: the decoded entries and the passed-through lines.
    // One decoder reads them all, reset at each log header (a new run).
    static std::vector<std::string> Decode(std::string_view content);

    // Raw bytes cut into frames (ESC P ... ESC \), runs of busy status
    // bytes, single ENQ, ACK and NAK, and runs of anything else. A frame
    // without its closer ends where the next one opens, or at the end. No
    // piece is longer than kMaxRawPiece.
    static std::vector<std::string> SplitRaw(std::string_view bytes);

private:
    friend class ECRCaptureStream;

    // Printable ASCII or a line break: what the monitor's text is made of.
    static bool IsTextByte(char byte);
    static bool IsHexLine(std::string_view line);
    // Where the raw piece that starts at start ends. When complete is false
    // more bytes may follow, and npos says that they are needed to tell.
    static std::size_t RawPieceEnd(std::string_view bytes, std::size_t start, bool complete);
    // A line of a session log (without its line break) as an item; false
    // for an empty line, which gives none.
    static bool ReadLogLine(std::string_view line, Item& item);
    // The item's line: decoded, or as it stands (a log's header starts a
    // new session for the decoder).
    static std::string DecodeItem(ECRTrafficDecoder& decoder, const Item& item);
    static std::vector<Item> ReadMonitorText(const std::vector<std::string_view>& lines);
    static std::vector<Item> ReadSessionLog(const std::vector<std::string_view>& lines);
};
