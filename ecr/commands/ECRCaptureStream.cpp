#include "ecr/commands/ECRCaptureStream.h"

#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/ECRSessionLog.h"

#include <utility>

ECRCaptureStream::ECRCaptureStream(LineSink sink) : m_sink(std::move(sink)) {}

bool ECRCaptureStream::Feed(std::string_view bytes)
{
    if (m_refused) {
        return false;
    }
    m_held.append(bytes);
    if (m_form == Form::Undecided) {
        Decide();
    }
    switch (m_form) {
    case Form::SessionLog:
        TakeLogLines(false);
        break;
    case Form::Raw:
        TakeRawPieces(false);
        break;
    case Form::Undecided:
        if (m_held.size() > kMaxMonitorText) {
            m_refused = true;
            std::string().swap(m_held);
            return false;
        }
        break;
    }
    return true;
}

void ECRCaptureStream::Finish()
{
    if (m_refused) {
        return;
    }
    switch (m_form) {
    case Form::Undecided:
        // Held whole: the monitor's text (or a short capture of another form).
        for (const ECRCapture::Item& item : ECRCapture::Read(m_held)) {
            Emit(ECRCapture::DecodeItem(m_decoder, item));
        }
        break;
    case Form::SessionLog:
        TakeLogLines(true);
        break;
    case Form::Raw:
        TakeRawPieces(true);
        break;
    }
    m_held.clear();
}

void ECRCaptureStream::Decide()
{
    const std::string_view held = m_held;
    const std::string_view header = ECRSessionLog::kHeaderStart;
    if (held.size() < header.size() && header.substr(0, held.size()) == held) {
        return;
    }
    if (held.substr(0, header.size()) == header) {
        m_form = Form::SessionLog;
        return;
    }
    for (; m_textChecked < held.size(); ++m_textChecked) {
        if (!ECRCapture::IsTextByte(held[m_textChecked])) {
            m_form = Form::Raw;
            return;
        }
    }
    // The first line that is not empty decides, once it is there whole.
    while (!m_firstLineIsHex) {
        const std::size_t lf = held.find('\n', m_lineChecked);
        if (lf == std::string_view::npos) {
            return;
        }
        std::string_view line = held.substr(m_lineChecked, lf - m_lineChecked);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_lineChecked = lf + 1;
        if (!line.empty()) {
            if (!ECRCapture::IsHexLine(line)) {
                m_form = Form::Raw;
                return;
            }
            m_firstLineIsHex = true;
        }
    }
}

void ECRCaptureStream::TakeLogLines(bool end)
{
    const std::string_view held = m_held;
    std::size_t start = 0;
    for (std::size_t lf = held.find('\n'); lf != std::string_view::npos; lf = held.find('\n', start)) {
        if (m_skippingLine) {
            m_skippingLine = false;
        } else if (lf - start > kMaxLogLine) {
            LeaveOutLongLine();
        } else {
            TakeLogLine(held.substr(start, lf - start));
        }
        start = lf + 1;
    }
    m_held.erase(0, start);
    if (m_skippingLine) {
        m_held.clear();
    } else if (m_held.size() > kMaxLogLine) {
        // Its end is still to come: what is held of it goes now.
        LeaveOutLongLine();
        m_skippingLine = true;
        m_held.clear();
    }
    if (end && !m_held.empty()) {
        TakeLogLine(m_held);
        m_held.clear();
    }
}

void ECRCaptureStream::LeaveOutLongLine()
{
    Emit("line " + std::to_string(++m_lineNumber) + " is longer than " + std::to_string(kMaxLogLine) +
         " bytes: left out");
}

void ECRCaptureStream::TakeLogLine(std::string_view line)
{
    ++m_lineNumber;
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    ECRCapture::Item item;
    if (ECRCapture::ReadLogLine(line, item)) {
        Emit(ECRCapture::DecodeItem(m_decoder, item));
    }
}

void ECRCaptureStream::TakeRawPieces(bool end)
{
    const std::string_view held = m_held;
    std::size_t start = 0;
    while (start < held.size()) {
        const std::size_t pieceEnd = ECRCapture::RawPieceEnd(held, start, end);
        if (pieceEnd == std::string_view::npos) {
            break;
        }
        ECRTrafficEntry entry;
        entry.bytes = held.substr(start, pieceEnd - start);
        Emit(m_decoder.Decode(entry));
        start = pieceEnd;
    }
    m_held.erase(0, start);
}
