#include "service/jobs/JobJournal.h"

#include "ecr/files/JsonReader.h"
#include "service/jobs/JobJson.h"

#include <chrono>
#include <initializer_list>
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

// A stored document; a text that is no JSON reads as a string, which no
// reader takes for a document.
JsonValue ParseStored(const std::string& text)
{
    JsonValue value = JsonValue::Object();
    std::string ignored;
    JsonReader::Limits limits;
    limits.decimals = true;
    if (!text.empty() && !JsonReader::Parse(text, value, ignored, limits))
        return JsonValue(text);
    return value;
}

// "'queued', 'running'": the states' names as SQL literals (the tables'
// names hold no quote).
std::string StateList(std::initializer_list<JobState> states)
{
    std::string list;
    for (const JobState state : states)
        list += (list.empty() ? "'" : ", '") + std::string(kJobStateNames.Name(state)) + "'";
    return list;
}

constexpr const char* kColumns =
    "id, register, kind, idem_key, request, state, progress, end_doc, created_ms, started_ms, finished_ms, attempts, "
    "earlier";

}  // namespace

class JobJournal::WriteTimer {
public:
    explicit WriteTimer(const std::function<void(double)>& observer)
        : m_observer(observer), m_start(std::chrono::steady_clock::now())
    {
    }
    ~WriteTimer()
    {
        if (m_observer)
            m_observer(std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count());
    }
    WriteTimer(const WriteTimer&) = delete;
    WriteTimer& operator=(const WriteTimer&) = delete;

private:
    const std::function<void(double)>& m_observer;
    std::chrono::steady_clock::time_point m_start;
};

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
    // Another program holding the file's write lock delays a write this long
    // before it fails (and its worker keeps what it could not write).
    sqlite3_busy_timeout(m_db, kBusyMs);
    try {
        // A damaged file must not serve: it could lose what settles a receipt.
        std::string damage;
        try {
            Statement check(m_db, "PRAGMA quick_check");
            if (check.Step() && check.Text(0) != "ok")
                damage = check.Text(0);
        } catch (const Failure&) {
            const int code = sqlite3_errcode(m_db);
            if (code != SQLITE_NOTADB && code != SQLITE_CORRUPT)
                throw;
            damage = sqlite3_errmsg(m_db);
        }
        if (!damage.empty())
            throw Failure("the journal " + path + " is damaged (" + damage +
                          "); README.md, \"Recovering the journal\", says what to do");
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
        Migrate();
        CheckNames();
    } catch (const Failure& failure) {
        error = failure.what();
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    return true;
}

void JobJournal::Migrate()
{
    std::int64_t version = 0;
    {
        Statement read(m_db, "PRAGMA user_version");
        read.Step();
        version = read.Int(0);
    }
    if (version < 1)
        MigrateStepNames();
    if (version < 2) {
        // Version 2 counts a job's attempts and keeps the earlier ones.
        bool counted = false;
        {
            Statement columns(m_db, "SELECT count(*) FROM pragma_table_info('jobs') WHERE name = 'attempts'");
            counted = columns.Step() && columns.Int(0) != 0;
        }
        Execute("BEGIN IMMEDIATE");
        try {
            if (!counted) {
                Execute("ALTER TABLE jobs ADD COLUMN attempts INTEGER NOT NULL DEFAULT 1");
                Execute("ALTER TABLE jobs ADD COLUMN earlier TEXT NOT NULL DEFAULT '[]'");
            }
            Execute("PRAGMA user_version = 2");
            Execute("COMMIT");
        } catch (const Failure&) {
            Execute("ROLLBACK");
            throw;
        }
    }
}

void JobJournal::MigrateStepNames()
{
    // Version 0 named a receipt's steps before the payment "opening" (the
    // totals read) and "selling" (the receipt opened).
    Execute("BEGIN IMMEDIATE");
    try {
        const std::string step = "'\"step\":\"";
        Execute(("UPDATE jobs SET progress = replace(replace(progress, " + step + "opening\"', " + step +
                 std::string(kReceiptStepNames.Name(ReceiptStep::TotalsRead)) + "\"'), " + step + "selling\"', " +
                 step + std::string(kReceiptStepNames.Name(ReceiptStep::Opened)) + "\"') WHERE kind = '" +
                 std::string(kJobKindNames.Name(JobKind::Receipt)) + "'")
                    .c_str());
        Execute("PRAGMA user_version = 1");
        Execute("COMMIT");
    } catch (const Failure&) {
        Execute("ROLLBACK");
        throw;
    }
}

void JobJournal::CheckNames()
{
    std::string kinds;
    for (const auto& [kind, name] : kJobKindNames.Entries())
        kinds += (kinds.empty() ? "'" : ", '") + std::string(name) + "'";
    Statement odd(m_db, ("SELECT id, kind, state FROM jobs WHERE kind NOT IN (" + kinds + ") OR state NOT IN (" +
                         StateList({JobState::Queued, JobState::Running, JobState::Done, JobState::Failed,
                                    JobState::Unknown}) +
                         ") LIMIT 1")
                            .c_str());
    if (odd.Step())
        throw Failure("the journal's job " + odd.Text(0) + " has the kind \"" + odd.Text(1) + "\" and the state \"" +
                      odd.Text(2) + "\", not both of them known to this version");
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
    const auto refuse = [&](const std::string& what) {
        throw Failure("the journal's job " + job.id + " cannot be read: " + what);
    };
    job.registerId = statement->Text(1);
    const std::string kind = statement->Text(2);
    const std::optional<JobKind> knownKind = kJobKindNames.Find(kind);
    if (!knownKind)
        refuse("the kind \"" + kind + "\" is not one this version knows");
    job.kind = *knownKind;
    job.idempotencyKey = statement->Text(3);
    job.request = statement->Text(4);
    const std::string state = statement->Text(5);
    const std::optional<JobState> knownState = kJobStateNames.Find(state);
    if (!knownState)
        refuse("the state \"" + state + "\" is not one this version knows");
    job.state = *knownState;
    try {
        job.progress = JobJson::ReadProgress(job.kind, ParseStored(statement->Text(6)));
        if (job.Finished())
            job.end = JobJson::ReadEnd(job.state, ParseStored(statement->Text(7)));
    } catch (const JobJson::Malformed& malformed) {
        refuse(malformed.what());
    }
    job.createdMs = statement->Int(8);
    job.startedMs = statement->Int(9);
    job.finishedMs = statement->Int(10);
    job.attempts = static_cast<int>(statement->Int(11));
    try {
        job.earlier = JobJson::ReadEarlier(ParseStored(statement->Text(12)));
    } catch (const JobJson::Malformed& malformed) {
        refuse(malformed.what());
    }
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
    const WriteTimer timer(m_writeObserver);
    Statement insert(m_db,
                     "INSERT INTO jobs (id, register, kind, idem_key, request, state, created_ms)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, job.id).Bind(2, job.registerId).Bind(3, std::string(kJobKindNames.Name(job.kind)));
    if (job.idempotencyKey.empty())
        sqlite3_bind_null(insert.Raw(), 4);
    else
        insert.Bind(4, job.idempotencyKey);
    insert.Bind(5, job.request).Bind(6, std::string(kJobStateNames.Name(job.state))).Bind(7, job.createdMs);
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
    Statement find(m_db, (std::string("SELECT ") + kColumns + " FROM jobs WHERE register = ? AND state IN (" +
                          StateList({JobState::Queued, JobState::Running}) + ") ORDER BY created_ms, rowid")
                             .c_str());
    find.Bind(1, registerId);
    std::vector<JobRecord> jobs;
    while (find.Step())
        jobs.push_back(Row(&find));
    return jobs;
}

std::vector<JobRecord> JobJournal::List(const Filter& filter)
{
    std::string sql = std::string("SELECT ") + kColumns + " FROM jobs WHERE created_ms >= ?";
    if (!filter.registerId.empty())
        sql += " AND register = ?";
    if (filter.state)
        sql += " AND state = ?";
    if (!filter.key.empty())
        sql += " AND idem_key = ?";
    if (filter.before)
        sql += " AND (created_ms < ? OR (created_ms = ? AND id < ?))";
    sql += " ORDER BY created_ms DESC, id DESC LIMIT ?";
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement find(m_db, sql.c_str());
    int index = 1;
    find.Bind(index++, filter.sinceMs);
    if (!filter.registerId.empty())
        find.Bind(index++, filter.registerId);
    if (filter.state)
        find.Bind(index++, std::string(kJobStateNames.Name(*filter.state)));
    if (!filter.key.empty())
        find.Bind(index++, filter.key);
    if (filter.before) {
        find.Bind(index++, filter.before->first);
        find.Bind(index++, filter.before->first);
        find.Bind(index++, filter.before->second);
    }
    find.Bind(index, static_cast<std::int64_t>(filter.limit));
    std::vector<JobRecord> jobs;
    while (find.Step())
        jobs.push_back(Row(&find));
    return jobs;
}

void JobJournal::MarkRunning(const std::string& id, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const WriteTimer timer(m_writeObserver);
    Statement update(m_db, "UPDATE jobs SET state = ?, started_ms = ? WHERE id = ?");
    update.Bind(1, std::string(kJobStateNames.Name(JobState::Running))).Bind(2, nowMs).Bind(3, id).Step();
}

void JobJournal::Retry(const JobRecord& job)
{
    std::vector<EarlierAttempt> earlier = job.earlier;
    if (job.end.problem)
        earlier.push_back({job.finishedMs, *job.end.problem});
    std::lock_guard<std::mutex> lock(m_mutex);
    const WriteTimer timer(m_writeObserver);
    Statement update(m_db,
                     "UPDATE jobs SET state = ?, progress = '{}', end_doc = '{}', started_ms = 0, finished_ms = 0,"
                     " attempts = attempts + 1, earlier = ? WHERE id = ?");
    update.Bind(1, std::string(kJobStateNames.Name(JobState::Queued)))
        .Bind(2, JobJson::Earlier(earlier).Dump())
        .Bind(3, job.id)
        .Step();
}

void JobJournal::SaveProgress(const std::string& id, const JobProgress& progress)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const WriteTimer timer(m_writeObserver);
    // Synced, it is on disk before it returns with every commit before it
    // (the job's insertion among them).
    const bool sync = DurabilityOf(progress) == Durability::PastPowerCut;
    if (sync)
        Execute("PRAGMA synchronous=FULL");
    try {
        Statement update(m_db, "UPDATE jobs SET progress = ? WHERE id = ?");
        update.Bind(1, JobJson::Progress(progress).Dump()).Bind(2, id).Step();
    } catch (const Failure&) {
        if (sync)
            Execute("PRAGMA synchronous=NORMAL");
        throw;
    }
    if (sync)
        Execute("PRAGMA synchronous=NORMAL");
}

void JobJournal::Finish(const std::string& id, const JobEnd& end, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const WriteTimer timer(m_writeObserver);
    Statement update(m_db, "UPDATE jobs SET state = ?, end_doc = ?, finished_ms = ? WHERE id = ?");
    update.Bind(1, std::string(kJobStateNames.Name(end.state)))
        .Bind(2, JobJson::End(end).Dump())
        .Bind(3, nowMs)
        .Bind(4, id)
        .Step();
}

int JobJournal::Prune(std::int64_t finishedBeforeMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement remove(m_db, ("DELETE FROM jobs WHERE state IN (" +
                            StateList({JobState::Done, JobState::Failed, JobState::Unknown}) + ") AND finished_ms < ?")
                               .c_str());
    remove.Bind(1, finishedBeforeMs).Step();
    return sqlite3_changes(m_db);
}

bool JobJournal::Writable()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    sqlite3_busy_timeout(m_db, 0);
    const bool taken = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (taken)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(m_db, kBusyMs);
    return taken;
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
