#include "ecr/commands/ECRDateText.h"

#include <gtest/gtest.h>

#include <string>

TEST(ECRDateText, ReadsADayAndTimeWithASpaceOrAT)
{
    for (const char* text : {"2026-03-15 09:41", "2026-03-15T09:41"}) {
        ECRDateTime value;
        std::string error;
        ASSERT_TRUE(ECRDateText::ParseDateTime(text, value, error)) << text << ": " << error;
        EXPECT_EQ(value.year, 26);
        EXPECT_EQ(value.month, 3);
        EXPECT_EQ(value.day, 15);
        EXPECT_EQ(value.hour, 9);
        EXPECT_EQ(value.minute, 41);
    }
    ECRDateTime day;
    std::string error;
    ASSERT_TRUE(ECRDateText::ParseDate("1999-12-31", day, error)) << "a day alone is not bounded to the clock's years";
    EXPECT_EQ(day.year, -1);
    EXPECT_EQ(day.hour, 0);
}

TEST(ECRDateText, RefusesWhatIsNotADayAndTimeSayingWhy)
{
    const struct {
        const char* text;
        bool withTime;
        const char* error;
    } cases[] = {
        {"2026-3-15 09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-3-15 09:41"},
        {"2026-03-15 9:41", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15 9:41"},
        {"2026-03-15_09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15_09:41"},
        {"2026-03-15 09:41:00", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15 09:41:00"},
        {"2026-03-1x 09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-03-1x 09:41"},
        {"2026-03-15", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15"},
        {"", true, "expected YYYY-MM-DD HH:MM, not "},
        {"\xd9\xa2\xd9\xa0\xd9\xa2\xd9\xa6-03-15", false, "expected YYYY-MM-DD, not \xd9\xa2\xd9\xa0\xd9\xa2\xd9\xa6-03-15"},
        {"2026-03-15 ", false, "expected YYYY-MM-DD, not 2026-03-15 "},
        {"2026-02-30 10:00", true, "no such date: 2026-02-30 10:00"},
        {"2026-00-10", false, "no such date: 2026-00-10"},
        {"2026-03-15 24:00", true, "no such time: 2026-03-15 24:00"},
        {"2026-03-15 23:60", true, "no such time: 2026-03-15 23:60"},
        {"1999-12-31 23:59", true, "the register's clock holds the years 2000 to 2099, not 1999-12-31 23:59"},
    };
    for (const auto& c : cases) {
        ECRDateTime value;
        value.year = 77;
        std::string error;
        const bool read = c.withTime ? ECRDateText::ParseDateTime(c.text, value, error)
                                     : ECRDateText::ParseDate(c.text, value, error);
        EXPECT_FALSE(read) << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(value.year, 77) << "a refused text leaves the value as it was: " << c.text;
    }
}
