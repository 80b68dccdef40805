// ecrctl and the receipt on the register: one that was open before the run is
// never sold into, one a refused sale leaves open is named; against the
// simulated register, requests written by hand. A batch's receipt: EcrCtlBatchTest.
#include "EcrCtlFixture.h"
#include "JsonReader.h"

namespace {

using Words = std::vector<std::string>;

const char* const kAlreadyOpen =
    "a receipt is already open on the register: pay it (`ecrctl pay`) or cancel it (`ecrctl cancel`)";

class EcrCtlReceipt : public EcrCtlFixture {
protected:
    // A receipt left open on the register by an earlier run.
    void LeaveAReceiptOpen()
    {
        ASSERT_EQ(Run({"begin", "--register", "1", "--cashier", "7"}).exitCode, 0);
        host.ClearRequests();
    }

};

}  // namespace

// The sale of a new run went into the old receipt and the run exited 0.
TEST_F(EcrCtlReceipt, SellStopsAtAReceiptAlreadyOpenAndSendsNothingMore)
{
    LeaveAReceiptOpen();
    const Outcome outcome = Run({"sell", "Sok", "12.50", "1", "2"}, {"--json"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(Requests(), Words{"*t\n\n"}) << "no sale line after the refused *t";
    EXPECT_NE(outcome.err.find(kAlreadyOpen), std::string::npos) << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["deviceCode"].number, 57);
    EXPECT_EQ(doc["registerCode"].number, 57) << "named as ecrd names it";
    EXPECT_EQ(doc["registerMessage"].text, "Transakcija ukljucena");

    const Outcome begin = Run({"begin"});
    EXPECT_EQ(begin.exitCode, 1);
    EXPECT_NE(begin.err.find(kAlreadyOpen), std::string::npos) << begin.err;

    // What the message offers works on that receipt.
    host.ClearRequests();
    EXPECT_EQ(Run({"cancel"}).exitCode, 0);
    EXPECT_EQ(Run({"sell", "Sok", "12.50", "1", "2"}).exitCode, 0);
    EXPECT_EQ(Requests(), (Words{"*x", "*t\n\n", "*lSok\n1250\t1000\t2\x1F" "0\x1F"}));
}

TEST_F(EcrCtlReceipt, ARefusedSellSaysItsReceiptStaysOpen)
{
    const Outcome outcome = Run({"sell", "Sok", "12.50", "1", "9"});  // no tax rate 9
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("(code 116); the receipt stays open on the register: pay it (`ecrctl pay`) or "
                               "cancel it (`ecrctl cancel`)"),
              std::string::npos)
        << outcome.err;

    // A refusal in a receipt this run did not open says nothing of one.
    host.ClearRequests();
    const Outcome other = Run({"void", "Sok", "12.50", "1"});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_EQ(other.err.find("stays open"), std::string::npos) << other.err;
}
