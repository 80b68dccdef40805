#pragma once

#include "ecr/commands/ECRDateTime.h"

// A clock value in the order the register sends it; the year is the
// calendar year minus 2000.
inline ECRDateTime MakeDateTime(int year, int month, int day, int hour, int minute)
{
    ECRDateTime value;
    value.year = year;
    value.month = month;
    value.day = day;
    value.hour = hour;
    value.minute = minute;
    return value;
}
