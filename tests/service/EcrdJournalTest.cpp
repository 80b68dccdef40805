// The journal is ecrd's alone, and what it cannot write is not lost: a
// second ecrd on it is refused, and a receipt printed while another program
// holds the journal's lock or the disk is full stays printed, while no new
// job starts until the journal takes writes again.
#include "EcrdFixture.h"

#include <chrono>
#include <fstream>
#include <sqlite3.h>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace {

// Reads or holds the journal's file as another program would.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& path)
    {
        EXPECT_EQ(sqlite3_open(path.c_str(), &m_db), SQLITE_OK);
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~OtherProgram() { sqlite3_close(m_db); }

    void Execute(const std::string& sql)
    {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
    }
    // The first column of the first row.
    std::string Value(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        std::string value;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr)
            value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
};

class EcrdJournal : public EcrdTest {
protected:
    std::string JournalPath() const { return folder.File("state") + "/ecrd-journal.sqlite"; }

    // A receipt whose payment's answer the register holds back, so that its
    // end is written while the test does something to the journal. Returns
    // the POST's answer, once the action is done and the receipt settled.
    Answer ReceiptWhile(const std::function<void()>& action)
    {
        SetFaults(1, [](SimFaults& faults) { faults.dropReplyAt = "*e"; });
        Answer answer;
        std::thread till([&] {
            httplib::Client own("127.0.0.1", ecrd.Port());
            own.set_read_timeout(60, 0);
            answer = From(
                own.Post("/registers/kasa1/receipts", {{"Idempotency-Key", "sale"}}, kTwoLines, "application/json"));
        });
        EXPECT_TRUE(AwaitCommand(1, "*e"));
        action();
        till.join();
        return answer;
    }

    // What a till sees while the journal takes no writes: a new sale refused
    // with nothing sent, and one that may be tried again.
    void ExpectNewSalesRefused()
    {
        const std::size_t before = hosts[0]->Requests().size();
        const Answer refused = Receipt("next", kTwoLines);
        EXPECT_EQ(refused.status, 503);
        EXPECT_EQ(refused.body["code"].text, "journal-unavailable");
        EXPECT_TRUE(refused.body["retryable"].boolean);
        EXPECT_EQ(hosts[0]->Requests().size(), before) << "nothing was sent";
    }

    // Once the journal takes writes again, it holds the printed receipt, and
    // no job of it stays queued or running.
    void ExpectJournalCaughtUp(const std::string& jobId)
    {
        OtherProgram reader(JournalPath());
        std::string state;
        for (int i = 0; i < 100 && state != "done"; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            state = reader.Value("SELECT state FROM jobs WHERE id = '" + jobId + "'");
        }
        EXPECT_EQ(state, "done");
        EXPECT_NE(reader.Value("SELECT end_doc FROM jobs WHERE id = '" + jobId + "'").find("\"outcome\":\"printed\""),
                  std::string::npos);
        EXPECT_EQ(reader.Value("SELECT count(*) FROM jobs WHERE state IN ('queued', 'running')"), "0");
        EXPECT_EQ(Receipt("after", kTwoLines).body["outcome"].text, "printed");
        EXPECT_EQ(ReceiptsPrinted(1), 2);
    }
};

}  // namespace

TEST_F(EcrdJournal, ASecondEcrdOnTheSameJournalIsRefusedNamingTheFirst)
{
    AddRegisters(1);
    StartEcrd(Config());
    std::filesystem::create_directories(folder.File("second"));
    EcrdProcess second;
    std::string error;
    EXPECT_FALSE(second.Start(folder.File("second"), Config(), error));
    EXPECT_EQ(second.Wait(), 1);
    EXPECT_NE(error.find("the journal is in use by ecrd (process " + std::to_string(ecrd.Pid()) + ")"),
              std::string::npos)
        << error;
    EXPECT_EQ(Receipt("sale", kTwoLines).body["outcome"].text, "printed") << "the first serves on";
}

TEST_F(EcrdJournal, AReceiptPrintedWhileAnotherProgramHoldsTheJournalStaysPrinted)
{
    AddRegisters(1);
    StartEcrd(Config());
    OtherProgram other(JournalPath());
    const Answer printed = ReceiptWhile([&] { other.Execute("BEGIN EXCLUSIVE"); });
    EXPECT_EQ(printed.status, 200);
    EXPECT_EQ(printed.body["outcome"].text, "printed");
    EXPECT_EQ(Send("GET", printed.location).body["outcome"].text, "printed") << "shown from what ecrd keeps";
    ExpectNewSalesRefused();
    EXPECT_EQ(Send("GET", "/health").status, 503);
    std::this_thread::sleep_for(std::chrono::seconds(9) - std::chrono::milliseconds(2500));
    other.Execute("COMMIT");
    ExpectJournalCaughtUp(printed.body["id"].text);
}

TEST_F(EcrdJournal, AReceiptPrintedWhenTheDiskFillsUpStaysPrinted)
{
    const std::string disk = folder.File("state");
    std::filesystem::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "a small disk for the journal needs the right to mount one";
    struct Unmount {
        std::string path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};
    AddRegisters(1);
    StartEcrd(Config());
    const std::string filler = disk + "/filler";
    const Answer printed = ReceiptWhile([&] {
        std::ofstream fill(filler, std::ios::binary);
        const std::string block(64 * 1024, 'x');
        while (fill.write(block.data(), static_cast<std::streamsize>(block.size())))
            ;
    });
    EXPECT_EQ(printed.status, 200);
    EXPECT_EQ(printed.body["outcome"].text, "printed");
    ExpectNewSalesRefused();
    std::filesystem::remove(filler);
    ExpectJournalCaughtUp(printed.body["id"].text);
    EXPECT_NE(ecrd.Errors().find("kept until it does"), std::string::npos) << ecrd.Errors();
}
