#pragma once

#include "ecr/commands/ECRArticleCommands.h"
#include "ecr/commands/ECRFiscalCommands.h"
#include "ecr/commands/ECRGraphicsCommands.h"
#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECREngine.h"

class SerialPort;

// The one object through which everything reaches the register: the three
// command groups over one engine. The eleven protocol operations are
// implemented here once and serve all three groups. The port is not owned.
class ECRDevice : public ECRFiscalCommands, public ECRArticleCommands, public ECRGraphicsCommands {
public:
    explicit ECRDevice(SerialPort* port);
    ~ECRDevice() override;

    ECRDevice(const ECRDevice&) = delete;
    ECRDevice& operator=(const ECRDevice&) = delete;

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

    void SetTrafficCallback(ECRTextCallback callback);
    void SetProgressCallback(ECRProgressCallback callback);
    void SetMessageCallback(ECRTextCallback callback);
    void SetWaitCallback(ECRWaitCallback callback);

    ECRVerdicts& Verdicts() override { return m_engine.Verdicts(); }
    // One for the three command groups' (each has its own from ECRProtocol).
    const ECRVerdict& LastVerdict() { return m_engine.Verdicts().Last(); }

    ECREngine& Engine() { return m_engine; }

private:
    ECREngine m_engine;
};
