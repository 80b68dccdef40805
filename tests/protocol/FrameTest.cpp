#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRStringError.h"
#include "support/EcrStringBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ECRString Text(const std::string& bytes)
{
    return ECRString(bytes.c_str());
}

int CommCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CommError& e) {
        return e.code;
    }
    return -1;
}

}  // namespace

TEST(Checksum, XorOfPayloadStartingAtFF)
{
    EXPECT_EQ(Bytes(ECRFrame::Checksum("")), "FF");
    EXPECT_EQ(Bytes(ECRFrame::Checksum("$v")), "AD");
    EXPECT_EQ(Bytes(ECRFrame::Checksum("$t")), "AF");
    EXPECT_EQ(Bytes(ECRFrame::Checksum("abc")), "9F");
    // 0xFF ^ 0xF0 = 0x0F: a leading zero keeps two digits
    EXPECT_EQ(Bytes(ECRFrame::Checksum("\xF0")), "0F");
    EXPECT_EQ(Bytes(ECRFrame::Checksum("\xFF")), "00");
}

TEST(Frame, WrapsPayloadWithOpenerChecksumAndCloser)
{
    EXPECT_EQ(Bytes(ECRFrame::Frame("$v")), "\x1B\x50\x24\x76\x41\x44\x1B\x5C");
    EXPECT_EQ(Bytes(ECRFrame::Frame("")), "\x1BPFF\x1B\\");
    // the checksum comes from the function given, so a replaced slot changes the frame
    EXPECT_EQ(Bytes(ECRFrame::Frame("#w", [](ECRString) { return ECRString("ZZ"); })), "\x1BP#wZZ\x1B\\");
}

TEST(RequestAssembly, FieldsWithTheirTerminators)
{
    EXPECT_EQ(Bytes(ECRFrame::AssembleRequest("#w", {})), "#w");

    const ECRFieldList clock = {{"26", 1}, {"3", 1}, {"15", 1}, {"9", 1}, {"41", 1}};
    EXPECT_EQ(Bytes(ECRFrame::AssembleRequest("#c", clock)), "#c26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F");

    const ECRFieldList mixed = {{"Sok", 2}, {"1234", 3}, {"", 1}, {"raw", 0}, {"x", 7}};
    EXPECT_EQ(Bytes(ECRFrame::AssembleRequest("*l", mixed)), "*lSok\n1234\t\x1Frawx");
}

TEST(Unframe, Cases)
{
    EXPECT_EQ(Bytes(ECRFrame::Unframe(Text("\x1BP$vAD\x1B\\"))), "$v");
    EXPECT_EQ(Bytes(ECRFrame::Unframe(Text("\x1BPFF\x1B\\"))), "");
    // opener and closer are not checked, only the checksum digits
    EXPECT_EQ(Bytes(ECRFrame::Unframe(Text("xy$vADzz"))), "$v");
    // a frame with a wrong or lower-case checksum is refused with 17, not 18
    EXPECT_EQ(CommCode([] { ECRFrame::Unframe(Text("\x1BP$vad\x1B\\")); }), 17);
    EXPECT_EQ(CommCode([] { ECRFrame::Unframe(Text("\x1BP$vAE\x1B\\")); }), 17);
    // one byte late (a garbage byte before ESC): the payload starts with 'P' and fails
    EXPECT_EQ(CommCode([] { ECRFrame::Unframe(Text("!\x1BP$vAD\x1B\\")); }), 17);
    // a reply cut at a backslash inside it fails the checksum
    EXPECT_EQ(CommCode([] { ECRFrame::Unframe(Text("\x1BP$Ha\\")); }), 17);
}

TEST(Unframe, ShortInputThrowsStringError)
{
    for (const char* input : {"\x1B", "\x1BP", "\x1BP\x1B"}) {
        EXPECT_THROW(ECRFrame::Unframe(Text(input)), ECRStringError) << Bytes(Text(input)).size();
    }
}
