#include "dialogs/fiscal/RegisterLink.h"

#include "app/CThermalDlg.h"
#include "ecr/protocol/CommError.h"

namespace {

constexpr std::int32_t kPortNotOpen = 1;

CThermalDlg& MainDlg()
{
    if (g_pMainDlg == nullptr) {
        throw CommError(kPortNotOpen);
    }
    return *g_pMainDlg;
}

}  // namespace

ECRDevice& RegisterLink::Device()
{
    // The menus that lead here stay greyed until log-on; this only guards
    // against reaching a dialog some other way before there is a device.
    CThermalDlg& main = MainDlg();
    if (!main.m_pDevice) {
        throw CommError(kPortNotOpen);
    }
    return *main.m_pDevice;
}

CFiscalHeaderDlg& RegisterLink::FiscalHeaderDlg()
{
    return MainDlg().m_fiscalHeaderDlg;
}

CTaxRateDlg& RegisterLink::TaxRateDlg()
{
    return MainDlg().m_taxRateDlg;
}
