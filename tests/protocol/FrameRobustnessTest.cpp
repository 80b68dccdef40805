#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRStringError.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// Random and mutated frames through Unframe and the reply check: they must
// never crash and only ever raise the documented exceptions.
TEST(FrameRobustness, RandomAndMutatedFramesRaiseOnlyDocumentedErrors)
{
    std::mt19937 random(20261207);
    const std::vector<std::string> seeds = {
        "$V2000\t800\t0\t", "#Zc\n12\x1F", "$C26\x1F" "3\x1F" "15\x1F", "*u12345", "#v", "%A", "$Oname\n100\t1\x1F",
    };
    const char* commands[] = {"$v", "#c", "$c", "*u", "#v", "%a", "$o", "x", "", "#"};
    ECRMessageSink sink;
    int accepted = 0;
    int checksumFailures = 0;
    int syncFailures = 0;
    int stringErrors = 0;

    for (int round = 0; round < 20000; ++round) {
        std::string frame;
        if (round % 2 == 0) {
            const std::string& seed = seeds[random() % seeds.size()];
            ECRString framed = ECRFrame::Frame(ECRString(seed.c_str()));
            frame.assign(framed.Data(), framed.Length());
            const int mutations = static_cast<int>(random() % 4);
            for (int m = 0; m < mutations && !frame.empty(); ++m) {
                const std::size_t at = random() % frame.size();
                switch (random() % 3) {
                case 0:
                    frame[at] = static_cast<char>(1 + random() % 255);
                    break;
                case 1:
                    frame.erase(at, 1);
                    break;
                default:
                    frame.insert(at, 1, static_cast<char>(1 + random() % 255));
                    break;
                }
            }
        } else {
            const std::size_t length = random() % 24;
            for (std::size_t i = 0; i < length; ++i) {
                frame.push_back(static_cast<char>(1 + random() % 255));  // no zero byte: texts cannot hold one
            }
        }

        try {
            ECRString payload = ECRFrame::Unframe(ECRString(frame.c_str()));
            ECRFrame::CheckReply(ECRString(commands[random() % std::size(commands)]), payload, sink);
            ++accepted;
        } catch (const CommError& e) {
            ASSERT_TRUE(e.code == 16 || e.code == 17) << "unexpected code " << e.code;
            (e.code == 17 ? checksumFailures : syncFailures)++;
        } catch (const ECRStringError& e) {
            ASSERT_EQ(e.code, 1);
            ++stringErrors;
        }
    }
    // every path was exercised
    EXPECT_GT(accepted, 0);
    EXPECT_GT(checksumFailures, 0);
    EXPECT_GT(syncFailures, 0);
    EXPECT_GT(stringErrors, 0);
}
