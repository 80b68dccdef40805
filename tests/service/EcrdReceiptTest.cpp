// Receipts over HTTP, exactly once: a repeated key prints nothing again, a
// lost answer at any step ends in the outcome the register itself shows,
// and a refusal leaves no receipt open.
#include "EcrdFixture.h"

#include <algorithm>
#include <thread>

namespace {

using Commands = std::vector<std::string>;

long CountOf(const Commands& commands, const std::string& command)
{
    return std::count(commands.begin(), commands.end(), command);
}

struct LostReply {
    const char* label;
    const char* command;  // whose answer the register loses
    int nth;
    int status;
    const char* state;
    const char* outcome;
    const char* receipt;  // what became of it when not printed; "" when printed
    Commands commands;    // everything the register received, in order
    int printed;
};

void PrintTo(const LostReply& c, std::ostream* os)
{
    *os << c.label;
}

class LostReplyAtEachStep : public EcrdTest, public testing::WithParamInterface<LostReply> {};

}  // namespace

TEST_F(EcrdTest, TheSameKeyTwicePrintsOnceAndAnotherBodyWithItIsAConflict)
{
    AddRegisters(1);
    StartEcrd(Config());
    const Answer first = Receipt("sale-1", kTwoLines);
    ASSERT_EQ(first.status, 200) << first.body["detail"].text;
    EXPECT_EQ(first.body["state"].text, "done");
    EXPECT_EQ(first.body["outcome"].text, "printed");
    EXPECT_EQ(first.body["result"]["total"].text, "70.50");
    EXPECT_EQ(first.body["result"]["change"].text, "29.50");
    EXPECT_EQ(first.location, "/jobs/" + first.body["id"].text);
    const Commands once{"$t", "*t", "*l", "*l", "*u", "*e"};
    EXPECT_EQ(Received(1), once);

    // The till did not hear the answer and sends the same sale again.
    const Answer again = Receipt("sale-1", kTwoLines);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body["id"].text, first.body["id"].text);
    EXPECT_EQ(Received(1), once) << "nothing is sent again";

    const Answer other = Receipt("sale-1", R"({"lines": [{"name": "Voda", "price": 1, "quantity": 1, "taxRate": 0}]})");
    EXPECT_EQ(other.status, 409);
    EXPECT_EQ(other.contentType, "application/problem+json");
    EXPECT_EQ(other.body["code"].text, "idempotency-conflict");
    EXPECT_EQ(Received(1), once);
    EXPECT_EQ(ReceiptsPrinted(1), 1);
}

TEST_F(EcrdTest, TwoTillsSendingOneKeyAtOnceGetOneJob)
{
    AddRegisters(1);
    StartEcrd(Config());
    Answer answers[4];
    std::vector<std::thread> tills;
    for (Answer& answer : answers) {
        tills.emplace_back([this, &answer] {
            httplib::Client till("127.0.0.1", ecrd.Port());
            till.set_read_timeout(60, 0);
            answer = From(
                till.Post("/registers/kasa1/receipts", {{"Idempotency-Key", "same"}}, kTwoLines, "application/json"));
        });
    }
    for (std::thread& till : tills)
        till.join();
    for (const Answer& answer : answers) {
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.body["id"].text, answers[0].body["id"].text);
    }
    EXPECT_EQ(CountOf(Received(1), "*e"), 1);
    EXPECT_EQ(ReceiptsPrinted(1), 1);
}

TEST_P(LostReplyAtEachStep, EndsInTheOutcomeTheRegisterShowsWithNoSecondPayment)
{
    const LostReply& c = GetParam();
    AddRegisters(1);
    StartEcrd(Config());
    SetFaults(1, [&](SimFaults& faults) {
        faults.dropReplyAt = c.command;
        faults.dropReplyAtCount = c.nth;
    });
    const Answer answer = Receipt("sale", kTwoLines);
    EXPECT_EQ(answer.status, c.status) << answer.body["detail"].text;
    EXPECT_EQ(answer.body["state"].text, c.state);
    EXPECT_EQ(answer.body["outcome"].text, c.outcome);
    if (*c.receipt != '\0') {
        EXPECT_EQ(answer.body["receipt"].text, c.receipt);
    }
    EXPECT_EQ(Received(1), c.commands);
    EXPECT_LE(CountOf(Received(1), "*e"), 1);
    EXPECT_EQ(ReceiptsPrinted(1), c.printed);
    EXPECT_FALSE(ReceiptOpen(1)) << "no receipt is left open";

    // The register is usable at once for the next sale.
    EXPECT_EQ(Receipt("next", kTwoLines).body["outcome"].text, "printed");
    EXPECT_EQ(ReceiptsPrinted(1), c.printed + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LostReplyAtEachStep,
    testing::Values(
        // Nothing was sent: the read is tried once more on a link opened again.
        LostReply{"totals_before", "$t", 1, 200, "done", "printed", "", {"$t", "$t", "*t", "*l", "*l", "*u", "*e"}, 1},
        LostReply{"open", "*t", 1, 503, "failed", "not printed", "cancelled", {"$t", "*t", "*u", "*x"}, 0},
        LostReply{"first_line", "*l", 1, 503, "failed", "not printed", "cancelled", {"$t", "*t", "*l", "*u", "*x"}, 0},
        LostReply{
            "second_line", "*l", 2, 503, "failed", "not printed", "cancelled", {"$t", "*t", "*l", "*l", "*u", "*x"}, 0},
        LostReply{"subtotal",
                  "*u",
                  1,
                  503,
                  "failed",
                  "not printed",
                  "cancelled",
                  {"$t", "*t", "*l", "*l", "*u", "*u", "*x"},
                  0},
        LostReply{
            "payment", "*e", 1, 200, "done", "printed", "", {"$t", "*t", "*l", "*l", "*u", "*e", "*u", "$t"}, 1}));

TEST_F(EcrdTest, ARefusedPaymentCancelsTheReceiptAndSaysWhy)
{
    AddRegisters(1);
    StartEcrd(Config());
    // Change comes out of cash only: the register refuses a card payment above the total (code 60).
    const Answer answer = Receipt("card", R"({"lines": [{"name": "Sok", "price": "25", "quantity": 1, "taxRate": 1}],
                            "payments": {"card": "30"}})");
    EXPECT_EQ(answer.status, 422);
    EXPECT_EQ(answer.body["code"].text, "refused");
    EXPECT_EQ(answer.body["registerCode"].number, 60);
    EXPECT_EQ(answer.body["outcome"].text, "not printed");
    EXPECT_EQ(answer.body["receipt"].text, "cancelled");
    EXPECT_EQ(Received(1), (Commands{"$t", "*t", "*l", "*u", "*e", "*x"}));
    EXPECT_FALSE(ReceiptOpen(1));
}

TEST_F(EcrdTest, PaperOutRefusesTheOpeningAndNothingIsLeftOpen)
{
    AddRegisters(1);
    StartEcrd(Config());
    hosts[0]->WithSimulator([](ECRSimulator& sim) { sim.SetPaperOut(true); });
    const Answer answer = Receipt("paper", kTwoLines);
    EXPECT_EQ(answer.status, 422);
    EXPECT_EQ(answer.body["registerCode"].number, 12);
    EXPECT_EQ(answer.body["receipt"].text, "none open");
    EXPECT_EQ(Received(1), (Commands{"$t", "*t"}));
}

TEST_F(EcrdTest, AReceiptLeftOpenOnTheRegisterIsCancelledBeforeTheNext)
{
    AddRegisters(1);
    StartEcrd(Config());
    ASSERT_EQ(Send("POST", "/registers/kasa1/raw", R"({"payload": "*t1\n7\n"})", "by-hand").status, 200);
    ASSERT_TRUE(ReceiptOpen(1));
    const Answer answer = Receipt("sale", kTwoLines);
    EXPECT_EQ(answer.body["outcome"].text, "printed");
    EXPECT_TRUE(answer.body["cancelledOpenReceipt"].boolean);
    EXPECT_EQ(Received(1), (Commands{"*t", "$t", "*t", "*x", "*t", "*l", "*l", "*u", "*e"}));
    EXPECT_EQ(ReceiptsPrinted(1), 1);
}

TEST_F(EcrdTest, WithoutPaymentsTheRegistersTotalIsPaidInCash)
{
    AddRegisters(1);
    StartEcrd(Config());
    const Answer answer =
        Receipt("cash", R"({"lines": [{"name": "Sok", "price": 12.5, "quantity": "0.5", "taxRate": 1}]})");
    EXPECT_EQ(answer.body["result"]["total"].text, "6.25");
    EXPECT_EQ(answer.body["result"]["paid"]["cash"].text, "6.25");
    // "*e" 625 TAB 0 TAB 0 TAB, as the register reads it.
    EXPECT_EQ(hosts[0]->Requests().back(), "*e625\t0\t0\t");
}

// A sale queued behind a slow job fails when it cannot start in time,
// rather than printing long after its customer left.
TEST_F(EcrdTest, AReceiptThatCannotStartInTimeIsTooLateWithNothingSent)
{
    AddRegisters(1);
    StartEcrd(Config(R"(, "maxStartDelayMs": 300)"));
    SetFaults(1, [](SimFaults& faults) { faults.replyDelayMs = 800; });
    const Answer slow = Send("GET", "/registers/kasa1/clock?wait=0");
    ASSERT_EQ(slow.status, 202);
    const Answer late = Receipt("late", kTwoLines);
    EXPECT_EQ(late.status, 503);
    EXPECT_EQ(late.body["code"].text, "too-late");
    EXPECT_TRUE(late.body["retryable"].boolean);
    EXPECT_EQ(late.body["outcome"].text, "not printed");
    EXPECT_EQ(Received(1), Commands{"$c"}) << "the receipt sent nothing";
}

// A key is not used up by a failure that sent nothing: the till retries
// with it, as README says, and the sale runs as the job's next attempt. One
// that sent something keeps its answer.
TEST_F(EcrdTest, TheSameKeyRunsAgainOnlyWhereNothingWasSent)
{
    StartEcrd(AddPluggableRegister());
    hosts[0]->Stop();
    const Answer away = Receipt("lost-2", kTwoLines);
    EXPECT_EQ(away.status, 503);
    EXPECT_EQ(away.body["code"].text, "link-failure");
    EXPECT_TRUE(away.body["retryable"].boolean);
    EXPECT_EQ(away.body["sent"].text, "nothing");

    ASSERT_TRUE(hosts[0]->Start());
    Answer again;
    for (int i = 0; i < 100 && again.status != 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        again = Receipt("lost-2", kTwoLines);
    }
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body["outcome"].text, "printed");
    EXPECT_EQ(JobOf(again), JobOf(away)) << "the same job, a later attempt";
    EXPECT_GE(again.body["attempts"].number, 2);
    EXPECT_EQ(again.body["earlierAttempts"].items.at(0)["problem"]["code"].text, "link-failure");
    EXPECT_EQ(Receipt("lost-2", kTwoLines).body["attempts"].number, again.body["attempts"].number);
    EXPECT_EQ(ReceiptsPrinted(1), 1);

    // Refused by the register (a card payment above the total): its answer stands.
    const std::string refused = R"({"lines": [{"name": "Sok", "price": "25", "quantity": 1, "taxRate": 1}],
                                    "payments": {"card": "30"}})";
    ASSERT_EQ(Receipt("card", refused).body["sent"].text, "something");
    hosts[0]->ClearRequests();
    const Answer repeated = Receipt("card", refused);
    EXPECT_EQ(repeated.status, 422);
    EXPECT_FALSE(repeated.body["retryable"].boolean);
    EXPECT_TRUE(hosts[0]->Requests().empty());
}

// After a printed receipt the register's totals are read while no till
// waits, and the next receipt starts from them: a lost payment's answer
// still settles from them exactly. Anything sent in between drops them.
TEST_F(EcrdTest, AReceiptStartsFromTotalsReadAheadWhileNothingWasSentSince)
{
    AddRegisters(1);
    StartEcrd(Config(R"(, "readTotalsAhead": true)"));
    const auto awaitTotalsRead = [&](int times) {
        for (int i = 0; i < 200 && CountOf(Received(1), "$t") < times; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return CountOf(Received(1), "$t") == times;
    };
    ASSERT_EQ(Receipt("first", kTwoLines).body["outcome"].text, "printed");
    ASSERT_TRUE(awaitTotalsRead(2)) << "read ahead after the receipt";

    hosts[0]->ClearRequests();
    SetFaults(1, [](SimFaults& faults) { faults.dropReplyAt = "*e"; });
    const Answer second = Receipt("second", kTwoLines);
    EXPECT_EQ(second.body["outcome"].text, "printed") << second.body["detail"].text;
    const Commands sent = Received(1);
    ASSERT_GE(sent.size(), 7u);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 7), (Commands{"*t", "*l", "*l", "*u", "*e", "*u", "$t"}))
        << "no totals read before it; settled from those read ahead";
    EXPECT_EQ(ReceiptsPrinted(1), 2);

    ASSERT_TRUE(awaitTotalsRead(2));
    ASSERT_EQ(Send("POST", "/registers/kasa1/raw", R"({"payload": "$c"})", "raw").status, 200);
    hosts[0]->ClearRequests();
    ASSERT_EQ(Receipt("third", kTwoLines).body["outcome"].text, "printed");
    EXPECT_EQ(Received(1).at(0), "$t") << "a job in between: the totals are read again";
}
