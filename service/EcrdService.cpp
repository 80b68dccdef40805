#include "service/EcrdService.h"

#include "service/jobs/ServiceClock.h"

#include <filesystem>

EcrdService::EcrdService(ServiceConfig config) : m_config(std::move(config)) {}

EcrdService::~EcrdService()
{
    Stop();
}

bool EcrdService::Start(std::string& error)
{
    std::error_code made;
    std::filesystem::create_directories(m_config.stateDirectory, made);
    if (made) {
        error = "cannot make the state directory " + m_config.stateDirectory + ": " + made.message();
        return false;
    }
    const std::filesystem::path state(m_config.stateDirectory);
    // One ecrd per journal: a second one would fail the first one's queued
    // jobs, and with its own answers print a retried key twice.
    if (!m_lock.Acquire((state / "ecrd-journal.lock").string(), error))
        return false;
    if (!m_journal.Open((state / "ecrd-journal.sqlite").string(), error))
        return false;
    m_board = std::make_unique<JobBoard>(m_config, m_journal, ServiceClock::System());
    m_api = std::make_unique<HttpApi>(m_config, *m_board);
    // Bound before the workers start, so a port in use leaves the journal untouched.
    if (!m_api->Bind(error))
        return false;
    try {
        m_board->Start();
    } catch (const JobJournal::Failure& failure) {
        error = failure.what();
        return false;
    }
    m_http = std::thread([this] { m_api->Serve(); });
    return true;
}

void EcrdService::Stop()
{
    // Callers still waiting answer with their job as it stands, and no new
    // job is taken, before the HTTP threads are stopped.
    if (m_board)
        m_board->BeginStop();
    if (m_api)
        m_api->Stop();
    if (m_http.joinable())
        m_http.join();
    if (m_board)
        m_board->Stop();
}
