#pragma once

#include <string>

// ESC 'P' payload checksum ESC '\', worked out here independently of the
// program's own encoder, for scripted registers that answer any payload.
std::string WireFrame(const std::string& payload);
