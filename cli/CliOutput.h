#pragma once

#include "ecr/files/JsonValue.h"

#include <cstddef>
#include <ostream>
#include <string>

// Where a run's results go: plain lines on standard output, or with --json
// one JSON document at the end; notes, errors and the progress line go to
// standard error. The progress line is drawn only when standard error is a
// terminal.
class CliOutput {
public:
    CliOutput(std::ostream& out, std::ostream& err, bool json, bool terminal);

    bool Json() const { return m_json; }
    std::ostream& Err() { return m_err; }

    // A result line (UTF-8); shown only without --json.
    void Line(const std::string& text);
    // The result object of the JSON document.
    JsonValue& Result() { return m_result; }
    // Hands over the results so far and starts an empty result object (a
    // batch keeps each line's results apart).
    JsonValue TakeResult();
    // A note or error line on standard error.
    void Note(const std::string& text);

    void Progress(std::size_t done, std::size_t total, const std::string& what);
    void Percent(int percent, const std::string& what);
    void EndProgress();

    // With --json prints the document: the results, "ok", "exitCode" and,
    // on failure, "error" and the register's refusal (SetRefusal).
    void Finish(int exitCode, const std::string& error, int deviceCode);
    // The register's refusal as ecrd names it: "registerCode" and
    // "registerMessage"; and "deviceCode", the name of ecrctl's first
    // release, kept for the scripts written for it.
    static void SetRefusal(JsonValue& json, int registerCode);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_json;
    bool m_terminal;
    bool m_progressShown = false;
    JsonValue m_result = JsonValue::Object();
};
