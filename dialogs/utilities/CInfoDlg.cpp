#include "dialogs/utilities/CInfoDlg.h"

#include "ecr/commands/ECRDevice.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

CInfoDlg::CInfoDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Info Print"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(186, 46);
    AddEdit(IDC_TEXT, {7, 7, 115, 14});
    SetItemName(IDC_TEXT, QStringLiteral("Tekst"));
    AddButton(IDC_PRINT, QStringLiteral("Stampaj >>"), {129, 7, 50, 14});
    AddEdit(IDC_NUMBER, {82, 25, 40, 14});
    AddButton(IDC_END, QStringLiteral("Zavrsi"), {129, 25, 50, 14});
    OnCommand(IDC_PRINT, [this] { OnPrint(); });
    OnCommand(IDC_END, [this] { OnEnd(); });
}

void CInfoDlg::DoDataExchange(CDataExchange& dx)
{
    // The text first: a number that is not one stops the exchange after it.
    DDX_Text(dx, IDC_TEXT, m_strText);
    DDX_Text(dx, IDC_NUMBER, m_nNumber);
}

void CInfoDlg::OnPrint()
{
    // A bad number has been said ("Please enter an integer."); the line
    // still goes out, with the number kept from before. A text the register
    // cannot take sends nothing: its message says so.
    UpdateData(true);
    if (TextRefused()) {
        return;
    }
    RegisterServices::Device().PrintInfoLine(ECRString(m_strText.c_str()), m_nNumber);
}

void CInfoDlg::OnEnd()
{
    RegisterServices::Device().EndInfoPrint();
}
