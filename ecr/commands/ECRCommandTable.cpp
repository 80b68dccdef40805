#include "ecr/commands/ECRCommandTable.h"

#include "ecr/protocol/ECRFrame.h"

namespace {

using Format = ECRCommandTable::Format;
using Layout = ECRCommandTable::Layout;

constexpr char US = ECRFrame::US;
constexpr char LF = ECRFrame::LF;
constexpr char HT = ECRFrame::HT;
constexpr char REST = 0;

const Layout kNone{};

// The register's rates, prices and totals are kept per tax rate letter.
const Layout kTaxRates{{"", Format::Rate, HT, 9}};

Layout LinesWithFlags(int count)
{
    return {{"line", Format::Text, LF, count}, {"flag", Format::Int, US, count}};
}

std::vector<ECRCommandTable::Command> MakeTable()
{
    return {
        {"$v", "citanje poreskih stopa", {kNone}, {kTaxRates}},
        {"#v", "zapis poreskih stopa", {{{"now", Format::DateTime, US}, {"", Format::Rate, HT, 9}}}, {}},
        {"$c", "citanje sata", {kNone}, {{{"clock", Format::DateTime, US}}}},
        {"#c", "podesavanje sata", {{{"time", Format::DateTime, US}}}, {}},
        {"#t", "pomeranje sata", {{{"direction", Format::Int, US}}}, {}},
        {"#z", "dnevni izvestaj", {{{"now", Format::DateTime, US}}}, {}},
        {"#o",
         "periodicni izvestaj",
         {{{"fiscal", Format::Int, US}, {"from", Format::Date, US}, {"to", Format::Date, US}}},
         {}},
        {"#w", "presek stanja", {kNone}, {}},
        {"#u", "zapis IBFM", {{{"ibfm", Format::Text, LF}}}, {}},
        {"#k", "fiskalizacija", {{{"now", Format::DateTime, US}, {"pib", Format::Text, LF}}}, {}},
        {"#h", "zapis zaglavlja", {LinesWithFlags(5)}, {}},
        {"$h", "citanje zaglavlja", {kNone}, {LinesWithFlags(5)}},
        {"$t",
         "citanje totalizera",
         {kNone},
         {{{"", Format::Text, HT, 9},
           {"fiscalTotal", Format::Text, HT},
           {"fiscalToday", Format::Text, HT},
           {"nonFiscalTotal", Format::Text, HT},
           {"nonFiscalToday", Format::Text, HT}}}},
        {"%a", "brisanje svih artikala", {kNone}, {}},
        {"#d", "brisanje artikla", {{{"name", Format::Text, LF}}}, {}},
        {"#r",
         "zapis artikla",
         {{{"name", Format::Text, LF},
           {"price", Format::Price, HT},
           {"taxRate", Format::Int, US},
           {"unit", Format::Int, US}}},
         {}},
        {"$o",
         "citanje artikla",
         {{{"name", Format::Text, LF}, {"mode", Format::Int, US}}},
         {{{"name", Format::Text, LF},
           {"price", Format::Price, HT},
           {"taxRate", Format::Int, US},
           {"unit", Format::Int, US},
           {"value1", Format::Int, HT},
           {"value2", Format::Int, HT}}}},
        {"*t",
         "pocetak transakcije",
         {{{"registerNumber", Format::Text, LF}, {"cashier", Format::Text, LF}}},
         {}},
        {"*l",
         "prodaja artikla",
         {{{"name", Format::Text, LF},
           {"price", Format::Price, HT},
           {"quantity", Format::Quantity, HT},
           {"taxRate", Format::Int, US},
           {"unit", Format::Int, US}}},
         {}},
        {"*s",
         "storno",
         {{{"name", Format::Text, LF}, {"price", Format::Price, HT}, {"quantity", Format::Quantity, HT}}},
         {}},
        {"*u", "medjuzbir", {kNone}, {{{"subtotal", Format::Price, REST}}}},
        {"*e",
         "placanje",
         {{{"cash", Format::Price, HT}, {"cheque", Format::Price, HT}, {"card", Format::Price, HT}}},
         {}},
        {"*x", "ponistavanje transakcije", {kNone}, {}},
        {"#i", "zapis reklamnog teksta", {LinesWithFlags(7)}, {}},
        {"$i", "citanje reklamnog teksta", {kNone}, {LinesWithFlags(7)}},
        {"$y",
         "citanje opcije stampe",
         {{{"selector", Format::Int, US}}},
         {{{"selector", Format::Int, US}, {"on", Format::Int, REST}}}},
        {"#y", "podesavanje opcije stampe", {{{"selector", Format::Int, US}, {"on", Format::Int, US}}}, {}},
        {"#l", "info linija", {{{"number", Format::Int, US}, {"text", Format::Text, LF}}}, {}},
        {"#e", "kraj info stampe", {kNone}, {}},
        // "2" alone clears the display; "0" or "1" is followed by that line's text.
        {"#q", "tekst na displeju", {{{"line", Format::Int, US}, {"text", Format::Text, LF, 1, true}}}, {}},
        {"#n", "red logotipa", {{{"row", Format::Int, US}, {"hex", Format::Text, LF}}}, {}},
        {"#g",
         "cuvanje logotipa",
         {{{"rowCount", Format::Int, US}, {"rowBytes", Format::Int, US}, {"reserved", Format::Int, US}}},
         {}},
        // The area alone asks for its size; with a count and an offset, for a block.
        {"$q",
         "citanje memorije",
         {{{"area", Format::Int, US}, {"count", Format::Int, US, 1, true}, {"offset", Format::Int, HT}}},
         {{{"area", Format::Int, US}, {"size", Format::Int, REST}},
          {{"area", Format::Int, US}, {"offset", Format::Int, HT}, {"hex", Format::Text, REST}}}},
    };
}

}  // namespace

const std::vector<ECRCommandTable::Command>& ECRCommandTable::All()
{
    static const std::vector<Command> table = MakeTable();
    return table;
}

const ECRCommandTable::Command* ECRCommandTable::Find(std::string_view code)
{
    for (const Command& command : All()) {
        if (code == command.code) {
            return &command;
        }
    }
    return nullptr;
}

const char* ECRCommandTable::RateName(int index)
{
    static const char* const names[9] = {"A", "G", "D", "Dj", "E", "Z", "I", "J", "K"};
    return index >= 0 && index < 9 ? names[index] : "?";
}
