#include "ecr/articles/TextLineReader.h"

#include "ecr/commands/Utf8Path.h"

TextLineReader::TextLineReader(const std::string& path) : m_file(Utf8Path(path), std::ios::binary) {}

bool TextLineReader::Next(std::string& line)
{
    while (std::getline(m_file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!IsBlank(line))
            return true;
    }
    return false;
}

bool TextLineReader::IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}
