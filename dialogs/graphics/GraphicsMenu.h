#pragma once

class MainMenu;

// Wires "Razno > Grafika" to the graphics dialog, a member of the main window
// reached through RegisterServices.
class GraphicsMenu {
public:
    static void Wire(MainMenu& menu);
};
