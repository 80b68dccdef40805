#include "ecr/commands/ECRSessionTrace.h"

#include "ecr/commands/ECRFieldReader.h"

ECRSessionTrace::ECRSessionTrace() : m_start(std::chrono::steady_clock::now()) {}

bool ECRSessionTrace::OpenLog(const std::string& path, std::string_view program, std::string& error)
{
    m_failure.clear();
    return m_log.Open(path, program, error);
}

std::string ECRSessionTrace::Traffic(ECRTrafficDirection direction, std::string_view bytes)
{
    return Traffic(direction, bytes, ElapsedMs());
}

std::string ECRSessionTrace::Traffic(ECRTrafficDirection direction, std::string_view bytes, std::int64_t ms)
{
    ECRTrafficEntry entry;
    entry.ms = ms;
    entry.direction = direction;
    entry.bytes = bytes;
    std::string line = m_decoder.Decode(entry);
    if (m_log.IsOpen()) {
        WriteLine(ECRSessionLog::TrafficLine(line, bytes));
    }
    return line;
}

void ECRSessionTrace::Message(std::string_view text)
{
    Message(text, ElapsedMs());
}

void ECRSessionTrace::Message(std::string_view text, std::int64_t ms)
{
    if (m_log.IsOpen()) {
        WriteLine(ECRTrafficDecoder::Prefix(ms, ECRTrafficDecoder::kMessageTag) + ECRFieldReader::ShowText(text, false));
    }
}

void ECRSessionTrace::Note(std::string_view text)
{
    if (!m_log.IsOpen()) {
        return;
    }
    std::string line = ECRTrafficDecoder::Prefix(ElapsedMs(), ECRTrafficDecoder::kNoteTag);
    for (const char c : text) {
        line += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
    }
    WriteLine(line);
}

std::int64_t ECRSessionTrace::ElapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count();
}

std::string ECRSessionTrace::TakeLogFailure()
{
    std::string failure;
    failure.swap(m_failure);
    return failure;
}

void ECRSessionTrace::WriteLine(std::string_view line)
{
    if (!(m_holdLines ? m_log.Append(line) : m_log.Write(line))) {
        m_failure = m_log.Error();
    }
}

void ECRSessionTrace::FlushLog()
{
    if (m_log.IsOpen() && !m_log.Flush()) {
        m_failure = m_log.Error();
    }
}
