#include "app/AppHarness.h"
#include "app/SessionLogFiles.h"
#include "articles/TempFolder.h"
#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/ECROperations.h"
#include "ecr/commands/ECRSessionLog.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "framework/ActionGuard.h"
#include "sim/ECRSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size()) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

struct LoggedEntry {
    std::int64_t ms = 0;
    std::string tag;
    std::string decoded;
    std::string bytes;  // traffic only
    bool traffic = false;
};

std::vector<LoggedEntry> ReadLog(const std::string& path, std::string& header)
{
    std::vector<LoggedEntry> entries;
    std::istringstream in(TempFolder::Read(path));
    std::getline(in, header);
    for (std::string line; std::getline(in, line);) {
        LoggedEntry entry;
        std::string_view decoded = line;
        entry.traffic = ECRSessionLog::ParseTrafficLine(line, decoded, entry.bytes);
        entry.decoded = decoded;
        std::string_view rest;
        EXPECT_TRUE(ECRTrafficDecoder::ParsePrefix(entry.decoded, entry.ms, entry.tag, rest)) << line;
        entries.push_back(entry);
    }
    return entries;
}

// Log-on, a tax-rate write, a refused article write and a reply with a bad
// checksum, against the simulated register, with the session log on.
class SessionTrace : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(app.Main().StartSessionLog(logPath, error)) << error;
        ASSERT_TRUE(app.Connect());
        ECRDevice& device = *app.Main().m_pDevice;
        ActionGuard::Run([&] { ECROperations::WriteTaxRatesNow(device, {2000, 1000, 0, 0, 0, 0, 0, 0, 0}); });
        ECRArticle article;
        article.name = "Sok";
        article.price = 0;  // refused: 114
        article.taxRate = 2;
        article.unit = 1;
        ActionGuard::Run([&] { device.WriteArticle(article); });
        app.Sim().WithSimulator([](ECRSimulator& sim) {
            SimFaults faults;
            faults.badChecksumEvery = 1;
            sim.SetFaults(faults);
        });
        ActionGuard::Run([&] { device.ReadClock(); });
        app.Sim().WithSimulator([](ECRSimulator& sim) { sim.SetFaults(SimFaults{}); });
        QCoreApplication::processEvents();
    }

    TempFolder folder;
    std::string logPath = folder.File("thermal.log");
    AppHarness app;
};

TEST_F(SessionTrace, LogHoldsEveryEntryInOrderWithRisingTimes)
{
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    std::string header;
    const std::vector<LoggedEntry> log = ReadLog(logPath, header);
    EXPECT_EQ(header.rfind("# thermal session log: thermal, started ", 0), 0u) << header;
    for (std::size_t i = 1; i < log.size(); ++i) {
        EXPECT_LE(log[i - 1].ms, log[i].ms) << log[i].decoded;
    }

    // Every traffic entry of the design's box is in the log, in the same order:
    // the box, newest first, is made of exactly the logged bytes.
    std::vector<std::string> boxEntries;
    std::vector<std::string> messages;
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
        if (it->traffic) {
            boxEntries.push_back(CConnectionMonitorDlg::FormatTrafficEntry(it->bytes));
        } else {
            messages.push_back(it->decoded.substr(it->decoded.find("message    ") + 11));
        }
    }
    std::string box;
    for (const std::string& entry : boxEntries) {
        box += (box.empty() ? "" : "\r\n") + entry;
    }
    EXPECT_EQ(monitor.TrafficText(), box);
    EXPECT_EQ(monitor.TrafficText().find("citanje"), std::string::npos);
    const std::vector<std::string> expectedMessages = {
        "Greska u komunikaciji: Invalid Command!", "Neispravna cena (nula ili prevelika)", "Operacija je uspesna",
        "Operacija je uspesna", "*** Prijavljivanje - OK ***"};
    EXPECT_EQ(messages, expectedMessages);
    EXPECT_EQ(Split(monitor.DebugText(), "\r\n"), expectedMessages);

    // What the session looked like, decoded, in order.
    const char* const expected[] = {
        "ECR -> PC  status 06 ready",
        "PC -> ECR  $c citanje sata  cs=B8",
        "ECR -> PC  $C citanje sata: clock=",
        "PC -> ECR  #v zapis poreskih stopa: now=",
        "ECR -> PC  #v zapis poreskih stopa  cs=AA ok  code=0 Operacija je uspesna",
        "PC -> ECR  #r zapis artikla: name=Sok price=0.00 taxRate=2 unit=1  cs=",
        "ECR -> PC  #Z zapis artikla  cs=",
        "PC -> ECR  $c citanje sata  cs=B8",
        "ECR -> PC  $C citanje sata: clock=",
    };
    std::vector<std::string> decoded;
    for (const LoggedEntry& entry : log) {
        if (entry.traffic && !entry.bytes.empty()) {
            decoded.push_back(entry.decoded.substr(entry.decoded.find(" ms  ") + 5));
        }
    }
    ASSERT_EQ(decoded.size(), std::size(expected)) << monitor.DecodedText();
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_EQ(decoded[i].rfind(expected[i], 0), 0u) << decoded[i];
    }
    EXPECT_NE(decoded[6].find("code=114 Neispravna cena (nula ili prevelika)"), std::string::npos) << decoded[6];
    EXPECT_NE(decoded[8].find("bad, expected"), std::string::npos) << decoded[8];
    EXPECT_EQ(decoded[8].find("code="), std::string::npos) << decoded[8];

    // The log decodes back to the same lines.
    std::vector<std::string> logLines{header};
    for (const LoggedEntry& entry : log) {
        logLines.push_back(entry.decoded);
    }
    EXPECT_EQ(ECRCapture::Decode(TempFolder::Read(logPath)), logLines);
}

TEST_F(SessionTrace, DecodedViewShowsEveryFrameNewestOnTopAndClearsWithTheOthers)
{
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    std::string header;
    std::vector<std::string> frames;
    for (const LoggedEntry& entry : ReadLog(logPath, header)) {
        if (entry.traffic && !entry.bytes.empty()) {
            frames.insert(frames.begin(), entry.decoded);
        }
    }
    EXPECT_EQ(Split(monitor.DecodedText(), "\r\n"), frames);
    const auto* view = monitor.Item<QPlainTextEdit>(CConnectionMonitorDlg::IDC_DECODED);
    EXPECT_EQ(view->toPlainText().toStdString(), monitor.DecodedText().empty() ? "" : [&] {
        std::string text;
        for (const std::string& frame : frames) {
            text += (text.empty() ? "" : "\n") + frame;
        }
        return text;
    }());
    // The design's boxes show their texts as before.
    EXPECT_EQ(monitor.Item<QPlainTextEdit>(CConnectionMonitorDlg::IDC_TRAFFIC)->toPlainText(),
              QString::fromLatin1(monitor.TrafficText().c_str()).replace("\r\n", "\n"));
    EXPECT_EQ(monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_LOG_PATH)->text().toStdString(), logPath);

    const QDir shots(THERMAL_SCREENSHOT_DIR);
    EXPECT_TRUE(monitor.grab().save(shots.filePath("monitor-decoded.png")));

    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_CLEAR), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.DecodedText(), "");
    EXPECT_EQ(view->toPlainText(), "");
    EXPECT_EQ(monitor.TrafficText(), "");
    // Clearing the view leaves the log as it was: the frames, the five empty
    // reads (the log-on's drain and the four that end the input flushes), the
    // five messages.
    EXPECT_EQ(ReadLog(logPath, header).size(), frames.size() + 5 + 5);
}

// Entries are held until the next request goes out or the program's events
// run; an exchange made outside any action (nothing runs after it) still
// reaches the log when the window closes, its reply and message included.
TEST(SessionTraceOnClose, HeldEntriesAreLoggedWhenTheWindowCloses)
{
    TempFolder folder;
    const std::string logPath = folder.File("thermal.log");
    {
        AppHarness app;
        std::string error;
        ASSERT_TRUE(app.Main().StartSessionLog(logPath, error)) << error;
        ASSERT_TRUE(app.Connect());
        app.Main().m_pDevice->ReadClock();
    }
    std::string header;
    const std::vector<LoggedEntry> log = ReadLog(logPath, header);
    ASSERT_GE(log.size(), 2u);
    const auto afterTime = [](const std::string& line) { return line.substr(line.find(" ms  ") + 5); };
    EXPECT_EQ(afterTime(log[log.size() - 2].decoded).rfind("ECR -> PC  $C citanje sata: clock=", 0), 0u)
        << log[log.size() - 2].decoded;
    EXPECT_EQ(afterTime(log.back().decoded), "message    Operacija je uspesna");
}

TEST(SessionLogFiles, DefaultFolderFollowsTheStateFolder)
{
    const std::string savedState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/ana", 1);
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(SessionLogFiles::DefaultFolder(), "/home/ana/.local/state/thermal/logs");
    setenv("XDG_STATE_HOME", "/var/state", 1);
    EXPECT_EQ(SessionLogFiles::DefaultFolder(), "/var/state/thermal/logs");
    setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(SessionLogFiles::DefaultFolder(), "/home/ana/.local/state/thermal/logs");
    setenv("HOME", savedHome.c_str(), 1);
    if (savedState.empty()) {
        unsetenv("XDG_STATE_HOME");
    } else {
        setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    }
}

TEST(SessionLogFiles, KeepsTheNewestTwentyAndLeavesOtherFilesAlone)
{
    TempFolder temp;
    const std::string folder = temp.File("logs");
    std::filesystem::create_directories(folder);
    for (int day = 1; day <= 25; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "logs/thermal-202601%02d-120000.log", day);
        temp.Write(name, "x");
    }
    temp.Write("logs/notes.txt", "mine");
    std::string path;
    std::string error;
    std::tm start{};
    start.tm_year = 126;
    start.tm_mon = 2;
    start.tm_mday = 15;
    start.tm_hour = 9;
    start.tm_min = 41;
    start.tm_sec = 7;
    start.tm_isdst = -1;
    ASSERT_TRUE(SessionLogFiles::Prepare(folder, std::mktime(&start), path, error)) << error;
    EXPECT_EQ(path, folder + "/thermal-20260315-094107.log");
    temp.Write("logs/thermal-20260315-094107.log", "x");

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 21u);  // 20 logs and the other file
    EXPECT_EQ(names.front(), "notes.txt");
    EXPECT_EQ(names[1], "thermal-20260107-120000.log");  // days 1 to 6 went

    // A second start in the same second gets a name of its own, sorted after.
    ASSERT_TRUE(SessionLogFiles::Prepare(folder, std::mktime(&start), path, error)) << error;
    EXPECT_EQ(path, folder + "/thermal-20260315-094107-2.log");
    EXPECT_FALSE(std::filesystem::exists(folder + "/thermal-20260107-120000.log"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/thermal-20260315-094107.log"));

    EXPECT_FALSE(SessionLogFiles::Prepare("", 0, path, error));
    EXPECT_FALSE(SessionLogFiles::Prepare(temp.File("logs/notes.txt/sub"), 0, path, error));
    EXPECT_NE(error.find("notes.txt"), std::string::npos) << error;
}

}  // namespace
