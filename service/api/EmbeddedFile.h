#pragma once

#include <string_view>
#include <vector>

// A file compiled into the program (cmake/EmbedFiles.cmake): its path below
// the folder it came from, and its bytes.
struct EmbeddedFile {
    std::string_view path;
    std::string_view bytes;
};

// The files ecrd serves as they are: the OpenAPI document and the console.
const std::vector<EmbeddedFile>& ServedFiles();
