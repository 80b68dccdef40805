#include "cli/EcrCtl.h"

#include "cli/CliCommands.h"
#include "cli/CliGuard.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/SubcommandWords.h"
#include "version/ThermalVersion.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <sstream>

namespace {

const char* const kDescription =
    "ecrctl drives the fiscal cash register over its serial line, one command per run,\n"
    "or a whole job: a batch of commands, a backup or restore of the register's programming.\n"
    "Every run opens the port (8N1), logs on with a status enquiry and runs one subcommand.\n"
    "Exit codes: 0 done, 1 the register refused, 2 usage error, 3 link failure, no answer\n"
    "or an answer that failed its check (decode: a frame in the capture did),\n"
    "4 a file or picture could not be read or written.";

// Results that could not be written (a full disk, a closed pipe) are no success.
int CheckOutput(std::ostream& out, std::ostream& err, int exitCode)
{
    out.flush();
    if (out.good())
        return exitCode;
    err << "ecrctl: cannot write the results to standard output\n";
    return exitCode != 0 ? exitCode : CliFailure::kBadInput;
}

// --json anywhere before "--", seen before parsing: a command line that does
// not parse still answers with a JSON document.
bool AsksForJson(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--json")
            return true;
    }
    return false;
}

}  // namespace

int EcrCtl::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal)
{
    CliOptions options;
    CLI::App app(kDescription, "ecrctl");
    app.require_subcommand(1);
    // The global options may follow the subcommand too ("ecrctl status
    // --json"); set before the subcommands are made, which inherit it.
    app.fallthrough();
    app.set_version_flag("--version", ThermalVersion::Line("ecrctl"));
    // ECRCTL_PORT names the port of every run that gives no --port (shown as the default).
    const char* environmentPort = std::getenv("ECRCTL_PORT");
    if (environmentPort != nullptr && *environmentPort != '\0')
        options.port = environmentPort;
    CLI::Option* port = app.add_option("--port", options.port,
                                       "a COM port (COM1, COM12), a device path (/dev/ttyUSB0), a device server "
                                       "(tcp://HOST:PORT, rfc2217://HOST:PORT) or sim; the default is ECRCTL_PORT "
                                       "when it is set, else COM1")
                            ->capture_default_str();
    // Taken as text and checked as text: an empty value is refused, not read as the default.
    std::string baudText;
    CLI::Option* baud =
        app.add_option("--baud", baudText, "line speed; with --port sim the simulated line is paced at it")
            ->check(CLI::IsMember({"9600", "19200"}))
            ->default_str(std::to_string(options.baud));
    std::string traceForm;
    app.add_flag("--trace{hex}", traceForm,
                 "show every byte and register message on standard error; --trace=decoded shows each frame "
                 "decoded, with its time")
        ->check(CLI::IsMember({"hex", "decoded"}))
        ->option_text("hex|decoded");
    app.add_option("--log", options.log, "append every traffic entry and message of the run, decoded, to this file");
    app.add_flag("--json", options.json, "print the result as one JSON document");
    app.add_option(
        "--journal", options.journal,
        "with --port sim: append what the register prints to this file (- standard output, or standard error "
        "with --json)");

    CliCommands commands;
    commands.Register(app);

    const bool json = AsksForJson(args);
    const std::vector<std::string> words = SubcommandWords::WithHelp(app, args);
    const std::string unknown = SubcommandWords::Unknown(app, words);
    if (!unknown.empty()) {
        err << unknown << '\n';
        if (json) {
            CliOutput output(out, err, true, false);
            output.Finish(CliFailure::kUsage, unknown, 0);
        }
        return CheckOutput(out, err, CliFailure::kUsage);
    }
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            // --help or --version; with --json, as the one JSON document.
            if (!json) {
                app.exit(e, out, err);
                return CheckOutput(out, err, 0);
            }
            CliOutput output(out, err, true, false);
            if (e.get_name() == "CallForVersion") {
                output.Result().Set("version", ThermalVersion::Number());
                output.Result().Set("build", ThermalVersion::Build());
            } else {
                std::ostringstream help;
                app.exit(e, help, help);
                output.Result().Set("help", help.str());
            }
            output.Finish(0, "", 0);
            return CheckOutput(out, err, 0);
        }
        app.exit(e, err, err);
        if (json) {
            CliOutput output(out, err, true, false);
            output.Finish(CliFailure::kUsage, e.what(), 0);
        }
        return CheckOutput(out, err, CliFailure::kUsage);
    }

    // The simulated register answers at once unless a speed is asked for.
    if (baud->count() != 0) {
        options.baud = std::stoi(baudText);
        options.simulatorBaud = options.baud;
    }
    if (port->count() == 0 && environmentPort != nullptr && *environmentPort != '\0')
        options.portGiven = "ECRCTL_PORT";
    options.trace = !traceForm.empty();
    options.traceDecoded = traceForm == "decoded";

    CliOutput output(out, err, options.json, terminal);
    CliSession session(options, output);
    const CliAction& chosen = commands.Chosen();
    CliGuard::Outcome outcome = CliGuard::Run(
        [&] {
            chosen.Prepare();
            if (chosen.GetLink() == CliAction::Link::Register)
                session.Open();
            chosen(session);
        },
        &session);
    // A device server's failure names the server and the reason (unless the
    // message has them already).
    const std::string problem = session.LinkProblem();
    if (outcome.exitCode == CliFailure::kLink && !problem.empty() && outcome.error.find(problem) == std::string::npos)
        outcome.error += " (" + problem + ")";
    if (outcome.exitCode != 0)
        output.Note(outcome.error);
    session.LogOutcome(outcome.exitCode, outcome.error);
    output.Finish(outcome.exitCode, outcome.error, outcome.deviceCode);
    return CheckOutput(out, err, outcome.exitCode);
}
