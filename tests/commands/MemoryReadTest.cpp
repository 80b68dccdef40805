#include "CommandHarness.h"

#include "ecr/protocol/CommError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> g_progress;

void RecordProgress(std::int32_t percent)
{
    g_progress.push_back(percent);
}

// The register's memory in these tests: byte i of an area holds (i * 7 + 3) mod 256.
unsigned char Pattern(int i)
{
    return static_cast<unsigned char>((i * 7 + 3) & 0xFF);
}

std::string Hex(int from, int count)
{
    std::string hex;
    char digits[3];
    for (int i = from; i < from + count; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", Pattern(i));
        hex += digits;
    }
    return hex;
}

std::string SizeReply(int area, const std::string& size)
{
    return "$Q" + std::to_string(area) + US + size;
}

std::string BlockRequest(int area, int offset)
{
    return "$q" + std::to_string(area) + US + "128" + US + std::to_string(offset) + TAB;
}

class MemoryReadTest : public ::testing::Test {
protected:
    MemoryReadTest()
    {
        g_progress.clear();
        h.device.SetProgressCallback(&RecordProgress);
    }

    // Plays a register whose area `area` holds `size` bytes of the pattern;
    // each block reply carries `bytesPerBlock` bytes from its offset.
    void ServeArea(int area, int size, int bytesPerBlock = 128)
    {
        h.ReplyWith([=](const std::string& request) {
            const std::string sizeRequest = "$q" + std::to_string(area) + US;
            if (request == sizeRequest) {
                return SizeReply(area, std::to_string(size));
            }
            const std::string prefix = sizeRequest + "128" + US;
            const int offset = std::stoi(request.substr(prefix.size()));
            return "$Q" + std::to_string(area) + US + std::to_string(offset) + TAB + Hex(offset, bytesPerBlock);
        });
    }

    CommandHarness h;
};

TEST_F(MemoryReadTest, AnEmptyAreaMakesOnlyTheSizeRequest)
{
    for (const char* size : {"0"}) {
        SCOPED_TRACE(size);
        CommandHarness local;
        g_progress.clear();
        local.device.SetProgressCallback(&RecordProgress);
        local.Reply(SizeReply(1, size));
        std::int32_t reported = 99;
        EXPECT_TRUE(local.device.ReadMemory(1, reported).empty());
        EXPECT_EQ(reported, std::atoi(size));
        EXPECT_EQ(local.Payloads(), std::vector<std::string>{"$q1" + US});
        EXPECT_EQ(g_progress, (std::vector<std::int32_t>{-1, 100}));
    }
}

TEST_F(MemoryReadTest, ReadsTheAreaInBlocksOf128)
{
    ServeArea(2, 1024);
    std::int32_t size = 0;
    const std::vector<unsigned char> buffer = h.device.ReadMemory(2, size);
    EXPECT_EQ(size, 1024);
    ASSERT_EQ(buffer.size(), 1024u);
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(buffer[static_cast<std::size_t>(i)], Pattern(i)) << "byte " << i;
    }
    std::vector<std::string> expected = {"$q2" + US};
    for (int offset = 0; offset <= 896; offset += 128) {
        expected.push_back(BlockRequest(2, offset));
    }
    EXPECT_EQ(h.Payloads(), expected);
    EXPECT_EQ(g_progress, (std::vector<std::int32_t>{-1, 0, 12, 25, 38, 51, 64, 76, 89, 100}));
}

struct AreaCase {
    int size;
    bool fullLastBlock;  // the register pads the last block to 128 bytes
    std::vector<std::int32_t> progress;
};

TEST_F(MemoryReadTest, TheLastBlockIsCutToTheAreaSize)
{
    const AreaCase cases[] = {
        {200, true, {-1, 0, 64, 100}},
        {200, false, {-1, 0, 64, 100}},
        {50, true, {-1, 0, 100}},
        {50, false, {-1, 0, 100}},
        {1, false, {-1, 0, 100}},
        {150, true, {-1, 0, 100, 100}},  // 128 / (150 / 100) would pass 100
        {300, false, {-1, 0, 42, 85, 100}},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.fullLastBlock ? " full" : " cut"));
        CommandHarness local;
        g_progress.clear();
        local.device.SetProgressCallback(&RecordProgress);
        local.ReplyWith([&c](const std::string& request) {
            if (request == "$q0" + US) {
                return SizeReply(0, std::to_string(c.size));
            }
            const int offset = std::stoi(request.substr(("$q0" + US + "128" + US).size()));
            const int count = c.fullLastBlock ? 128 : std::min(128, c.size - offset);
            return "$Q0" + US + std::to_string(offset) + TAB + Hex(offset, count);
        });
        std::int32_t size = 0;
        const std::vector<unsigned char> buffer = local.device.ReadMemory(0, size);
        ASSERT_EQ(buffer.size(), static_cast<std::size_t>(c.size));
        for (int i = 0; i < c.size; ++i) {
            ASSERT_EQ(buffer[static_cast<std::size_t>(i)], Pattern(i)) << "byte " << i;
        }
        EXPECT_EQ(g_progress, c.progress);
        EXPECT_EQ(local.port.writes.size(), 1u + static_cast<std::size_t>((c.size + 127) / 128));
    }
}

TEST_F(MemoryReadTest, DecodesBothCasesAndTurnsOtherCharactersIntoZero)
{
    h.Reply(SizeReply(3, "5"));
    h.Reply("$Q3" + US + "0" + TAB + "0aFfzZ9A-1" + "EXTRA");
    std::int32_t size = 0;
    EXPECT_EQ(h.device.ReadMemory(3, size), (std::vector<unsigned char>{0x0A, 0xFF, 0x00, 0x9A, 0x01}));
}

TEST_F(MemoryReadTest, AShortBlockIsAnErrorNotZeros)
{
    h.ReplyWith([](const std::string& request) {
        if (request == "$q2" + US) {
            return SizeReply(2, "1024");
        }
        const int offset = std::stoi(request.substr(("$q2" + US + "128" + US).size()));
        const std::string hex = Hex(offset, 128);
        return "$Q2" + US + std::to_string(offset) + TAB + (offset == 256 ? hex.substr(0, 255) : hex);
    });
    std::int32_t size = 0;
    try {
        h.device.ReadMemory(2, size);
        FAIL() << "a short block was accepted";
    } catch (const CommError& e) {
        EXPECT_EQ(e.code, 16);
    }
    EXPECT_EQ(h.port.writes.size(), 4u);
}

// A block that names another area or offset than the one asked for (a late
// answer, a confused register) must not be saved as this one.
TEST_F(MemoryReadTest, ABlockForAnotherPlaceIsAnError)
{
    struct Case {
        const char* what;
        std::function<std::string(int offset)> header;  // what comes before the hex digits
    };
    const Case cases[] = {
        {"the first block again", [](int) { return "$Q2" + US + "0" + TAB; }},
        {"the block after", [](int offset) { return "$Q2" + US + std::to_string(offset + 128) + TAB; }},
        {"another area", [](int offset) { return "$Q3" + US + std::to_string(offset) + TAB; }},
        {"no offset", [](int) { return "$Q2" + US + TAB; }},
        {"an offset that is no number", [](int) { return "$Q2" + US + "12B" + TAB; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness local;
        local.ReplyWith([&c](const std::string& request) {
            if (request == "$q2" + US) {
                return SizeReply(2, "512");
            }
            const int offset = std::stoi(request.substr(("$q2" + US + "128" + US).size()));
            return (offset == 128 ? c.header(offset) : "$Q2" + US + std::to_string(offset) + TAB) + Hex(offset, 128);
        });
        std::int32_t size = 0;
        try {
            local.device.ReadMemory(2, size);
            ADD_FAILURE() << "block accepted";
        } catch (const CommError& e) {
            EXPECT_EQ(e.code, CommError::Sync);
        }
        EXPECT_EQ(local.port.writes.size(), 3u);  // size, block 0, the wrong block 128
    }
}

TEST_F(MemoryReadTest, ASizeReplyForAnotherAreaIsAnError)
{
    h.Reply(SizeReply(2, "1024"));
    std::int32_t size = 0;
    EXPECT_THROW(h.device.ReadMemory(1, size), CommError);
    EXPECT_EQ(h.port.writes.size(), 1u);
}

TEST_F(MemoryReadTest, ARefusedSizeReadsNothingAndKeepsTheRefusal)
{
    h.ReplyError("$q", 4);
    std::int32_t size = 99;
    EXPECT_TRUE(h.device.ReadMemory(1, size).empty());
    EXPECT_EQ(size, 0);
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 4);
    EXPECT_EQ(h.port.writes.size(), 1u);
}

TEST_F(MemoryReadTest, ARefusedBlockIsAnError)
{
    h.Reply(SizeReply(1, "256"));
    h.Reply("$Q1" + US + "0" + TAB + Hex(0, 128));
    h.ReplyError("$q", 9);
    std::int32_t size = 0;
    EXPECT_THROW(h.device.ReadMemory(1, size), CommError);
}

TEST_F(MemoryReadTest, AnImplausibleSizeIsRefusedBeforeReading)
{
    // Too big, below 0, or no number at all: the dump would be empty or absurd.
    for (const char* bad : {"16777217", "2147483647", "99999999999", "-5", "-2147483648", "", "12k", "abc"}) {
        SCOPED_TRACE(bad);
        CommandHarness local;
        local.Reply(SizeReply(0, bad));
        std::int32_t size = 0;
        try {
            local.device.ReadMemory(0, size);
            FAIL() << "size accepted";
        } catch (const CommError& e) {
            EXPECT_EQ(e.code, 16);
        }
        EXPECT_EQ(local.port.writes.size(), 1u);
    }
}

}  // namespace
