#include "sim/SimFrameReader.h"

#include "ecr/protocol/ECRFrame.h"

std::optional<SimFrameReader::Event> SimFrameReader::Push(char byte)
{
    switch (m_state) {
    case State::Idle:
        if (byte == ECRFrame::ENQ) {
            return Event{Event::Kind::Enq, {}, false};
        }
        if (byte == ECRFrame::ESC) {
            m_state = State::Escape;
        }
        return std::nullopt;
    case State::Escape:
        if (byte == ECRFrame::OPENER) {
            m_body.clear();
            m_state = State::Body;
            return std::nullopt;
        }
        m_state = State::Idle;
        return Push(byte);
    case State::Body:
        if (byte == ECRFrame::ESC) {
            m_state = State::BodyEscape;
        } else if (m_body.size() < kMaxBody) {
            m_body.push_back(byte);
        } else {
            m_body.clear();
            m_state = State::Skip;
        }
        return std::nullopt;
    case State::BodyEscape:
        if (byte == ECRFrame::CLOSER) {
            m_state = State::Idle;
            return Finish();
        }
        if (byte == ECRFrame::OPENER) {
            m_body.clear();
            m_state = State::Body;
            return std::nullopt;
        }
        // An ESC that closes nothing belongs to the body.
        m_body.push_back(ECRFrame::ESC);
        m_state = State::Body;
        return Push(byte);
    case State::Skip:
        if (byte == ECRFrame::ESC) {
            m_state = State::SkipEscape;
        }
        return std::nullopt;
    case State::SkipEscape:
        if (byte == ECRFrame::CLOSER) {
            m_state = State::Idle;
        } else if (byte == ECRFrame::OPENER) {
            m_body.clear();
            m_state = State::Body;
        } else if (byte != ECRFrame::ESC) {
            m_state = State::Skip;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<SimFrameReader::Event> SimFrameReader::Finish()
{
    Event event;
    event.kind = Event::Kind::Frame;
    if (m_body.size() < 2) {
        event.payload = m_body;
        return event;
    }
    event.payload = m_body.substr(0, m_body.size() - 2);
    const std::string digits = m_body.substr(m_body.size() - 2);
    // ECRString stops at a zero byte, so a payload holding one cannot be checked.
    if (event.payload.find('\0') == std::string::npos) {
        const ECRString expected = ECRFrame::Checksum(ECRString(event.payload.c_str()));
        event.checksumOk = expected == digits.c_str();
    }
    return event;
}
