#include "dialogs/utilities/UtilitiesMenu.h"

#include "dialogs/utilities/CAdvertDlg.h"
#include "dialogs/utilities/CDispTestDlg.h"
#include "dialogs/utilities/CInfoDlg.h"
#include "dialogs/utilities/CMemeReadDlg.h"
#include "framework/MainMenu.h"
#include "framework/RegisterServices.h"

void UtilitiesMenu::Wire(MainMenu& menu)
{
    menu.OnMenuCommand(MainMenu::ID_MEMORY_READ, [&menu] {
        CMemeReadDlg memoryRead(menu.MenuWindow());
        memoryRead.DoModal();
    });
    menu.OnMenuCommand(MainMenu::ID_ADVERT_TEXT, [] { RegisterServices::Instance().AdvertDlg().DoModal(); });
    menu.OnMenuCommand(MainMenu::ID_DISPLAY_TEST, [&menu] {
        CDispTestDlg displayTest(menu.MenuWindow());
        displayTest.DoModal();
    });
    menu.OnMenuCommand(MainMenu::ID_INFO_PRINT, [&menu] {
        CInfoDlg infoPrint(menu.MenuWindow());
        infoPrint.DoModal();
    });
}
