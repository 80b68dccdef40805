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
    AddEdit(IDC_IBFM, {40, 9, 94, 14});
    SetItemName(IDC_IBFM, QStringLiteral("IBFM"));
    AddButton(IDC_WRITE_IBFM, QStringLiteral("Upisi IBFM"), {144, 9, 54, 14});
    AddLabel(QStringLiteral("PIB:"), {10, 31, 26, 8});
    AddEdit(IDC_PIB, {40, 29, 94, 14});
    SetItemName(IDC_PIB, QStringLiteral("PIB"));
    AddButton(IDC_FISCALIZE, QStringLiteral("Fiskalizuj"), {144, 29, 54, 14});

    AddButton(IDC_HEADER, QStringLiteral("Zaglavlje"), {40, 55, 60, 14});
    AddButton(IDC_TAX_RATES, QStringLiteral("Poreske Stope"), {106, 55, 60, 14});

    AddButton(IDOK, QStringLiteral("OK"), {90, 82, 50, 14});
    AddButton(IDCANCEL, QStringLiteral("Cancel"), {148, 82, 50, 14});

    OnCommand(IDC_WRITE_IBFM, [this] { OnWriteIBFM(); });
    OnCommand(IDC_FISCALIZE, [this] { OnFiscalize(); });
    OnCommand(IDC_HEADER, [this] { OnHeader(); });
    OnCommand(IDC_TAX_RATES, [this] { OnTaxRates(); });
}

void CFiskalizacijaDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_IBFM, m_strIBFM);
    DDX_Text(dx, IDC_PIB, m_strPIB);
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
