#include "dialogs/articles/CPLUDeleteDlg.h"

#include "framework/SansSerifFont.h"

#include <QLabel>
#include <QLineEdit>

CPLUDeleteDlg::CPLUDeleteDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Brisanje artikla"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(186, 50);
    QLabel* label = AddLabel(QStringLiteral("&Artikal:"), {8, 10, 30, 8});
    label->setBuddy(AddEdit(IDC_NAME, {40, 8, 138, 14}));
    SetItemName(IDC_NAME, QStringLiteral("Artikal"));
    AddButton(IDOK, QStringLiteral("Brisi"), {74, 30, 50, 14});
    AddButton(IDCANCEL, QStringLiteral("Ponisti"), {128, 30, 50, 14});
}

void CPLUDeleteDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_NAME, m_strName);
}
