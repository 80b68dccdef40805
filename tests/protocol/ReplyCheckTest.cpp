#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRStringError.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_messages;
void Record(ECRString text)
{
    g_messages.emplace_back(text.Data(), text.Length());
}

class ReplyCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        sink.SetCallback(&Record);
        ECRMessageSink::ResetLastCode();
    }

    // The data returned, or "!16" / "!string" for the two failures.
    std::string Check(const char* command, const std::string& reply)
    {
        try {
            ECRString data = ECRFrame::CheckReply(ECRString(command), ECRString(reply.c_str()), sink);
            return std::string(data.Data(), data.Length());
        } catch (const CommError& e) {
            return "!" + std::to_string(e.code);
        } catch (const ECRStringError&) {
            return "!string";
        }
    }

    ECRMessageSink sink;
};

}  // namespace

TEST_F(ReplyCheck, DeviceErrorReply)
{
    EXPECT_EQ(Check("#c", "#Zcx\n12\x1F"), "12");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Nema papira (trake)");

    // the echo byte may be either byte of the command
    EXPECT_EQ(Check("#c", "#Z#\n20\x1Ftrailing"), "20");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 20);
    // the echo matches neither byte of "$v"
    EXPECT_EQ(Check("$v", "#Zcx\n12\x1F"), "!16");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 20);
    // an empty code token, also when no LF comes at all
    EXPECT_EQ(Check("#c", "#Zc\n\x1F"), "!16");
    EXPECT_EQ(Check("#c", "#Zc12"), "!16");
    // too short to hold the echo byte
    EXPECT_EQ(Check("#c", "#Z"), "!string");
}

TEST_F(ReplyCheck, DeviceErrorCodeConversion)
{
    EXPECT_EQ(Check("#c", "#Zc\n-3\x1F"), "-3");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), -3);
    EXPECT_EQ(g_messages.back(), "???");
    EXPECT_EQ(Check("#c", "#Zc\n+7\x1F"), "+7");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 7);
    // an overlong code saturates instead of overflowing, and never indexes outside the table
    EXPECT_EQ(Check("#c", "#Zc\n99999999999999999999999\x1F"), "99999999999999999999999");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), INT_MAX);
    EXPECT_EQ(g_messages.back(), "???");
    EXPECT_EQ(Check("#c", "#Zc\n-99999999999999999999999\x1F"), "-99999999999999999999999");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), INT_MIN);
}

TEST_F(ReplyCheck, ACodeThatIsNotANumberFailsTheCheck)
{
    // Read as 0 it would say "done" for a refusal; the check fails instead,
    // and the last code keeps its earlier value.
    EXPECT_EQ(Check("#c", "#Zc\n12\x1F"), "12");
    const std::size_t reported = g_messages.size();
    for (const char* reply : {"#Zc\nXYZ\x1F", "#Zc\n 17\x1F", "#Zc\n17abc\x1F", "#Zc\n12 \x1F", "#Zc\n-\x1F",
                              "#Zc\n+\x1F", "#Zc\n1-2\x1F"}) {
        EXPECT_EQ(Check("#c", reply), "!16") << reply;
    }
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    EXPECT_EQ(g_messages.size(), reported);
}

TEST_F(ReplyCheck, AcceptedLettersByClass)
{
    struct Case {
        const char* command;
        const char* reply;
        const char* result;
    };
    const std::vector<Case> cases = {
        {"$v", "$V2000\t", "2000\t"},  // upper-case letter for "$"
        {"$v", "$v2000\t", "!16"},
        {"$v", "#v", ""},              // "#" with the command's own letter passes for any class
        {"#v", "#v", ""},
        {"#v", "#V", "!16"},
        {"*t", "*t", ""},
        {"*t", "*T", ""},
        {"*t", "*x", "!16"},
        {"%a", "%A", ""},
        {"%a", "%a", "!16"},
        {"$c", "%C26", "26"},          // the first command byte is compared with nothing
        {"$v", "!V", "!16"},           // unknown class
        {"$v", "$", "!string"},        // too short for the letter
        {"$v", "", "!string"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Check(c.command, c.reply), c.result) << c.command << " / " << c.reply;
    }
}

TEST_F(ReplyCheck, AcceptedReplyReportsZeroAndFailedCheckKeepsLastCode)
{
    EXPECT_EQ(Check("#c", "#Zc\n12\x1F"), "12");
    EXPECT_EQ(Check("$v", "$V"), "");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    EXPECT_EQ(g_messages.back(), "Operacija je uspesna");
    const std::size_t reported = g_messages.size();
    EXPECT_EQ(Check("$v", "$X"), "!16");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    EXPECT_EQ(g_messages.size(), reported);  // a failed check reports nothing
}

TEST_F(ReplyCheck, SixByteFrameGivesEmptyPayloadThatFailsTheCheck)
{
    const ECRString payload = ECRFrame::Unframe(ECRString("\x1BPFF\x1B\\"));
    EXPECT_EQ(payload.Length(), 0u);
    EXPECT_THROW(ECRFrame::CheckReply(ECRString("$v"), payload, sink), ECRStringError);
}
