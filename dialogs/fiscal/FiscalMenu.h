#pragma once

class MainMenu;

// Wires the fiscal administration items of the "Kasa" menu: "Fiskalizacija",
// "Poreske stope", "Izvestaji", "Vreme", "Fisk. Header" and
// "Citanje Totalajzera". The member dialogs come from RegisterServices.
class FiscalMenu {
public:
    static void Wire(MainMenu& menu);
};
