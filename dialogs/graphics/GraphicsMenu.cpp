#include "dialogs/graphics/GraphicsMenu.h"

#include "dialogs/graphics/CGrafikaDlg.h"
#include "framework/MainMenu.h"
#include "framework/RegisterServices.h"

void GraphicsMenu::Wire(MainMenu& menu)
{
    menu.OnMenuCommand(MainMenu::ID_GRAPHICS, [] { RegisterServices::Instance().GrafikaDlg().DoModal(); });
}
