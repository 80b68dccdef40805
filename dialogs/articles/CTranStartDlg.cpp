#include "dialogs/articles/CTranStartDlg.h"

#include "framework/SansSerifFont.h"

CTranStartDlg::CTranStartDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesavanje Kase"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(150, 66);
    AddLabel(QStringLiteral("Kasir"), {8, 10, 36, 8});
    AddEdit(IDC_CASHIER, {46, 8, 96, 14});
    AddLabel(QStringLiteral("Br. kase"), {8, 28, 36, 8});
    AddEdit(IDC_REGISTER_NUMBER, {46, 26, 96, 14});
    SetItemName(IDC_CASHIER, QStringLiteral("Kasir"));
    SetItemName(IDC_REGISTER_NUMBER, QStringLiteral("Br. kase"));
    // No Cancel button: Esc and the close box cancel.
    AddButton(IDOK, QStringLiteral("OK"), {92, 46, 50, 14});
}

void CTranStartDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_CASHIER, m_strCashier);
    DDX_Text(dx, IDC_REGISTER_NUMBER, m_strRegisterNumber);
}
