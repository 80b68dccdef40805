#pragma once

#include <QFont>

// The dialogs' "Microsoft Sans Serif" at 8 points (11 pixels high). Where the
// face is missing, a sans-serif face that also has Central European and
// Cyrillic letters stands in, so register texts in either code page show.
QFont SansSerifFont();
