#include "sim/SimDeviceHandlers.h"

#include "ecr/protocol/DeviceCode.h"
#include "sim/SimLineBlock.h"
#include "sim/SimMemory.h"
#include "sim/SimPrintout.h"

namespace {
constexpr std::size_t kLineWidth = 32;
constexpr std::int64_t kMaxInfoLines = 99;
constexpr std::int64_t kBlock = 128;
constexpr std::int64_t kLogoRowBytes = 45;

bool IsHex(const std::string& text)
{
    return text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}
}  // namespace

std::optional<SimOutcome> SimDeviceHandlers::Handle(const std::string& command, const std::string& body,
                                                    std::int64_t now)
{
    SimFieldReader fields(body);
    if (command == "#i") return WriteAdvert(command, fields);
    if (command == "$i") return ReadAdvert(command);
    if (command == "$y") return ReadOption(command, fields);
    if (command == "#y") return SetOption(command, fields);
    if (command == "#l") return InfoLine(command, fields, now);
    if (command == "#e") return EndInfo(command);
    if (command == "#q") return Display(command, fields);
    if (command == "#n") return LogoRow(command, fields);
    if (command == "#g") return StoreLogo(command, fields);
    if (command == "$q") return ReadMemory(command, fields);
    return std::nullopt;
}

SimOutcome SimDeviceHandlers::WriteAdvert(const std::string& command, SimFieldReader& fields)
{
    return SimLineBlock::Write(command, fields, m_state.advertLines, m_state.advertDouble, kLineWidth, {.badLine = DeviceCode::WrongParameter});
}

SimOutcome SimDeviceHandlers::ReadAdvert(const std::string& command)
{
    return SimLineBlock::Read(command, m_state.advertLines, m_state.advertDouble);
}

SimOutcome SimDeviceHandlers::ReadOption(const std::string& command, SimFieldReader& fields)
{
    const auto selector = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (*selector != 1 && *selector != 2) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    const bool on = *selector == 1 ? m_state.logoEnabled : m_state.advertEnabled;
    return SimOutcome::Accept(command, std::to_string(*selector) + "\x1F" + (on ? "1" : "0"));
}

SimOutcome SimDeviceHandlers::SetOption(const std::string& command, SimFieldReader& fields)
{
    const auto selector = fields.Count();
    const auto on = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if ((*selector != 1 && *selector != 2) || !SimFieldReader::IsFlag(*on)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    (*selector == 1 ? m_state.logoEnabled : m_state.advertEnabled) = *on == 1;
    return SimOutcome::Accept(command);
}

SimOutcome SimDeviceHandlers::InfoLine(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto number = fields.Count();
    const auto text = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (*number < 0 || *number > kMaxInfoLines || !SimFieldReader::Printable(*text, kLineWidth)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    if (!m_state.infoPrintOpen) {
        m_state.infoPrintOpen = true;
        m_state.infoLines.clear();
        SimPrintout::Header(m_journal, m_state, m_state.clock.Seconds(now));
        m_journal.Line("INFO");
    }
    m_state.infoLines.push_back(*text);
    m_journal.Line(*text);
    return SimOutcome::Accept(command);
}

SimOutcome SimDeviceHandlers::EndInfo(const std::string& command)
{
    if (!m_state.infoPrintOpen) {
        return SimOutcome::Accept(command);
    }
    m_state.infoPrintOpen = false;
    SimPrintout::Footer(m_journal, m_state);
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimDeviceHandlers::Display(const std::string& command, SimFieldReader& fields)
{
    const auto mode = fields.Count();
    if (mode && *mode == 2) {
        if (auto bad = SimOutcome::Malformed(command, fields)) {
            return *bad;
        }
        m_state.display = {};
    } else {
        const auto text = fields.Line();
        if (auto bad = SimOutcome::Malformed(command, fields)) {
            return *bad;
        }
        if ((*mode != 0 && *mode != 1) || !SimFieldReader::Printable(*text, kDisplayWidth)) {
            return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
        }
        m_state.display[static_cast<std::size_t>(*mode)] = *text;
    }
    m_journal.Line("[displej] " + m_state.display[0] + " | " + m_state.display[1]);
    return SimOutcome::Accept(command);
}

SimOutcome SimDeviceHandlers::LogoRow(const std::string& command, SimFieldReader& fields)
{
    const auto row = fields.Count();
    const auto hex = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (*row < 0 || *row >= static_cast<std::int64_t>(SimRegisterState::kLogoRows)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongLineNumber);
    }
    if (hex->size() != SimRegisterState::kLogoRowHex) {
        return SimOutcome::Refuse(command, DeviceCode::WrongDataLength);
    }
    if (!IsHex(*hex)) {
        return SimOutcome::Refuse(command, DeviceCode::GraphicsDataOutOfRange);
    }
    m_state.logoRows[static_cast<std::size_t>(*row)] = *hex;
    return SimOutcome::Accept(command);
}

SimOutcome SimDeviceHandlers::StoreLogo(const std::string& command, SimFieldReader& fields)
{
    const auto rows = fields.Count();
    const auto bytesPerRow = fields.Count();
    const auto type = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (*rows < 1 || *rows > static_cast<std::int64_t>(SimRegisterState::kLogoRows)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongLineCount);
    }
    if (*bytesPerRow != kLogoRowBytes) {
        return SimOutcome::Refuse(command, DeviceCode::WrongLineBytes);
    }
    if (*type != 0) {
        return SimOutcome::Refuse(command, DeviceCode::WrongGraphicsType);
    }
    // Rows never sent are blank.
    m_state.storedLogo.assign(static_cast<std::size_t>(*rows), std::string(SimRegisterState::kLogoRowHex, '0'));
    for (std::size_t i = 0; i < m_state.storedLogo.size(); ++i) {
        if (!m_state.logoRows[i].empty()) {
            m_state.storedLogo[i] = m_state.logoRows[i];
        }
    }
    m_journal.Line("[logo " + std::to_string(*rows) + " redova]");
    SimPrintout::LogoArt(m_journal, m_state.storedLogo);
    return SimOutcome::Accept(command);
}

SimOutcome SimDeviceHandlers::ReadMemory(const std::string& command, SimFieldReader& fields)
{
    const auto area = fields.Count();
    if (fields.AtEnd() && area) {
        const auto size = SimMemory::Size(*area);
        if (!size) {
            return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
        }
        return SimOutcome::Accept(command, std::to_string(*area) + "\x1F" + std::to_string(*size));
    }
    const auto count = fields.Count();
    const auto offset = fields.Amount();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    const auto size = SimMemory::Size(*area);
    if (!size || *count < 1 || *count > kBlock || *offset < 0 || *offset >= *size) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    return SimOutcome::Accept(command, std::to_string(*area) + "\x1F" + std::to_string(*offset) + "\t" +
                                           SimMemory::Hex(static_cast<std::int32_t>(*area), *offset, *count));
}
