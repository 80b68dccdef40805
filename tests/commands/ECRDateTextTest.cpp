#include "ecr/commands/ECRDateText.h"

#include <gtest/gtest.h>

#include <string>

// YYYY-MM-DD HH:MM (a space or a T between) and YYYY-MM-DD alone, and texts
// that are neither by shape or by number (error: why; none for a good text).
// The calendar's and the clock's own limits are the requests' tests.
TEST(ECRDateText, ReadsADayAndTimeAndRefusesTheRestSayingWhy)
{
    const struct {
        const char* text;
        bool withTime;
        const char* error;
    } cases[] = {
        {"2026-03-15 09:41", true, ""},
        {"2026-03-15T09:41", true, ""},
        {"2026-3-15 09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-3-15 09:41"},
        {"2026-03-15_09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15_09:41"},
        {"2026-03-15 09:41:00", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15 09:41:00"},
        {"2026-03-1x 09:41", true, "expected YYYY-MM-DD HH:MM, not 2026-03-1x 09:41"},
        {"2026-03-15", true, "expected YYYY-MM-DD HH:MM, not 2026-03-15"},
        {"\xd9\xa2\xd9\xa0\xd9\xa2\xd9\xa6-03-15", false, "expected YYYY-MM-DD, not \xd9\xa2\xd9\xa0\xd9\xa2\xd9\xa6-03-15"},
        {"2026-00-10", false, "no such date: 2026-00-10"},
        {"2026-03-15 24:00", true, "no such time: 2026-03-15 24:00"},
    };
    for (const auto& c : cases) {
        ECRDateTime value;
        value.year = 77;
        std::string error;
        const bool read = c.withTime ? ECRDateText::ParseDateTime(c.text, value, error)
                                     : ECRDateText::ParseDate(c.text, value, error);
        EXPECT_EQ(read, *c.error == '\0') << c.text;
        EXPECT_EQ(error, c.error);
        if (read) {
            EXPECT_EQ(ECRDateText::Format(value), "2026-03-15 09:41");
        } else {
            EXPECT_EQ(value.year, 77) << "a refused text leaves the value as it was: " << c.text;
        }
    }
}
