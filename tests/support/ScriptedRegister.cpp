#include "support/ScriptedRegister.h"

#include "support/WireFrame.h"

namespace {
constexpr char kEsc = 0x1b;
constexpr char kEnq = 0x05;
}  // namespace

ScriptedRegister::ScriptedRegister(Script script, char status)
    : m_script(std::move(script)), m_status(status), m_thread([this] { Serve(); })
{
}

ScriptedRegister::~ScriptedRegister()
{
    m_stop = true;
    m_thread.join();
}

std::vector<std::string> ScriptedRegister::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void ScriptedRegister::Serve()
{
    std::string frame;  // the request being received, from its ESC on
    while (!m_stop) {
        const std::string bytes = m_line.Receive(1, 10);
        if (bytes.empty()) {
            continue;
        }
        const char c = bytes[0];
        if (frame.empty() && c != kEsc) {
            if (c == kEnq) {
                m_line.Send(std::string(1, m_status));
            }
            continue;
        }
        frame += c;
        if (frame.size() < 6 || c != '\\' || frame[frame.size() - 2] != kEsc) {
            continue;
        }
        // ESC 'P' payload, two checksum digits, ESC '\'.
        const std::string payload = frame.substr(2, frame.size() - 6);
        frame.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(payload);
        }
        if (const std::optional<std::string> reply = m_script(payload)) {
            m_line.Send(WireFrame(*reply));
        }
    }
}
