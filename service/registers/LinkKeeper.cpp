#include "service/registers/LinkKeeper.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "service/jobs/ServiceClock.h"

#include <algorithm>
#include <cstdio>

LinkKeeper::LinkKeeper(const ServiceConfig::Register& reg, const ServiceConfig& config, const ServiceClock& clock,
                       DailySessionLog* log, EventHub* events, std::function<void(double seconds)> exchangeTook)
    : m_register(reg),
      m_config(config),
      m_clock(clock),
      m_log(log),
      m_events(events),
      m_exchangeTook(std::move(exchangeTook))
{
}

bool LinkKeeper::Open()
{
    std::string error;
    if (!m_target.Address()) {
        LinkTarget::SimulatorOptions simulator;
        simulator.journalPath = m_register.simulatorJournal;
        simulator.baudRate = m_register.baudGiven ? m_register.baud : 0;
        switch (m_target.Resolve(m_register.port, simulator, error)) {
        case LinkTarget::Problem::None: break;
        case LinkTarget::Problem::BadName: error = "no such port: " + m_register.port; break;
        case LinkTarget::Problem::NoSimulator: error = "the simulated register is not available in this build"; break;
        case LinkTarget::Problem::SimulatorFailed: error = "cannot start the simulated register: " + error; break;
        }
    }
    if (m_target.Address()) {
        RegisterLink::Reports reports;
        reports.requests = [this](ECRString text) {
            if (!m_exchangeStart)
                m_exchangeStart = std::chrono::steady_clock::now();
            Traffic(ECRTrafficDecoder::EngineDirection(text.Data()), std::string_view(text.Data(), text.Length()));
        };
        if (m_log != nullptr || m_events != nullptr) {
            reports.reads = [this](ECRString text) {
                Traffic(ECRTrafficDirection::FromRegister, std::string_view(text.Data(), text.Length()));
            };
        }
        if (m_log != nullptr) {
            DailySessionLog* log = m_log;
            reports.messages = [log](ECRString text) { log->Message(std::string_view(text.Data(), text.Length())); };
        }
        const PortAddress& address = *m_target.Address();
        m_link.SetMissingFields(ECRMissingFields::Fail);
        try {
            if (m_link.Open(address, RegisterLink::Settings(m_register.baud, address.ComNumber()), reports)) {
                if (m_register.pollLimits)
                    m_link.Device()->Engine().SetPollLimits(*m_register.pollLimits);
                m_link.Device()->Verdicts().SetListener([this](const ECRVerdict& verdict) { Saw(verdict); });
                m_backOffMs = 0;
                ++m_generation;
                m_lastExchange = std::chrono::steady_clock::now();
                if (m_log != nullptr)
                    m_log->Note("ecrd: the link to " + address.Text() + " is open");
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_state.open = true;
                    m_state.error.clear();
                    m_state.changedMs = m_clock.NowMs();
                    m_state.statusByte = m_link.Status() & 0xFF;
                    m_state.statusMs = m_state.changedMs;
                    m_state.lastExchangeMs = m_state.changedMs;
                    m_state.receipt = ECRFiscalCommands::ReceiptState::Unknown;
                    if (m_openedBefore)
                        ++m_state.reopenings;
                    m_openedBefore = true;
                }
                Changed();
                return true;
            }
            error = "the register does not answer on " + address.Text();
        } catch (const CommError& failure) {
            error = "cannot open " + address.Text() + ": " + m_link.Describe(failure);
        }
    }
    Drop(error, true);
    return false;
}

void LinkKeeper::Drop(const std::string& why, bool backOff)
{
    m_link.Release();
    if (backOff)
        m_backOffMs = m_backOffMs == 0 ? m_config.reopenFirstMs : std::min(m_backOffMs * 2, m_config.reopenMaxMs);
    if (m_log != nullptr)
        m_log->Note("ecrd: the link is closed: " + why);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool wasOpen = m_state.open;
        m_state.open = false;
        m_state.error = why;
        m_state.changedMs = m_clock.NowMs();
        m_state.nextOpenMs = m_state.changedMs + (backOff ? m_backOffMs : 0);
        if (wasOpen || backOff)
            std::fprintf(stderr, "ecrd: %s: %s\n", m_register.id.c_str(), why.c_str());
    }
    Changed();
}

void LinkKeeper::Changed()
{
    if (m_events != nullptr)
        m_events->Publish(RegisterChanged{m_register.id});
}

void LinkKeeper::Traffic(ECRTrafficDirection direction, std::string_view bytes)
{
    if (m_log != nullptr)
        m_log->Traffic(direction, bytes);
    // The empty read that ends every input flush says nothing about a frame.
    if (m_events != nullptr && !bytes.empty() && m_events->Watched(m_register.id))
        m_events->Publish(TrafficSeen{m_register.id, m_clock.NowMs(), direction, std::string(bytes), {}});
}

std::int64_t LinkKeeper::UntilNextAttemptMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::max<std::int64_t>(0, m_state.nextOpenMs - m_clock.NowMs());
}

LinkKeeper::State LinkKeeper::GetState() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void LinkKeeper::Saw(const ECRVerdict& verdict)
{
    m_lastExchange = std::chrono::steady_clock::now();
    if (m_exchangeStart && m_exchangeTook)
        m_exchangeTook(std::chrono::duration<double>(m_lastExchange - *m_exchangeStart).count());
    m_exchangeStart.reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.lastExchangeMs = m_clock.NowMs();
    if (verdict.kind == ECRVerdict::Kind::Refused)
        m_state.lastProblem =
            DeviceProblem{verdict.code, ECRCodePage::ToUtf8(DeviceMessageText(verdict.code)), m_state.lastExchangeMs};
}

bool LinkKeeper::Check()
{
    if (!IsOpen())
        return false;
    std::int16_t status = 0;
    try {
        status = m_link.Device()->ReadStatus();
    } catch (const CommError&) {
        return false;
    }
    if (status == 0)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.statusByte = status & 0xFF;
    m_state.statusMs = m_clock.NowMs();
    return true;
}

bool LinkKeeper::IdleFor(std::chrono::milliseconds quiet) const
{
    return std::chrono::steady_clock::now() - m_lastExchange >= quiet;
}

void LinkKeeper::Refresh()
{
    if (!IsOpen())
        return;
    const ECRFiscalCommands::ReceiptState receipt = m_link.Device()->GetReceiptState();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.receipt = receipt;
}
