#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn at run time: the main window's banner
// (343 x 71 pixels) and the application icon.
class ThermalArt {
public:
    static QPixmap Banner();
    static QIcon Icon();

private:
    static QPixmap IconPixmap(int size);
};
