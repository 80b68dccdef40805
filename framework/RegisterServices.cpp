#include "framework/RegisterServices.h"

#include "ecr/protocol/CommError.h"

#include <stdexcept>
#include <string>

namespace {

RegisterServices* g_pServices = nullptr;

[[noreturn]] void NoMemberDialog(const char* name)
{
    throw std::logic_error(std::string("RegisterServices: no member dialog ") + name);
}

}  // namespace

RegisterServices& RegisterServices::Instance()
{
    if (g_pServices == nullptr) {
        throw CommError(CommError::NotConnected);
    }
    return *g_pServices;
}

ECRDevice& RegisterServices::Device()
{
    ECRDevice* device = Instance().ConnectedDevice();
    if (device == nullptr) {
        throw CommError(CommError::NotConnected);
    }
    return *device;
}

CPLUListDialog& RegisterServices::PLUListDlg()
{
    NoMemberDialog("CPLUListDialog");
}

CFiscalHeaderDlg& RegisterServices::FiscalHeaderDlg()
{
    NoMemberDialog("CFiscalHeaderDlg");
}

CTaxRateDlg& RegisterServices::TaxRateDlg()
{
    NoMemberDialog("CTaxRateDlg");
}

CSetTimeDlg& RegisterServices::SetTimeDlg()
{
    NoMemberDialog("CSetTimeDlg");
}

CReportsDlg& RegisterServices::ReportsDlg()
{
    NoMemberDialog("CReportsDlg");
}

CAdvertDlg& RegisterServices::AdvertDlg()
{
    NoMemberDialog("CAdvertDlg");
}

CGrafikaDlg& RegisterServices::GrafikaDlg()
{
    NoMemberDialog("CGrafikaDlg");
}

CTransactDlg& RegisterServices::TransactDlg()
{
    NoMemberDialog("CTransactDlg");
}

RegisterServices* RegisterServices::Install(RegisterServices* services)
{
    RegisterServices* previous = g_pServices;
    g_pServices = services;
    return previous;
}
