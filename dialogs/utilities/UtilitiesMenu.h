#pragma once

class MainMenu;

// Wires the device utilities: "Kasa > Citanje Memorije" and "Razno >
// Reklamni tekst", "Displej Test" and "Info Print". The advertising text
// dialog is a member of the main window, reached through RegisterServices.
class UtilitiesMenu {
public:
    static void Wire(MainMenu& menu);
};
