// The comm-API functions themselves, where the port's use of them does not
// show everything: flow-control bytes, time-outs and the state round trip.

#include "PseudoTerminal.h"

#include "serial/platform/CommApi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CommApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.MapAs(1);
        handle = CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        if (handle != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(handle));
        }
    }

    void SetReadLimit(DWORD interval, DWORD constant)
    {
        COMMTIMEOUTS timeouts{interval, 0, constant, 0, 0};
        ASSERT_TRUE(SetCommTimeouts(handle, &timeouts));
    }

    std::string Read(DWORD size)
    {
        std::string buffer(size, '\0');
        DWORD read = 0;
        ReadFile(handle, buffer.data(), size, &read, nullptr);
        buffer.resize(read);
        return buffer;
    }

    PseudoTerminal line;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

TEST_F(CommApiTest, FlowControlBytesReachTheReader)
{
    SetReadLimit(0, 200);
    line.Send("\x11\x13\x11");
    ASSERT_EQ(Read(3), "\x11\x13\x11");  // else the write below would hang

    // An XOFF from the other side must not hold up what we send.
    line.Send("\x13");
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(handle, "ok", 2, &written, nullptr));
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(line.Receive(2), "ok");
}

TEST_F(CommApiTest, ReadLimits)
{
    SetReadLimit(0, 50);  // total limit: a short read when the line stays quiet
    line.Send("ab");
    EXPECT_EQ(Read(5), "ab");

    SetReadLimit(MAXDWORD, 0);  // return at once with whatever is there
    EXPECT_EQ(Read(5), "");
    line.Send("cd");
    EXPECT_EQ(line.Receive(1, 20), "");  // let the bytes settle on the slave side
    EXPECT_EQ(Read(5), "cd");

    COMMTIMEOUTS stored{};
    ASSERT_TRUE(GetCommTimeouts(handle, &stored));
    EXPECT_EQ(stored.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(stored.ReadTotalTimeoutConstant, 0u);
}

TEST_F(CommApiTest, StateReadsBackAsSet)
{
    DCB dcb{};
    ASSERT_TRUE(GetCommState(handle, &dcb));
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    dcb.BaudRate = 9600;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fOutxCtsFlow = 1;
    ASSERT_TRUE(SetCommState(handle, &dcb));

    DCB back{};
    ASSERT_TRUE(GetCommState(handle, &back));
    EXPECT_EQ(back.BaudRate, 9600u);
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.ByteSize, 8);
}

TEST_F(CommApiTest, ClosedHandleIsRefusedEverywhere)
{
    ASSERT_TRUE(CloseHandle(handle));
    const HANDLE closed = handle;
    handle = INVALID_HANDLE_VALUE;

    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    char byte = 0;
    DWORD count = 7;
    EXPECT_FALSE(CloseHandle(closed));
    EXPECT_FALSE(GetCommState(closed, &dcb));
    EXPECT_FALSE(SetCommTimeouts(closed, &timeouts));
    EXPECT_FALSE(ReadFile(closed, &byte, 1, &count, nullptr));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, "x", 1, &count, nullptr));
}

}  // namespace
