#pragma once

class MainMenu;

// Wires the items of the "PLU" menu: "Prodaja", "Prodaja Iz Baze",
// "Pocetak Transakcije", "Lista", "Brisi Artikal", "Brisi sve artikle" and
// "PLU Izvestaji". The member dialogs come from RegisterServices.
class ArticlesMenu {
public:
    static void Wire(MainMenu& menu);
};
