#pragma once

// Creates the one QApplication of a test program on first use, headless
// (offscreen) unless a platform was chosen, and returns nothing: widgets can
// be created after the call.
void EnsureTestApplication();
