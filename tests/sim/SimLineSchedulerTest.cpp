#include "sim/SimLineScheduler.h"

#include <gtest/gtest.h>

#include <string>

// When the last of a run of bytes is through: exact to the microsecond
// (rounded up), however long the run, so a paced line never gains time on
// the wire over thousands of exchanges.
TEST(SimLineScheduler, LastByteOfARunIsThroughAtItsExactWireTime)
{
    struct Case {
        std::int32_t baud;
        std::size_t bytes;
        std::int64_t ready;
        std::int64_t lastDue;
    };
    const Case cases[] = {
        {19200, 1, 0, 521},              // 520.83 us
        {19200, 1920, 0, 1000000},       // 19200 bits
        {19200, 65536 + 6, 7, 7 + 34136459},  // 655420 bits: 34136458.3 us
        {9600, 3, 100, 100 + 3125},
        {9600, 960, 0, 1000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.baud << " baud, " << c.bytes << " bytes");
        SimLineScheduler line;
        line.SetBaudRate(c.baud);
        line.Queue(c.ready, std::string(c.bytes, 'x'));
        EXPECT_EQ(line.Pending(), c.bytes);
        EXPECT_EQ(line.TakeDue(c.lastDue - 1).size() + 1, c.bytes);
        EXPECT_EQ(line.TakeDue(c.lastDue), "x");
        EXPECT_TRUE(line.Empty());
        EXPECT_FALSE(line.NextDue().has_value());
    }
}

TEST(SimLineScheduler, BytesQueuedWhileTheLineIsBusyFollowWithoutAGap)
{
    SimLineScheduler line;
    line.SetBaudRate(9600);
    line.Queue(0, "ab");
    line.Queue(1000, "c");  // ready while "b" is still going out: third byte of the run
    line.Queue(5000, "d");  // ready after the line went quiet: a run of its own
    const auto timed = line.TakeDueTimed(10000);
    ASSERT_EQ(timed.size(), 4u);
    EXPECT_EQ(timed[0], (std::pair<std::int64_t, char>{1042, 'a'}));
    EXPECT_EQ(timed[1], (std::pair<std::int64_t, char>{2084, 'b'}));
    EXPECT_EQ(timed[2], (std::pair<std::int64_t, char>{3125, 'c'}));
    EXPECT_EQ(timed[3], (std::pair<std::int64_t, char>{6042, 'd'}));
}

// The end of what is on the line: none until every queued byte is on it,
// as while a busy register holds its reply back.
TEST(SimLineScheduler, LastDueIsTheEndOfTheBytesOnTheLine)
{
    SimLineScheduler line;
    line.SetBaudRate(9600);
    line.Queue(0, "ab");
    EXPECT_FALSE(line.LastDue().has_value());  // queued, not yet released
    EXPECT_EQ(line.TakeDue(0), "");
    EXPECT_EQ(line.LastDue(), 2084);
    line.Queue(5000, "c");
    EXPECT_FALSE(line.LastDue().has_value());
    EXPECT_EQ(line.TakeDue(5000), "ab");
    EXPECT_EQ(line.LastDue(), 6042);
}
