#pragma once

#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECRClock.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <string>
#include <utility>

// How every port reads, whatever carries its bytes: one byte at a time, so a
// read stops exactly at its terminator; XON/XOFF bytes dropped; a zero byte
// ending the read as a gap does; every read's result (an empty one too)
// handed to the traffic callback.
class ByteReader {
public:
    // No read runs longer than this once its first byte has come: the longest
    // reply (16 KiB) at the slowest speed (9600 baud) takes about 17 s.
    static constexpr std::int64_t kMaxReadMs = 30000;
    // A line that keeps sending without ever sending the terminator (noise, a
    // wrong speed, a babbling device) must not hold a read for ever nor fill
    // the memory; no reply of the register comes near this.
    static constexpr std::int64_t kMaxReadUntilBytes = 16384;

    // Null switches the report off.
    void SetTrafficCallback(ECRTextCallback callback) { m_traffic = std::move(callback); }

    // Reads until nothing comes (nextByte() gives -1: the gap it waited out),
    // the stop byte has come, limit bytes have, or the read has run
    // kMaxReadMs. nextByte gives the next byte as 0..255. Not reported yet:
    // the caller finishes the read first (Report).
    template <class NextByte>
    ECRString Read(char stop, std::int64_t limit, NextByte&& nextByte)
    {
        // Gathered here and made an ECRString once: growing one byte by
        // byte would allocate and copy the whole text again for every byte.
        std::string bytes;
        std::int64_t firstByteMs = 0;
        for (;;) {
            const int byte = nextByte();
            if (byte == kXon || byte == kXoff) {
                continue;
            }
            if (byte <= 0) {  // nothing came, or a zero byte
                break;
            }
            if (bytes.empty()) {
                firstByteMs = ECRClockMs();
            }
            bytes.push_back(static_cast<char>(byte));
            if (static_cast<char>(byte) == stop || static_cast<std::int64_t>(bytes.size()) >= limit ||
                ECRClockMs() - firstByteMs >= kMaxReadMs) {
                break;
            }
        }
        // No zero byte among them: a zero byte ends the read unread.
        return ECRString(bytes.c_str());
    }

    // Hands a finished read to the traffic callback and returns it.
    ECRString Report(ECRString text) const
    {
        if (m_traffic != nullptr) {
            m_traffic(text);
        }
        return text;
    }

private:
    static constexpr int kXon = 0x11;
    static constexpr int kXoff = 0x13;

    ECRTextCallback m_traffic;
};
