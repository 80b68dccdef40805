#pragma once

#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRVerdicts.h"

#include <cstdint>

// The protocol interface: eleven operations in a fixed slot order, each with
// exactly one implementation (ECRDevice).
class ECRProtocol {
public:
    virtual ~ECRProtocol() = default;

    virtual ECRString Checksum(ECRString payload) = 0;                          // slot 0
    virtual ECRString Frame(ECRString payload) = 0;                             // slot 1
    virtual ECRString Unframe(ECRString frame) = 0;                             // slot 2
    virtual std::int16_t ReadStatus() = 0;                                      // slot 3
    virtual void SendAck() = 0;                                                 // slot 4
    virtual void SendNak() = 0;                                                 // slot 5
    virtual void ReportProgress(std::int32_t percent) = 0;                      // slot 6
    virtual ECRString SendRaw(ECRString request) = 0;                           // slot 7
    virtual ECRString SendReceive(ECRString request, std::int32_t timeoutMs) = 0;  // slot 8
    virtual ECRString Transact(ECRString command, const ECRFieldList* fields) = 0;  // slot 9
    virtual ECRString TransactNoPoll(ECRString request) = 0;                    // slot 10

    // Not one of the eleven: the verdicts of this device's own exchanges, which
    // tell whether the register did what it was asked (see ECRVerdict).
    virtual ECRVerdicts& Verdicts() = 0;
    const ECRVerdict& LastVerdict() { return Verdicts().Last(); }

    // The device error code most recently reported by any device object.
    static std::int32_t LastErrorCode();
};
