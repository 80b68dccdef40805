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

// What a read of the reply gives where a missing field reads as given: the
// value it shows, or the description of the failed check.
std::string Outcome(ECRMissingFields reading, const std::string& reply,
                    const std::function<std::string(ECRDevice&)>& read)
{
    CommandHarness h;
    h.device.SetMissingFields(reading);
    h.Reply(reply);
    try {
        return read(h.device);
    } catch (const ECRReplyError& error) {
        return error.Describe();
    }
}

TEST(ShortReplyTest, AMissingFieldReadsAsTheDesignReadsItOrFailsNamed)
{
    for (const ShortReplyCase& c : kCases) {
        std::string reply = c.replyCode;
        for (std::size_t kept = 0; kept < c.fields.size(); reply += c.fields[kept++]) {
            if (kept != 0 && kept + 1 != c.fields.size())
                continue;  // none, and all but the last
            SCOPED_TRACE(reply);
            const std::string missing = std::string(kept == 0 ? c.firstField : c.lastField) + " is missing";
            EXPECT_EQ(Outcome(ECRMissingFields::ReadEmpty, reply, c.read), c.asDesign ? c.asDesign : missing);
            EXPECT_EQ(Outcome(ECRMissingFields::Fail, reply, c.read), missing);
        }
        // The whole reply reads the same either way.
        EXPECT_EQ(Outcome(ECRMissingFields::Fail, reply, c.read), Outcome(ECRMissingFields::ReadEmpty, reply, c.read));
    }
}

// Where a missing field fails, an empty number is no number either, and a
// switch is 0 or 1; the windows read both as the design does.
TEST(ShortReplyTest, AnEmptyNumberOrAnotherSwitchFailsWhereAMissingFieldDoes)
{
    const auto firstRate = [](ECRDevice& d) {
        std::array<std::int32_t, 9> rates{};
        d.ReadTaxRates(rates);
        return std::to_string(rates[0]);
    };
    const auto logo = [](ECRDevice& d) { return OnOff(d.ReadLogoEnabled()); };
    EXPECT_EQ(Outcome(ECRMissingFields::ReadEmpty, "$V" + TAB + "1000" + TAB, firstRate), "0");
    EXPECT_EQ(Outcome(ECRMissingFields::Fail, "$V" + TAB + "1000" + TAB, firstRate),
              "tax rate A: \"\" is not a number from 0 to 9999");
    EXPECT_EQ(Outcome(ECRMissingFields::ReadEmpty, "$Y1" + US + "2", logo), "off");
    EXPECT_EQ(Outcome(ECRMissingFields::Fail, "$Y1" + US + "2", logo), "logo printing: 2 is not a number from 0 to 1");
}

}  // namespace
