#pragma once

#include "ecr/files/FileFault.h"

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

    // False with CannotOpen, or NotAFile and what the path names.
    bool Open(const std::string& path, FileFault& fault);
    // The file of this name in the folder, the folder opened first and the
    // name looked up in it without following a link (a link is CannotOpen
    // with ELOOP, where the system has it): a link swapped in meanwhile
    // leads nowhere else. The name must be a plain one, without separators.
    bool OpenIn(const std::string& folder, const std::string& name, FileFault& fault);
    std::uint64_t Size() const { return m_size; }

    // Appends up to count bytes to bytes (a std::string or a byte vector);
    // fewer only at the end of the file. False with CannotRead.
    template <class Bytes>
    bool Read(std::size_t count, Bytes& bytes, FileFault& fault)
    {
        const std::size_t before = bytes.size();
        bytes.resize(before + count);
        std::size_t got = 0;
        const bool ok = ReadInto(reinterpret_cast<char*>(bytes.data()) + before, count, got, fault);
        bytes.resize(before + got);
        return ok;
    }

    // A whole file of at most maxBytes; a larger one is refused (TooLarge)
    // before anything is read.
    template <class Bytes>
    static bool ReadAll(const std::string& path, std::uint64_t maxBytes, Bytes& bytes, FileFault& fault)
    {
        InputFile file;
        return file.Open(path, fault) && file.ReadRest(maxBytes, bytes, fault);
    }

    // The whole of an opened file of at most maxBytes into bytes.
    template <class Bytes>
    bool ReadRest(std::uint64_t maxBytes, Bytes& bytes, FileFault& fault)
    {
        if (!CheckSize(maxBytes, fault))
            return false;
        bytes.clear();
        bytes.reserve(static_cast<std::size_t>(Size()));
        // In steps up to the end, so that a file that grew since it was
        // opened is still held to the limit.
        constexpr std::size_t kStep = 64 * 1024;
        for (;;) {
            const std::size_t before = bytes.size();
            if (!Read(kStep, bytes, fault))
                return false;
            if (!CheckSize(bytes.size(), maxBytes, fault))
                return false;
            if (bytes.size() - before < kStep)
                return true;
        }
    }

    // ReadAll of the file of this name in the folder (OpenIn).
    template <class Bytes>
    static bool ReadAllIn(const std::string& folder, const std::string& name, std::uint64_t maxBytes, Bytes& bytes,
                          FileFault& fault)
    {
        InputFile file;
        return file.OpenIn(folder, name, fault) && file.ReadRest(maxBytes, bytes, fault);
    }

    // False with TooLarge for a file larger than maxBytes.
    bool CheckSize(std::uint64_t maxBytes, FileFault& fault) const { return CheckSize(m_size, maxBytes, fault); }

private:
    // The opened descriptor names a regular file: its size is taken.
    bool CheckOpened(FileFault& fault);
    bool ReadInto(char* buffer, std::size_t count, std::size_t& got, FileFault& fault);
    bool CheckSize(std::uint64_t size, std::uint64_t maxBytes, FileFault& fault) const;

    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;
};
