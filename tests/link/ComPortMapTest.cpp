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
        for (int port : {2, 3, 4}) {
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

    // The program's own simulated register is told apart.
    EXPECT_TRUE(map.MapSimulator(3, "/dev/pts/7"));
    EXPECT_EQ(map.MappedPath(3, &source), "/dev/pts/7");
    EXPECT_EQ(source, ComPortMap::Source::Simulator);

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

    // Device servers, named directly or behind COMn.
    using Kind = PortAddress::Kind;
    ::setenv("ECR_COM3", "rfc2217://kasa.lan:2217", 1);
    EXPECT_EQ(map.Resolve(3), PortAddress::Network(Kind::Rfc2217, "kasa.lan", 2217));
    EXPECT_EQ(map.DevicePath(3), "rfc2217://kasa.lan:2217");
    EXPECT_EQ(map.Resolve("tcp://10.0.0.5:4001"), PortAddress::Network(Kind::Tcp, "10.0.0.5", 4001));
    EXPECT_EQ(map.Resolve("tcp://[fe80::1]:4001"), PortAddress::Network(Kind::Tcp, "fe80::1", 4001));
    EXPECT_EQ(PortAddress::Network(Kind::Tcp, "fe80::1", 4001).Text(), "tcp://[fe80::1]:4001");
    for (const char* bad : {"tcp://kasa", "tcp://kasa:0", "tcp://kasa:70000", "rfc2217://:2000", "tcp://fe80::1:4001",
                            "tcp://kasa:20x0", "tcp://ka sa:2000"}) {
        EXPECT_EQ(map.Resolve(std::string(bad)), std::nullopt) << bad;
        // Behind COMn it stays a network address, and fails as one when opened.
        ::setenv("ECR_COM4", bad, 1);
        EXPECT_TRUE(map.Resolve(4).IsNetwork()) << bad;
        EXPECT_EQ(map.Resolve(4).Host(), "") << bad;
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
