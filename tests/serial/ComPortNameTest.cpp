#include "serial/platform/ComPortName.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(ComPortName::Number(name), port) << name;
    }
}

TEST(ComPortNameTest, FromComTenTheDeviceNamespace)
{
    EXPECT_EQ(ComPortName::ForPort(3), "COM3");
    EXPECT_EQ(ComPortName::ForPort(9), "COM9");
    EXPECT_EQ(ComPortName::ForPort(10), "\\\\.\\COM10");
    EXPECT_EQ(ComPortName::ForPort(255), "\\\\.\\COM255");
}

TEST(ComPortNameTest, SystemPathIsTheSerialDeviceCountedFromZero)
{
    EXPECT_EQ(ComPortName::SystemPath("COM3"), "/dev/ttyS2");
    EXPECT_EQ(ComPortName::SystemPath("\\\\.\\COM12"), "/dev/ttyS11");
    EXPECT_EQ(ComPortName::SystemPath("/tmp/some-device"), "/tmp/some-device");
    // No port chosen: never a file of that name in the current folder.
    EXPECT_EQ(ComPortName::SystemPath("COM0"), "");
    EXPECT_EQ(ComPortName::SystemPath("COM-1"), "");
    EXPECT_EQ(ComPortName::SystemPath("\\\\.\\com0"), "");
}

}  // namespace
