#pragma once

#include <string>

// The payload of a raw request as typed on the command line: UTF-8 text,
// sent as Windows-1250, with the escapes \xHH (any byte but 0x00), \n, \t
// and \\. So \x1F, \x0A and \x09 give the protocol's field terminators.
class RawPayload {
public:
    // False with a message for an unknown or incomplete escape, or a zero byte.
    static bool Decode(const std::string& typed, std::string& bytes, std::string& error);
};
