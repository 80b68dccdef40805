#include "RegisterSession.h"

#include "ProgressRecorder.h"

#include "articles/TempFolder.h"
#include "dialogs/graphics/BuiltInLogo.h"
#include "dialogs/graphics/CGrafikaDlg.h"
#include "framework/TestApplication.h"

#include <QCheckBox>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

using Sent = std::vector<std::string>;

const std::string kBlankRow(90, '0');

std::string LittleEndian(std::uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

class GraphicsDialogTest : public RegisterSession {
protected:
    CGrafikaDlg& Dlg() { return Main().m_grafikaDlg; }

    // Opens "Grafika" and runs the driver on the open dialog.
    void Open(const std::function<void(CDialog&)>& driver) { RunMenu(CThermalDlg::ID_GRAPHICS, driver); }

    // The next open-file prompt picks this file.
    void Choose(const std::string& path) { Prompts().openFiles.push_back(QString::fromStdString(path)); }

    // The row numbers of the "#n" requests, and whether each carried 90 hex digits.
    static std::vector<int> RowNumbers(const Sent& sent)
    {
        std::vector<int> rows;
        for (const std::string& request : sent) {
            if (request.rfind("#n", 0) == 0) {
                const std::size_t end = request.find('\x1F');
                EXPECT_EQ(request.size() - end - 2, 90u) << request;
                EXPECT_EQ(request.back(), '\n');
                rows.push_back(std::stoi(request.substr(2, end - 2)));
            }
        }
        return rows;
    }

    static std::vector<int> Count(int n)
    {
        std::vector<int> rows(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            rows[static_cast<std::size_t>(i)] = i;
        }
        return rows;
    }

    TempFolder m_folder;
};

TEST_F(GraphicsDialogTest, OpeningReadsTheSwitchOnceAndSendingAtOnceSendsTheBuiltInLogo)
{
    ProgressRecorder progress(Main().m_progressDlg);
    Open([&](CDialog& open) {
        EXPECT_EQ(Requests(), Sent{"$y1\x1F"});
        Click(open, CGrafikaDlg::IDC_SEND);
    });
    const Sent sent = Requests();
    ASSERT_EQ(sent.size(), 1u + 79u + 1u);
    EXPECT_EQ(RowNumbers(sent), Count(79));
    EXPECT_EQ(sent.back(), "#g79\x1F" "45\x1F" "0\x1F");
    // The built-in logo prints something: some row is not blank.
    bool inked = false;
    for (std::size_t i = 1; i + 1 < sent.size(); ++i) {
        inked = inked || sent[i].find_first_not_of('0', sent[i].find('\x1F') + 1) != sent[i].size() - 1;
    }
    EXPECT_TRUE(inked);
    // One step per row on the shown window (79 rows: 1, 2, 3, 5 ... 98, 99),
    // and 100, which hides it, only after the store.
    ASSERT_EQ(progress.steps.size(), 80u);
    EXPECT_EQ(progress.steps[0], (ProgressRecorder::Step{1, true}));
    EXPECT_EQ(progress.steps[3], (ProgressRecorder::Step{5, true}));
    EXPECT_EQ(progress.steps[78], (ProgressRecorder::Step{99, true}));
    EXPECT_EQ(progress.steps[79].position, 100);
    EXPECT_FALSE(Main().m_progressDlg.isVisible());
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(GraphicsDialogTest, BlackAndWhiteBmpOf360By100SendsItsHundredRowsTopFirst)
{
    QImage picture(360, 100, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    picture.setPixel(0, 0, 1);
    picture.setPixel(359, 99, 1);
    picture.setPixel(8, 50, 1);
    const std::string path = m_folder.File("logo.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
    Choose(path);
    Open([&](CDialog& open) {
        Click(open, CGrafikaDlg::IDC_LOAD);
        ClearRequests();
        Click(open, CGrafikaDlg::IDC_SEND);
    });
    const Sent sent = Requests();
    ASSERT_EQ(sent.size(), 101u);
    EXPECT_EQ(RowNumbers(sent), Count(100));
    EXPECT_EQ(sent[0], "#n0\x1F" "80" + std::string(88, '0') + "\n");
    EXPECT_EQ(sent[1], "#n1\x1F" + kBlankRow + "\n");
    EXPECT_EQ(sent[50], "#n50\x1F" "0080" + std::string(86, '0') + "\n");
    EXPECT_EQ(sent[99], "#n99\x1F" + std::string(88, '0') + "01\n");
    EXPECT_EQ(sent[100], "#g100\x1F" "45\x1F" "0\x1F");
}

TEST(BuiltInLogo, IsAPrintableLogoInPureBlackAndWhite)
{
    EnsureTestApplication();  // the lettering needs fonts
    const QImage logo = BuiltInLogo::Image();
    ASSERT_EQ(logo.size(), QSize(360, 79));
    int black = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            const QRgb colour = logo.pixel(x, y);
            ASSERT_TRUE(colour == qRgb(0, 0, 0) || colour == qRgb(255, 255, 255)) << x << "," << y;
            black += colour == qRgb(0, 0, 0) ? 1 : 0;
        }
    }
    // Something to print, but no solid block that would waste the paper.
    EXPECT_GT(black, 360 * 79 / 20);
    EXPECT_LT(black, 360 * 79 / 2);
}

TEST_F(GraphicsDialogTest, PictureOfTheWrongSizeIsRefusedWithItsMessageAndNothingSent)
{
    struct Case {
        int width, height;
        const char* message;
    };
    const Case cases[] = {{361, 79, "Sirina mora biti 360!"}, {360, 157, "Visina mora biti od 13 do 156 piksela!"}};
    for (const Case& c : cases) {
        QImage picture(c.width, c.height, QImage::Format_RGB32);
        picture.fill(Qt::black);
        const std::string path = m_folder.File("wrong.png");
        ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
        Choose(path);
        Prompts().messages.clear();
        Open([&](CDialog& open) {
            Click(open, CGrafikaDlg::IDC_LOAD);
            ClearRequests();
            Click(open, CGrafikaDlg::IDC_SEND);
            EXPECT_EQ(Text(open, CGrafikaDlg::IDC_PREVIEW_NOTE), c.message);
        });
        EXPECT_TRUE(Requests().empty()) << c.width << " x " << c.height;
        EXPECT_EQ(Prompts().Texts(), QStringList{c.message}) << c.width << " x " << c.height;
    }
}

TEST_F(GraphicsDialogTest, FileThatIsNoPictureKeepsTheLastGoodOneAndSaysNothing)
{
    QImage good(360, 20, QImage::Format_RGB32);
    good.fill(Qt::black);
    const std::string goodPath = m_folder.File("good.png");
    ASSERT_TRUE(good.save(QString::fromStdString(goodPath), "PNG"));
    // Neither a damaged file, nor a folder, nor a FIFO (which would block a
    // plain read for ever), nor a bitmap declaring 30000 x 30000 pixels (3.6 GB
    // decoded) is a picture to show.
    std::string huge = "BM" + LittleEndian(54 + 4, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) +
                       LittleEndian(40, 4) + LittleEndian(30000, 4) + LittleEndian(30000, 4) + LittleEndian(1, 2) +
                       LittleEndian(32, 2) + std::string(24, '\0') + "abcd";
    const std::string fifo = m_folder.File("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::string> bad = {m_folder.Write("junk.bmp", "BM this is no bitmap at all"),
                                          m_folder.File(""), fifo, m_folder.Write("huge.bmp", huge)};
    Choose(goodPath);
    for (const std::string& path : bad) {
        Choose(path);
    }
    Open([&](CDialog& open) {
        Click(open, CGrafikaDlg::IDC_LOAD);
        for (const std::string& path : bad) {
            Click(open, CGrafikaDlg::IDC_LOAD);
            EXPECT_EQ(Dlg().ShownPicture().size(), QSize(360, 20)) << path;
        }
        ClearRequests();
        Click(open, CGrafikaDlg::IDC_SEND);
    });
    const Sent sent = Requests();
    ASSERT_EQ(sent.size(), 21u);
    EXPECT_EQ(sent[0], "#n0\x1F" + std::string(90, 'F') + "\n");
    EXPECT_EQ(sent[20], "#g20\x1F" "45\x1F" "0\x1F");
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(GraphicsDialogTest, NoPictureAsTheFirstFileEmptiesTheAreaAndSendingGivesTheWidthMessage)
{
    Choose(m_folder.Write("notes.txt", "nije slika\n"));
    Open([&](CDialog& open) {
        Click(open, CGrafikaDlg::IDC_LOAD);
        EXPECT_TRUE(Dlg().ShownPicture().isNull());
        EXPECT_TRUE(Dlg().PreviewPicture().isNull());
        ClearRequests();
        Click(open, CGrafikaDlg::IDC_SEND);
    });
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Prompts().Texts(), QStringList{"Sirina mora biti 360!"});
}

TEST_F(GraphicsDialogTest, ReopeningShowsAndSendsTheBuiltInLogoNotTheLoadedPicture)
{
    QImage loaded(360, 30, QImage::Format_RGB32);
    loaded.fill(Qt::white);
    const std::string path = m_folder.File("thirty.png");
    ASSERT_TRUE(loaded.save(QString::fromStdString(path), "PNG"));
    Choose(path);
    Open([&](CDialog& open) { Click(open, CGrafikaDlg::IDC_LOAD); });
    ClearRequests();
    Open([&](CDialog& open) {
        EXPECT_EQ(Dlg().ShownPicture(), BuiltInLogo::Image());
        Click(open, CGrafikaDlg::IDC_SEND);
    });
    const Sent sent = Requests();
    ASSERT_EQ(sent.size(), 81u);
    EXPECT_EQ(sent.back(), "#g79\x1F" "45\x1F" "0\x1F");
}

TEST_F(GraphicsDialogTest, PreviewCountsOnlyPureBlackPixelsAndWarnsWhenNothingPrints)
{
    // A dark grey picture with a few pure black pixels: the register prints
    // the black ones only, and the preview must say so.
    QImage picture(360, 13, QImage::Format_RGB32);
    picture.fill(qRgb(1, 1, 1));
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(200, 6, qRgb(0, 0, 0));
    picture.setPixel(201, 6, qRgb(0, 0, 1));
    const std::string path = m_folder.File("grey.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
    Choose(path);
    Open([&](CDialog& open) {
        Click(open, CGrafikaDlg::IDC_LOAD);
        EXPECT_EQ(Dlg().PreviewPicture().size(), QSize(360, 13));
        EXPECT_EQ(Text(open, CGrafikaDlg::IDC_PREVIEW_NOTE), "360 x 13 tacaka, od toga 2 crnih.");
    });

    QImage grey(360, 13, QImage::Format_RGB32);
    grey.fill(qRgb(40, 40, 40));
    ASSERT_TRUE(grey.save(QString::fromStdString(path), "PNG"));
    Choose(path);
    Open([&](CDialog& open) {
        Click(open, CGrafikaDlg::IDC_LOAD);
        EXPECT_EQ(Text(open, CGrafikaDlg::IDC_PREVIEW_NOTE),
                  "Nijedna tacka nije cisto crna: kasa ce odstampati prazan logo.");
    });
}

TEST_F(GraphicsDialogTest, OnSendsEachClickAndTheSwitchIsReadOnlyAtOpening)
{
    WithSimulator([](ECRSimulator& sim) { sim.State().logoEnabled = true; });
    Open([&](CDialog& open) {
        EXPECT_TRUE(open.Item<QCheckBox>(CGrafikaDlg::IDC_LOGO_ON)->isChecked());
        Click(open, CGrafikaDlg::IDC_LOGO_ON);
        Click(open, CGrafikaDlg::IDC_LOGO_ON);
        Click(open, CGrafikaDlg::IDC_LOGO_ON);
    });
    EXPECT_EQ(Requests(), (Sent{"$y1\x1F", "#y1\x1F" "0\x1F", "#y1\x1F" "1\x1F", "#y1\x1F" "0\x1F"}));
    bool enabled = true;
    WithSimulator([&](ECRSimulator& sim) { enabled = sim.State().logoEnabled; });
    EXPECT_FALSE(enabled);
}

TEST_F(GraphicsDialogTest, LinkFailureDuringTheUploadIsReportedAndTheDialogStaysOpen)
{
    Open([&](CDialog& open) {
        SilenceRegister();
        Click(open, CGrafikaDlg::IDC_SEND);
        EXPECT_TRUE(open.isVisible());
        EXPECT_FALSE(Main().m_progressDlg.isVisible());
    });
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].text.startsWith("Greska u komunikaciji\n"));
}

}  // namespace
