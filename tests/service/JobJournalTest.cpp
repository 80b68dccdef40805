// The job journal: what it keeps survives closing it, keys belong to their
// register, and only ended jobs are forgotten.
#include "articles/TempFolder.h"
#include "service/jobs/JobJournal.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

JobRecord Job(const std::string& id, const std::string& registerId, const std::string& key, std::int64_t created)
{
    JobRecord job;
    job.id = id;
    job.registerId = registerId;
    job.kind = JobKind::Receipt;
    job.idempotencyKey = key;
    job.request = "POST /registers/" + registerId + "/receipts\n{}";
    job.createdMs = created;
    return job;
}

}  // namespace

TEST(JobJournal, KeepsJobsProgressAndEndsAcrossReopening)
{
    TempFolder folder;
    const std::string path = folder.File("journal.sqlite");
    {
        JobJournal journal;
        std::string error;
        ASSERT_TRUE(journal.Open(path, error)) << error;
        journal.Insert(Job("a1", "kasa1", "k1", 1));
        journal.Insert(Job("a2", "kasa1", "", 2));
        journal.Insert(Job("b1", "kasa2", "k1", 3));  // the same key on another register is another job
        journal.MarkRunning("a1", 10);
        ReceiptProgress progress;
        progress.step = ReceiptStep::PaymentAboutToGo;
        progress.totalsBefore.figures.fill("0");
        journal.SaveProgress("a1", progress);
        journal.Finish("b1", JobEnd::Done(ReceiptResult{100, {100, 0, 0}}).With(Outcome::Printed), 20);
    }
    JobJournal journal;
    std::string error;
    ASSERT_TRUE(journal.Open(path, error)) << error;
    const std::optional<JobRecord> a1 = journal.FindByKey("kasa1", "k1");
    ASSERT_TRUE(a1.has_value());
    EXPECT_EQ(a1->id, "a1");
    EXPECT_EQ(a1->state, JobState::Running);
    EXPECT_EQ(std::get<ReceiptProgress>(a1->progress).step, ReceiptStep::PaymentAboutToGo);
    EXPECT_EQ(journal.FindByKey("kasa2", "k1")->id, "b1");
    EXPECT_EQ(journal.Find("b1")->end.outcome, Outcome::Printed);
    const std::vector<JobRecord> open = journal.Unfinished("kasa1");
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].id, "a1");
    EXPECT_EQ(open[1].id, "a2");
    EXPECT_TRUE(journal.Unfinished("kasa2").empty());

    // Only the ended job before the time goes, and its key with it.
    EXPECT_EQ(journal.Prune(21), 1);
    EXPECT_FALSE(journal.Find("b1").has_value());
    EXPECT_FALSE(journal.FindByKey("kasa2", "k1").has_value());
    EXPECT_TRUE(journal.Find("a1").has_value());
}

TEST(JobJournal, RefusesAFileThatIsNoDatabase)
{
    TempFolder folder;
    JobJournal journal;
    std::string error;
    EXPECT_FALSE(journal.Open(folder.Write("journal.sqlite", std::string(4096, 'x')), error));
    EXPECT_NE(error.find("journal"), std::string::npos) << error;
}

TEST(JobJournal, NewIdsAreThirtyTwoHexDigitsAndDiffer)
{
    const std::string a = JobJournal::NewId();
    EXPECT_EQ(a.size(), 32u);
    EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(a, JobJournal::NewId());
}

namespace {

// Runs SQL on the journal's file as another program would.
void Tamper(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

const std::string kTotals = R"(["1","2","3","4","5","6","7","8","9","100","10","0","0"])";

}  // namespace

TEST(JobJournal, ARowWithANameThisVersionDoesNotKnowIsRefusedNamingTheJob)
{
    struct Case {
        std::string column;
        std::string value;
    };
    for (const Case& c : {Case{"state", "'paused'"}, Case{"kind", "'refund'"},
                          Case{"progress", "'{\"step\":\"dancing\",\"totalsBefore\":" + kTotals + "}'"},
                          Case{"progress", "'{\"step\":\"paying\"}'"}}) {
        SCOPED_TRACE(c.column + " = " + c.value);
        TempFolder folder;
        const std::string path = folder.File("journal.sqlite");
        {
            JobJournal journal;
            std::string error;
            ASSERT_TRUE(journal.Open(path, error)) << error;
            journal.Insert(Job("c0ffee", "kasa1", "k", 1));
            journal.MarkRunning("c0ffee", 2);
        }
        Tamper(path, "UPDATE jobs SET " + c.column + " = " + c.value);
        // Refused when the journal is opened, or else when the row is read.
        JobJournal journal;
        std::string error;
        if (journal.Open(path, error)) {
            try {
                journal.Unfinished("kasa1");
                ADD_FAILURE() << "read as a default";
            } catch (const JobJournal::Failure& failure) {
                error = failure.what();
            }
        }
        EXPECT_NE(error.find("c0ffee"), std::string::npos) << error;
    }
}

TEST(JobJournal, AJournalOfTheFirstVersionIsReadWithItsReceiptStepsRenamed)
{
    TempFolder folder;
    const std::string path = folder.File("journal.sqlite");
    {
        JobJournal journal;
        std::string error;
        ASSERT_TRUE(journal.Open(path, error)) << error;
        journal.Insert(Job("a1", "kasa1", "k1", 1));
        journal.Insert(Job("a2", "kasa1", "k2", 2));
    }
    Tamper(path, "UPDATE jobs SET state = 'running', progress = '{\"step\":\"opening\",\"totalsBefore\":" + kTotals +
                     "}' WHERE id = 'a1'; UPDATE jobs SET state = 'running', progress = "
                     "'{\"step\":\"selling\",\"totalsBefore\":" +
                     kTotals + "}' WHERE id = 'a2'; PRAGMA user_version = 0");
    JobJournal journal;
    std::string error;
    ASSERT_TRUE(journal.Open(path, error)) << error;
    const std::vector<JobRecord> open = journal.Unfinished("kasa1");
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(std::get<ReceiptProgress>(open[0].progress).step, ReceiptStep::TotalsRead);
    EXPECT_EQ(std::get<ReceiptProgress>(open[1].progress).step, ReceiptStep::Opened);
    EXPECT_EQ(std::get<ReceiptProgress>(open[1].progress).totalsBefore.GrandTotal(), 100);
}
