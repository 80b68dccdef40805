#include "dialogs/fiscal/CTotalDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"
#include "framework/ActionGuard.h"

namespace {

const char* const kLabels[] = {"A.", "G.", "D.", "Dj.", "E.", "Z.", "I.", "J.", "K.",
                               "Fisk. ukupno", "Fisk. danas", "Nefisk. ukupno", "Nefisk. danas"};
constexpr std::size_t kRateCount = 9;

}  // namespace

CTotalDlg::CTotalDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Totalajzeri"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(262, 188);

    AddGroupBox(QStringLiteral("Brojaci po stopama"), {6, 4, 106, 178});
    for (std::size_t i = 0; i < kTotalIds.size(); ++i) {
        const bool rate = i < kRateCount;
        const int row = static_cast<int>(rate ? i : i - kRateCount);
        const int y = 17 + 18 * row;
        if (rate) {
            AddLabel(QString::fromLatin1(kLabels[i]), {12, y + 2, 16, 8});
            AddEdit(kTotalIds[i], {30, y, 76, 14});
        } else {
            AddLabel(QString::fromLatin1(kLabels[i]), {120, y + 2, 52, 8});
            AddEdit(kTotalIds[i], {174, y, 80, 14});
        }
    }
}

void CTotalDlg::DoDataExchange(CDataExchange& dx)
{
    for (std::size_t i = 0; i < kTotalIds.size(); ++i) {
        DDX_Text(dx, kTotalIds[i], m_strTotals[i]);
    }
}

bool CTotalDlg::OnInitDialog()
{
    // A failed reading is reported by the guard; the dialog then opens with
    // its fields empty rather than not at all.
    ActionGuard::Run([this] { ReadTotals(); });
    return CDialog::OnInitDialog();
}

void CTotalDlg::ReadTotals()
{
    std::array<ECRString, 13> totals;
    RegisterServices::Device().ReadTotalizers(totals);
    for (std::size_t i = 0; i < totals.size(); ++i) {
        m_strTotals[i].assign(totals[i].Data(), totals[i].Length());
    }
}
