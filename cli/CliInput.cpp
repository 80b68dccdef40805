#include "cli/CliInput.h"

#include "cli/CliFailure.h"
#include "ecr/files/InputFile.h"

#include <iostream>

void CliInput::Read(const std::string& path, std::uint64_t maxBytes,
                    const std::function<void(std::string_view chunk)>& take)
{
    std::uint64_t total = 0;
    if (path == "-") {
        std::string buffer(kChunkBytes, '\0');
        while (std::cin.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || std::cin.gcount() > 0) {
            const auto count = static_cast<std::size_t>(std::cin.gcount());
            total += count;
            if (total > maxBytes)
                throw CliFailure(CliFailure::kBadInput,
                                 "standard input: larger than " + std::to_string(maxBytes) + " bytes");
            take(std::string_view(buffer.data(), count));
        }
        if (std::cin.bad())
            throw CliFailure(CliFailure::kBadInput, "cannot read standard input");
        return;
    }
    InputFile file;
    FileFault fault;
    if (!file.Open(path, fault) || !file.CheckSize(maxBytes, fault))
        throw CliFailure::BadInput(fault);
    std::string chunk;
    do {
        chunk.clear();
        if (!file.Read(kChunkBytes, chunk, fault))
            throw CliFailure::BadInput(fault);
        // Held to the limit also when the file grew since it was opened.
        total += chunk.size();
        if (total > maxBytes) {
            fault = FileFault::OfFile(FileFault::Kind::TooLarge, path);
            fault.limit = maxBytes;
            throw CliFailure::BadInput(fault);
        }
        take(chunk);
    } while (chunk.size() == kChunkBytes);
}
