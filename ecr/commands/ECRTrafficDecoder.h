#pragma once

#include "ecr/commands/ECRTrafficEntry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Turns traffic entries into lines a person reads at a glance:
//
//      412 ms  PC -> ECR  #r zapis artikla: name=Sok price=12.50 taxRate=2 unit=1  cs=3C
//      431 ms  ECR -> PC  #r zapis artikla  cs=5D ok  code=0 Operacija je uspesna
//      440 ms  ECR -> PC  status 06 ready
//
// Requests and replies are named from the command table and their fields
// shown by name in their units; frames get their checksum checked, replies
// their device code with the register's message. Whatever cannot be read is
// shown in hexadecimal with the reason. Decoding never throws and always
// gives exactly one line (UTF-8, no line break).
//
// The decoder remembers the request waiting for its reply, so that a reply
// is read by the command it answers, and a capture that does not say which
// way an entry went can be told apart. Feed one session's entries in order.
class ECRTrafficDecoder {
public:
    // The entry's line: Prefix, then what the bytes say. An entry of unknown
    // direction is judged by its bytes (and by the request waiting for its
    // reply); "Exception" is the engine's note.
    std::string Decode(const ECRTrafficEntry& entry);

    // Forget the request waiting for a reply (a new session begins).
    void Reset();

    // Frames decoded so far that failed a check the engine makes: cut short,
    // a wrong checksum or closing bytes, a zero byte inside, a reply too
    // short or of no known class, or one that does not answer the request
    // waiting for it. Reset keeps the count.
    std::size_t FailedFrames() const { return m_failedFrames; }

    // The start of every line: the time when known ("%8lld ms"), then the
    // direction tag padded to a column, then two blanks.
    static std::string Prefix(std::int64_t ms, std::string_view tag);
    // Reads a prefix back; rest is what follows it. False when the line
    // does not start with one.
    static bool ParsePrefix(std::string_view line, std::int64_t& ms, std::string& tag, std::string_view& rest);

    // The direction's tag: one of the constants below ("?" for Unknown).
    static std::string_view Tag(ECRTrafficDirection direction);
    // Which way a text the engine's traffic callback reported went: its
    // requests go to the register; "Exception" is its note on a reply.
    static ECRTrafficDirection EngineDirection(std::string_view text);
    static constexpr std::string_view kToRegisterTag = "PC -> ECR";
    static constexpr std::string_view kFromRegisterTag = "ECR -> PC";
    static constexpr std::string_view kNoteTag = "note";
    static constexpr std::string_view kUnknownTag = "?";
    // Lines that are not traffic (the session log's messages).
    static constexpr std::string_view kMessageTag = "message";

private:
    struct ReplyText {
        std::string body;  // class, letter, command and fields
        std::string code;  // the device code and its message, when the engine would accept the reply
        bool refusal = false;  // a device error reply: the code is the register's own
        bool failed = false;   // the engine's reply check would not take it
    };

    ECRTrafficDirection Classify(std::string_view bytes) const;
    std::string Outgoing(std::string_view bytes);
    std::string Incoming(std::string_view bytes);
    std::string Request(std::string_view payload);
    ReplyText Reply(std::string_view payload);
    std::string Frame(std::string_view frame, bool request);
    bool LooksLikeReply(std::string_view payload) const;

    // The code of the request that has not been answered yet, or empty.
    std::string m_pending;
    // The last read was a lone ESC: the status byte that opened a reply
    // frame whose rest comes in the next read.
    bool m_escRead = false;
    std::size_t m_failedFrames = 0;
};
