#include "framework/TestApplication.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

void EnsureTestApplication()
{
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "thermal-tests";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application = std::make_unique<QApplication>(argc, argv);
}
