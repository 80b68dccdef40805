#pragma once

#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One register request: the 2-character command code and its typed fields,
// built in wire order and sent through ECRProtocol::Transact.
class ECRRequest {
public:
    explicit ECRRequest(ECRString command) : m_command(command) {}

    // Counts, indices, codes and date parts (ended by 0x1F).
    ECRRequest& Int(std::int32_t value);
    // "1" or "0" (ended by 0x1F).
    ECRRequest& Flag(bool value);
    // Names and lines as typed (ended by LF). A text holding one of the three
    // terminator bytes would split the request, so it throws CommError(11)
    // while the request is being built, before anything is sent.
    ECRRequest& Text(const ECRString& text);
    // Scaled amounts in their smallest unit (ended by TAB).
    ECRRequest& Amount(std::int32_t value);

    // Runs the transaction and returns the reply data.
    ECRString Send(ECRProtocol& protocol) const;

    const ECRString& Command() const { return m_command; }
    const ECRFieldList& Fields() const { return m_fields; }

private:
    ECRString m_command;
    ECRFieldList m_fields;
};
