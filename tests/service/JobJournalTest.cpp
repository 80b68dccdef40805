// The job journal: what it keeps survives closing it, keys belong to their
// register, and only ended jobs are forgotten.
#include "articles/TempFolder.h"
#include "service/JobJournal.h"

#include <gtest/gtest.h>

namespace {

JobRecord Job(const std::string& id, const std::string& registerId, const std::string& key, std::int64_t created)
{
    JobRecord job;
    job.id = id;
    job.registerId = registerId;
    job.kind = "receipt";
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
        JsonValue progress = JsonValue::Object();
        progress.Set("step", "paying");
        journal.SaveProgress("a1", progress, JobJournal::Keep::PastPowerCut);
        JsonValue end = JsonValue::Object();
        end.Set("outcome", "printed");
        journal.Finish("b1", JobRecord::State::Done, end, 20);
    }
    JobJournal journal;
    std::string error;
    ASSERT_TRUE(journal.Open(path, error)) << error;
    const std::optional<JobRecord> a1 = journal.FindByKey("kasa1", "k1");
    ASSERT_TRUE(a1.has_value());
    EXPECT_EQ(a1->id, "a1");
    EXPECT_EQ(a1->state, JobRecord::State::Running);
    EXPECT_EQ(a1->progress.Find("step")->AsString(), "paying");
    EXPECT_EQ(journal.FindByKey("kasa2", "k1")->id, "b1");
    EXPECT_EQ(journal.Find("b1")->end.Find("outcome")->AsString(), "printed");
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
