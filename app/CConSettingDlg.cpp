#include "app/CConSettingDlg.h"

#include <QComboBox>

CConSettingDlg::CConSettingDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesavanja konekcije"));
    SetDialogSize(170, 50);
    AddLabel(QStringLiteral("Port"), {10, 10, 30, 8});
    AddComboBox(IDC_PORT, {48, 8, 56, 90}, {"1", "2", "3", "4", "5", "6", "7", "8"}, true);
    AddLabel(QStringLiteral("Brzina"), {10, 31, 30, 8});
    AddComboBox(IDC_BAUD, {48, 29, 56, 40}, {"9600", "19200"}, true);
    AddButton(IDOK, QStringLiteral("OK"), {113, 8, 50, 14});
    AddButton(IDCANCEL, QStringLiteral("Cancel"), {113, 29, 50, 14});
}

void CConSettingDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_CBIndex(dx, IDC_PORT, m_nPort);
    DDX_CBIndex(dx, IDC_BAUD, m_nBaud);
}
