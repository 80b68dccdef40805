#include "serial/platform/ComPortMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

struct NameCase {
    const char* name;
    std::optional<int> port;
};

class ComPortNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ComPortNameTest, RecognisesOnlyComNames)
{
    EXPECT_EQ(ComPortMap::PortNumber(GetParam().name), GetParam().port) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, ComPortNameTest,
                         ::testing::Values(NameCase{"COM1", 1}, NameCase{"COM3", 3}, NameCase{"COM8", 8},
                                           NameCase{"COM12", 12}, NameCase{"com2", 2}, NameCase{"\\\\.\\COM4", 4},
                                           NameCase{"COM", std::nullopt}, NameCase{"COM0", std::nullopt},
                                           NameCase{"COM03", std::nullopt}, NameCase{"COM1x", std::nullopt},
                                           NameCase{"COM-1", std::nullopt}, NameCase{"CON1", std::nullopt},
                                           NameCase{"/dev/ttyS0", std::nullopt},
                                           NameCase{"COM99999999999999999999", std::nullopt}));

class ComPortMapTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (int port : {2, 3, 5}) {
            ::unsetenv(ComPortMap::VariableName(port).c_str());
        }
    }
};

TEST_F(ComPortMapTest, UnmappedPortIsTheSerialDeviceCountedFromZero)
{
    ::unsetenv("ECR_COM3");
    EXPECT_EQ(ComPortMap::DevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(ComPortMap::PathForName("COM3"), "/dev/ttyS2");

    ::setenv("ECR_COM3", "", 1);  // set but empty is no mapping
    EXPECT_EQ(ComPortMap::DevicePath(3), "/dev/ttyS2");
}

TEST_F(ComPortMapTest, EnvironmentVariableRedirectsOnlyItsPort)
{
    ::setenv("ECR_COM3", "/dev/pts/42", 1);
    EXPECT_EQ(ComPortMap::PathForName("COM3"), "/dev/pts/42");
    EXPECT_EQ(ComPortMap::PathForName("COM2"), "/dev/ttyS1");
    EXPECT_EQ(ComPortMap::PathForName("/tmp/some-device"), "/tmp/some-device");
}

TEST_F(ComPortMapTest, SetDevicePathIsSeenByTheMap)
{
    EXPECT_TRUE(ComPortMap::SetDevicePath(5, "/dev/ttyUSB0"));
    EXPECT_STREQ(std::getenv("ECR_COM5"), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortMap::DevicePath(5), "/dev/ttyUSB0");

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

}  // namespace
