#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a text file line by line for the article files: a line of any length
// is one line, its line end (LF or CR LF) is removed, and blank lines (empty
// or only spaces and tabs) are passed over. Lines come as the register's
// Windows-1250 bytes: a UTF-8 file is converted (ArticleTextEncoding), and a
// character with no Windows-1250 form ends the reading at its line.
class TextLineReader {
public:
    explicit TextLineReader(const std::string& path);

    bool IsOpen() const { return m_open; }
    // The next non-blank line; false at the end of the file, after a read
    // error and at a line that cannot be converted.
    bool Next(std::string& line);
    // True when reading stopped because of an I/O error rather than the end.
    bool Failed() const { return m_readError; }
    // True when reading stopped at a character with no Windows-1250 form.
    bool Refused() const { return m_refused; }
    // The file's line number (from 1, blank lines counted) of the last line read.
    std::size_t LineNumber() const { return m_lineNumber; }
    char32_t RefusedCharacter() const { return m_refusedCharacter; }

    static bool IsBlank(const std::string& line);

    // Replaces items with parse(line) of every non-blank line. False with
    // "Problem pri otvaranju fajla: <path>" (items untouched), "Problem pri
    // citanju fajla: <path>" or a message naming the line of a character the
    // register cannot take (items then hold the lines before it) in error.
    template <class Item, class Parse>
    static bool ReadAll(const std::string& path, std::vector<Item>& items, Parse parse, std::string& error)
    {
        TextLineReader reader(path);
        if (!reader.IsOpen()) {
            error = "Problem pri otvaranju fajla: " + path;
            return false;
        }
        items.clear();
        std::string line;
        while (reader.Next(line))
            items.push_back(parse(line));
        return reader.Succeeded(path, error);
    }

private:
    bool Succeeded(const std::string& path, std::string& error) const;

    std::string m_text;
    std::size_t m_position = 0;
    std::size_t m_lineNumber = 0;
    bool m_open = false;
    bool m_readError = false;
    bool m_utf8 = false;
    bool m_refused = false;
    char32_t m_refusedCharacter = 0;
};
