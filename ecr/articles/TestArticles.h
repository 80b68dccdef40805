#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/ECRArticleRules.h"

#include <cstdint>

// The load-test articles: "Artikal<i>" at i.00 with tax rate 3 and unit 2,
// for i from 2 to 15000 unless told otherwise. They are made one at a time
// as they are sent, never held as a list.
class TestArticles {
public:
    static constexpr std::int32_t kFirst = 2;
    static constexpr std::int32_t kLast = 15000;
    // The price i.00 must stay within what the register takes (999 999.99).
    static constexpr std::int32_t kLargest = ECRArticleRules::kMaxPrice / 100;

    static ECRArticle Make(std::int32_t i);
    // True when from..to is a run the register can take: 1 <= from <= to <=
    // kLargest and no more articles than it holds.
    static bool IsValidRange(std::int64_t from, std::int64_t to);
};
