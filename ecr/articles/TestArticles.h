#pragma once

#include "ecr/commands/ECRArticle.h"

#include <cstdint>
#include <vector>

// The load-test articles: "Artikal<i>" at i.00 with tax rate 3 and unit 2,
// for i from 2 to 15000 unless told otherwise.
class TestArticles {
public:
    static constexpr std::int32_t kFirst = 2;
    static constexpr std::int32_t kLast = 15000;

    static ECRArticle Make(std::int32_t i);
    // Empty when from > to.
    static std::vector<ECRArticle> Generate(std::int32_t from = kFirst, std::int32_t to = kLast);
};
