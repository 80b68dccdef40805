#pragma once

#include "sim/SimJournal.h"
#include "sim/SimOutcome.h"
#include "sim/SimRegisterState.h"

#include <cstdint>
#include <optional>
#include <string>

// Advertising text, print-option switches, info print, customer display,
// logo upload and memory reads.
class SimDeviceHandlers {
public:
    static constexpr std::size_t kDisplayWidth = 20;

    SimDeviceHandlers(SimRegisterState& state, SimJournal& journal) : m_state(state), m_journal(journal) {}

    std::optional<SimOutcome> Handle(const std::string& command, const std::string& body, std::int64_t now);

private:
    SimOutcome WriteAdvert(const std::string& command, SimFieldReader& fields);
    SimOutcome ReadAdvert(const std::string& command);
    SimOutcome ReadOption(const std::string& command, SimFieldReader& fields);
    SimOutcome SetOption(const std::string& command, SimFieldReader& fields);
    SimOutcome InfoLine(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome EndInfo(const std::string& command);
    SimOutcome Display(const std::string& command, SimFieldReader& fields);
    SimOutcome LogoRow(const std::string& command, SimFieldReader& fields);
    SimOutcome StoreLogo(const std::string& command, SimFieldReader& fields);
    SimOutcome ReadMemory(const std::string& command, SimFieldReader& fields);

    SimRegisterState& m_state;
    SimJournal& m_journal;
};
