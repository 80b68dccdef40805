// Every reading command on a reply that holds fewer fields than its
// command's reply lists: none at all, and all but the last. The windows read
// a missing field as the design does (empty, 0, off); ecrctl and ecrd fail the
// reply, naming the field.
#include "CommandHarness.h"
#include "ecr/commands/ECRReplyError.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

struct ShortReplyCase {
    const char* command;
    std::string replyCode;
    std::vector<std::string> fields;  // the whole reply's fields, each with its terminator
    // Reads, and shows the last field as read.
    std::function<std::string(ECRDevice&)> read;
    const char* asDesign;  // the last field as the windows read it; null: fails either way
    const char* firstField;
    const char* lastField;
};

std::vector<std::string> Repeated(const std::string& field, std::size_t count)
{
    return std::vector<std::string>(count, field);
}

std::vector<std::string> Lines(std::size_t count)
{
    std::vector<std::string> fields = Repeated("L" + LF, count);
    const std::vector<std::string> flags = Repeated("0" + US, count);
    fields.insert(fields.end(), flags.begin(), flags.end());
    return fields;
}

std::string OnOff(bool on)
{
    return on ? "on" : "off";
}

// The last flag of the header (5 lines) or the advertising text (7).
template <std::size_t N>
std::string LastFlag(ECRDevice& d, void (ECRFiscalCommands::*read)(std::array<ECRString, N>&, std::array<bool, N>&))
{
    std::array<ECRString, N> lines;
    std::array<bool, N> flags{};
    (d.*read)(lines, flags);
    return OnOff(flags[N - 1]);
}

// clang-format off
const ShortReplyCase kCases[] = {
    {"$v", "$V", Repeated("1000" + TAB, 9),
     [](ECRDevice& d) {
         std::array<std::int32_t, 9> rates{};
         d.ReadTaxRates(rates);
         return std::to_string(rates[8]);
     },
     "0", "tax rate A", "tax rate K"},
    {"$t", "$T", Repeated("12345" + TAB, 13),
     [](ECRDevice& d) {
         std::array<ECRString, 13> totals;
         d.ReadTotalizers(totals);
         return std::string(totals[12].Data(), totals[12].Length());
     },
     "", "totalizer A", "totalizer nonFiscalToday"},
    {"$o", "$O", {"Sok" + LF, "1250" + TAB, "1" + US, "0" + US, "3" + TAB, "3750" + TAB},
     [](ECRDevice& d) { return std::to_string(d.ReadArticle(ECRString(), 4).value2); }, "0", "name", "value2"},
    {"*u", "*U", {"1250"}, [](ECRDevice& d) { return std::to_string(d.ReadSubtotal()); }, "0", "subtotal", "subtotal"},
    {"$y 1", "$Y", {"1" + US, "1"}, [](ECRDevice& d) { return OnOff(d.ReadLogoEnabled()); },
     "off", "logo printing", "logo printing"},
    {"$y 2", "$Y", {"2" + US, "1"}, [](ECRDevice& d) { return OnOff(d.ReadAdvertEnabled()); },
     "off", "advertising text printing", "advertising text printing"},
    // Read strictly everywhere: a clock, the printed lines, a memory size.
    {"$c", "$C", {"26" + US, "3" + US, "15" + US, "9" + US, "41" + US},
     [](ECRDevice& d) { return std::to_string(d.ReadClock().minute); }, nullptr, "year", "minute"},
    {"$h", "$H", Lines(5), [](ECRDevice& d) { return LastFlag<5>(d, &ECRFiscalCommands::ReadHeader); },
     nullptr, "line 1", "line 5 double size"},
    {"$i", "$I", Lines(7), [](ECRDevice& d) { return LastFlag<7>(d, &ECRFiscalCommands::ReadAdvertText); },
     nullptr, "line 1", "line 7 double size"},
    {"$q", "$Q", {"2" + US, "256"}, [](ECRDevice& d) { return std::to_string(d.ReadMemorySize(2)); },
     nullptr, "area", "size"},
};
// clang-format on

// The field a reading that fails on missing fields names, or what it threw instead.
std::string MissingField(ECRDevice& device, const ShortReplyCase& c)
{
    try {
        c.read(device);
    } catch (const ECRReplyError& error) {
        return error.Describe();
    }
    return "nothing thrown";
}

TEST(ShortReplyTest, AMissingFieldReadsAsTheDesignReadsItOrFailsNamed)
{
    for (const ShortReplyCase& c : kCases) {
        for (const std::size_t kept : {std::size_t{0}, c.fields.size() - 1}) {
            std::string reply = c.replyCode;
            for (std::size_t i = 0; i < kept; ++i)
                reply += c.fields[i];
            SCOPED_TRACE(reply);

            CommandHarness windows;
            windows.Reply(reply);
            if (c.asDesign != nullptr)
                EXPECT_EQ(c.read(windows.device), c.asDesign);
            else
                EXPECT_EQ(MissingField(windows.device, c),
                          std::string(kept == 0 ? c.firstField : c.lastField) + " is missing");

            CommandHarness script;
            script.device.SetMissingFields(ECRMissingFields::Fail);
            script.Reply(reply);
            EXPECT_EQ(MissingField(script.device, c),
                      std::string(kept == 0 ? c.firstField : c.lastField) + " is missing");
        }
        // The whole reply reads either way.
        std::string whole = c.replyCode;
        for (const std::string& field : c.fields)
            whole += field;
        CommandHarness script;
        script.device.SetMissingFields(ECRMissingFields::Fail);
        script.Reply(whole);
        EXPECT_NO_THROW(c.read(script.device)) << c.command;
    }
}

// Where a missing field fails, an empty number is no number either, and a
// switch is 0 or 1; the windows read both as the design does.
TEST(ShortReplyTest, AnEmptyNumberOrAnotherSwitchFailsWhereAMissingFieldDoes)
{
    struct Case {
        std::string reply;
        std::function<std::string(ECRDevice&)> read;
        const char* asDesign;
        const char* failure;
    };
    const Case cases[] = {
        {"$V" + TAB + "1000" + TAB,
         [](ECRDevice& d) {
             std::array<std::int32_t, 9> rates{};
             d.ReadTaxRates(rates);
             return std::to_string(rates[0]);
         },
         "0", "tax rate A: \"\" is not a number from 0 to 9999"},
        {"$Y1" + US + "2", [](ECRDevice& d) { return OnOff(d.ReadLogoEnabled()); }, "off",
         "logo printing: 2 is not a number from 0 to 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        CommandHarness windows;
        windows.Reply(c.reply);
        EXPECT_EQ(c.read(windows.device), c.asDesign);

        CommandHarness script;
        script.device.SetMissingFields(ECRMissingFields::Fail);
        script.Reply(c.reply);
        try {
            c.read(script.device);
            ADD_FAILURE() << "read as the register's";
        } catch (const ECRReplyError& error) {
            EXPECT_EQ(error.Describe(), c.failure);
        }
    }
}

}  // namespace
