#pragma once

#include <cstdint>
#include <string>

// One row of the wire benchmark: an operation a user times with a stopwatch,
// described without saying which front end carries it out.
struct WireScenario {
    enum class Operation { GenerateArticles, ImportArticles, ListArticles, DumpMemory, UploadLogo };

    std::string label;
    Operation operation = Operation::GenerateArticles;
    std::int32_t articles = 0;    // generated (Artikal1..N), or stored in the register before a list
    std::string inputPath;        // the import file, or the picture
    std::string outputPath;       // where the list or the dump is saved
    std::int32_t memoryArea = 0;
};
