#include "serial/platform/ComPortMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace {

TEST(ComPortNameTest, RecognisesOnlyComNames)
{
    const std::pair<const char*, std::optional<int>> names[] = {
        {"COM1", 1},           {"COM8", 8},           {"COM12", 12},         {"com2", 2},
        {"\\\\.\\COM4", 4},    {"COM", std::nullopt}, {"COM0", std::nullopt}, {"COM03", std::nullopt},
        {"COM1x", std::nullopt}, {"COM-1", std::nullopt}, {"/dev/ttyS0", std::nullopt},
        {"COM99999999999999999999", std::nullopt},
    };
    for (const auto& [name, port] : names) {
        EXPECT_EQ(ComPortMap::PortNumber(name), port) << name;
    }
}

#ifndef _WIN32
// On Windows the COM names are the system's own; the variables are not consulted.
class ComPortMapTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (int port : {2, 3}) {
            ::unsetenv(ComPortMap::VariableName(port).c_str());
        }
    }
};

TEST_F(ComPortMapTest, VariableRedirectsItsPortElseSerialDeviceCountedFromZero)
{
    ::unsetenv("ECR_COM3");
    EXPECT_EQ(ComPortMap::PathForName("COM3"), "/dev/ttyS2");
    ::setenv("ECR_COM3", "", 1);  // set but empty is no mapping
    EXPECT_EQ(ComPortMap::PathForName("COM3"), "/dev/ttyS2");

    EXPECT_TRUE(ComPortMap::SetDevicePath(3, "/dev/pts/42"));
    EXPECT_STREQ(std::getenv("ECR_COM3"), "/dev/pts/42");
    EXPECT_EQ(ComPortMap::PathForName("COM3"), "/dev/pts/42");
    EXPECT_EQ(ComPortMap::PathForName("COM2"), "/dev/ttyS1");
    EXPECT_EQ(ComPortMap::PathForName("/tmp/some-device"), "/tmp/some-device");
    // no port chosen: never a file of that name in the current folder
    EXPECT_EQ(ComPortMap::PathForName("COM0"), "");
    EXPECT_EQ(ComPortMap::PathForName("COM-1"), "");
    EXPECT_EQ(ComPortMap::PathForName("\\\\.\\com0"), "");

    EXPECT_FALSE(ComPortMap::SetDevicePath(0, "/dev/ttyUSB0"));
    EXPECT_FALSE(ComPortMap::SetDevicePath(2, ""));
    EXPECT_EQ(std::getenv("ECR_COM2"), nullptr);
}

TEST_F(ComPortMapTest, ApplyTakesCommandLineMappings)
{
    EXPECT_TRUE(ComPortMap::Apply("COM2=/dev/ttyUSB1"));
    EXPECT_EQ(ComPortMap::DevicePath(2), "/dev/ttyUSB1");
    EXPECT_TRUE(ComPortMap::Apply("com3=/tmp/a=b"));  // only the first '=' separates
    EXPECT_EQ(ComPortMap::DevicePath(3), "/tmp/a=b");

    for (const char* bad : {"COM2", "COM2=", "=/dev/ttyUSB0", "COM0=/dev/x", "PORT2=/dev/x", "\\\\.\\COM2=/dev/x"}) {
        EXPECT_FALSE(ComPortMap::Apply(bad)) << bad;
    }
    EXPECT_EQ(ComPortMap::DevicePath(2), "/dev/ttyUSB1");
}
#endif

}  // namespace
