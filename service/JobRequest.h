#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/ECRDateTime.h"
#include "ecr/protocol/ECRString.h"
#include "service/JobKind.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A job's request as the worker carries it out: read and checked
// (RequestReader), its texts already in the register's code page.
struct JobRequest {
    struct SaleLine {
        ECRString name;
        std::int32_t price = 0;     // hundredths
        std::int32_t quantity = 0;  // thousandths
        std::int32_t taxRate = 0;
        std::int32_t unit = 0;
    };

    JobKind kind = JobKind::ReadClock;

    // Receipt.
    std::vector<SaleLine> lines;
    // Cash, cheque, card in hundredths; none: cash, exactly the register's total.
    std::optional<std::array<std::int32_t, 3>> payments;
    ECRString registerNumber;
    ECRString cashier;

    // PeriodicReport.
    ECRDateTime from;
    ECRDateTime to;
    bool fiscal = true;

    // SetClock.
    ECRDateTime clock;

    // SetHeader.
    std::array<ECRString, 5> headerLines;
    std::array<bool, 5> headerDouble{};

    // ImportArticles.
    std::vector<ECRArticle> articles;

    // Raw: the request's bytes (Windows-1250), as sent.
    std::string payload;
};
