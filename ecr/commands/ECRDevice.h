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
    // Makes the engine on the port (DefaultPollLimits(), no callbacks) and
    // resets the process-wide last device error code to 0. Sends nothing.
    explicit ECRDevice(SerialPort* port);
    ~ECRDevice() override;

    ECRDevice(const ECRDevice&) = delete;
    ECRDevice& operator=(const ECRDevice&) = delete;

    // The eleven operations as ECRProtocol describes them. Checksum is
    // ECRFrame's; Frame and Unframe take their checksum from it, and the rest
    // hand over to the engine.
    ECRString Checksum(ECRString payload) override;
    ECRString Frame(ECRString payload) override;
    // A checksum mismatch throws CommError(17), 1 to 3 bytes ECRStringError.
    // 17 ("Invalid Command!"), not 18 ("Wrong checksum!"): the design raises 17
    // there and never 18, and the windows' messages, ecrctl's exit codes and
    // the traces are built on it; the verdict names the failed check Checksum.
    ECRString Unframe(ECRString frame) override;
    std::int16_t ReadStatus() override;
    void SendAck() override;
    void SendNak() override;
    void ReportProgress(std::int32_t percent) override;
    // The four ways to send: see the table in ECRProtocol.h. A bad checksum
    // in the reply comes through as CommError(17), for the reason at Unframe.
    ECRString SendRaw(ECRString request) override;
    ECRString SendReceive(ECRString request, std::int32_t timeoutMs) override;
    ECRString Transact(ECRString command, const ECRFieldList* fields) override;
    ECRString TransactNoPoll(ECRString request) override;

    // The engine's reports (see ECREngine); an empty callback switches one off.
    void SetTrafficCallback(ECRTextCallback callback);
    void SetProgressCallback(ECRProgressCallback callback);
    void SetMessageCallback(ECRTextCallback callback);
    void SetWaitCallback(ECRWaitCallback callback);

    ECRVerdicts& Verdicts() override { return m_engine.Verdicts(); }
    // One for the three command groups' (each has its own from ECRProtocol).
    const ECRVerdict& LastVerdict() { return m_engine.Verdicts().Last(); }

    // ReadEmpty (the design's reading) until set.
    ECRMissingFields MissingFields() override { return m_missingFields; }
    void SetMissingFields(ECRMissingFields reading) { m_missingFields = reading; }

    // The engine, for its poll limits and its port.
    ECREngine& Engine() { return m_engine; }

private:
    ECREngine m_engine;
    ECRMissingFields m_missingFields = ECRMissingFields::ReadEmpty;
};
