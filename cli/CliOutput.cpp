#include "cli/CliOutput.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/protocol/DeviceMessageText.h"

CliOutput::CliOutput(std::ostream& out, std::ostream& err, bool json, bool terminal)
    : m_out(out), m_err(err), m_json(json), m_terminal(terminal)
{
}

void CliOutput::Line(const std::string& text)
{
    if (!m_json)
        m_out << text << '\n';
}

JsonValue CliOutput::TakeResult()
{
    JsonValue result = std::move(m_result);
    m_result = JsonValue::Object();
    return result;
}

void CliOutput::Note(const std::string& text)
{
    EndProgress();
    m_err << "ecrctl: " << text << '\n';
}

void CliOutput::Progress(std::size_t done, std::size_t total, const std::string& what)
{
    if (!m_terminal)
        return;
    m_err << '\r' << what << ": " << done;
    if (total != 0)
        m_err << '/' << total;
    m_err << "   " << std::flush;
    m_progressShown = true;
}

void CliOutput::Percent(int percent, const std::string& what)
{
    if (!m_terminal)
        return;
    m_err << '\r' << what << ": " << percent << " %   " << std::flush;
    m_progressShown = true;
}

void CliOutput::EndProgress()
{
    if (m_progressShown) {
        m_err << '\n';
        m_progressShown = false;
    }
}

void CliOutput::Finish(int exitCode, const std::string& error, int deviceCode)
{
    EndProgress();
    if (!m_json)
        return;
    m_result.Set("ok", exitCode == 0);
    m_result.Set("exitCode", exitCode);
    if (!error.empty())
        m_result.Set("error", error);
    if (deviceCode != 0)
        SetRefusal(m_result, deviceCode);
    m_out << m_result.Dump() << '\n';
}

void CliOutput::SetRefusal(JsonValue& json, int registerCode)
{
    json.Set("registerCode", registerCode);
    json.Set("registerMessage", ECRCodePage::ToUtf8(DeviceMessageText(registerCode)));
    json.Set("deviceCode", registerCode);
}
