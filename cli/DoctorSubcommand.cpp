#include "cli/DoctorSubcommand.h"

#include "cli/CliSession.h"
#include "cli/LinkDoctor.h"
#include "cli/NetworkDoctor.h"
#include "cli/PortsSubcommand.h"
#include "cli/TerminalText.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRStatusByte.h"
#include "link/RegisterLink.h"

#ifndef _WIN32
#include "cli/ProcessTable.h"
#include "cli/SerialDeviceScan.h"
#include "serial/platform/ComPortName.h"

#include <filesystem>
#endif

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Finding = LinkDoctor::Finding;

// The status enquiry of the log-on at one speed: the status byte, or 0 when
// nothing came. A port that cannot be opened throws CommError.
std::int16_t Enquire(const PortAddress& address, int baud, std::string& problem)
{
    RegisterLink link;
    try {
        link.Open(address, RegisterLink::Settings(baud, address.ComNumber()), {});
    } catch (const CommError&) {
        problem = link.Problem();
        throw;
    }
    return link.Status();
}

void Show(CliOutput& output, const std::vector<Finding>& findings)
{
    JsonValue& json = output.Result().Set("findings", JsonValue::Array());
    for (const Finding& finding : findings) {
        // Escaped: a finding names processes and USB strings from the machine.
        output.Line(TerminalText::Escape((finding.problem ? "problem: " : "ok: ") + finding.text));
        if (!finding.advice.empty())
            output.Line(TerminalText::Escape("  what to do: " + finding.advice));
        JsonValue item = JsonValue::Object();
        item.Set("ok", !finding.problem);
        item.Set("text", finding.text);
        if (!finding.advice.empty())
            item.Set("advice", finding.advice);
        json.Push(std::move(item));
    }
}

}  // namespace

void DoctorSubcommand::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* doctor = app.add_subcommand(
        "doctor",
        "Check the serial line of --port for what commonly breaks it, then ask the register for its status at 19200 "
        "and 9600 baud");
    // "ecrctl doctor --port P" reads as "ecrctl --port P doctor".
    doctor->fallthrough();
    PortsSubcommand::AddHostOptions(doctor, m_paths);
    // It opens the port itself, at each speed.
    OnChosen(doctor, chosen, CliAction(CliAction::Link::Own, [this](CliSession& s) { Run(s); }));
}

void DoctorSubcommand::Run(CliSession& s) const
{
    const std::string& port = s.Options().port;
    if (port == "sim")
        throw CliFailure(CliFailure::kUsage, "doctor checks a real line; the simulated register needs none");
    // The port the enquiry opens: on Linux the very device checked.
    PortAddress address = CliSession::AddressOf(port, s.Options().portGiven);
    std::vector<Finding> findings;
    bool usable = true;
    s.Output().Result().Set("port", port);

    if (address.IsNetwork()) {
        usable = NetworkDoctor::Check(address, s.Options().baud, findings);
    } else {
#ifndef _WIN32
    const int comNumber = ComPortName::Number(port).value_or(0);
    const std::string given = comNumber == 0 ? port : m_paths.ComDevice(comNumber);
    s.Output().Result().Set("device", given);
    if (comNumber != 0)
        findings.push_back({false, port + " leads to " + given, ""});
    // A link (ecr-sim --link, /dev/serial/by-id) is checked as the device it leads to.
    const std::string path = LinkDoctor::ResolveLink(given);
    if (path != given) {
        s.Output().Result().Set("linksTo", path);
        findings.push_back({false, given + " is a link to " + path, ""});
    }
    const std::string name = std::filesystem::path(path).filename().string();
    const SerialDeviceScan::Device described = SerialDeviceScan::Describe(m_paths, name);
    if (!described.vendorId.empty())
        findings.push_back({false,
                            path + " is a USB adapter " + described.vendorId + ":" + described.productId + " " +
                                described.manufacturer + " " + described.product,
                            ""});

    const LinkDoctor doctor(m_paths, LinkDoctor::Identity::Current());
    const ProcessTable processes = ProcessTable::Load(m_paths.proc);
    usable = doctor.CheckDevice(path, findings);
    std::error_code error;
    if (std::filesystem::exists(path, error))
        doctor.CheckHolders(processes, path, findings);
    doctor.CheckServices(processes, findings);
    usable = usable && std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return f.problem; });
    address = PortAddress::DevicePath(path);
#endif
    }

    int answeredAt = 0;
    if (usable) {
        for (const int baud : kSpeeds) {
            std::int16_t status = 0;
            std::string problem;
            try {
                status = Enquire(address, baud, problem);
            } catch (const CommError& failure) {
                findings.push_back({true,
                                    "cannot open " + port + ": " + CommErrorText(failure.code).Data() +
                                        (problem.empty() ? "" : " (" + problem + ")"),
                                    address.IsNetwork() ? "" : "close any program that uses the port"});
                break;
            }
            if (status != 0) {
                char text[8];
                std::snprintf(text, sizeof text, "0x%02X", status & 0xFF);
                const char* meaning = ECRStatusByte::Describe(ECRStatusByte::Of(static_cast<unsigned char>(status)));
                answeredAt = baud;
                findings.push_back(
                    {false,
                     "the register answers at " + std::to_string(baud) + " baud (status " + text + ", " + meaning + ")",
                     baud == s.Options().baud ? ""
                                              : "use --baud " + std::to_string(baud) + " (in the program: Brzina " +
                                                    std::to_string(baud) + ")"});
                break;
            }
        }
        if (answeredAt == 0 && (findings.empty() || !findings.back().problem))
            findings.push_back({true, "no answer to the status enquiry at 19200 or at 9600 baud",
                                "check that the register is on and in its PC link mode, that the cable is a "
                                "null-modem cable in the register's PC port, and that this is the port it is on "
                                "(ecrctl ports)"});
    }
    Show(s.Output(), findings);
    s.Output().Result().Set("answeredAt", answeredAt != 0 ? JsonValue(answeredAt) : JsonValue());
    if (answeredAt == 0)
        throw CliFailure(CliFailure::kLink, usable ? "the register does not answer on " + port
                                                   : "the line on " + port + " is not usable; see above");
}
