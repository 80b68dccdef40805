#include "serial/TelnetCodec.h"

namespace {

bool WeOffer(unsigned char option)
{
    return option == TelnetCodec::BINARY || option == TelnetCodec::SUPPRESS_GO_AHEAD ||
           option == TelnetCodec::COM_PORT_OPTION;
}

bool WeAccept(unsigned char option)
{
    return option == TelnetCodec::BINARY || option == TelnetCodec::SUPPRESS_GO_AHEAD;
}

std::string Command(unsigned char verb, unsigned char option)
{
    return std::string{static_cast<char>(TelnetCodec::IAC), static_cast<char>(verb), static_cast<char>(option)};
}

}  // namespace

std::string TelnetCodec::Escape(std::string_view data)
{
    std::string escaped;
    escaped.reserve(data.size());
    for (const char byte : data) {
        escaped.push_back(byte);
        if (static_cast<unsigned char>(byte) == IAC) {
            escaped.push_back(byte);
        }
    }
    return escaped;
}

std::string TelnetCodec::Opening()
{
    m_localAsked[BINARY] = m_localAsked[SUPPRESS_GO_AHEAD] = m_localAsked[COM_PORT_OPTION] = true;
    m_remoteAsked[BINARY] = m_remoteAsked[SUPPRESS_GO_AHEAD] = true;
    return Command(WILL, BINARY) + Command(DO, BINARY) + Command(WILL, SUPPRESS_GO_AHEAD) +
           Command(DO, SUPPRESS_GO_AHEAD) + Command(WILL, COM_PORT_OPTION);
}

std::string TelnetCodec::ComPortCommand(unsigned char command, std::string_view value)
{
    return std::string{static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(COM_PORT_OPTION),
                       static_cast<char>(command)} +
           Escape(value) + std::string{static_cast<char>(IAC), static_cast<char>(SE)};
}

std::optional<std::string> TelnetCodec::Acknowledged(unsigned char command) const
{
    return m_acks[static_cast<unsigned char>(command + kServerOffset)];
}

void TelnetCodec::Feed(std::string_view bytes, std::string& data, std::string& replies)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (m_state) {
        case State::Data:
            if (byte == IAC) {
                m_state = State::Iac;
            } else if (byte == 0 && m_lastWasCr && !m_remote[BINARY]) {
                m_lastWasCr = false;  // CR NUL is a bare CR outside binary mode
            } else {
                data.push_back(c);
                m_lastWasCr = byte == '\r';
            }
            break;
        case State::Iac:
            if (byte == IAC) {
                data.push_back(c);
                m_lastWasCr = false;
                m_state = State::Data;
            } else if (byte >= WILL) {
                m_verb = byte;
                m_state = State::Verb;
            } else if (byte == SB) {
                m_sub.clear();
                m_state = State::Sub;
            } else {
                m_state = State::Data;  // NOP, go-ahead and the like carry nothing for us
            }
            break;
        case State::Verb:
            Negotiate(m_verb, byte, replies);
            m_state = State::Data;
            break;
        case State::Sub:
            if (byte == IAC) {
                m_state = State::SubIac;
            } else if (m_sub.size() < kMaxSub) {
                m_sub.push_back(c);
            }
            break;
        case State::SubIac:
            if (byte == IAC) {
                if (m_sub.size() < kMaxSub) {
                    m_sub.push_back(c);
                }
                m_state = State::Sub;
            } else {
                // SE ends it; anything else is a broken one, ended all the same.
                EndSub();
                m_state = State::Data;
            }
            break;
        }
    }
}

void TelnetCodec::Negotiate(unsigned char verb, unsigned char option, std::string& replies)
{
    // Answer a change only: an answer to our own request needs none, and
    // answering an answer would go on for ever.
    switch (verb) {
    case DO:
        if (!WeOffer(option)) {
            replies += Command(WONT, option);
        } else if (!m_local[option]) {
            m_local[option] = true;
            if (!m_localAsked[option]) {
                replies += Command(WILL, option);
            }
        }
        m_localAsked[option] = false;
        if (option == COM_PORT_OPTION) {
            m_comPort = Answer::Agreed;
        }
        break;
    case DONT:
        if (m_local[option]) {
            replies += Command(WONT, option);
        }
        m_local[option] = false;
        m_localAsked[option] = false;
        if (option == COM_PORT_OPTION) {
            m_comPort = Answer::Refused;
        }
        break;
    case WILL:
        if (!WeAccept(option)) {
            replies += Command(DONT, option);
        } else if (!m_remote[option]) {
            m_remote[option] = true;
            if (!m_remoteAsked[option]) {
                replies += Command(DO, option);
            }
        }
        m_remoteAsked[option] = false;
        break;
    case WONT:
        if (m_remote[option]) {
            replies += Command(DONT, option);
        }
        m_remote[option] = false;
        m_remoteAsked[option] = false;
        break;
    default:
        break;
    }
}

void TelnetCodec::EndSub()
{
    if (m_sub.size() >= 2 && static_cast<unsigned char>(m_sub[0]) == COM_PORT_OPTION) {
        m_acks[static_cast<unsigned char>(m_sub[1])] = m_sub.substr(2);
    }
}
