#include "service/EcrdService.h"

#include "ecr/commands/Utf8Path.h"
#include "service/jobs/ServiceClock.h"

#include <chrono>
#include <filesystem>

EcrdService::EcrdService(ServiceConfig config) : m_config(std::move(config)) {}

EcrdService::~EcrdService()
{
    Stop();
}

EcrdService::Started EcrdService::Start(std::string& error)
{
    const std::filesystem::path state = Utf8Path(m_config.stateDirectory);
    std::error_code made;
    std::filesystem::create_directories(state, made);
    if (made) {
        error = "cannot make the state directory " + m_config.stateDirectory + ": " + made.message();
        return Started::Failed;
    }
    // One ecrd per journal: a second one would fail the first one's queued
    // jobs, and with its own answers print a retried key twice.
    if (!m_lock.Acquire(Utf8Name(state / "ecrd-journal.lock"), error))
        return Started::Failed;
    if (!m_journal.Open(Utf8Name(state / "ecrd-journal.sqlite"), error))
        return error.find("is damaged") != std::string::npos ? Started::Refused : Started::Failed;
    m_journal.SetWriteObserver([this](double seconds) { m_metrics.JournalWrite(seconds); });
    m_board = std::make_unique<JobBoard>(m_config, m_journal, ServiceClock::System(), m_metrics, m_events);
    m_api = std::make_unique<HttpApi>(m_config, *m_board, m_journal, m_metrics, m_events);
    // Bound before the workers start, so a port in use leaves the journal untouched.
    if (!m_api->Bind(error))
        return m_api->BindProblem() == HttpServer::BindProblem::Tls ? Started::Refused : Started::Failed;
    try {
        m_board->Start();
    } catch (const JobJournal::Failure& failure) {
        error = failure.what();
        return Started::Failed;
    }
    m_api->Start();
    return Started::Running;
}

void EcrdService::Stop()
{
    // Callers still waiting answer with their job as it stands, and no new
    // job is taken; the listeners close and every connection with them.
    if (m_board)
        m_board->BeginStop();
    if (m_api)
        m_api->Stop(std::chrono::milliseconds(1000));
    if (m_board)
        m_board->Stop();
    // Its thread formats with the API's and the board's help: it ends before they go.
    m_events.Stop();
}
