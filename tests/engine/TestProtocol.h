#pragma once

#include "ecr/protocol/ECREngine.h"
#include "ecr/protocol/ECRProtocol.h"
#include "support/FakeSerialPort.h"

// The smallest complete protocol object: the frame operations from ECRFrame
// (checksum through the virtual slot) and everything else forwarded to an
// engine over a scripted port.
class TestProtocol : public ECRProtocol {
public:
    TestProtocol();

    ECRString Checksum(ECRString payload) override;
    ECRString Frame(ECRString payload) override;
    ECRString Unframe(ECRString frame) override;
    std::int16_t ReadStatus() override;
    void SendAck() override;
    void SendNak() override;
    void ReportProgress(std::int32_t percent) override;
    ECRString SendRaw(ECRString request) override;
    ECRString SendReceive(ECRString request, std::int32_t timeoutMs) override;
    ECRString Transact(ECRString command, const ECRFieldList* fields) override;
    ECRString TransactNoPoll(ECRString request) override;

    FakeSerialPort port;
    ECREngine engine;
};
