#include "dialogs/articles/ArticlesMenu.h"

#include "dialogs/articles/CPLUDeleteDlg.h"
#include "dialogs/articles/CPLUListDialog.h"
#include "dialogs/articles/CPLUREPORTSDlg.h"
#include "dialogs/articles/CProdajaDlg.h"
#include "dialogs/articles/CTranStartDlg.h"
#include "dialogs/articles/CTransactDlg.h"
#include "ecr/commands/ECRDevice.h"
#include "framework/MainMenu.h"
#include "framework/RegisterServices.h"

void ArticlesMenu::Wire(MainMenu& menu)
{
    menu.OnMenuCommand(MainMenu::ID_SALE, [] { RegisterServices::Instance().TransactDlg().DoModal(); });
    menu.OnMenuCommand(MainMenu::ID_SALE_FROM_DATABASE, [&menu] {
        CProdajaDlg sale(menu.MenuWindow());
        sale.DoModal();
    });
    menu.OnMenuCommand(MainMenu::ID_TRANSACTION_START, [&menu] {
        CTranStartDlg start(menu.MenuWindow());
        if (start.DoModal() != IDOK) {
            return;
        }
        const ECRString registerNumber(start.m_strRegisterNumber.c_str());
        const ECRString cashier(start.m_strCashier.c_str());
        ECRDevice& device = RegisterServices::Device();
        device.SetTransactionDefaults(registerNumber, cashier);
        if (!device.BeginTransaction(registerNumber, cashier)) {
            // Nothing was sent: the receipt that is open stays as it is.
            RegisterServices::Instance().ShowDebugMessage("Transakcija je vec otvorena");
        }
    });
    menu.OnMenuCommand(MainMenu::ID_PLU_LIST, [] { RegisterServices::Instance().PLUListDlg().DoModal(); });
    menu.OnMenuCommand(MainMenu::ID_DELETE_ARTICLE, [&menu] {
        CPLUDeleteDlg remove(menu.MenuWindow());
        if (remove.DoModal() == IDOK) {
            RegisterServices::Device().DeleteArticle(ECRString(remove.m_strName.c_str()));
        }
    });
    // Asks first, as the article list's button does.
    menu.OnMenuCommand(MainMenu::ID_DELETE_ALL_ARTICLES, [] { CPLUListDialog::DeleteAllArticles(); });
    menu.OnMenuCommand(MainMenu::ID_PLU_REPORTS, [&menu] {
        CPLUREPORTSDlg reports(menu.MenuWindow());
        reports.DoModal();
    });
}
