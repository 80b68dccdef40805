#include "ecr/files/FaultText.h"

#include "ecr/commands/ScaledAmount.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

using Kind = FileFault::Kind;
using Rule = ECRArticleRules::Fault::Rule;
using Language = FaultText::Language;

// Everything a language says. The sentences are patterns with named gaps
// ("{file}"), filled once, so a path that holds braces stays as it is.
struct Phrases {
    std::array<const char*, 16> kinds;  // by FileFault::Kind; the line kinds give only what is wrong
    const char* atLine;
    const char* atField;
    std::array<const char*, 5> nodes;   // by FileFault::Node
    std::array<const char*, 4> fields;  // by ECRArticleRules::Fault::Field
    std::array<const char*, 5> rules;   // by ECRArticleRules::Fault::Rule
    std::array<const char*, 3> texts;   // by TextFault::Kind
    std::string (*reason)(int systemError);
};

std::string EnglishReason(int systemError)
{
    return std::strerror(systemError);
}

std::string SerbianReason(int systemError)
{
    switch (systemError) {
    case ENOENT: return "ne postoji";
    case EACCES:
    case EPERM: return "nema dozvole";
    case ENOSPC: return "nema mesta na disku";
#ifdef EDQUOT
    case EDQUOT: return "prekoracena kvota na disku";
#endif
    case EROFS: return "disk je samo za citanje";
    case ENOTDIR: return "deo putanje nije folder";
    case EISDIR: return "to je folder";
    case EFBIG: return "fajl bi bio prevelik";
    case EIO: return "greska uredjaja";
    case ENAMETOOLONG: return "ime je predugacko";
#ifdef ELOOP
    case ELOOP: return "previse simbolickih veza";
#endif
    case EEXIST: return "vec postoji";
    case EMFILE:
    case ENFILE: return "previse otvorenih fajlova";
    case EBUSY: return "zauzeto";
    default: return "sistemska greska " + std::to_string(systemError);
    }
}

const Phrases kEnglish{
    {
        "no file name given",
        "{file}: cannot be opened{reason}",
        "{file}: not a file ({node})",
        "{file}: cannot be read{reason}",
        "{file}: larger than {limit} bytes",
        "{file}: a symbolic link to a file that does not exist; not writing through it",
        "{file}: not a file ({node}); nothing written",
        "{file}: changed while it was opened; nothing written",
        "{file}: cannot be written{reason}",
        "{file}: replaced, but its folder could not be synced{reason}",
        "{file}: {count} articles, more than the register holds ({limit})",
        "longer than {limit} bytes",
        "holds a zero byte, which no text has",
        "{text}",
        "{article}",
        "no comma: expected name,price,tax,unit",
    },
    "{file}, line {line}: {what}",
    "{file}, line {line}, {field}: {what}",
    {"a directory", "a FIFO", "a socket", "a device", "a block device"},
    {"name", "price", "tax rate", "unit"},
    {
        "empty",
        "{count} characters, the register takes at most {limit}",
        "holds {text}",
        "holds a backslash at character {count}, which the register refuses",
        "outside {low}..{limit}",
    },
    {
        "not valid UTF-8 at byte {position}",
        "{character} at character {position} has no {codepage} form",
        "the control byte {byte} at character {position}",
    },
    EnglishReason,
};

const Phrases kSerbian{
    {
        "Problem pri otvaranju fajla: nije dato ime fajla",
        "Problem pri otvaranju fajla: {file}{reason}",
        "Problem pri otvaranju fajla: {file} (nije fajl nego {node})",
        "Problem pri citanju fajla: {file}{reason}",
        "Fajl {file} je veci od {limit} bajtova",
        "Problem pri upisu u fajl: {file} (simbolicka veza ka fajlu koji ne postoji); nista nije upisano",
        "Problem pri upisu u fajl: {file} (nije fajl nego {node}); nista nije upisano",
        "Problem pri upisu u fajl: {file} (promenjen dok je otvaran); nista nije upisano",
        "Problem pri upisu u fajl: {file}{reason}",
        "Fajl {file} je zamenjen, ali upis njegovog foldera nije potvrdjen{reason}",
        "Fajl {file}: {count} artikala, a kasa prima najvise {limit}",
        "duzi od {limit} bajtova",
        "nulti bajt, koji nijedan tekst nema",
        "{text}",
        "{article}",
        "nema zareza: ocekuje se naziv,cena,stopa,jedinica",
    },
    "Fajl {file}, red {line}: {what}",
    "Fajl {file}, red {line}, {field}: {what}",
    {"folder", "FIFO", "soket", "uredjaj", "blok uredjaj"},
    {"naziv", "cena", "poreska stopa", "jedinica mere"},
    {
        "prazan",
        "{count} znakova, kasa prima najvise {limit}",
        "{text}",
        "obrnuta kosa crta na mestu {count}, koju kasa ne prima",
        "van opsega {low}..{limit}",
    },
    {
        "nije ispravan UTF-8 na bajtu {position}",
        "znak {character} na mestu {position} ne postoji u kodnoj strani {codepage}",
        "kontrolni znak {byte} na mestu {position}",
    },
    SerbianReason,
};

static_assert(static_cast<std::size_t>(Kind::NoComma) + 1 == std::tuple_size_v<decltype(Phrases::kinds)>);
static_assert(static_cast<std::size_t>(Rule::OutOfRange) + 1 == std::tuple_size_v<decltype(Phrases::rules)>);

const Phrases& PhrasesOf(Language language)
{
    return language == Language::Serbian ? kSerbian : kEnglish;
}

template <class Enum, std::size_t N>
const char* Pick(const std::array<const char*, N>& table, Enum value)
{
    return table.at(static_cast<std::size_t>(value));
}

using Gaps = std::initializer_list<std::pair<std::string_view, std::string>>;

std::string Fill(std::string_view pattern, Gaps gaps)
{
    std::string text;
    while (!pattern.empty()) {
        const std::size_t open = pattern.find('{');
        const std::size_t close = pattern.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            text += pattern;
            break;
        }
        text += pattern.substr(0, open);
        const std::string_view name = pattern.substr(open + 1, close - open - 1);
        for (const auto& gap : gaps) {
            if (gap.first == name) {
                text += gap.second;
                break;
            }
        }
        pattern.remove_prefix(close + 1);
    }
    return text;
}

std::string Amount(std::int64_t value, int decimals)
{
    return decimals == 0 ? std::to_string(value) : FormatScaled(value, decimals).Data();
}

}  // namespace

std::string FaultText::Describe(const TextFault& fault, Language language)
{
    return Fill(Pick(PhrasesOf(language).texts, fault.kind),
                {{"position", std::to_string(fault.position)},
                 {"character", fault.CharacterText()},
                 {"codepage", ECRCodePage::Name(fault.codePage)},
                 {"byte", fault.ControlByteText()}});
}

std::string FaultText::Describe(const ECRArticleRules::Fault& fault, Language language)
{
    return Fill(Pick(PhrasesOf(language).rules, fault.rule),
                {{"count", std::to_string(fault.count)},
                 {"low", Amount(fault.low, fault.decimals)},
                 {"limit", Amount(fault.limit, fault.decimals)},
                 {"text", fault.rule == Rule::ControlByte ? Describe(fault.text, language) : std::string()}});
}

std::string FaultText::FieldName(ECRArticleRules::Fault::Field field, Language language)
{
    return Pick(PhrasesOf(language).fields, field);
}

std::string FaultText::Describe(const FileFault& fault, Language language)
{
    const Phrases& phrases = PhrasesOf(language);
    const std::string what =
        Fill(Pick(phrases.kinds, fault.kind),
             {{"file", fault.file},
              {"reason", fault.systemError != 0 ? " (" + phrases.reason(fault.systemError) + ")" : std::string()},
              {"node", Pick(phrases.nodes, fault.node)},
              {"count", std::to_string(fault.count)},
              {"limit", std::to_string(fault.limit)},
              {"text", fault.kind == Kind::Text ? Describe(fault.text, language) : std::string()},
              {"article", fault.kind == Kind::Article ? Describe(fault.article, language) : std::string()}});
    switch (fault.kind) {
    case Kind::LineTooLong:
    case Kind::ZeroByte:
    case Kind::Text:
    case Kind::NoComma:
        return Fill(phrases.atLine, {{"file", fault.file}, {"line", std::to_string(fault.line)}, {"what", what}});
    case Kind::Article:
        return Fill(phrases.atField, {{"file", fault.file},
                                      {"line", std::to_string(fault.line)},
                                      {"field", Pick(phrases.fields, fault.article.field)},
                                      {"what", what}});
    default:
        return what;
    }
}
