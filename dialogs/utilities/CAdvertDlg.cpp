#include "dialogs/utilities/CAdvertDlg.h"

#include "ecr/commands/ECRDevice.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

#include <QCheckBox>

namespace {

constexpr int kLineY[] = {7, 25, 42, 61, 79, 98, 116};

}  // namespace

CAdvertDlg::CAdvertDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesavanje Reklama"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(253, 137);

    for (std::size_t i = 0; i < kLineIds.size(); ++i) {
        AddEdit(kLineIds[i], {7, kLineY[i], 139, 14});
        SetItemName(kLineIds[i], QStringLiteral("Linija %1").arg(i + 1));
        // The box sits beside its line, centred on the edit's height.
        AddCheckBox(kDoubleIds[i], QStringLiteral("Duplo"), {154, kLineY[i] + 2, 34, 10});
    }
    AddButton(IDC_READ, QStringLiteral("<< Procitaj"), {196, 14, 50, 14});
    AddButton(IDC_WRITE, QStringLiteral("Posalji >>"), {196, 36, 50, 14});
    AddCheckBox(IDC_PRINT_ON, QStringLiteral("On"), {221, 70, 25, 10});
    AddButton(IDOK, QStringLiteral("OK"), {196, 109, 50, 14});

    OnCommand(IDC_READ, [this] { OnRead(); });
    OnCommand(IDC_WRITE, [this] { OnWrite(); });
    OnCommand(IDC_PRINT_ON, [this] { OnPrintOn(); });
}

void CAdvertDlg::DoDataExchange(CDataExchange& dx)
{
    for (std::size_t i = 0; i < kLineIds.size(); ++i) {
        DDX_Text(dx, kLineIds[i], m_strLines[i]);
        DDX_Check(dx, kDoubleIds[i], m_nDouble[i]);
    }
    DDX_Check(dx, IDC_PRINT_ON, m_nPrintOn);
}

bool CAdvertDlg::OnInitDialog()
{
    // Only the switch comes from the register; the lines are what this
    // dialog last held, so an unsent edit is not lost by reopening.
    m_nPrintOn = RegisterServices::Device().ReadAdvertEnabled() ? 1 : 0;
    return CDialog::OnInitDialog();
}

void CAdvertDlg::OnRead()
{
    std::array<ECRString, 7> lines;
    std::array<bool, 7> doubleSize{};
    RegisterServices::Device().ReadAdvertText(lines, doubleSize);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        m_strLines[i].assign(lines[i].Data(), lines[i].Length());
        m_nDouble[i] = doubleSize[i] ? 1 : 0;
    }
    UpdateData(false);
}

void CAdvertDlg::OnWrite()
{
    // A line the register cannot take sends none of them.
    if (!UpdateData(true)) {
        return;
    }
    std::array<ECRString, 7> lines;
    std::array<bool, 7> doubleSize{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = ECRString(m_strLines[i].c_str());
        doubleSize[i] = m_nDouble[i] != 0;
    }
    RegisterServices::Device().WriteAdvertText(lines, doubleSize);
}

void CAdvertDlg::OnPrintOn()
{
    if (!UpdateData(true)) {
        // Nothing was sent: the box goes back to what the register has.
        Item<QCheckBox>(IDC_PRINT_ON)->setChecked(m_nPrintOn != 0);
        return;
    }
    RegisterServices::Device().SetAdvertEnabled(m_nPrintOn != 0);
}
