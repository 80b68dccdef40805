#include "service/metrics/ServiceMetrics.h"

namespace {

const std::vector<double> kExchangeBounds{0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};
const std::vector<double> kJournalBounds{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.5, 2.5};

void Family(std::string& out, const char* name, const char* type, const char* help)
{
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

}  // namespace

ServiceMetrics::ServiceMetrics() : m_journalWrites(kJournalBounds) {}

std::string ServiceMetrics::Quoted(std::string_view value)
{
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        if (c == '\n') {
            quoted += "\\n";
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

void ServiceMetrics::JobEnded(const std::string& registerId, std::string_view kind, std::string_view state,
                              std::string_view outcome, bool settled)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_jobs[{registerId, std::string(kind), std::string(state), std::string(outcome)}];
    if (settled)
        ++m_settlements[{registerId, std::string(outcome)}];
}

void ServiceMetrics::Exchange(const std::string& registerId, double seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exchanges.try_emplace(registerId, kExchangeBounds).first->second.Observe(seconds);
}

void ServiceMetrics::JournalWrite(double seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_journalWrites.Observe(seconds);
}

std::string ServiceMetrics::Render(const std::vector<RegisterGauges>& registers, bool journalWritable,
                                   const HttpFigures& http) const
{
    std::string out;
    out.reserve(8192);
    Family(out, "ecrd_link_up", "gauge", "Whether the register's link is open (1) or down (0).");
    for (const RegisterGauges& reg : registers)
        out += "ecrd_link_up{register=" + Quoted(reg.id) + "} " + (reg.linkUp ? "1" : "0") + "\n";
    Family(out, "ecrd_link_reopenings_total", "counter", "Times the register's link was opened again.");
    for (const RegisterGauges& reg : registers)
        out += "ecrd_link_reopenings_total{register=" + Quoted(reg.id) + "} " + std::to_string(reg.reopenings) + "\n";
    Family(out, "ecrd_queue_length", "gauge", "Jobs waiting for the register.");
    for (const RegisterGauges& reg : registers)
        out += "ecrd_queue_length{register=" + Quoted(reg.id) + "} " + std::to_string(reg.queued) + "\n";
    Family(out, "ecrd_unsettled_jobs", "gauge", "Jobs whose answer was lost, waiting to be settled.");
    for (const RegisterGauges& reg : registers)
        out += "ecrd_unsettled_jobs{register=" + Quoted(reg.id) + "} " + std::to_string(reg.unsettled) + "\n";
    Family(out, "ecrd_journal_writable", "gauge", "Whether the journal takes writes (1) or not (0).");
    out += std::string("ecrd_journal_writable ") + (journalWritable ? "1" : "0") + "\n";

    std::lock_guard<std::mutex> lock(m_mutex);
    Family(out, "ecrd_jobs_total", "counter", "Jobs ended, by register, kind, state and outcome.");
    for (const auto& [labels, count] : m_jobs) {
        const auto& [registerId, kind, state, outcome] = labels;
        out += "ecrd_jobs_total{register=" + Quoted(registerId) + ",kind=" + Quoted(kind) + ",state=" + Quoted(state) +
               ",outcome=" + Quoted(outcome) + "} " + std::to_string(count) + "\n";
    }
    Family(out, "ecrd_settlements_total", "counter",
           "Fiscal jobs settled from the register after a lost answer, by outcome.");
    for (const auto& [labels, count] : m_settlements)
        out += "ecrd_settlements_total{register=" + Quoted(labels.first) + ",outcome=" + Quoted(labels.second) + "} " +
               std::to_string(count) + "\n";
    Family(out, "ecrd_exchange_duration_seconds", "histogram",
           "One exchange with the register, from the request to its verdict.");
    for (const auto& [registerId, histogram] : m_exchanges)
        histogram.Render("ecrd_exchange_duration_seconds", "register=" + Quoted(registerId), out);
    Family(out, "ecrd_journal_write_duration_seconds", "histogram", "One write of the journal.");
    m_journalWrites.Render("ecrd_journal_write_duration_seconds", "", out);

    Family(out, "ecrd_http_answers_total", "counter", "HTTP answers sent, by status.");
    for (const auto& [status, count] : http.answersByStatus)
        out += "ecrd_http_answers_total{status=\"" + std::to_string(status) + "\"} " + std::to_string(count) + "\n";
    Family(out, "ecrd_http_connections_open", "gauge", "HTTP connections open.");
    out += "ecrd_http_connections_open " + std::to_string(http.connectionsOpen) + "\n";
    Family(out, "ecrd_http_streams_dropped_total", "counter", "Event streams closed for falling behind.");
    out += "ecrd_http_streams_dropped_total " + std::to_string(http.streamsDropped) + "\n";
    return out;
}
