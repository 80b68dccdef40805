#include "dialogs/fiscal/FiscalMenu.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "dialogs/fiscal/CReportsDlg.h"
#include "dialogs/fiscal/CSetTimeDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "dialogs/fiscal/CTotalDlg.h"
#include "framework/MainMenu.h"
#include "framework/RegisterServices.h"

void FiscalMenu::Wire(MainMenu& menu)
{
    menu.OnMenuCommand(MainMenu::ID_FISCALIZE, [&menu] {
        CFiskalizacijaDlg fiscalization(menu.MenuWindow());
        fiscalization.DoModal();
    });
    menu.OnMenuCommand(MainMenu::ID_TAX_RATES, [] { RegisterServices::Instance().TaxRateDlg().DoModal(); });
    menu.OnMenuCommand(MainMenu::ID_REPORTS, [] { RegisterServices::Instance().ReportsDlg().DoModal(); });
    // The dialog opens even when the clock could not be read (it says so first).
    menu.OnMenuCommand(MainMenu::ID_TIME, [] {
        CSetTimeDlg& setTime = RegisterServices::Instance().SetTimeDlg();
        setTime.ReadRegisterClock();
        setTime.DoModal();
    });
    menu.OnMenuCommand(MainMenu::ID_FISCAL_HEADER, [] { RegisterServices::Instance().FiscalHeaderDlg().DoModal(); });
    menu.OnMenuCommand(MainMenu::ID_TOTALIZERS, [&menu] {
        CTotalDlg totals(menu.MenuWindow());
        totals.DoModal();
    });
}
