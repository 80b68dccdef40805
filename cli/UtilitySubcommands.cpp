#include "cli/UtilitySubcommands.h"

#include "cli/CliArgs.h"
#include "cli/CliSession.h"
#include "cli/RawPayload.h"
#include "ecr/files/SafeFileWrite.h"
#include "ecr/protocol/ECRStatusByte.h"
#include "ecr/protocol/ECRTrafficText.h"
#include "graphics/BuildLogoRows.h"
#include "graphics/LogoUpload.h"
#include "graphics/PictureFile.h"

#include <array>
#include <cstdio>
#include <map>

namespace {

// The memory areas by number or by the memory read dialog's names.
int MemoryArea(const std::string& text)
{
    static const std::map<std::string, int> names{{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3},
                                                  {"program", 0}, {"protected", 1}, {"fiscal", 2},
                                                  {"application", 3}};
    std::string lower;
    for (const char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = names.find(lower);
    if (found == names.end())
        throw CliFailure(CliFailure::kUsage, "AREA is 0..3 or program, protected, fiscal, application");
    return found->second;
}

void ShowSwitch(CliSession& s, const char* key, bool on)
{
    s.Output().Line(on ? "on" : "off");
    s.Output().Result().Set(key, on);
}

}  // namespace

void UtilitySubcommands::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* status = app.add_subcommand(
        "status",
        "Log on only and print the status byte and what it says: ready (0x06), busy (both top bits set), "
        "or not a status byte the register sends");
    OnChosen(status, chosen, [](CliSession& s) {
        const int byte = s.Status() & 0xFF;
        const ECRStatusByte::Meaning meaning = ECRStatusByte::Of(static_cast<unsigned char>(byte));
        char text[16];
        std::snprintf(text, sizeof text, "0x%02X", byte);
        s.Output().Line(std::string(text) + " " + ECRStatusByte::Describe(meaning));
        s.Output().Result().Set("status", byte);
        s.Output().Result().Set("meaning", ECRStatusByte::Name(meaning));
    });

    RegisterAdvert(app, chosen);
    RegisterLogo(app, chosen);
    RegisterDevice(app, chosen);
}

void UtilitySubcommands::RegisterAdvert(CLI::App& app, CliAction& chosen)
{
    CLI::App* advert = app.add_subcommand("advert", "Advertising text: read, write, switch");
    advert->require_subcommand(0, 1);
    OnChosen(advert, chosen, [](CliSession& s) {
        std::array<ECRString, 7> lines;
        std::array<bool, 7> doubleSize{};
        s.Checked([&] { s.Device().ReadAdvertText(lines, doubleSize); });
        const bool enabled = s.Checked([&] { return s.Device().ReadAdvertEnabled(); });
        CliPrintedLines<7>::Show(s.Output(), lines, doubleSize);
        s.Output().Line(std::string("printing ") + (enabled ? "on" : "off"));
        s.Output().Result().Set("enabled", enabled);
    });

    CLI::App* set = advert->add_subcommand("set", "Write the advertising lines L1..L7");
    m_advert.AddOptions(set, "seven lines (\"\" for an empty one)");
    OnChosen(
        set, chosen,
        [this](CliSession& s) {
            const auto lines = m_advert.Lines();
            const auto flags = m_advert.DoubleFlags();
            s.Checked([&] { s.Device().WriteAdvertText(lines, flags); });
        },
        [this] { m_advert.Check(); });

    OnChosen(advert->add_subcommand("on", "Print the advertising text"), chosen,
             [](CliSession& s) { s.Checked([&] { s.Device().SetAdvertEnabled(true); }); });
    OnChosen(advert->add_subcommand("off", "Do not print the advertising text"), chosen,
             [](CliSession& s) { s.Checked([&] { s.Device().SetAdvertEnabled(false); }); });
}

void UtilitySubcommands::RegisterLogo(CLI::App& app, CliAction& chosen)
{
    CLI::App* logo = app.add_subcommand("logo", "The receipt logo");
    logo->require_subcommand(1);

    CLI::App* upload = logo->add_subcommand("upload", "Convert a picture (BMP, PBM, PGM, PPM; 360 x 13..156) and store it");
    upload->add_option("FILE", m_picturePath, "picture file")->required();
    OnChosen(upload, chosen,
             CliAction(
                 [this] {
                     // Read, checked and converted before the port is opened.
                     Picture picture;
                     std::string error;
                     if (!PictureFile::LoadLogo(m_picturePath, picture, error))
                         throw CliFailure(CliFailure::kBadInput, error);
                     m_logo = BuildLogoRows(picture.width, picture.height, picture.Accessor());
                     if (!m_logo.Ok())
                         throw CliFailure(CliFailure::kBadInput, m_logo.error);
                 },
                 [this](CliSession& s) {
                     const ECRVerdictWatch watch(s.Device().Verdicts());
                     const std::int32_t refused =
                         LogoUpload::Send(s.Device(), m_logo.rows, [&s](std::size_t sent, std::size_t total) {
                             s.Output().Progress(sent, total, "logo rows");
                         });
                     s.Output().EndProgress();
                     s.Output().Result().Set("rows", m_logo.rows.size());
                     CliSession::ThrowIfAnyFailedCheck(watch);
                     if (refused != 0)
                         throw CliSession::Refusal(refused);
                 }));

    OnChosen(logo->add_subcommand("on", "Print the logo"), chosen,
             [](CliSession& s) { s.Checked([&] { s.Device().SetLogoEnabled(true); }); });
    OnChosen(logo->add_subcommand("off", "Do not print the logo"), chosen,
             [](CliSession& s) { s.Checked([&] { s.Device().SetLogoEnabled(false); }); });
    OnChosen(logo->add_subcommand("status", "Is the logo printed?"), chosen, [](CliSession& s) {
        ShowSwitch(s, "logoEnabled", s.Checked([&] { return s.Device().ReadLogoEnabled(); }));
    });
}

void UtilitySubcommands::RegisterDevice(CLI::App& app, CliAction& chosen)
{
    CLI::App* display = app.add_subcommand("display", "Show two lines on the customer display (none: clear)");
    display->add_option("LINES", m_displayLines, "LINE1 [LINE2]")->expected(0, 2)->check(RegisterText());
    OnChosen(display, chosen, [this](CliSession& s) {
        const std::string line1 = m_displayLines.size() > 0 ? m_displayLines[0] : "";
        const std::string line2 = m_displayLines.size() > 1 ? m_displayLines[1] : "";
        s.Checked([&] { s.Device().DisplayText(CliArgs::ToRegister(line1), CliArgs::ToRegister(line2)); });
    });

    CLI::App* info = app.add_subcommand("info-print", "Print a free line of text, or end the info print");
    info->require_subcommand(0, 1);
    info->add_option("TEXT", m_infoText, "the line (use -- before a text that reads \"end\")")
        ->check(RegisterText());
    info->add_option("--number", m_infoNumber, "the line's number")->capture_default_str();
    OnChosen(info, chosen, [this](CliSession& s) {
        s.Checked([&] { s.Device().PrintInfoLine(CliArgs::ToRegister(m_infoText), m_infoNumber); });
    });
    OnChosen(info->add_subcommand("end", "End the info print"), chosen,
             [](CliSession& s) { s.Checked([&] { s.Device().EndInfoPrint(); }); });

    CLI::App* memory = app.add_subcommand("memory", "The register's memory areas");
    memory->require_subcommand(1);
    CLI::App* dump = memory->add_subcommand("dump", "Read a whole area into a file, byte for byte");
    dump->add_option("AREA", m_area, "0 program, 1 protected, 2 fiscal, 3 application")
        ->required()
        ->check(Converts(MemoryArea, "AREA"));
    dump->add_option("FILE", m_dumpPath, "output file")->required();
    OnChosen(dump, chosen,
             CliAction(ChecksOutputFile(m_dumpPath),
                 [this](CliSession& s) {
                     const int area = MemoryArea(m_area);
                     s.SetProgressObserver([&s](int percent) {
                         if (percent >= 0 && percent < 100)
                             s.Output().Percent(percent, "memory read");
                     });
                     std::int32_t size = 0;
                     const std::vector<unsigned char> bytes =
                         s.Checked([&] { return s.Device().ReadMemory(area, size); });
                     s.SetProgressObserver(nullptr);
                     s.Output().EndProgress();
                     FileFault fault;
                     const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                     if (!SafeFileWrite::Write(m_dumpPath, view, fault))
                         throw CliFailure::BadInput(fault);
                     s.Output().Line(std::to_string(bytes.size()) + " bytes written to " + m_dumpPath);
                     s.Output().Result().Set("area", area);
                     s.Output().Result().Set("size", bytes.size());
                 }));

    CLI::App* raw = app.add_subcommand("raw", "Send a raw request and print the answer unchecked");
    raw->add_option("PAYLOAD", m_payload, "command code and fields; \\x1F, \\x0A, \\x09 are the terminators")
        ->required()
        ->check(Converts(
            [](const std::string& text) {
                std::string bytes, error;
                if (!RawPayload::Decode(text, bytes, error))
                    throw CliFailure(CliFailure::kUsage, error);
            },
            "PAYLOAD"));
    OnChosen(raw, chosen, [this](CliSession& s) {
        std::string bytes, error;
        RawPayload::Decode(m_payload, bytes, error);
        // The register gets as long to answer as for any command: an answer
        // that came after a shorter wait would be left on the line, and the
        // next run would take it for the answer to its own request.
        const std::int32_t wait = s.Device().Engine().GetPollLimits().replyTimeoutMs;
        const ECRString answer = s.Device().SendReceive(ECRString(bytes.c_str()), wait);
        if (answer.Length() == 0)
            throw CliFailure(CliFailure::kLink, "no answer from the register");
        const std::string_view answerBytes(answer.Data(), answer.Length());
        s.Output().Line(ECRTrafficText::Entry(answerBytes));
        s.Output().Result().Set("answer", CliArgs::FromRegister(answer));
        s.Output().Result().Set("answerHex", ECRTrafficText::HexLine(answerBytes));
    });
}
