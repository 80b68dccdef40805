#include "dialogs/fiscal/CFiskalizacijaDlg.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECROperations.h"

CFiskalizacijaDlg::CFiskalizacijaDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Fiskalizacija"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(206, 104);

    AddLabel(QStringLiteral("IBFM:"), {10, 11, 26, 8});
    AddEdit(1047, {40, 9, 94, 14});
    SetItemName(1047, QStringLiteral("IBFM"));
    AddButton(1014, QStringLiteral("Upisi IBFM"), {144, 9, 54, 14});
    AddLabel(QStringLiteral("PIB:"), {10, 31, 26, 8});
    AddEdit(1048, {40, 29, 94, 14});
    SetItemName(1048, QStringLiteral("PIB"));
    AddButton(1049, QStringLiteral("Fiskalizuj"), {144, 29, 54, 14});

    AddButton(1050, QStringLiteral("Zaglavlje"), {40, 55, 60, 14});
    AddButton(1051, QStringLiteral("Poreske Stope"), {106, 55, 60, 14});

    AddButton(IDOK, QStringLiteral("OK"), {90, 82, 50, 14});
    AddButton(IDCANCEL, QStringLiteral("Cancel"), {148, 82, 50, 14});

    OnCommand(1014, [this] { OnWriteIBFM(); });
    OnCommand(1049, [this] { OnFiscalize(); });
    OnCommand(1050, [this] { OnHeader(); });
    OnCommand(1051, [this] { OnTaxRates(); });
}

void CFiskalizacijaDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, 1047, m_strIBFM);
    DDX_Text(dx, 1048, m_strPIB);
}

void CFiskalizacijaDlg::OnWriteIBFM()
{
    if (!UpdateData(true)) {
        return;
    }
    // The register's answer goes to the monitor's debug box; no message here.
    RegisterServices::Device().WriteIBFM(ECRString(m_strIBFM.c_str()));
}

void CFiskalizacijaDlg::OnFiscalize()
{
    if (!UpdateData(true)) {
        return;
    }
    ECROperations::FiscalizeNow(RegisterServices::Device(), ECRString(m_strPIB.c_str()));
}

void CFiskalizacijaDlg::OnHeader()
{
    RegisterServices::Instance().FiscalHeaderDlg().DoModal();
}

void CFiskalizacijaDlg::OnTaxRates()
{
    RegisterServices::Instance().TaxRateDlg().DoModal();
}
