#include "app/CAboutDlg.h"

#include "app/ThermalArt.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("O Programu"));
    SetDialogSize(235, 55);
    AddPicture(0, {11, 14, 21, 20}, ThermalArt::Icon().pixmap(32, 32));
    AddLabel(QStringLiteral("Thermal servisni alat, verzija 1.0"), {40, 10, 130, 8});
    AddLabel(QStringLiteral("(c) 2026 Thermal tim"), {40, 25, 130, 8});
    AddButton(IDOK, QStringLiteral("OK"), {178, 7, 50, 14});
}
