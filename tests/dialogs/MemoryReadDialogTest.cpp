#include "RegisterSession.h"

#include "ProgressRecorder.h"

#include "articles/TempFolder.h"
#include "dialogs/utilities/CMemeReadDlg.h"
#include "sim/SimMemory.h"

#include <QRadioButton>

#include <csignal>
#include <filesystem>
#include <vector>

#include <sys/resource.h>

namespace {

using Sent = std::vector<std::string>;

class MemoryReadDialogTest : public RegisterSession {
protected:
    void Open(const std::function<void(CDialog&)>& driver) { RunMenu(CThermalDlg::ID_MEMORY_READ, driver); }

    // Picks an area and reads it.
    static void Read(CDialog& open, int areaId)
    {
        open.Item<QRadioButton>(areaId)->setChecked(true);
        Click(open, CMemeReadDlg::IDC_READ);
    }

    void SaveAs(CDialog& open, const std::string& path)
    {
        Prompts().saveFiles.push_back(QString::fromStdString(path));
        Click(open, CMemeReadDlg::IDC_SAVE);
    }

    // The register's area as the simulated register holds it.
    static std::string AreaBytes(int area)
    {
        std::string bytes;
        for (std::int64_t i = 0; i < SimMemory::Size(area).value(); ++i) {
            bytes.push_back(static_cast<char>(SimMemory::Byte(area, i)));
        }
        return bytes;
    }

    TempFolder m_folder;
};

TEST_F(MemoryReadDialogTest, SaveBeforeAnyReadingSaysTheBufferIsEmpty)
{
    Open([&](CDialog& open) {
        EXPECT_TRUE(open.Item<QRadioButton>(CMemeReadDlg::IDC_AREA_PROGRAM)->isChecked());
        Click(open, CMemeReadDlg::IDC_SAVE);
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{"Bafer prazan!"});
    EXPECT_EQ(Prompts().savePrompts, 0);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(MemoryReadDialogTest, ReadingFiscalAsksForAreaTwoInEveryRequest)
{
    ProgressRecorder progress(Main().m_progressDlg);
    Open([&](CDialog& open) { Read(open, CMemeReadDlg::IDC_AREA_FISCAL); });
    const Sent sent = Requests();
    // The size, then 4096 / 128 blocks at offsets 0, 128, ...
    ASSERT_EQ(sent.size(), 1u + 32u);
    EXPECT_EQ(sent[0], "$q2\x1F");
    EXPECT_EQ(sent[1], "$q2\x1F" "128\x1F" "0\t");
    EXPECT_EQ(sent[2], "$q2\x1F" "128\x1F" "128\t");
    EXPECT_EQ(sent[32], "$q2\x1F" "128\x1F" "3968\t");
    for (const std::string& request : sent) {
        EXPECT_EQ(request.rfind("$q2\x1F", 0), 0u) << request;
    }
    // The window is shown while the blocks come in (offset / 40 percent)
    // and hidden at 100.
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.front(), (ProgressRecorder::Step{3, true})) << "the bar starts at 0, so 0 is no change";
    EXPECT_EQ(progress.steps[progress.steps.size() - 2], (ProgressRecorder::Step{99, true}));
    EXPECT_EQ(progress.steps.back().position, 100);
    EXPECT_FALSE(Main().m_progressDlg.isVisible());
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(MemoryReadDialogTest, AreaOfThousandBytesIsSavedExactlyAndTwiceAlike)
{
    const std::string first = m_folder.File("protected.bin");
    const std::string second = m_folder.File("kopija.bin");
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        SaveAs(open, first);
        SaveAs(open, second);
    });
    const std::string expected = AreaBytes(1);
    ASSERT_EQ(expected.size(), 1000u);
    EXPECT_EQ(TempFolder::Read(first), expected);
    EXPECT_EQ(TempFolder::Read(second), expected);
    // The last of the eight blocks is cut to the area's 1000 bytes.
    EXPECT_EQ(Requests().back(), "$q1\x1F" "128\x1F" "896\t");
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(MemoryReadDialogTest, CancellingTheSaveWritesNothing)
{
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        Click(open, CMemeReadDlg::IDC_SAVE);  // no file queued: the user cancels
    });
    EXPECT_EQ(Prompts().savePrompts, 1);
    EXPECT_TRUE(Prompts().messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.File("")));
}

TEST_F(MemoryReadDialogTest, FailedSaveSaysErrorAndKeepsTheEarlierFile)
{
    const std::string path = m_folder.Write("dump.bin", "earlier contents");
    // The process may write no file longer than 100 bytes: the 1000-byte area
    // fails half way, as on a full disk.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        rlimit small = previous;
        small.rlim_cur = 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        SaveAs(open, path);
        ::setrlimit(RLIMIT_FSIZE, &previous);
    });
    std::signal(SIGXFSZ, handler);
    // The design's word, and below it why, in Serbian.
    EXPECT_EQ(Prompts().Texts(),
              QStringList{QString::fromStdString("Error!\nProblem pri upisu u fajl: " + path + " (fajl bi bio prevelik)")});
    EXPECT_EQ(TempFolder::Read(path), "earlier contents");

    Prompts().messages.clear();
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        SaveAs(open, m_folder.File("no such folder/dump.bin"));
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromStdString("Error!\nProblem pri otvaranju fajla: " +
                                                                    m_folder.File("no such folder/dump.bin") +
                                                                    " (ne postoji)")});
}

TEST_F(MemoryReadDialogTest, FailedReadingLeavesNoBufferToSave)
{
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        SilenceRegister();
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        EXPECT_FALSE(static_cast<CMemeReadDlg&>(open).Buffer().has_value());
        EXPECT_FALSE(Main().m_progressDlg.isVisible());
        Prompts().messages.clear();
        Click(open, CMemeReadDlg::IDC_SAVE);
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{"Bafer prazan!"});
    EXPECT_EQ(Prompts().savePrompts, 0);
}

TEST_F(MemoryReadDialogTest, EveryOpeningStartsWithProgramAndNoBuffer)
{
    Open([&](CDialog& open) {
        Read(open, CMemeReadDlg::IDC_AREA_PROTECTED);
        open.Item<QRadioButton>(CMemeReadDlg::IDC_AREA_APPLICATION)->setChecked(true);
    });
    ClearRequests();
    Open([&](CDialog& open) {
        EXPECT_TRUE(open.Item<QRadioButton>(CMemeReadDlg::IDC_AREA_PROGRAM)->isChecked());
        Click(open, CMemeReadDlg::IDC_SAVE);
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{"Bafer prazan!"});
    EXPECT_TRUE(Requests().empty());
}

}  // namespace
