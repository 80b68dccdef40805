#pragma once

#include <QSize>

// Creates the one QApplication of a test program on first use, headless
// (offscreen) unless a platform was chosen, and returns nothing: widgets can
// be created after the call. Given a screen size, the headless screen has
// that size (for the first call of the program only). Settings go to a
// folder of the test program's own, never to the user's.
void EnsureTestApplication(QSize screen = {});
