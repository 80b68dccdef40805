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
    if (!std::all_of(content.begin(), content.end(), IsTextByte)) {
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
        lines.push_back(DecodeItem(decoder, item));
    }
    return lines;
}

std::string ECRCapture::DecodeItem(ECRTrafficDecoder& decoder, const Item& item)
{
    if (item.traffic) {
        return decoder.Decode(item.entry);
    }
    // Each run in a log starts a new session.
    if (item.line.rfind(ECRSessionLog::kHeaderStart, 0) == 0) {
        decoder.Reset();
    }
    return item.line;
}

std::vector<std::string> ECRCapture::SplitRaw(std::string_view bytes)
{
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t end = RawPieceEnd(bytes, i, true);
        pieces.emplace_back(bytes.substr(i, end - i));
        i = end;
    }
    return pieces;
}

std::size_t ECRCapture::RawPieceEnd(std::string_view bytes, std::size_t start, bool complete)
{
    constexpr std::size_t npos = std::string_view::npos;
    // Nothing past the longest piece is looked at, so that a long run of
    // garbage costs each of its pieces the same.
    const std::string_view seen = bytes.substr(0, std::min(bytes.size(), start + kMaxRawPiece + 2));
    const std::size_t size = seen.size();
    const bool atEnd = complete && size == bytes.size();
    const bool frame = seen.substr(start, 2) == kOpener;
    std::size_t end = start + 1;
    if (frame) {
        // To its closer; a frame cut short ends where the next one opens.
        const std::size_t next = seen.find(kOpener, start + 2);
        const std::size_t closer = seen.substr(0, next).find(kCloser, start + 2);
        end = closer != npos ? closer + 2 : next != npos || atEnd ? std::min(next, size) : npos;
    } else if (IsBusy(seen[start])) {
        while (end < size && IsBusy(seen[end])) {
            ++end;
        }
    } else if (!IsControl(seen[start])) {
        while (end < size && !IsBusy(seen[end]) && !IsControl(seen[end]) && seen.substr(end, 2) != kOpener) {
            ++end;
        }
    }
    // A run that reaches the end of what is there may go on in what follows
    // (a lone ESC there may open a frame).
    if (end == size && !atEnd && !frame && !IsControl(seen[start])) {
        end = npos;
    }
    if (end == npos ? bytes.size() - start >= kMaxRawPiece : end - start > kMaxRawPiece) {
        return start + kMaxRawPiece;
    }
    return end;
}

bool ECRCapture::IsTextByte(char byte)
{
    return (byte >= 0x20 && byte <= 0x7E) || byte == '\r' || byte == '\n';
}

bool ECRCapture::IsHexLine(std::string_view line)
{
    std::string bytes;
    return !line.empty() && ECRTrafficText::ParseHexLine(line, bytes);
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
        Item item;
        if (ReadLogLine(line, item)) {
            items.push_back(std::move(item));
        }
    }
    return items;
}

bool ECRCapture::ReadLogLine(std::string_view line, Item& item)
{
    std::string_view decoded;
    std::string tag;
    std::string_view rest;
    if (ECRSessionLog::ParseTrafficLine(line, decoded, item.entry.bytes) &&
        ECRTrafficDecoder::ParsePrefix(decoded, item.entry.ms, tag, rest)) {
        item.traffic = true;
        item.entry.direction = DirectionOfTag(tag);
        return true;
    }
    if (line.empty()) {
        return false;
    }
    item = PassThrough(line);
    return true;
}
