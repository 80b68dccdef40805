#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, AcceptedForms)
{
    CommandLine line;
    ASSERT_TRUE(line.Parse({"--port", "COM2=/dev/ttyUSB0", "--simulator", "--port=com3=/tmp/x"}));
    EXPECT_TRUE(line.Simulator());
    EXPECT_FALSE(line.Help());
    EXPECT_EQ(line.PortMappings(), (std::vector<std::string>{"COM2=/dev/ttyUSB0", "com3=/tmp/x"}));

    CommandLine none;
    ASSERT_TRUE(none.Parse({}));
    EXPECT_FALSE(none.Simulator());
    EXPECT_TRUE(none.PortMappings().empty());
    EXPECT_EQ(none.SimulatorBaud(), 0);

    CommandLine paced;
    ASSERT_TRUE(paced.Parse({"--baud", "9600", "--simulator"}));
    EXPECT_EQ(paced.SimulatorBaud(), 9600);
    CommandLine pacedEquals;
    ASSERT_TRUE(pacedEquals.Parse({"--simulator", "--baud=19200"}));
    EXPECT_EQ(pacedEquals.SimulatorBaud(), 19200);

    EXPECT_EQ(none.LogPath(), "");
    EXPECT_FALSE(none.NoLog());

    CommandLine log;
    ASSERT_TRUE(log.Parse({"--log", "/tmp/kasa.log"}));
    EXPECT_EQ(log.LogPath(), "/tmp/kasa.log");
    ASSERT_TRUE(log.Parse({"--log=servis.log"}));
    EXPECT_EQ(log.LogPath(), "servis.log");
    CommandLine noLog;
    ASSERT_TRUE(noLog.Parse({"--no-log"}));
    EXPECT_TRUE(noLog.NoLog());

    EXPECT_FALSE(none.Version());
    CommandLine version;
    ASSERT_TRUE(version.Parse({"--version"}));
    EXPECT_TRUE(version.Version());
}

TEST(CommandLine, RejectedForms)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--port"},                  // no value
        {"--port", "COM2"},          // no path
        {"--port", "COM2="},         // empty path
        {"--port", "LPT1=/dev/x"},   // not a COM port
        {"--port", "COM0=/dev/x"},   // ports start at 1
        {"--simulatr"},
        {"--baud", "19200"},                  // a real port's speed is in the settings
        {"--simulator", "--baud"},            // no value
        {"--simulator", "--baud", "4800"},    // not a speed of the register
        {"--simulator", "--baud=19200x"},
        {"--simulator", "--baud=-9600"},
        {"COM1=/dev/x"},
        {"--log"},                   // no file
        {"--log="},
        {"--log", "a.log", "--no-log"},
    };
    for (const auto& arguments : bad) {
        CommandLine line;
        EXPECT_FALSE(line.Parse(arguments)) << arguments.back();
        EXPECT_FALSE(line.Error().empty());
    }
}

}  // namespace
