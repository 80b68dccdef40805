#include "ecr/commands/ECRCapture.h"

#include "ecr/commands/ECRSessionLog.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <algorithm>

namespace {

constexpr std::string_view kOpener("\x1B" "P", 2);
constexpr std::string_view kCloser("\x1B\\", 2);

bool IsBusy(char byte)
{
    return ECRFrame::IsBusyStatus(static_cast<unsigned char>(byte));
}

bool IsControl(char byte)
{
    return byte == ECRFrame::ENQ || byte == ECRFrame::ACK || byte == ECRFrame::NAK;
}

std::vector<std::string_view> SplitLines(std::string_view content)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    // A text that ends with a line break has no line after it.
    if (!lines.empty() && lines.back().empty() && !content.empty() && content.back() == '\n') {
        lines.pop_back();
    }
    return lines;
}

bool IsHexLine(std::string_view line)
{
    std::string bytes;
    return !line.empty() && ECRTrafficText::ParseHexLine(line, bytes);
}

ECRTrafficDirection DirectionOfTag(std::string_view tag)
{
    if (tag == ECRTrafficDecoder::kToRegisterTag) {
        return ECRTrafficDirection::ToRegister;
    }
    if (tag == ECRTrafficDecoder::kFromRegisterTag) {
        return ECRTrafficDirection::FromRegister;
    }
    if (tag == ECRTrafficDecoder::kNoteTag) {
        return ECRTrafficDirection::Note;
    }
    return ECRTrafficDirection::Unknown;
}

ECRCapture::Item PassThrough(std::string_view line)
{
    ECRCapture::Item item;
    item.traffic = false;
    item.line = line;
    return item;
}

}  // namespace

ECRCapture::Form ECRCapture::Detect(std::string_view content)
{
    if (content.substr(0, ECRSessionLog::kHeaderStart.size()) == ECRSessionLog::kHeaderStart) {
        return Form::SessionLog;
    }
    // The monitor's text is plain ASCII: bytes outside print as ".".
    const bool text = std::all_of(content.begin(), content.end(), [](char c) {
        return (c >= 0x20 && c <= 0x7E) || c == '\r' || c == '\n';
    });
    if (!text) {
        return Form::Raw;
    }
    for (const std::string_view line : SplitLines(content)) {
        if (!line.empty()) {
            return IsHexLine(line) ? Form::MonitorText : Form::Raw;
        }
    }
    return Form::Raw;
}

std::vector<ECRCapture::Item> ECRCapture::Read(std::string_view content)
{
    switch (Detect(content)) {
    case Form::SessionLog:
        return ReadSessionLog(SplitLines(content));
    case Form::MonitorText:
        return ReadMonitorText(SplitLines(content));
    case Form::Raw:
        break;
    }
    std::vector<Item> items;
    for (std::string& bytes : SplitRaw(content)) {
        Item item;
        item.entry.bytes = std::move(bytes);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::string> ECRCapture::Decode(std::string_view content)
{
    ECRTrafficDecoder decoder;
    std::vector<std::string> lines;
    for (const Item& item : Read(content)) {
        if (item.traffic) {
            lines.push_back(decoder.Decode(item.entry));
            continue;
        }
        // Each run in a log starts a new session.
        if (item.line.rfind(ECRSessionLog::kHeaderStart, 0) == 0) {
            decoder.Reset();
        }
        lines.push_back(item.line);
    }
    return lines;
}

std::vector<std::string> ECRCapture::SplitRaw(std::string_view bytes)
{
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t end = i + 1;
        if (bytes.substr(i, 2) == kOpener) {
            // To its closer; a frame cut short ends where the next one opens.
            const std::size_t closer = bytes.find(kCloser, i + 2);
            const std::size_t next = bytes.find(kOpener, i + 2);
            end = closer != std::string_view::npos && closer < next ? closer + 2 : std::min(next, bytes.size());
        } else if (IsBusy(bytes[i])) {
            while (end < bytes.size() && IsBusy(bytes[end])) {
                ++end;
            }
        } else if (!IsControl(bytes[i])) {
            while (end < bytes.size() && !IsBusy(bytes[end]) && !IsControl(bytes[end]) &&
                   bytes.substr(end, 2) != kOpener) {
                ++end;
            }
        }
        pieces.emplace_back(bytes.substr(i, end - i));
        i = end;
    }
    return pieces;
}

std::vector<ECRCapture::Item> ECRCapture::ReadMonitorText(const std::vector<std::string_view>& lines)
{
    // Entries are a hex line above a printable line, the newest on top.
    std::vector<Item> items;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        Item item;
        if (!ECRTrafficText::ParseHexLine(lines[i], item.entry.bytes)) {
            const std::string number = std::to_string(i + 1);
            item = PassThrough("line " + number + " is not a hexadecimal line: " + std::string(lines[i]));
        }
        items.push_back(std::move(item));
    }
    std::reverse(items.begin(), items.end());
    return items;
}

std::vector<ECRCapture::Item> ECRCapture::ReadSessionLog(const std::vector<std::string_view>& lines)
{
    std::vector<Item> items;
    for (const std::string_view line : lines) {
        std::string_view decoded;
        Item item;
        std::string tag;
        std::string_view rest;
        if (ECRSessionLog::ParseTrafficLine(line, decoded, item.entry.bytes) &&
            ECRTrafficDecoder::ParsePrefix(decoded, item.entry.ms, tag, rest)) {
            item.entry.direction = DirectionOfTag(tag);
            items.push_back(std::move(item));
        } else if (!line.empty()) {
            items.push_back(PassThrough(line));
        }
    }
    return items;
}
