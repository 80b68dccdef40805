#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRProtocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(CommErrorText, TextsOfTheCodesRaised)
{
    EXPECT_TRUE(CommErrorText(0) == "OK");
    EXPECT_TRUE(CommErrorText(1) == "Error opening port");
    EXPECT_TRUE(CommErrorText(3) == "Error aplying port settings");
    EXPECT_TRUE(CommErrorText(5) == "Error aplying port timeout");
    EXPECT_TRUE(CommErrorText(8) == "Error writing to port");
    EXPECT_TRUE(CommErrorText(10) == "Timeout error");
    EXPECT_TRUE(CommErrorText(11) == "Invalid parameter for ECR");
    EXPECT_TRUE(CommErrorText(16) == "Sync Error!");
    EXPECT_TRUE(CommErrorText(17) == "Invalid Command!");
    EXPECT_TRUE(CommErrorText(19) == "Error opening file!");
    EXPECT_TRUE(CommErrorText(20) == "???");
    EXPECT_TRUE(CommErrorText(-1) == "???");
}

TEST(DeviceMessageText, OwnTextsAndUnknownCodes)
{
    EXPECT_STREQ(DeviceMessageText(0), "Operacija je uspesna");
    EXPECT_STREQ(DeviceMessageText(12), "Nema papira (trake)");
    EXPECT_STREQ(DeviceMessageText(65), "Greska prametara storniranja");
    EXPECT_STREQ(DeviceMessageText(135), "Graficki podatak je izvan opsega 0-9, A-F.");
    EXPECT_STREQ(DeviceMessageText(255), "Funkcija nije dostupna");
    // Only code 35 holds a byte above 0x7F: the plus-minus sign of Windows-1250.
    EXPECT_STREQ(DeviceMessageText(35), "Pogresan smer promene vremena (\xB1" "1 sata)");
    for (int code : {16, 17, 19, 21, 26, 36, 41, 55, 63, 111, 153, 157, 253, 256, -1, 1000000}) {
        EXPECT_STREQ(DeviceMessageText(code), "???") << code;
    }

    int own = 0;
    for (int code = 0; code <= 255; ++code) {
        const char* text = DeviceMessageText(code);
        if (std::strcmp(text, "???") != 0) {
            ++own;
        }
        for (const char* p = text; *p; ++p) {
            if (static_cast<unsigned char>(*p) > 0x7F) {
                EXPECT_EQ(code, 35);
            }
        }
    }
    EXPECT_EQ(own, 72);
}

namespace {
std::vector<std::string> g_shownMessages;
void RecordMessage(ECRString text)
{
    g_shownMessages.emplace_back(text.Data(), text.Length());
}
}  // namespace

TEST(ECRMessageSink, ReportsTextAndKeepsLastCode)
{
    g_shownMessages.clear();
    ECRMessageSink sink;
    sink.ReportCode(5);  // no callback yet: only the code is kept
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 5);
    EXPECT_TRUE(g_shownMessages.empty());

    sink.SetCallback(&RecordMessage);
    sink.ReportCode(12);
    sink.ReportCode(17);
    sink.ReportCode(999);
    ASSERT_EQ(g_shownMessages.size(), 3u);
    EXPECT_EQ(g_shownMessages[0], "Nema papira (trake)");
    EXPECT_EQ(g_shownMessages[1], "???");
    EXPECT_EQ(g_shownMessages[2], "???");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 999);

    ECRMessageSink::ResetLastCode();
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
}
