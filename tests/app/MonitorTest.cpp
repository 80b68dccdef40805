#include "app/AppHarness.h"
#include "framework/ScopedModalDriver.h"
#include "framework/ScreenFit.h"
#include "framework/TestApplication.h"
#include "sim/ECRSimulator.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// What a box shows once the window system has run, as it does before every paint.
QString BoxText(CConnectionMonitorDlg& monitor, int id)
{
    QCoreApplication::processEvents();
    return monitor.Item<QPlainTextEdit>(id)->toPlainText();
}

TEST(Monitor, TrafficEntryFormats)
{
    struct Case {
        std::string bytes;
        std::string entry;
    };
    const Case cases[] = {
        {"A", "41-\r\n A "},
        {"", "\r\n"},
        {"$c", "24-63-\r\n $  c "},
        {"\x1B\x0A\x80\xFF", "1B-0A-80-FF-\r\n .  .  .  . "},
        {"\x7F\x20\x1F", "7F-20-1F-\r\n \x7F     . "},
        {std::string("AB\0CD", 5), "41-42-\r\n A  B "},
        {std::string("\0Z", 2), "\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CConnectionMonitorDlg::FormatTrafficEntry(c.bytes), c.entry);
    }
}

TEST(Monitor, NewestEntryOnTopWithOneLineBreakBetween)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    monitor.AddTraffic("A");
    EXPECT_EQ(monitor.TrafficText(), "41-\r\n A ");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC), "41-\n A ");
    monitor.AddTraffic("");
    monitor.AddTraffic("BC");
    EXPECT_EQ(monitor.TrafficText(), "42-43-\r\n B  C \r\n\r\n\r\n41-\r\n A ");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC), "42-43-\n B  C \n\n\n41-\n A ");

    monitor.AddDebugLine("prva");
    monitor.AddDebugLine("druga");
    monitor.AddDebugLine(std::string("tre\0ca", 6));
    EXPECT_EQ(monitor.DebugText(), "tre\r\ndruga\r\nprva");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), "tre\ndruga\nprva");
}

TEST(Monitor, EntryAfterAnEmptyFirstLineReplacesIt)
{
    // An unanswered raw request as the first debug line leaves the text empty;
    // the next line then stands alone, with no line break below it.
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    monitor.AddDebugLine("");
    monitor.AddDebugLine("");
    EXPECT_EQ(monitor.DebugText(), "");
    monitor.AddDebugLine("$v");
    EXPECT_EQ(monitor.DebugText(), "$v");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), "$v");
    monitor.AddDebugLine("");
    EXPECT_EQ(monitor.DebugText(), "\r\n$v");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), "\n$v");
}

TEST(Monitor, DebugBoxShowsRegisterTextsAsWindows1250)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    monitor.AddDebugLine("Iznos \xB1 \x8A\x9A");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), QString::fromUtf8("Iznos ± Šš"));
}

TEST(Monitor, TerminatorButtonsAppendTheirByteAndKeepTheCaretAtTheEnd)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    QApplication::setActiveWindow(&monitor);
    auto* command = monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_COMMAND);
    QTest::keyClicks(command, "#h");
    command->setCursorPosition(0);

    const std::pair<int, char> buttons[] = {{CConnectionMonitorDlg::IDC_INSERT_1F, '\x1F'},
                                            {CConnectionMonitorDlg::IDC_INSERT_1F, '\x1F'},
                                            {CConnectionMonitorDlg::IDC_INSERT_0A, '\x0A'},
                                            {CConnectionMonitorDlg::IDC_INSERT_09, '\x09'}};
    std::string expected = "#h";
    for (const auto& [id, byte] : buttons) {
        QTest::mouseClick(monitor.Item<QPushButton>(id), Qt::LeftButton);
        expected += byte;
        EXPECT_EQ(monitor.Command(), expected);
        EXPECT_EQ(command->cursorPosition(), command->text().size());
        EXPECT_FALSE(command->hasSelectedText());
        EXPECT_TRUE(command->hasFocus());
    }
    QTest::keyClicks(command, "x");
    std::string bytes;
    TextFault fault;
    ASSERT_TRUE(CodePage::FromUnicode(command->text(), bytes, fault));
    EXPECT_EQ(bytes, expected + "x");
}

TEST(Monitor, NewEntryPutsTheStoredCommandBackInTheCommandLine)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    auto* command = monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_COMMAND);
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_INSERT_1F), Qt::LeftButton);
    command->setText("kucano");
    monitor.AddTraffic("A");
    EXPECT_EQ(command->text(), "\x1F");
}

// The answer to a "$" request starts with "$" and the letter, either case.
bool AnswersTaxRates(const std::string& payload)
{
    return payload.size() >= 2 && payload[0] == '$' && (payload[1] == 'v' || payload[1] == 'V');
}

TEST(Monitor, RawRequestGoesOutFramedAndItsAnswerShows)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    app.Sim().ClearRequests();
    monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_COMMAND)->setText("$v");
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_SEND), Qt::LeftButton);

    EXPECT_EQ(app.Sim().Requests(), std::vector<std::string>{"$v"});
    const std::string debug = monitor.DebugText();
    EXPECT_TRUE(AnswersTaxRates(debug.substr(0, debug.find("\r\n")))) << debug;
    // The framed request as reported before writing: ESC P $ v, checksum "AD", ESC backslash.
    const std::string framed = "1B-50-24-76-41-44-1B-5C-\r\n .  P  $  v  A  D  .  \\ ";
    EXPECT_NE(monitor.TrafficText().find(framed), std::string::npos) << monitor.TrafficText().substr(0, 400);
    // The line keeps its text so the request can be sent again.
    EXPECT_EQ(monitor.Command(), "$v");
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_SEND), Qt::LeftButton);
    EXPECT_EQ(app.Sim().Requests().size(), 2u);
}

TEST(Monitor, FailedRawRequestIsReportedAndTheMonitorStaysUsable)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    app.Sim().WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.badChecksumEvery = 1;
        sim.SetFaults(faults);
    });
    monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_COMMAND)->setText("$v");
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_SEND), Qt::LeftButton);
    EXPECT_EQ(app.Prompts().Texts(), QStringList{"Greska u komunikaciji\nInvalid Command!"});
    EXPECT_EQ(monitor.DebugText().substr(0, 40), "Greska u komunikaciji: Invalid Command!\r");
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_TRUE(app.Main().m_bConnected);

    app.Sim().WithSimulator([](ECRSimulator& sim) { sim.SetFaults(SimFaults{}); });
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_SEND), Qt::LeftButton);
    EXPECT_EQ(app.Prompts().messages.size(), 1u);
    EXPECT_TRUE(AnswersTaxRates(monitor.DebugText()));
}

TEST(Monitor, ClearEmptiesBothBoxesAndLaterEntriesStartAfresh)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    ASSERT_FALSE(monitor.TrafficText().empty());
    QTest::mouseClick(monitor.Item<QPushButton>(CConnectionMonitorDlg::IDC_CLEAR), Qt::LeftButton);
    EXPECT_EQ(monitor.TrafficText(), "");
    EXPECT_EQ(monitor.DebugText(), "");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC), "");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), "");
    monitor.AddTraffic("A");
    monitor.AddDebugLine("x");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC), "41-\n A ");
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG), "x");
}

// The traffic entry of "A<i>", as the box shows it (hex line, LF, printable line).
std::string BoxEntry(int i)
{
    std::string bytes = "A" + std::to_string(i);
    std::string hex;
    std::string shown;
    for (const char c : bytes) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%.2X-", static_cast<unsigned char>(c));
        hex += byte;
        shown += std::string(" ") + c + " ";
    }
    return hex + "\n" + shown;
}

// A long upload: the boxes keep the newest entries only, the oldest leaving
// the bottom of a box as new ones come on top (the box's text stays the
// members' text), and the debug box says once where the older ones are.
TEST(Monitor, BoxesKeepTheNewestEntriesAndSayOnceWhereTheOlderAre)
{
    constexpr int kKept = static_cast<int>(CConnectionMonitorDlg::kKeptEntries);
    for (const bool logging : {true, false}) {
        AppHarness app;
        CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
        monitor.SetLogState(logging ? "/tmp/thermal.log" : "iskljucen", logging);
        // In bursts, shown in between as paints do: smaller than a box, and
        // once more than it keeps.
        int added = 0;
        for (const int burst : {kKept - 10, 300, kKept / 2, kKept + 5, 7}) {
            for (int i = 0; i < burst; ++i) {
                monitor.AddTraffic("A" + std::to_string(++added));
            }
            QCoreApplication::processEvents();
        }
        std::string expected;
        for (int i = added; i > added - kKept; --i) {
            expected += (expected.empty() ? "" : "\n") + BoxEntry(i);
        }
        EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC).toStdString(), expected);
        std::string members = monitor.TrafficText();
        for (std::size_t at; (at = members.find("\r\n")) != std::string::npos;) {
            members.replace(at, 2, "\n");
        }
        EXPECT_EQ(members, expected);

        const std::string note =
            logging ? "Monitor vise ne prikazuje starije poruke; sve su u dnevniku sesije."
                    : "Monitor vise ne prikazuje starije poruke; dnevnik sesije je iskljucen, pa one nisu sacuvane.";
        EXPECT_EQ(monitor.DebugText(), note);
        EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_DEBUG).toStdString(), note);
    }
}

// Long entries: a box keeps at most 1 MiB of them, and always the newest.
TEST(Monitor, BoxesKeepAtMostAMebibyteOfLongEntries)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    for (const char c : {'a', 'b', 'c', 'd', 'e'}) {
        monitor.AddDecodedLine(std::string(300 * 1024, c));
    }
    monitor.AddTraffic("A1");
    monitor.AddTraffic(std::string(200 * 1024, 'x'));
    const QString decoded = BoxText(monitor, CConnectionMonitorDlg::IDC_DECODED);
    EXPECT_EQ(decoded, QString(300 * 1024, 'e') + "\n" + QString(300 * 1024, 'd') + "\n" + QString(300 * 1024, 'c'));
    EXPECT_EQ(monitor.DecodedText().size(), 3 * 300 * 1024 + 2 * 2);
    // 1.2 MB as the traffic box shows it (hex and printable line): alone, but there.
    EXPECT_EQ(BoxText(monitor, CConnectionMonitorDlg::IDC_TRAFFIC).size(), 2 * 3 * 200 * 1024 + 1);
}

// A control's place in the monitor's window.
QRect InWindow(CConnectionMonitorDlg& monitor, int id)
{
    const QWidget* control = monitor.GetDlgItem(id);
    return QRect(control->mapTo(&monitor, QPoint(0, 0)), control->size());
}

TEST(Monitor, BoxesTakeTheRoomAndTheButtonsKeepTheirPlacesByTheEdges)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    using M = CConnectionMonitorDlg;
    const int ids[] = {M::IDC_DEBUG, M::IDC_TRAFFIC, M::IDC_DECODED, M::IDC_COMMAND, M::IDC_SEND,
                       M::IDC_INSERT_1F, M::IDC_INSERT_09, M::IDC_CLEAR, M::IDC_LOG_PATH};
    const QSize start = monitor.size();
    std::map<int, QRect> before;
    for (const int id : ids) {
        before[id] = InWindow(monitor, id);
    }
    monitor.resize(start + QSize(200, 300));
    QCoreApplication::processEvents();
    ASSERT_EQ(monitor.size(), start + QSize(200, 300));

    // How each control moved (x, y) and grew (width, height).
    struct Change {
        int id;
        int dx, dy, dw, dh;
    };
    const Change changes[] = {
        {M::IDC_DEBUG, 0, 0, 200, 75},        {M::IDC_TRAFFIC, 0, 75, 200, 150},
        {M::IDC_DECODED, 0, 225, 200, 75},    {M::IDC_COMMAND, 0, 225, 200, 0},
        {M::IDC_SEND, 200, 225, 0, 0},        {M::IDC_INSERT_1F, 0, 225, 0, 0},
        {M::IDC_INSERT_09, 0, 225, 0, 0},     {M::IDC_CLEAR, 200, 225, 0, 0},
        {M::IDC_LOG_PATH, 0, 225, 200, 0},
    };
    // Shares of the change are rounded to whole pixels: one pixel either way.
    for (const Change& c : changes) {
        const QRect was = before[c.id];
        const QRect now = InWindow(monitor, c.id);
        EXPECT_NEAR(now.x() - was.x(), c.dx, 1) << c.id;
        EXPECT_NEAR(now.y() - was.y(), c.dy, 1) << c.id;
        EXPECT_NEAR(now.width() - was.width(), c.dw, 1) << c.id;
        EXPECT_NEAR(now.height() - was.height(), c.dh, 1) << c.id;
    }
    // The bottom box and the right-hand buttons keep their distances to the edges exactly.
    EXPECT_EQ(monitor.height() - InWindow(monitor, M::IDC_DECODED).bottom(), start.height() - before[M::IDC_DECODED].bottom());
    EXPECT_EQ(monitor.width() - InWindow(monitor, M::IDC_CLEAR).right(), start.width() - before[M::IDC_CLEAR].right());

    // As small as it goes: nothing overlaps and every box shows lines.
    monitor.resize(1, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.size(), monitor.minimumSize());
    const int lines = monitor.Item<QPlainTextEdit>(M::IDC_TRAFFIC)->fontMetrics().lineSpacing();
    for (const int box : {M::IDC_DEBUG, M::IDC_TRAFFIC, M::IDC_DECODED}) {
        EXPECT_GE(InWindow(monitor, box).height(), 3 * lines) << box;
    }
    EXPECT_LT(InWindow(monitor, M::IDC_TRAFFIC).bottom(), InWindow(monitor, M::IDC_SEND).top());
    EXPECT_LT(InWindow(monitor, M::IDC_COMMAND).right(), InWindow(monitor, M::IDC_SEND).left());
    EXPECT_LT(InWindow(monitor, M::IDC_INSERT_09).right(), InWindow(monitor, M::IDC_CLEAR).left());
    EXPECT_LT(InWindow(monitor, M::IDC_CLEAR).bottom(), InWindow(monitor, M::IDC_LOG_PATH).top());
    EXPECT_LE(InWindow(monitor, M::IDC_DECODED).bottom(), monitor.height());
}

TEST(Monitor, ScrollSelectCopyAndSendWhileAModalDialogIsOpen)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    for (int i = 0; i < 200; ++i) {
        monitor.AddTraffic("linija " + std::to_string(i));
    }
    QCoreApplication::processEvents();
    auto* traffic = monitor.Item<QPlainTextEdit>(CConnectionMonitorDlg::IDC_TRAFFIC);
    QScrollBar* scroll = traffic->verticalScrollBar();
    ASSERT_EQ(scroll->value(), 0);
    QGuiApplication::clipboard()->clear();
    bool opened = false;
    ScopedModalDriver driver([&](CDialog& dlg) {
        opened = true;
        app.Sim().ClearRequests();
        // Through the monitor's window, as the window system delivers input.
        QWindow* window = monitor.windowHandle();
        const QPoint lowerArrow = scroll->mapTo(&monitor, QPoint(scroll->width() / 2, scroll->height() - 3));
        QTest::mouseClick(window, Qt::LeftButton, {}, lowerArrow);
        EXPECT_GT(scroll->value(), 0) << "the traffic box did not scroll";
        scroll->setValue(0);
        QTextCursor firstLine(traffic->document());
        const QPoint word =
            traffic->viewport()->mapTo(&monitor, traffic->cursorRect(firstLine).center() + QPoint(4, 0));
        QTest::mouseDClick(window, Qt::LeftButton, {}, word);
        const QString selected = traffic->textCursor().selectedText();
        EXPECT_FALSE(selected.isEmpty()) << "nothing selected";
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), selected);

        // A raw request goes out through the same guard as any button.
        monitor.Item<QLineEdit>(CConnectionMonitorDlg::IDC_COMMAND)->setText("$v");
        QTest::mouseClick(window, Qt::LeftButton, {}, InWindow(monitor, CConnectionMonitorDlg::IDC_SEND).center());
        EXPECT_EQ(app.Sim().Requests(), std::vector<std::string>{"$v"});

        // The main window behind the dialog takes nothing.
        QMenuBar* menuBar = app.Main().findChild<QMenuBar*>();
        QAction* help = app.Main().MenuPopup(CThermalDlg::Pomoc)->menuAction();
        const QPoint helpTitle = menuBar->mapTo(&app.Main(), menuBar->actionGeometry(help).center());
        QTest::mouseClick(app.Main().windowHandle(), Qt::LeftButton, {}, helpTitle);
        EXPECT_FALSE(app.Main().MenuPopup(CThermalDlg::Pomoc)->isVisible()) << "the main window took a click";
        EXPECT_TRUE(dlg.isVisible());
        dlg.EndDialog(IDCANCEL);
    });
    app.Choose(CThermalDlg::ID_FISCAL_HEADER);
    EXPECT_TRUE(opened);
}

TEST(Monitor, SizeAndPlaceComeBackInTheNextRun)
{
    EnsureTestApplication();
    QTemporaryDir folder;
    QSettings settings(folder.filePath("thermal.ini"), QSettings::IniFormat);
    // As the program starts: the main window run modally, the monitor shown by it.
    auto firstFrames = [](const QSettings* saved) {
        CThermalDlg main;
        if (saved != nullptr) {
            EXPECT_TRUE(main.m_monitorDlg.LoadPlacement(*saved));
        }
        QRect frame;
        ScopedModalDriver driver([&](CDialog&) { frame = ScreenFit::Frame(main.m_monitorDlg); });
        main.DoModal();
        return frame;
    };
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect moved(40, 60, 700, 520);
    {
        CThermalDlg main;
        main.Create();
        main.ShowWindow(true);
        ScreenFit::Place(main.m_monitorDlg, moved);
        QCoreApplication::processEvents();
        main.m_monitorDlg.SavePlacement(settings);
    }
    EXPECT_EQ(firstFrames(&settings), moved);

    // Saved on a larger screen: back on this one, no smaller than it may be.
    settings.setValue("Monitor/position", QPoint(3000, -400));
    settings.setValue("Monitor/size", QSize(5000, 100));
    const QRect fitted = firstFrames(&settings);
    EXPECT_TRUE(area.contains(fitted)) << fitted.x() << "," << fitted.y();

    // Nothing an earlier run wrote: the monitor opens below the main window.
    const QRect fresh = firstFrames(nullptr);
    for (const QVariant& size : {QVariant("abc"), QVariant(QSize(-5, 10)), QVariant(QSize(2000000, 10))}) {
        settings.setValue("Monitor/size", size);
        CThermalDlg main;
        EXPECT_FALSE(main.m_monitorDlg.LoadPlacement(settings)) << size.toString().toStdString();
    }
    settings.setValue("Monitor/size", QSize(600, 500));
    settings.setValue("Monitor/position", "abc");
    CThermalDlg main;
    EXPECT_FALSE(main.m_monitorDlg.LoadPlacement(settings));
    EXPECT_EQ(firstFrames(nullptr), fresh);
}

}  // namespace
