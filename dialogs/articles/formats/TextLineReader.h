#pragma once

#include <fstream>
#include <string>

// Reads a text file line by line for the article files: a line of any length
// is one line, its line end (LF or CR LF) is removed, and blank lines (empty
// or only spaces and tabs) are passed over.
class TextLineReader {
public:
    explicit TextLineReader(const std::string& path);

    bool IsOpen() const { return m_file.is_open(); }
    // The next non-blank line; false at the end of the file.
    bool Next(std::string& line);
    // True when reading stopped because of an I/O error rather than the end.
    bool Failed() const { return m_file.bad(); }

    static bool IsBlank(const std::string& line);

private:
    std::ifstream m_file;
};
