#include "CommandHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kRow(90, 'F');

TEST(GraphicsCommandsTest, RequestsCarryTheirFieldsInWireOrder)
{
    CommandHarness h;
    h.device.SetLogoEnabled(true);
    h.device.SetLogoEnabled(false);
    h.device.SetAdvertEnabled(true);
    h.device.SetAdvertEnabled(false);
    h.device.StoreLogo(100);
    h.device.WriteLogoRow(0, kRow.c_str());
    h.device.WriteLogoRow(155, kRow.c_str());
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{
                                "#y1" + US + "1" + US,
                                "#y1" + US + "0" + US,
                                "#y2" + US + "1" + US,
                                "#y2" + US + "0" + US,
                                "#g100" + US + "45" + US + "0" + US,
                                "#n0" + US + kRow + LF,
                                "#n155" + US + kRow + LF,
                            }));
}

TEST(GraphicsCommandsTest, WriteLogoRowRefusesRowsAndTextsItCannotStore)
{
    CommandHarness h;
    h.device.WriteLogoRow(156, kRow.c_str());
    h.device.WriteLogoRow(-1, kRow.c_str());
    h.device.WriteLogoRow(0, std::string(88, 'F').c_str());
    h.device.WriteLogoRow(0, std::string(91, 'F').c_str());
    h.device.WriteLogoRow(0, "");
    EXPECT_TRUE(h.port.writes.empty());
}

struct OptionCase {
    const char* data;
    bool on;
};

TEST(GraphicsCommandsTest, PrintOptionIsOnOnlyForTheValueOne)
{
    const OptionCase cases[] = {
        {"0\x1f" "1", true}, {"0\x1f" "0", false}, {"1\x1f" "1", true}, {"0\x1f" "2", false},
        {"0\x1f" "1x", true}, {"0\x1f", false},    {"1", false},        {"", false},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(c.data);
        CommandHarness h;
        h.Reply(std::string("$Y") + c.data);
        EXPECT_EQ(h.device.ReadLogoEnabled(), c.on);
        h.Reply(std::string("$Y") + c.data);
        EXPECT_EQ(h.device.ReadAdvertEnabled(), c.on);
        EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"$y1" + US, "$y2" + US}));
    }
}

TEST(GraphicsCommandsTest, ReadMemorySizeSkipsTheAreaField)
{
    CommandHarness h;
    h.Reply("$Q2" + US + "1024");
    EXPECT_EQ(h.device.ReadMemorySize(2), 1024);
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$q2" + US});
}

}  // namespace
