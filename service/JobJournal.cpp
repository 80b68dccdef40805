#include "service/JobJournal.h"

#include "ecr/files/JsonReader.h"

#include <chrono>
#include <random>
#include <sqlite3.h>

namespace {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            throw JobJournal::Failure(std::string("the journal: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, const std::string& text)
    {
        Check(sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Bind(int index, std::int64_t value)
    {
        Check(sqlite3_bind_int64(m_statement, index, value));
        return *this;
    }
    // True while a row is there.
    bool Step()
    {
        const int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            throw JobJournal::Failure(std::string("the journal: ") + sqlite3_errmsg(m_db));
        return false;
    }
    std::string Text(int column) const
    {
        const unsigned char* text = sqlite3_column_text(m_statement, column);
        return text == nullptr ? std::string()
                               : std::string(reinterpret_cast<const char*>(text),
                                             static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
    }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_statement, column); }
    sqlite3_stmt* Raw() const { return m_statement; }

private:
    void Check(int result)
    {
        if (result != SQLITE_OK)
            throw JobJournal::Failure(std::string("the journal: ") + sqlite3_errmsg(m_db));
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

JsonValue ParseStored(const std::string& text)
{
    JsonValue value = JsonValue::Object();
    std::string ignored;
    JsonReader::Limits limits;
    limits.decimals = true;
    if (!text.empty())
        JsonReader::Parse(text, value, ignored, limits);
    return value;
}

constexpr const char* kColumns =
    "id, register, kind, idem_key, request, state, progress, end_doc, created_ms, started_ms, finished_ms";

}  // namespace

JobJournal::~JobJournal()
{
    if (m_db != nullptr)
        sqlite3_close(m_db);
}

bool JobJournal::Open(const std::string& path, std::string& error)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        error = "cannot open the journal " + path + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    try {
        // WAL: a commit is safe from a crash of the service at once; progress
        // kept past a power cut is synced (FULL), and with it every commit before.
        Execute("PRAGMA journal_mode=WAL");
        Execute("PRAGMA synchronous=NORMAL");
        Execute(
            "CREATE TABLE IF NOT EXISTS jobs ("
            " id TEXT PRIMARY KEY, register TEXT NOT NULL, kind TEXT NOT NULL, idem_key TEXT,"
            " request TEXT NOT NULL, state TEXT NOT NULL, progress TEXT NOT NULL DEFAULT '{}',"
            " end_doc TEXT NOT NULL DEFAULT '{}', created_ms INTEGER NOT NULL,"
            " started_ms INTEGER NOT NULL DEFAULT 0, finished_ms INTEGER NOT NULL DEFAULT 0)");
        Execute("CREATE UNIQUE INDEX IF NOT EXISTS jobs_key ON jobs(register, idem_key) WHERE idem_key IS NOT NULL");
        Execute("CREATE INDEX IF NOT EXISTS jobs_open ON jobs(register, state)");
    } catch (const Failure& failure) {
        error = failure.what();
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    return true;
}

void JobJournal::Execute(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "failed";
        sqlite3_free(message);
        throw Failure("the journal: " + text);
    }
}

JobRecord JobJournal::Row(void* raw)
{
    auto* statement = static_cast<Statement*>(raw);
    JobRecord job;
    job.id = statement->Text(0);
    job.registerId = statement->Text(1);
    job.kind = statement->Text(2);
    job.idempotencyKey = statement->Text(3);
    job.request = statement->Text(4);
    job.state = JobRecord::StateFromName(statement->Text(5));
    job.progress = ParseStored(statement->Text(6));
    job.end = ParseStored(statement->Text(7));
    job.createdMs = statement->Int(8);
    job.startedMs = statement->Int(9);
    job.finishedMs = statement->Int(10);
    return job;
}

std::optional<JobRecord> JobJournal::FindByKey(const std::string& registerId, const std::string& key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement find(m_db,
                   (std::string("SELECT ") + kColumns + " FROM jobs WHERE register = ? AND idem_key = ?").c_str());
    find.Bind(1, registerId).Bind(2, key);
    if (!find.Step())
        return std::nullopt;
    return Row(&find);
}

void JobJournal::Insert(const JobRecord& job)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement insert(m_db,
                     "INSERT INTO jobs (id, register, kind, idem_key, request, state, created_ms)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, job.id).Bind(2, job.registerId).Bind(3, job.kind);
    if (job.idempotencyKey.empty())
        sqlite3_bind_null(insert.Raw(), 4);
    else
        insert.Bind(4, job.idempotencyKey);
    insert.Bind(5, job.request).Bind(6, std::string(JobRecord::StateName(job.state))).Bind(7, job.createdMs);
    insert.Step();
}

std::optional<JobRecord> JobJournal::Find(const std::string& id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement find(m_db, (std::string("SELECT ") + kColumns + " FROM jobs WHERE id = ?").c_str());
    find.Bind(1, id);
    if (!find.Step())
        return std::nullopt;
    return Row(&find);
}

std::vector<JobRecord> JobJournal::Unfinished(const std::string& registerId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement find(m_db, (std::string("SELECT ") + kColumns +
                          " FROM jobs WHERE register = ? AND state IN ('queued', 'running') ORDER BY created_ms, rowid")
                             .c_str());
    find.Bind(1, registerId);
    std::vector<JobRecord> jobs;
    while (find.Step())
        jobs.push_back(Row(&find));
    return jobs;
}

void JobJournal::MarkRunning(const std::string& id, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement update(m_db, "UPDATE jobs SET state = 'running', started_ms = ? WHERE id = ?");
    update.Bind(1, nowMs).Bind(2, id).Step();
}

void JobJournal::SaveProgress(const std::string& id, const JsonValue& progress, Keep keep)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Synced, it is on disk before it returns with every commit before it
    // (the job's insertion among them).
    if (keep == Keep::PastPowerCut)
        Execute("PRAGMA synchronous=FULL");
    try {
        Statement update(m_db, "UPDATE jobs SET progress = ? WHERE id = ?");
        update.Bind(1, progress.Dump()).Bind(2, id).Step();
    } catch (const Failure&) {
        Execute("PRAGMA synchronous=NORMAL");
        throw;
    }
    Execute("PRAGMA synchronous=NORMAL");
}

void JobJournal::Finish(const std::string& id, JobRecord::State state, const JsonValue& end, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement update(m_db, "UPDATE jobs SET state = ?, end_doc = ?, finished_ms = ? WHERE id = ?");
    update.Bind(1, std::string(JobRecord::StateName(state))).Bind(2, end.Dump()).Bind(3, nowMs).Bind(4, id).Step();
}

int JobJournal::Prune(std::int64_t finishedBeforeMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement remove(m_db, "DELETE FROM jobs WHERE state IN ('done', 'failed', 'unknown') AND finished_ms < ?");
    remove.Bind(1, finishedBeforeMs).Step();
    return sqlite3_changes(m_db);
}

std::string JobJournal::NewId()
{
    static std::mutex mutex;
    static std::random_device device;
    static std::mt19937_64 generator(
        (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::lock_guard<std::mutex> lock(mutex);
    static const char digits[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 2; ++i) {
        std::uint64_t value = generator();
        for (int j = 0; j < 16; ++j, value >>= 4)
            id += digits[value & 0x0F];
    }
    return id;
}

std::int64_t JobJournal::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
