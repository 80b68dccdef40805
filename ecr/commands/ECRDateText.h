#pragma once

#include "ecr/commands/ECRDateTime.h"

#include <string>

// Dates and times as people and programs write them for the register:
// "2026-03-15 09:41" (or with a T between), a day alone "2026-03-15".
// ecrctl's arguments and ecrd's requests read and write them here.
class ECRDateText {
public:
    // A day and time that exist, in the years the register's clock holds
    // (2000 to 2099). False with the reason in error.
    static bool ParseDateTime(const std::string& text, ECRDateTime& value, std::string& error);
    // A day that exists; hour and minute 0. The year is not bounded here.
    static bool ParseDate(const std::string& text, ECRDateTime& value, std::string& error);
    // "2026-03-15 09:41".
    static std::string Format(const ECRDateTime& value);
};
