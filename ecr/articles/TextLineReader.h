#pragma once

#include <fstream>
#include <string>
#include <vector>

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

    // Replaces items with parse(line) of every non-blank line. False with
    // "Problem pri otvaranju fajla: <path>" (items untouched) or "Problem pri
    // citanju fajla: <path>" (items hold what was read) in error.
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
        if (reader.Failed()) {
            error = "Problem pri citanju fajla: " + path;
            return false;
        }
        return true;
    }

private:
    std::ifstream m_file;
};
