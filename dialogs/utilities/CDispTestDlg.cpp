#include "dialogs/utilities/CDispTestDlg.h"

#include "ecr/commands/ECRDevice.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

CDispTestDlg::CDispTestDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Display tekst test"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(147, 67);
    AddEdit(IDC_LINE1, {7, 14, 60, 14});
    AddEdit(IDC_LINE2, {7, 38, 60, 14});
    SetItemName(IDC_LINE1, QStringLiteral("Linija 1"));
    SetItemName(IDC_LINE2, QStringLiteral("Linija 2"));
    AddButton(IDC_SEND, QStringLiteral("Posalji >>"), {84, 38, 56, 22});
    OnCommand(IDC_SEND, [this] { OnSend(); });
}

void CDispTestDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_LINE1, m_strLine1);
    DDX_Text(dx, IDC_LINE2, m_strLine2);
}

void CDispTestDlg::OnSend()
{
    if (!UpdateData(true)) {
        return;
    }
    // Two empty lines clear the display in one request; the device decides.
    RegisterServices::Device().DisplayText(ECRString(m_strLine1.c_str()), ECRString(m_strLine2.c_str()));
}
