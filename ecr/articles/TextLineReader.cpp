#include "ecr/articles/TextLineReader.h"

#include "ecr/articles/ArticleTextEncoding.h"

#include <fstream>

TextLineReader::TextLineReader(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    m_open = file.is_open();
    if (!m_open) {
        return;
    }
    // Whole, because whether the file is UTF-8 depends on all of it.
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        m_text.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    m_readError = file.bad();
    m_utf8 = ArticleTextEncoding::IsUtf8(m_text);
    m_position = m_text.size() - ArticleTextEncoding::WithoutByteOrderMark(m_text).size();
}

bool TextLineReader::Next(std::string& line)
{
    if (m_readError || m_refused) {
        return false;
    }
    while (m_position < m_text.size()) {
        std::size_t end = m_text.find('\n', m_position);
        if (end == std::string::npos) {
            end = m_text.size();
        }
        std::string raw = m_text.substr(m_position, end - m_position);
        m_position = end + 1;
        ++m_lineNumber;
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        if (IsBlank(raw)) {
            continue;
        }
        if (!m_utf8) {
            line = std::move(raw);
            return true;
        }
        if (!ArticleTextEncoding::ToWindows1250(raw, line, m_refusedCharacter)) {
            m_refused = true;
            return false;
        }
        return true;
    }
    return false;
}

bool TextLineReader::Succeeded(const std::string& path, std::string& error) const
{
    if (m_readError) {
        error = "Problem pri citanju fajla: " + path;
        return false;
    }
    if (m_refused) {
        error = "Fajl " + path + ", red " + std::to_string(m_lineNumber) + ": " +
                ArticleTextEncoding::RefusalText(m_refusedCharacter);
        return false;
    }
    return true;
}

bool TextLineReader::IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}
