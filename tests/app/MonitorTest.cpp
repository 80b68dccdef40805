#include "app/AppHarness.h"
#include "sim/ECRSimulator.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

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

}  // namespace
