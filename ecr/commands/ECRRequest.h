#pragma once

#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One register request: the 2-character command code and its typed fields,
// built in wire order and sent through ECRProtocol::Transact.
class ECRRequest {
public:
    // The command code: class and letter ("#r"). Nothing is sent until Send.
    explicit ECRRequest(ECRString command) : m_command(command) {}

    // Counts, indices, codes and date parts in decimal (ended by 0x1F).
    ECRRequest& Int(std::int32_t value);
    // "1" or "0" (ended by 0x1F).
    ECRRequest& Flag(bool value);
    // Names and lines as typed (ended by LF). A text holding one of the three
    // terminator bytes would split the request, so it throws CommError(11)
    // while the request is being built, before anything is sent.
    ECRRequest& Text(const ECRString& text);
    // Scaled amounts in their smallest unit, in decimal (ended by TAB).
    ECRRequest& Amount(std::int32_t value);

    // Runs the transaction (Transact) and returns the reply data: a refusal's
    // device code as text, the empty text for a reply that failed its check;
    // LastVerdict() tells which. Throws what Transact throws (the table in
    // ECRProtocol.h: CommError(10) for no reply, CommError(17) for a bad
    // checksum, the port's CommError, ECRStringError for a reply too short).
    ECRString Send(ECRProtocol& protocol) const;

    // What Send will send: the code, and the fields with their kinds.
    const ECRString& Command() const { return m_command; }
    const ECRFieldList& Fields() const { return m_fields; }

private:
    ECRString m_command;
    ECRFieldList m_fields;
};
