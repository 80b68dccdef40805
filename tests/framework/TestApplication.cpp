#include "framework/TestApplication.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QApplication>& Application()
{
    static std::unique_ptr<QApplication> application;
    return application;
}

// Qt's own global objects go before the statics of a test program; the
// application must end while they still exist, so it ends with the tests.
class QtApplicationEnvironment : public testing::Environment {
public:
    void TearDown() override { Application().reset(); }
};

// gtest owns registered environments.
[[maybe_unused]] const testing::Environment* const kRegistered =
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void EnsureTestApplication()
{
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "thermal-tests";
    static char* argv[] = {name, nullptr};
    Application() = std::make_unique<QApplication>(argc, argv);
}
