#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A regular file opened for reading. Anything else a path can name (a
// directory, a device such as /dev/zero, a FIFO) is refused at once, without
// blocking and without reading a byte of it, and the size is known before
// anything is read, so a reader can refuse a file far larger than its
// content can need before it costs any memory.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False with "Problem pri otvaranju fajla: <path>" or
    // "<path>: not a file (a directory)" and the like.
    bool Open(const std::string& path, std::string& error);
    std::uint64_t Size() const { return m_size; }
    const std::string& Path() const { return m_path; }

    // Appends up to count bytes to bytes (a std::string or a byte vector);
    // fewer only at the end of the file. False with "Problem pri citanju
    // fajla: <path> (<reason>)".
    template <class Bytes>
    bool Read(std::size_t count, Bytes& bytes, std::string& error)
    {
        const std::size_t before = bytes.size();
        bytes.resize(before + count);
        std::size_t got = 0;
        const bool ok = ReadInto(reinterpret_cast<char*>(bytes.data()) + before, count, got, error);
        bytes.resize(before + got);
        return ok;
    }

    // A whole file of at most maxBytes; a larger one is refused with
    // "<path>: larger than <maxBytes> bytes" before anything is read.
    template <class Bytes>
    static bool ReadAll(const std::string& path, std::uint64_t maxBytes, Bytes& bytes, std::string& error)
    {
        InputFile file;
        if (!file.Open(path, error) || !file.CheckSize(maxBytes, error))
            return false;
        bytes.clear();
        bytes.reserve(static_cast<std::size_t>(file.Size()));
        // In steps up to the end, so that a file that grew since it was
        // opened is still held to the limit.
        constexpr std::size_t kStep = 64 * 1024;
        for (;;) {
            const std::size_t before = bytes.size();
            if (!file.Read(kStep, bytes, error))
                return false;
            if (!file.CheckSize(bytes.size(), maxBytes, error))
                return false;
            if (bytes.size() - before < kStep)
                return true;
        }
    }

    // False with "<path>: larger than <maxBytes> bytes" for a larger file.
    bool CheckSize(std::uint64_t maxBytes, std::string& error) const { return CheckSize(m_size, maxBytes, error); }

private:
    bool ReadInto(char* buffer, std::size_t count, std::size_t& got, std::string& error);
    bool CheckSize(std::uint64_t size, std::uint64_t maxBytes, std::string& error) const;

    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;
};
