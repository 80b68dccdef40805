#include "CommandHarness.h"

#include "ecr/articles/ArticleUpload.h"
#include "ecr/articles/TestArticles.h"

#include <gtest/gtest.h>

namespace {

TEST(ArticleUploadTest, EachArticleIsJudgedByItsOwnAnswer)
{
    CommandHarness h;
    h.ReplyError("#r", 54);  // refused
    h.Reply("#x");           // an answer for another command: unknown, never programmed
    h.Reply("#r");           // accepted
    h.Reply("#R");           // a reply class the check refuses for "#r"
    ArticleUpload upload(h.device, 4, [](std::size_t i) { return TestArticles::Make(static_cast<std::int32_t>(i + 2)); });
    upload.Run();

    EXPECT_EQ(upload.Sent(), 4u);
    EXPECT_EQ(upload.Refused(), 1u);
    EXPECT_EQ(upload.Unconfirmed(), 2u);
    EXPECT_EQ(upload.Accepted(), 1u);
    EXPECT_EQ(upload.FirstRefusalCode(), 54);
    EXPECT_EQ(upload.FirstRefusedIndex(), 0u);
}

}  // namespace
