#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "framework/ActionGuard.h"
#include "framework/RecordingPrompts.h"
#include "framework/RegisterServices.h"
#include "framework/TestApplication.h"
#include "support/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Services of a test: a device of its choosing and no main window.
class TestServices : public RegisterServices {
public:
    ECRDevice* ConnectedDevice() override { return device; }
    void ShowDebugMessage(std::string_view text) override { debug.emplace_back(text); }

    ECRDevice* device = nullptr;
    std::vector<std::string> debug;
};

// Installs services for one test and puts back whatever was there.
class ScopedServices {
public:
    explicit ScopedServices(RegisterServices* services) : m_previous(RegisterServices::Install(services)) {}
    ~ScopedServices() { RegisterServices::Install(m_previous); }

private:
    RegisterServices* m_previous;
};

int CommErrorCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CommError& error) {
        return error.code;
    }
    return -1;
}

TEST(RegisterServices, WithoutServicesOrDeviceTheRegisterCannotBeReached)
{
    {
        ScopedServices none(nullptr);
        EXPECT_EQ(CommErrorCode([] { RegisterServices::Instance(); }), CommError::OpenFailed);
        EXPECT_EQ(CommErrorCode([] { RegisterServices::Device(); }), CommError::OpenFailed);
    }
    TestServices services;
    ScopedServices installed(&services);
    EXPECT_EQ(&RegisterServices::Instance(), &services);
    EXPECT_EQ(CommErrorCode([] { RegisterServices::Device(); }), CommError::OpenFailed);
    // A test's services have no main window, so no member dialogs either.
    EXPECT_THROW(RegisterServices::Instance().TaxRateDlg(), std::logic_error);
}

TEST(RegisterServices, InstalledDeviceIsTheOneEveryDialogReaches)
{
    FakeSerialPort port;
    ECRDevice device(&port);
    TestServices services;
    services.device = &device;
    ScopedServices installed(&services);
    EXPECT_EQ(&RegisterServices::Device(), &device);
}

TEST(RegisterServices, ActionBeforeLogOnIsReportedAsAPortThatIsNotOpen)
{
    EnsureTestApplication();
    RecordingPrompts prompts;
    TestServices services;
    ScopedServices installed(&services);
    EXPECT_FALSE(ActionGuard::Run([] { RegisterServices::Device().PrintStatusReport(); }));
    EXPECT_EQ(prompts.Texts(), QStringList{"Greska u komunikaciji\nError opening port"});
}

}  // namespace
