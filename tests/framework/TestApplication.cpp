#include "framework/TestApplication.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

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

void EnsureTestApplication(QSize screen)
{
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "thermal-tests";
    static char platformOption[] = "-platform";
    static std::string platform;
    static char* argv[] = {name, nullptr, nullptr, nullptr};
    if (screen.isValid()) {
        // The headless platform takes its screens from a file.
        static QTemporaryDir folder;
        const QString config = folder.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot write " + config.toStdString());
        }
        file.write(QStringLiteral(R"({"screens":[{"name":"test","x":0,"y":0,"width":%1,"height":%2}]})")
                       .arg(screen.width())
                       .arg(screen.height())
                       .toUtf8());
        file.close();
        platform = "offscreen:configfile=" + config.toStdString();
        argv[1] = platformOption;
        argv[2] = platform.data();
        argc = 3;
    }
    // Whatever a test stores (the monitor's place) stays with the test program.
    static QTemporaryDir settings;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settings.path());
        QSettings::setPath(format, QSettings::SystemScope, settings.path());
    }
    Application() = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kadmar"));
    QCoreApplication::setApplicationName(QStringLiteral("thermal-tests"));
}
