// The Telnet layer against bytes written out by hand from RFC 854, 856, 858
// and 2217.
#include "serial/TelnetCodec.h"

#include "support/ByteString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TelnetCodecTest, WhatTheClientSends)
{
    TelnetCodec telnet;
    // WILL BINARY, DO BINARY, WILL SUPPRESS-GO-AHEAD, DO SUPPRESS-GO-AHEAD, WILL COM-PORT-OPTION
    EXPECT_EQ(telnet.Opening(), ByteString({0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03, 0xFF, 0xFD, 0x03,
                                       0xFF, 0xFB, 0x2C}));
    // SET-BAUDRATE 19200, then one whose value holds 0xFF bytes: doubled
    EXPECT_EQ(TelnetCodec::ComPortCommand(TelnetCodec::SET_BAUDRATE, ByteString({0, 0, 0x4B, 0})),
              ByteString({0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0}));
    EXPECT_EQ(TelnetCodec::ComPortCommand(TelnetCodec::SET_BAUDRATE, ByteString({0, 0, 0xFF, 0xFF})),
              ByteString({0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}));
    EXPECT_EQ(TelnetCodec::Escape(ByteString({0x1B, 0xFF, 0xC0})), ByteString({0x1B, 0xFF, 0xFF, 0xC0}));
}

struct FeedCase {
    const char* what;
    std::string in;
    std::string data;
    std::string replies;
};

TEST(TelnetCodecTest, TakesDataAndAnswersTheNegotiation)
{
    const FeedCase cases[] = {
        {"data with a doubled IAC", ByteString({0x06, 0xFF, 0xFF, 0x1B}), ByteString({0x06, 0xFF, 0x1B}), ""},
        {"answers to our own requests need no answer",
         ByteString({0xFF, 0xFD, 0x2C, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x00, 0xFF, 0xFB, 0x03}), "", ""},
        {"an option we do not offer is refused", ByteString({0xFF, 0xFD, 0x18}), "", ByteString({0xFF, 0xFC, 0x18})},
        {"an option we do not want is declined", ByteString({0xFF, 0xFB, 0x01}), "", ByteString({0xFF, 0xFE, 0x01})},
        {"the server's answer to SET-BAUDRATE", ByteString({0xFF, 0xFA, 0x2C, 0x65, 0, 0, 0x4B, 0, 0xFF, 0xF0, 0x06}),
         ByteString({0x06}), ""},
        {"a command split over two reads, NOP in between", ByteString({0x41, 0xFF, 0xF1, 0x42, 0xFF}), "AB", ""},
        {"outside binary mode CR NUL is CR", ByteString({0x0D, 0x00, 0x0A}), ByteString({0x0D, 0x0A}), ""},
    };
    for (const FeedCase& c : cases) {
        SCOPED_TRACE(c.what);
        TelnetCodec telnet;
        telnet.Opening();
        std::string data;
        std::string replies;
        telnet.Feed(c.in, data, replies);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(replies, c.replies);
    }
}

TEST(TelnetCodecTest, RemembersWhatTheServerSaid)
{
    TelnetCodec telnet;
    telnet.Opening();
    std::string data;
    std::string replies;
    EXPECT_EQ(telnet.ComPortOption(), TelnetCodec::Answer::Pending);
    telnet.Feed(ByteString({0xFF, 0xFD, 0x2C, 0xFF, 0xFA, 0x2C, 0x65, 0, 0, 0x4B}), data, replies);
    EXPECT_EQ(telnet.ComPortOption(), TelnetCodec::Answer::Agreed);
    EXPECT_EQ(telnet.Acknowledged(TelnetCodec::SET_BAUDRATE), std::nullopt) << "not ended yet";
    telnet.Feed(ByteString({0x00, 0xFF, 0xF0}), data, replies);
    EXPECT_EQ(telnet.Acknowledged(TelnetCodec::SET_BAUDRATE), ByteString({0, 0, 0x4B, 0}));
    // In binary mode a CR NUL is two data bytes.
    telnet.Feed(ByteString({0xFF, 0xFB, 0x00, 0x0D, 0x00}), data, replies);
    EXPECT_EQ(data, ByteString({0x0D, 0x00}));

    TelnetCodec refused;
    refused.Opening();
    refused.Feed(ByteString({0xFF, 0xFE, 0x2C}), data, replies);
    EXPECT_EQ(refused.ComPortOption(), TelnetCodec::Answer::Refused);
    EXPECT_EQ(replies, "") << "a refusal of our request is not answered";
}

}  // namespace
