#include "dialogs/articles/CPLUREPORTSDlg.h"

#include "framework/SansSerifFont.h"

CPLUREPORTSDlg::CPLUREPORTSDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("PLU Reports"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(214, 104);

    AddGroupBox(QString(), {6, 4, 62, 44});
    AddRadioButton(IDC_SHORT, QStringLiteral("Kratki"), {12, 16, 50, 10}, true);
    AddRadioButton(IDC_LONG, QStringLiteral("Dugi"), {12, 30, 30, 10}, false);
    AddGroupBox(QString(), {72, 4, 70, 44});
    AddRadioButton(IDC_READ_ONLY, QStringLiteral("Citanje"), {78, 16, 52, 10}, true);
    AddRadioButton(IDC_WITH_CLEARING, QStringLiteral("Sa brisanjem"), {78, 30, 60, 10}, false);
    AddGroupBox(QString(), {146, 4, 62, 44});
    AddRadioButton(IDC_SOLD, QStringLiteral("Prodati"), {152, 16, 50, 10}, true);
    AddRadioButton(IDC_ALL, QStringLiteral("Svi"), {152, 30, 26, 10}, false);

    AddLabel(QStringLiteral("Poreska stopa"), {8, 58, 50, 8});
    AddComboBox(IDC_TAX_RATE, {60, 56, 40, 120},
                {QStringLiteral("A"), QStringLiteral("G"), QStringLiteral("D"), QStringLiteral("Dj"),
                 QStringLiteral("E"), QStringLiteral("Z"), QStringLiteral("I"), QStringLiteral("J"),
                 QStringLiteral("K"), QStringLiteral("SVI")},
                true);
    AddButton(IDC_PRINT, QStringLiteral("Stampaj >>"), {148, 82, 60, 14});

    OnCommand(IDC_PRINT, [this] { OnPrint(); });
}

void CPLUREPORTSDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Radio(dx, IDC_SHORT, m_nLength);
    DDX_Radio(dx, IDC_READ_ONLY, m_nMode);
    DDX_Radio(dx, IDC_SOLD, m_nSelection);
    DDX_CBIndex(dx, IDC_TAX_RATE, m_nTaxRate);
}

void CPLUREPORTSDlg::OnPrint()
{
    // The dialog stays open; nothing is sent.
    UpdateData(true);
}
