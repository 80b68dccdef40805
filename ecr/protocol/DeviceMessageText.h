#pragma once

#include <cstdint>

// The register's message for a device error code (Windows-1250 bytes);
// "???" for a code without its own text, also outside 0..255.
const char* DeviceMessageText(std::int32_t code);
