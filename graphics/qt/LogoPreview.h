#pragma once

#include "graphics/LogoRows.h"

#include <QImage>

// What the register prints for logo rows: a two-colour picture, 360 dots
// wide and one line per row, black where a row's bit is set and white
// elsewhere. Made from the rows themselves, so it shows exactly what is sent.
// Rows of the wrong length or with a character that is no hex digit make a
// null picture.
class LogoPreview {
public:
    static QImage FromRows(const LogoRows& logo);
};
