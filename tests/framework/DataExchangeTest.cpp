#include "framework/CDialog.h"
#include "framework/RecordingPrompts.h"
#include "framework/ScopedModalDriver.h"
#include "framework/TestApplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

// A dialog with one control of every kind the framework exchanges.
class ExchangeDlg : public CDialog {
public:
    ExchangeDlg()
    {
        SetDialogSize(200, 150);
        AddEdit(1001, {7, 7, 80, 14});
        AddEdit(1002, {7, 25, 80, 14});
        AddEdit(1003, {7, 43, 80, 14});
        AddMultiLineEdit(1004, {100, 7, 90, 40}, false, true);
        AddCheckBox(1005, "Dbl", {7, 61, 40, 10});
        AddRadioButton(1006, "Kratki", {7, 75, 40, 10}, true);
        AddRadioButton(1007, "Dugi", {50, 75, 40, 10}, false);
        AddRadioButton(1008, "Citanje", {7, 88, 40, 10}, true);
        AddRadioButton(1009, "Brisanje", {50, 88, 40, 10}, false);
        AddComboBox(1010, {7, 101, 60, 60}, {"A", "G", "D"}, false);
        AddDateTimePicker(1011, {100, 60, 80, 14}, PickerMode::ShortDate);
        AddButton(IDOK, "OK", {140, 130, 50, 14});
        AddButton(IDCANCEL, "Cancel", {85, 130, 50, 14});
    }

    std::string m_strName;
    int m_nFirst = 0;
    int m_nSecond = 0;
    std::string m_strNote;
    int m_bDouble = 0;
    int m_nLength = 0;
    int m_nMode = 0;
    int m_nRate = 0;
    std::int64_t m_date = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
        DDX_Text(dx, 1001, m_strName);
        DDX_Text(dx, 1002, m_nFirst);
        DDX_Text(dx, 1003, m_nSecond);
        DDX_Text(dx, 1004, m_strNote);
        DDX_Check(dx, 1005, m_bDouble);
        DDX_Radio(dx, 1006, m_nLength);
        DDX_Radio(dx, 1008, m_nMode);
        DDX_CBIndex(dx, 1010, m_nRate);
        DDX_DateTime(dx, 1011, m_date);
    }
};

class DataExchangeTest : public testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    RecordingPrompts prompts;
};

TEST_F(DataExchangeTest, MembersReachTheControlsAndComeBack)
{
    ExchangeDlg dlg;
    dlg.m_strName = "\x8A""ecer \xB1";  // Windows-1250 bytes
    dlg.m_nFirst = -42;
    dlg.m_nSecond = 7;
    dlg.m_strNote = "prvi\r\ndrugi";
    dlg.m_bDouble = 1;
    dlg.m_nLength = 1;
    dlg.m_nMode = 0;
    dlg.m_nRate = 2;
    const QDateTime march(QDate(2026, 3, 15), QTime(9, 41, 30));
    dlg.m_date = march.toSecsSinceEpoch();
    ASSERT_TRUE(dlg.UpdateData(false));

    EXPECT_EQ(dlg.Item<QLineEdit>(1001)->text(), QString::fromUtf8("Šecer ±"));
    EXPECT_EQ(dlg.Item<QLineEdit>(1002)->text(), "-42");
    EXPECT_EQ(dlg.Item<QPlainTextEdit>(1004)->toPlainText(), "prvi\ndrugi");
    EXPECT_TRUE(dlg.Item<QCheckBox>(1005)->isChecked());
    EXPECT_TRUE(dlg.Item<QRadioButton>(1007)->isChecked());
    EXPECT_FALSE(dlg.Item<QRadioButton>(1006)->isChecked());
    EXPECT_TRUE(dlg.Item<QRadioButton>(1008)->isChecked());
    EXPECT_EQ(dlg.Item<QComboBox>(1010)->currentText(), "D");
    EXPECT_EQ(dlg.Item<QDateTimeEdit>(1011)->date(), QDate(2026, 3, 15));

    // The user edits every control; saving reads them all back.
    dlg.Item<QLineEdit>(1001)->setText(QString::fromUtf8("Čaj đak"));
    dlg.Item<QLineEdit>(1002)->setText(" +15 ");
    dlg.Item<QLineEdit>(1003)->setText("-2147483648");
    dlg.Item<QPlainTextEdit>(1004)->setPlainText("a\nb\nc");
    dlg.Item<QCheckBox>(1005)->setChecked(false);
    dlg.Item<QRadioButton>(1006)->setChecked(true);
    dlg.Item<QRadioButton>(1009)->setChecked(true);
    dlg.Item<QComboBox>(1010)->setCurrentIndex(0);
    dlg.Item<QDateTimeEdit>(1011)->setDate(QDate(1999, 12, 31));
    ASSERT_TRUE(dlg.UpdateData(true));

    EXPECT_EQ(dlg.m_strName, "\xC8""aj \xF0""ak");
    EXPECT_EQ(dlg.m_nFirst, 15);
    EXPECT_EQ(dlg.m_nSecond, -2147483647 - 1);
    EXPECT_EQ(dlg.m_strNote, "a\r\nb\r\nc");
    EXPECT_EQ(dlg.m_bDouble, 0);
    EXPECT_EQ(dlg.m_nLength, 0);
    EXPECT_EQ(dlg.m_nMode, 1);
    EXPECT_EQ(dlg.m_nRate, 0);
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(dlg.m_date).date(), QDate(1999, 12, 31));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DataExchangeTest, NothingSelectedIsMinusOneBothWays)
{
    ExchangeDlg dlg;
    dlg.m_nLength = 1;
    dlg.m_nRate = 1;
    dlg.UpdateData(false);
    dlg.m_nLength = -1;
    dlg.m_nRate = -1;
    dlg.UpdateData(false);
    EXPECT_FALSE(dlg.Item<QRadioButton>(1006)->isChecked());
    EXPECT_FALSE(dlg.Item<QRadioButton>(1007)->isChecked());
    EXPECT_EQ(dlg.Item<QComboBox>(1010)->currentIndex(), -1);

    dlg.m_nLength = 5;
    dlg.m_nRate = 5;
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nLength, -1);
    EXPECT_EQ(dlg.m_nRate, -1);
    // The group stays exclusive after being cleared.
    dlg.Item<QRadioButton>(1006)->setChecked(true);
    dlg.Item<QRadioButton>(1007)->setChecked(true);
    EXPECT_FALSE(dlg.Item<QRadioButton>(1006)->isChecked());
}

TEST_F(DataExchangeTest, BadIntegerStopsReadingAtThatField)
{
    ExchangeDlg dlg;
    dlg.m_nFirst = 1;
    dlg.m_nSecond = 2;
    dlg.m_bDouble = 0;
    dlg.m_nRate = 1;
    dlg.UpdateData(false);

    dlg.Item<QLineEdit>(1001)->setText("novo");
    dlg.Item<QLineEdit>(1002)->setText("12a");
    dlg.Item<QLineEdit>(1003)->setText("99");
    dlg.Item<QCheckBox>(1005)->setChecked(true);
    dlg.Item<QComboBox>(1010)->setCurrentIndex(2);

    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strName, "novo");  // before the bad field: read
    EXPECT_EQ(dlg.m_nFirst, 1);        // the bad field and everything after: unchanged
    EXPECT_EQ(dlg.m_nSecond, 2);
    EXPECT_EQ(dlg.m_bDouble, 0);
    EXPECT_EQ(dlg.m_nRate, 1);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Please enter an integer.");
    EXPECT_EQ(prompts.messages[0].title, "thermal");
    EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::Ok);
}

TEST_F(DataExchangeTest, IntegerTexts)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},           {"  42  ", true, 42},          {"-7", true, -7},
        {"+3", true, 3},          {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},           {"   ", false, 0},             {"-", false, 0},
        {"4 2", false, 0},        {"12a", false, 0},             {"1.5", false, 0},
        {"2147483648", false, 0}, {"-2147483649", false, 0},     {"99999999999999999999", false, 0},
        {"--1", false, 0},
    };
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(ParseDialogInteger(c.text, value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : -99) << '"' << c.text << '"';
    }
}

TEST_F(DataExchangeTest, SwitchingTheCodePageKeepsTheBytes)
{
    ExchangeDlg dlg;
    dlg.m_strName = "\xCA\xE0\xF1\xE0";
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.GetItemText(1001), QString::fromUtf8("Ęŕńŕ"));
    dlg.SetItemCodePage(1001, CodePage::Windows1251);
    EXPECT_EQ(dlg.GetItemText(1001), QString::fromUtf8("Каса"));
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strName, "\xCA\xE0\xF1\xE0");
    dlg.SetItemCodePage(1001, CodePage::Windows1250);
    std::string bytes;
    TextFault fault;
    ASSERT_TRUE(dlg.GetItemBytes(1001, bytes, fault));
    EXPECT_EQ(bytes, "\xCA\xE0\xF1\xE0");
}

TEST_F(DataExchangeTest, ACharacterTheCodePageLacksStopsTheReadingAndNamesTheField)
{
    ExchangeDlg dlg;
    dlg.SetItemName(1004, "Napomena");
    dlg.m_strName = "staro";
    dlg.m_strNote = "stara";
    dlg.m_bDouble = 0;
    dlg.UpdateData(false);

    dlg.Item<QLineEdit>(1001)->setText(QString::fromUtf8("Čaj"));
    dlg.SetItemText(1004, QString::fromUtf8("Sok Ж"));
    dlg.Item<QCheckBox>(1005)->setChecked(true);
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strName, "\xC8" "aj");
    EXPECT_EQ(dlg.m_strNote, "stara") << "never a question mark in its place";
    EXPECT_EQ(dlg.m_bDouble, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QString::fromUtf8("Znak 'Ж' (U+0416) u polju \"Napomena\" na mestu 5 ne postoji u kodnoj strani "
                                "Windows-1250. Nista nije poslato."));
    EXPECT_EQ(prompts.messages[0].title, "thermal");

    // Unnamed, a field is called by its id; the same character is fine in Cyrillic.
    dlg.Item<QLineEdit>(1001)->setText(QString::fromUtf8("日"));
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(prompts.messages.back().text,
              QString::fromUtf8("Znak '日' (U+65E5) u polju \"1001\" na mestu 1 ne postoji u kodnoj strani "
                                "Windows-1250. Nista nije poslato."));
    dlg.Item<QLineEdit>(1001)->setText("ok");
    dlg.SetItemCodePage(1004, CodePage::Windows1251);
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strNote, "Sok \xC6");
}

TEST_F(DataExchangeTest, TheDialogTellsARefusedTextFromABadInteger)
{
    // After a bad integer some actions go on with the kept value; after a
    // refused text none may, its message having said that nothing was sent.
    ExchangeDlg dlg;
    dlg.UpdateData(false);
    struct Case {
        const char* name;  // UTF-8
        const char* first;
        bool exchanged;
        bool refused;
    };
    const Case cases[] = {
        {"Sok", "1", true, false},
        {"Sok", "x", false, false},
        {"\xD0\x96", "1", false, true},
        {"\xD0\x96", "x", false, true},  // the name comes first and stops the pass
        {"\xC5\xBE", "99999999999", false, false},
    };
    for (const Case& c : cases) {
        dlg.Item<QLineEdit>(1001)->setText(QString::fromUtf8(c.name));
        dlg.Item<QLineEdit>(1002)->setText(c.first);
        EXPECT_EQ(dlg.UpdateData(true), c.exchanged) << c.name << " " << c.first;
        EXPECT_EQ(dlg.TextRefused(), c.refused) << c.name << " " << c.first;
    }
    EXPECT_EQ(dlg.m_strName, "\x9E");
    EXPECT_TRUE(dlg.UpdateData(false));
    EXPECT_FALSE(dlg.TextRefused()) << "a later exchange clears it";
}

TEST_F(DataExchangeTest, TypedTextInAComboBoxChoosesTheItemItNamesOrNone)
{
    class ComboDlg : public CDialog {
    public:
        ComboDlg()
        {
            SetDialogSize(100, 40);
            AddComboBox(1002, {7, 7, 60, 60}, {"1", "2", "9600", "Kg"}, true);
        }
        int m_nIndex = 0;

    protected:
        void DoDataExchange(CDataExchange& dx) override { DDX_CBIndex(dx, 1002, m_nIndex); }
    } dlg;
    dlg.UpdateData(false);
    auto* combo = dlg.Item<QComboBox>(1002);
    struct Case {
        const char* typed;
        int index;
    };
    const Case cases[] = {{"2", 1}, {"9600", 2}, {"9", -1}, {"abc", -1}, {"", -1}, {" 2", -1}, {"kg", 3}};
    for (const Case& c : cases) {
        combo->setCurrentIndex(0);
        combo->setEditText(c.typed);  // typing leaves the selection where it was
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.m_nIndex, c.index) << '"' << c.typed << '"';
    }
    combo->setCurrentIndex(2);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nIndex, 2) << "a chosen item is its own index";
}

TEST_F(DataExchangeTest, ModalOkValidatesAndCancelKeepsMembers)
{
    ExchangeDlg dlg;
    dlg.m_nFirst = 5;
    {
        ScopedModalDriver driver([](CDialog& d) {
            d.Item<QLineEdit>(1002)->setText("x");
            QTest::mouseClick(d.Item<QPushButton>(IDOK), Qt::LeftButton);
            EXPECT_TRUE(d.isVisible()) << "a bad field keeps the dialog open";
            d.Item<QLineEdit>(1002)->setText("6");
            QTest::mouseClick(d.Item<QPushButton>(IDOK), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
    }
    EXPECT_EQ(dlg.m_nFirst, 6);
    EXPECT_EQ(prompts.Texts(), QStringList{"Please enter an integer."});
    {
        ScopedModalDriver driver([](CDialog& d) {
            EXPECT_EQ(d.Item<QLineEdit>(1002)->text(), "6") << "opening shows the members again";
            d.Item<QLineEdit>(1002)->setText("7");
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(dlg.m_nFirst, 6);
}

TEST_F(DataExchangeTest, UnknownControlIdIsAProgrammingError)
{
    class BrokenDlg : public CDialog {
    protected:
        void DoDataExchange(CDataExchange& dx) override
        {
            int value = 0;
            DDX_Text(dx, 4711, value);
        }
    } dlg;
    EXPECT_THROW(dlg.UpdateData(true), std::logic_error);
}

TEST_F(DataExchangeTest, DialogUnitsFollowTheFont)
{
    ExchangeDlg dlg;
    const QRect small = dlg.DluToPixels({0, 0, 100, 100});
    EXPECT_GT(small.width(), 100);  // a dialog unit is more than a pixel at any readable size
    QFont bigger = dlg.font();
    bigger.setPointSizeF(bigger.pointSizeF() * 2);
    dlg.setFont(bigger);
    const QRect big = dlg.DluToPixels({0, 0, 100, 100});
    EXPECT_GT(big.width(), small.width() * 3 / 2);
    EXPECT_GT(big.height(), small.height() * 3 / 2);
}

}  // namespace
