#include "dialogs/fiscal/CTaxRateDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECROperations.h"
#include "ecr/commands/ScaledAmount.h"

namespace {

constexpr std::int32_t kDecimals = 2;

}  // namespace

CTaxRateDlg::CTaxRateDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Poreske stope"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(156, 174);
    m_strRates.fill("0.00");

    for (std::size_t i = 0; i < kRateIds.size(); ++i) {
        const int y = 9 + 18 * static_cast<int>(i);
        AddLabel(QString::fromLatin1(ECRCommandTable::RateName(static_cast<int>(i))), {10, y + 2, 14, 8});
        AddEdit(kRateIds[i], {28, y, 60, 14});
        SetItemName(kRateIds[i], QStringLiteral("Stopa %1").arg(QString::fromLatin1(ECRCommandTable::RateName(static_cast<int>(i)))));
    }
    AddButton(IDC_READ, QStringLiteral("Citaj <<"), {98, 9, 50, 14});
    AddButton(IDC_WRITE, QStringLiteral("Pisi >>"), {98, 27, 50, 14});
    AddButton(IDOK, QStringLiteral("OK"), {98, 153, 50, 14});

    OnCommand(IDC_READ, [this] { OnRead(); });
    OnCommand(IDC_WRITE, [this] { OnWrite(); });
}

void CTaxRateDlg::DoDataExchange(CDataExchange& dx)
{
    for (std::size_t i = 0; i < kRateIds.size(); ++i) {
        DDX_Text(dx, kRateIds[i], m_strRates[i]);
    }
}

void CTaxRateDlg::OnRead()
{
    std::array<std::int32_t, 9> rates{};
    RegisterServices::Device().ReadTaxRates(rates);
    for (std::size_t i = 0; i < rates.size(); ++i) {
        m_strRates[i] = FormatScaled(rates[i], kDecimals).Data();
    }
    UpdateData(false);
}

void CTaxRateDlg::OnWrite()
{
    if (!UpdateData(true)) {
        return;
    }
    std::array<std::int32_t, 9> rates{};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        rates[i] = ParseScaled(ECRString(m_strRates[i].c_str()), kDecimals);
    }
    ECROperations::WriteTaxRatesNow(RegisterServices::Device(), rates);
}
