#include "ecr/commands/ECRTrafficDecoder.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ECRFieldReader.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

using Layout = ECRCommandTable::Layout;

constexpr std::size_t kTagWidth = 9;
constexpr std::string_view kOpener("\x1B" "P", 2);
constexpr std::string_view kException = "Exception";

unsigned char Byte(std::string_view bytes, std::size_t index)
{
    return static_cast<unsigned char>(bytes[index]);
}

std::string Hex(std::string_view bytes)
{
    return ECRTrafficText::HexLine(bytes);
}

std::string HexByte(unsigned char byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

bool IsRequestClass(char c)
{
    return c == '#' || c == '$' || c == '*' || c == '%';
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the engine's reply check accepts the reply for the command.
bool Answers(std::string_view command, std::string_view reply)
{
    if (command.size() < 2 || reply.size() < 2) {
        return false;
    }
    if (reply[0] == '#' && reply[1] == 'Z') {
        return reply.size() > 2 && (reply[2] == command[0] || reply[2] == command[1]);
    }
    if ((reply[0] == '#' || reply[0] == '*') && reply[1] == command[1]) {
        return true;
    }
    return (reply[0] == '$' || reply[0] == '%' || reply[0] == '*') && reply[1] == Upper(command[1]);
}

std::string CommandName(const ECRCommandTable::Command* command)
{
    return command != nullptr ? std::string(" ") + command->name : std::string(" (unknown command)");
}

std::string DeviceCode(std::int32_t code)
{
    return "  code=" + std::to_string(code) + " " + ECRCodePage::ToUtf8(DeviceMessageText(code));
}

std::string Unparsable(const std::string& reason, std::string_view bytes)
{
    return "unparsable: " + reason + ": " + Hex(bytes);
}

std::string StatusByte(unsigned char byte)
{
    const std::string hex = HexByte(byte);
    if (ECRFrame::IsBusyStatus(byte)) {
        return "status " + hex + " busy";
    }
    switch (byte) {
    case static_cast<unsigned char>(ECRFrame::ACK):
        return "status 06 ready";
    case static_cast<unsigned char>(ECRFrame::NAK):
        return "NAK";
    case static_cast<unsigned char>(ECRFrame::ENQ):
        return "ENQ";
    case static_cast<unsigned char>(ECRFrame::ESC):
        return "status 1B: ESC, a reply frame begins";
    default:
        return "status " + hex + " not busy";
    }
}

}  // namespace

std::string ECRTrafficDecoder::Decode(const ECRTrafficEntry& entry)
{
    const std::string_view bytes = entry.bytes;
    ECRTrafficDirection direction = entry.direction;
    try {
        if (direction == ECRTrafficDirection::Unknown) {
            direction = Classify(bytes);
        }
        const bool escRead = m_escRead;
        m_escRead = false;
        std::string text;
        switch (direction) {
        case ECRTrafficDirection::Note:
            text = bytes == kException ? std::string("reply did not answer its command (Exception)")
                                       : ECRFieldReader::ShowText(bytes);
            break;
        case ECRTrafficDirection::ToRegister:
            text = Outgoing(bytes);
            break;
        case ECRTrafficDirection::FromRegister:
            if (escRead && !bytes.empty() && bytes[0] == kOpener[1]) {
                // The frame's ESC came as the answer to ENQ; its rest is this read.
                text = Frame("\x1B" + std::string(bytes), false) + "  (ESC read as the status byte)";
            } else {
                text = Incoming(bytes);
                m_escRead = bytes.size() == 1 && bytes[0] == ECRFrame::ESC;
            }
            break;
        case ECRTrafficDirection::Unknown:
            text = Unparsable("bytes outside a frame", bytes);
            break;
        }
        return Prefix(entry.ms, Tag(direction)) + text;
    } catch (const std::exception& failure) {
        // Nothing above should throw but memory; the line still comes.
        return Prefix(entry.ms, Tag(direction)) + Unparsable(failure.what(), bytes);
    }
}

void ECRTrafficDecoder::Reset()
{
    m_pending.clear();
    m_escRead = false;
}

std::string ECRTrafficDecoder::Prefix(std::int64_t ms, std::string_view tag)
{
    std::string prefix;
    if (ms >= 0) {
        char time[32];
        std::snprintf(time, sizeof time, "%8" PRId64 " ms  ", ms);
        prefix = time;
    }
    prefix += tag;
    if (tag.size() < kTagWidth) {
        prefix.append(kTagWidth - tag.size(), ' ');
    }
    return prefix + "  ";
}

bool ECRTrafficDecoder::ParsePrefix(std::string_view line, std::int64_t& ms, std::string& tag, std::string_view& rest)
{
    ms = -1;
    const std::size_t i = line.find_first_not_of(' ');
    if (i != std::string_view::npos && line[i] >= '0' && line[i] <= '9') {
        const std::size_t end = line.find(" ms  ", i);
        if (end == std::string_view::npos || end - i > 18) {
            return false;
        }
        std::int64_t value = 0;
        for (const char c : line.substr(i, end - i)) {
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + (c - '0');
        }
        ms = value;
        line = line.substr(end + 5);
    }
    for (const std::string_view known :
         {kToRegisterTag, kFromRegisterTag, kNoteTag, kUnknownTag, kMessageTag}) {
        const std::size_t width = std::max(known.size(), kTagWidth) + 2;
        if (line.size() >= width && line.substr(0, known.size()) == known &&
            line.find_first_not_of(' ', known.size()) >= width) {
            tag = known;
            rest = line.substr(width);
            return true;
        }
    }
    return false;
}

std::string_view ECRTrafficDecoder::Tag(ECRTrafficDirection direction)
{
    switch (direction) {
    case ECRTrafficDirection::ToRegister:
        return kToRegisterTag;
    case ECRTrafficDirection::FromRegister:
        return kFromRegisterTag;
    case ECRTrafficDirection::Note:
        return kNoteTag;
    default:
        return kUnknownTag;
    }
}

ECRTrafficDirection ECRTrafficDecoder::EngineDirection(std::string_view text)
{
    return text == kException ? ECRTrafficDirection::Note : ECRTrafficDirection::ToRegister;
}

ECRTrafficDirection ECRTrafficDecoder::Classify(std::string_view bytes) const
{
    if (bytes == kException) {
        return ECRTrafficDirection::Note;
    }
    if (bytes.empty()) {
        return ECRTrafficDirection::FromRegister;
    }
    if (bytes.size() == 1) {
        const char byte = bytes[0];
        return byte == ECRFrame::ENQ || byte == ECRFrame::NAK ? ECRTrafficDirection::ToRegister
                                                              : ECRTrafficDirection::FromRegister;
    }
    if (m_escRead && bytes[0] == kOpener[1]) {
        return ECRTrafficDirection::FromRegister;
    }
    if (bytes.substr(0, 2) == kOpener) {
        const std::size_t end = bytes.size() >= 6 ? bytes.size() - 4 : bytes.size();
        return LooksLikeReply(bytes.substr(2, end - 2)) ? ECRTrafficDirection::FromRegister
                                                        : ECRTrafficDirection::ToRegister;
    }
    // Busy status bytes, alone or in front of a frame, and stray bytes in
    // front of a frame come only from the register.
    if (bytes.find(kOpener) != std::string_view::npos ||
        ECRFrame::LeadingBusyBytes(bytes) == bytes.size()) {
        return ECRTrafficDirection::FromRegister;
    }
    // The engine reports its requests before framing them.
    if (IsRequestClass(bytes[0]) && ECRCommandTable::Find(bytes.substr(0, 2)) != nullptr) {
        return ECRTrafficDirection::ToRegister;
    }
    return ECRTrafficDirection::Unknown;
}

bool ECRTrafficDecoder::LooksLikeReply(std::string_view payload) const
{
    if (payload.size() < 2) {
        return true;
    }
    if (payload[0] == '#' && payload[1] == 'Z') {
        return true;
    }
    const ECRCommandTable::Command* command = ECRCommandTable::Find(payload.substr(0, 2));
    if (!m_pending.empty() && Answers(m_pending, payload)) {
        // An echo reply looks like a request of the same command; a request
        // would carry that command's fields.
        if (command == nullptr || command->request.front().empty()) {
            return true;
        }
        for (const Layout& layout : command->request) {
            ECRFieldReader reader(payload.substr(2));
            if (reader.Read(layout)) {
                return false;
            }
        }
        return true;
    }
    // Requests carry lower-case letters; "$" and "%" replies the upper-case one.
    return command == nullptr;
}

std::string ECRTrafficDecoder::Outgoing(std::string_view bytes)
{
    if (bytes.empty()) {
        return "empty request";
    }
    if (bytes.size() == 1) {
        switch (bytes[0]) {
        case ECRFrame::ENQ:
            return "ENQ status poll";
        case ECRFrame::ACK:
            return "ACK";
        case ECRFrame::NAK:
            return "NAK";
        default:
            break;
        }
    }
    if (bytes.substr(0, 2) == kOpener) {
        return Frame(bytes, true);
    }
    const ECRString checksum = ECRFrame::Checksum(ECRString(std::string(bytes).c_str()));
    return Request(bytes) + "  cs=" + checksum.Data();
}

std::string ECRTrafficDecoder::Incoming(std::string_view bytes)
{
    if (bytes.empty()) {
        return "empty read";
    }
    const std::size_t busy = ECRFrame::LeadingBusyBytes(bytes);
    if (busy == bytes.size()) {
        const std::string hex = Hex(bytes);
        return "status " + hex.substr(0, hex.size() - 1) + " busy" + (busy > 1 ? " x" + std::to_string(busy) : "");
    }
    std::string before = busy > 0 ? "after " + std::to_string(busy) + " busy status bytes: " : "";
    const std::string_view rest = bytes.substr(busy);
    const std::size_t opener = rest.find(kOpener);
    if (opener == std::string_view::npos) {
        if (rest.size() == 1) {
            return before + StatusByte(Byte(rest, 0));
        }
        return before + Unparsable("no frame in the bytes read", rest);
    }
    if (opener > 0) {
        before += std::to_string(opener) + " stray bytes before the frame (" + Hex(rest.substr(0, opener)) + "): ";
    }
    return before + Frame(rest.substr(opener), false);
}

std::string ECRTrafficDecoder::Frame(std::string_view frame, bool request)
{
    const std::size_t n = frame.size();
    if (frame.back() != ECRFrame::CLOSER) {
        ++m_failedFrames;
        return Unparsable("truncated frame, no ESC \\ at its end", frame);
    }
    if (n < 6) {
        ++m_failedFrames;
        return Unparsable("frame too short for a checksum", frame);
    }
    const std::string_view payload = frame.substr(2, n - 6);
    const std::string_view digits = frame.substr(n - 4, 2);
    const ECRString expected = ECRFrame::Checksum(ECRString(std::string(payload).c_str()));
    const bool checksumGood = digits == expected.Data();
    std::string checksum = "  cs=" + ECRFieldReader::ShowText(digits, false);
    checksum += checksumGood ? " ok" : std::string(" bad, expected ") + expected.Data();
    if (frame[n - 2] != ECRFrame::ESC) {
        checksum += " (closed by " + Hex(frame.substr(n - 2)) + " instead of ESC \\)";
    }
    if (payload.find('\0') != std::string_view::npos) {
        ++m_failedFrames;
        return Unparsable("zero byte inside the frame", frame);
    }
    // Counted once: for its frame, or else for what its reply says.
    const bool framed = checksumGood && frame[n - 2] == ECRFrame::ESC;
    if (!framed) {
        ++m_failedFrames;
    }
    if (request) {
        return Request(payload) + checksum;
    }
    // The reply's fields first, then its checksum and its device code. The
    // engine takes no reply with a bad checksum: success is then not implied,
    // though a refusal's own code is still shown.
    const ReplyText reply = Reply(payload);
    if (framed && reply.failed) {
        ++m_failedFrames;
    }
    return reply.body + checksum + (checksumGood || reply.refusal ? reply.code : std::string());
}

std::string ECRTrafficDecoder::Request(std::string_view payload)
{
    if (payload.size() < 2) {
        return Unparsable("request shorter than its command code", payload);
    }
    const std::string code(payload.substr(0, 2));
    const ECRCommandTable::Command* command = ECRCommandTable::Find(code);
    m_pending = code;
    if (command == nullptr) {
        return ECRFieldReader::ShowText(code) + CommandName(command) + ": data " + Hex(payload.substr(2));
    }
    return code + CommandName(command) + ECRFieldReader::Describe(command->request, payload.substr(2));
}

ECRTrafficDecoder::ReplyText ECRTrafficDecoder::Reply(std::string_view payload)
{
    if (payload.size() < 2) {
        return {Unparsable("reply shorter than its class and letter", payload), "", false, true};
    }
    if (!IsRequestClass(payload[0])) {
        return {Unparsable("reply class " + HexByte(Byte(payload, 0)) + " is none of # $ * %", payload), "", false,
                true};
    }
    const bool answers = !m_pending.empty() && Answers(m_pending, payload);
    const std::string pending = m_pending;
    if (answers) {
        m_pending.clear();
    }
    const std::string mismatch =
        !answers && !pending.empty() ? "  (does not answer " + ECRFieldReader::ShowText(pending, false) + ")" : "";
    const std::string head = ECRFieldReader::ShowText(payload.substr(0, 2), false);

    if (payload[1] == 'Z' && payload[0] == '#') {
        const ECRCommandTable::Command* command = answers ? ECRCommandTable::Find(pending) : nullptr;
        const std::string name = command != nullptr ? std::string(" ") + command->name : " device error";
        const std::size_t lf = payload.find(ECRFrame::LF, 2);
        const std::size_t start = lf == std::string_view::npos ? payload.size() : lf + 1;
        const std::string_view code = payload.substr(start, payload.find(ECRFrame::US, start) - start);
        std::int64_t value = 0;
        if (!ECRFieldReader::ParseInt(code, value)) {
            return {head + name + mismatch + " [unparsable: no device code after LF; data " + Hex(payload.substr(2)) +
                        "]",
                    "", false, true};
        }
        return {head + name + mismatch, DeviceCode(static_cast<std::int32_t>(value)), true, !mismatch.empty()};
    }

    const ECRCommandTable::Command* command =
        answers ? ECRCommandTable::Find(pending) : ECRCommandTable::Find(std::string{payload[0], Lower(payload[1])});
    const std::vector<Layout> none;
    const std::string fields = ECRFieldReader::Describe(command != nullptr ? command->reply : none, payload.substr(2));
    // A reply the engine rejects reports no code.
    return {head + CommandName(command) + fields + mismatch, mismatch.empty() ? DeviceCode(0) : std::string(), false,
            !mismatch.empty()};
}
