#pragma once

#include <functional>

class QWidget;

// The main window's menu as the dialog areas see it: each area wires its own
// items (FiscalMenu::Wire and the like), so the main window does not grow
// with every dialog. The menu itself (captions, ids, order) is the main
// window's.
class MainMenu {
public:
    // Menu 130 command ids.
    enum CommandId : int {
        ID_CONNECT = 32772,
        ID_SETTINGS = 32776,
        ID_TEST_CONNECTION = 32797,
        ID_FISCALIZE = 32775,
        ID_TAX_RATES = 32781,
        ID_REPORTS = 32782,
        ID_TIME = 32780,
        ID_FISCAL_HEADER = 32779,
        ID_TOTALIZERS = 32800,
        ID_MEMORY_READ = 32786,
        ID_SALE = 32783,
        ID_SALE_FROM_DATABASE = 32796,
        ID_TRANSACTION_START = 32799,
        ID_PLU_LIST = 32771,
        ID_DELETE_ARTICLE = 32785,
        ID_DELETE_ALL_ARTICLES = 32788,
        ID_PLU_REPORTS = 32795,
        ID_ADVERT_TEXT = 32787,
        ID_GRAPHICS = 32793,
        ID_ADVERT_TEST = 32794,
        ID_DISPLAY_TEST = 32798,
        ID_INFO_PRINT = 32801,
        ID_ABOUT = 32774,
        ID_SHOW_MONITOR = 32777,
    };

    virtual ~MainMenu() = default;

    // Runs the handler through ActionGuard when the item is chosen; throws
    // std::logic_error for an id the menu does not have.
    virtual void OnMenuCommand(int id, std::function<void()> handler) = 0;
    // The window that owns the dialogs a menu handler opens.
    virtual QWidget* MenuWindow() = 0;
};
