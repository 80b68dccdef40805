#include "sim/SimPrintout.h"

#include <bitset>

const std::array<const char*, 9>& SimPrintout::RateLetters()
{
    static const std::array<const char*, 9> letters{"A", "G", "D", "Dj", "E", "Z", "I", "J", "K"};
    return letters;
}

namespace {
std::string Spaced(const std::string& text)
{
    std::string wide;
    for (const char c : text) {
        wide.push_back(c);
        wide.push_back(' ');
    }
    if (!wide.empty()) {
        wide.pop_back();
    }
    return wide;
}
}  // namespace

void SimPrintout::Header(SimJournal& journal, const SimRegisterState& state, std::int64_t seconds)
{
    journal.Rule('=');
    for (std::size_t i = 0; i < state.headerLines.size(); ++i) {
        if (!state.headerLines[i].empty()) {
            journal.Line(state.headerDouble[i] ? Spaced(state.headerLines[i]) : state.headerLines[i]);
        }
    }
    if (!state.pib.empty()) {
        journal.Line("PIB: " + state.pib);
    }
    journal.Line(SimJournal::DateTime(seconds));
    journal.Rule();
}

void SimPrintout::RateTotals(SimJournal& journal, const SimRegisterState& state,
                             const std::array<std::int64_t, 9>& perRate)
{
    for (std::size_t i = 0; i < perRate.size(); ++i) {
        if (perRate[i] == 0) {
            continue;
        }
        const std::int64_t rate = state.taxRates[i];
        // Tax included in a gross amount: amount * rate / (100% + rate), rounded.
        const std::int64_t tax = (perRate[i] * rate * 2 + (10000 + rate)) / ((10000 + rate) * 2);
        journal.Columns(std::string("Stopa ") + RateLetters()[i] + " " + SimJournal::Amount(rate) + "%",
                        SimJournal::Amount(perRate[i]));
        journal.Columns("  Porez", SimJournal::Amount(tax));
    }
}

void SimPrintout::LogoArt(SimJournal& journal, const std::vector<std::string>& rows)
{
    for (const std::string& row : rows) {
        std::string art;
        for (const char c : row) {
            const int value = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                            : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 0;
            const std::size_t dots = std::bitset<4>(static_cast<unsigned>(value)).count();
            art.push_back(dots == 0 ? ' ' : dots < 3 ? '+' : '#');
        }
        const std::size_t end = art.find_last_not_of(' ');
        journal.Line(end == std::string::npos ? std::string() : art.substr(0, end + 1));
    }
}

void SimPrintout::Footer(SimJournal& journal, const SimRegisterState& state)
{
    journal.Line(state.fiscalized ? "FISKALNI ISECAK" : "NEFISKALNI ISECAK");
    if (!state.ibfm.empty()) {
        journal.Line(state.ibfm);
    }
    journal.Rule('=');
}
