#include "link/ComPortMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

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
    ComPortMap map;
    ::unsetenv("ECR_COM3");
    EXPECT_EQ(map.DevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(map.Resolve(3), PortAddress::ComPort(3));
    ::setenv("ECR_COM3", "", 1);  // set but empty is no mapping
    EXPECT_EQ(map.DevicePath(3), "/dev/ttyS2");

    // Read when a name is resolved, not when the map was made.
    ::setenv("ECR_COM3", "/dev/pts/42", 1);
    ComPortMap::Source source = ComPortMap::Source::System;
    EXPECT_EQ(map.MappedPath(3, &source), "/dev/pts/42");
    EXPECT_EQ(source, ComPortMap::Source::Variable);
    EXPECT_EQ(map.Resolve(3), PortAddress::DevicePath("/dev/pts/42"));
    EXPECT_EQ(map.Resolve(2), PortAddress::ComPort(2));

    // A mapping given to the map comes before the variable, and goes nowhere else.
    EXPECT_TRUE(map.Map(3, "/dev/ttyUSB0"));
    EXPECT_EQ(map.MappedPath(3, &source), "/dev/ttyUSB0");
    EXPECT_EQ(source, ComPortMap::Source::Given);
    EXPECT_STREQ(std::getenv("ECR_COM3"), "/dev/pts/42");
    EXPECT_EQ(ComPortMap().DevicePath(3), "/dev/pts/42");

    EXPECT_FALSE(map.Map(0, "/dev/ttyUSB0"));
    EXPECT_FALSE(map.Map(2, ""));
    EXPECT_EQ(map.MappedPath(2), std::nullopt);
}

TEST_F(ComPortMapTest, ApplyTakesCommandLineMappings)
{
    ComPortMap map;
    EXPECT_TRUE(map.Apply("COM2=/dev/ttyUSB1"));
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyUSB1");
    EXPECT_TRUE(map.Apply("com3=/tmp/a=b"));  // only the first '=' separates
    EXPECT_EQ(map.DevicePath(3), "/tmp/a=b");

    for (const char* bad : {"COM2", "COM2=", "=/dev/ttyUSB0", "COM0=/dev/x", "PORT2=/dev/x", "\\\\.\\COM2=/dev/x"}) {
        EXPECT_FALSE(map.Apply(bad)) << bad;
    }
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyUSB1");
}

TEST_F(ComPortMapTest, ResolvesWhatAUserNames)
{
    ComPortMap map;
    map.Map(2, "/dev/ttyUSB1");
    EXPECT_EQ(map.Resolve("com2"), PortAddress::DevicePath("/dev/ttyUSB1"));
    EXPECT_EQ(map.Resolve("COM12"), PortAddress::ComPort(12));
    EXPECT_EQ(map.Resolve("/dev/serial/by-id/usb-x"), PortAddress::DevicePath("/dev/serial/by-id/usb-x"));
    for (const char* bad : {"", "sim", "ttyUSB0", "COM0", "COM"}) {
        EXPECT_EQ(map.Resolve(std::string(bad)), std::nullopt) << bad;
    }
}
#endif

TEST(PortAddressTest, OpensByTheSystemsNameOrThePath)
{
    EXPECT_EQ(PortAddress::ComPort(3).DeviceName(), "COM3");
    EXPECT_EQ(PortAddress::ComPort(12).DeviceName(), "\\\\.\\COM12");
    EXPECT_EQ(PortAddress::ComPort(12).Text(), "COM12");
    EXPECT_EQ(PortAddress::DevicePath("/dev/ttyUSB0").DeviceName(), "/dev/ttyUSB0");
    EXPECT_NE(PortAddress::ComPort(1), PortAddress::DevicePath("COM1"));
}

}  // namespace
