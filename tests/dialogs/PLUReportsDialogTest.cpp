#include "RegisterSession.h"
#include "dialogs/articles/CPLUREPORTSDlg.h"

#include <QComboBox>
#include <QRadioButton>

namespace {

class PLUReportsDialogTest : public RegisterSession {};

TEST_F(PLUReportsDialogTest, StampajRecordsTheOptionsAndSendsNothing)
{
    CPLUREPORTSDlg* reports = nullptr;
    int opened = 0;
    const auto drive = [&](CDialog& open) {
        reports = dynamic_cast<CPLUREPORTSDlg*>(&open);
        ASSERT_NE(reports, nullptr);
        ++opened;
        // Every opening starts with "Kratki", "Citanje", "Prodati" and "A".
        for (const int id : {CPLUREPORTSDlg::IDC_SHORT, CPLUREPORTSDlg::IDC_READ_ONLY, CPLUREPORTSDlg::IDC_SOLD}) {
            EXPECT_TRUE(open.Item<QRadioButton>(id)->isChecked()) << id;
        }
        EXPECT_EQ(Text(open, CPLUREPORTSDlg::IDC_TAX_RATE), "A");
        Click(open, CPLUREPORTSDlg::IDC_LONG);
        Click(open, CPLUREPORTSDlg::IDC_WITH_CLEARING);
        Click(open, CPLUREPORTSDlg::IDC_ALL);
        open.Item<QComboBox>(CPLUREPORTSDlg::IDC_TAX_RATE)->setCurrentIndex(CPLUREPORTSDlg::kAllRates);
        for (int i = 0; i < 3; ++i) {
            Click(open, CPLUREPORTSDlg::IDC_PRINT);
        }
        EXPECT_TRUE(open.isVisible()) << "the dialog stays open";
        EXPECT_EQ(reports->m_nLength, 1);
        EXPECT_EQ(reports->m_nMode, 1);
        EXPECT_EQ(reports->m_nSelection, 1);
        EXPECT_EQ(reports->m_nTaxRate, 9);
        EXPECT_EQ(Text(open, CPLUREPORTSDlg::IDC_TAX_RATE), "SVI");
    };
    RunMenu(CThermalDlg::ID_PLU_REPORTS, drive);
    RunMenu(CThermalDlg::ID_PLU_REPORTS, drive);
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(Requests().empty());
}

}  // namespace
