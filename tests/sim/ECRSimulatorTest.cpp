#include "SimTestSupport.h"

#include "sim/SimMemory.h"
#include <ostream>

// Single exchanges with a register fresh from the factory: the reply bytes
// are written out from the protocol tables, checksums worked out by hand.
struct ExchangeCase {
    const char* name;
    std::string request;
    const char* requestSum;
    std::string reply;
    const char* replySum;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ExchangeCase& c, std::ostream* os)
{
    *os << c.name;
}

class FreshRegisterExchange : public SimulatorTest, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(FreshRegisterExchange, AnswersWithTheExpectedFrame)
{
    const ExchangeCase& c = GetParam();
    EXPECT_EQ(Send(Frame(c.request, c.requestSum)), Frame(c.reply, c.replySum));
    ASSERT_EQ(sim.Requests().size(), 1u);
    EXPECT_EQ(sim.Requests()[0], c.request);
}

const ExchangeCase kFreshRegisterCases[] = {
    ExchangeCase{"ReadTaxRates", "$v", "AD", "$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"},
    ExchangeCase{"ReadClock", "$c", "B8", "$C26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""", "88"},
    ExchangeCase{"ReadHeader", "$h", "B3", "$HPRODAVNICA\nGlavna 1\nBeograd\n\n\n1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""", "D6"},
    ExchangeCase{"ReadTotalizers", "$t", "AF", "$T0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t", "B6"},
    ExchangeCase{"ReadAdvertText", "$i", "B2", "$I\n\n\n\n\n\n\n0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""", "B7"},
    ExchangeCase{"ReadLogoEnabled", "$y1\x1F""", "8C", "$Y1\x1F""0", "9C"},
    ExchangeCase{"ReadMemorySize", "$q1\x1F""", "84", "$Q1\x1F""1000", "A5"},
    ExchangeCase{"DeleteAllArticles", "%a", "BB", "%A", "9B"},
    ExchangeCase{"ClearDisplay", "#q2\x1F""", "80", "#q", "AD"},
    {"DisplayLine2", "#q1\x1F""Hvala\n", "DB", "#q", "AD"},
    ExchangeCase{"SetAdvertEnabled", "#y2\x1F""1\x1F""", "A6", "#y", "A5"},
    ExchangeCase{"EndInfoWithoutLines", "#e", "B9", "#e", "B9"},
    ExchangeCase{"UnknownCommand", "#x", "A4", "#Zx\n255\x1F""", "D9"},
    ExchangeCase{"TooShortCommand", "#", "DC", "#Z#\n255\x1F""", "82"},
    ExchangeCase{"SubtotalWithoutReceipt", "*u", "A0", "#Zu\n58\x1F""", "EB"},
    ExchangeCase{"PayWithoutReceipt", "*e100\t0\t0\t", "88", "#Ze\n58\x1F""", "FB"},
    ExchangeCase{"VoidWithoutReceipt", "*sMleko\n100\t1000\t", "DC", "#Zs\n58\x1F""", "ED"},
    ExchangeCase{"CancelWithoutReceipt", "*x", "AD", "#Zx\n58\x1F""", "E6"},
    ExchangeCase{"FirstArticleOfEmptyStore", "$o\n4\x1F""", "95", "#Zo\n20\x1F""", "FE"},
    ExchangeCase{"DeleteUnknownArticle", "#dHleb\n", "91", "#Zd\n20\x1F""", "F5"},
    ExchangeCase{"ReadArticleBadMode", "$o\n7\x1F""", "96", "#Zo\n4\x1F""", "C8"},
    ExchangeCase{"ArticleEmptyName", "#r\n100\t1\x1F""0\x1F""", "9D", "#Zr\n112\x1F""", "D3"},
    ExchangeCase{"ArticleNameWithBackslash", "#rA\\B\n100\t1\x1F""0\x1F""", "C2", "#Zr\n112\x1F""", "D3"},
    ExchangeCase{"ArticleNameTooLong", "#rXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\n100\t1\x1F""0\x1F""", "C5", "#Zr\n112\x1F""", "D3"},
    ExchangeCase{"ArticleZeroPrice", "#rMleko\n0\t1\x1F""0\x1F""", "DC", "#Zr\n114\x1F""", "D5"},
    ExchangeCase{"ArticlePriceTooHigh", "#rMleko\n100000000\t1\x1F""0\x1F""", "DD", "#Zr\n114\x1F""", "D5"},
    ExchangeCase{"ArticleBadUnit", "#rMleko\n100\t1\x1F""10\x1F""", "EC", "#Zr\n115\x1F""", "D4"},
    ExchangeCase{"ArticleBadTaxRate", "#rMleko\n100\t9\x1F""0\x1F""", "D5", "#Zr\n116\x1F""", "D7"},
    ExchangeCase{"ArticlePriceNotANumber", "#rMleko\n12a\t1\x1F""0\x1F""", "8E", "#Zr\n4\x1F""", "D5"},
    ExchangeCase{"ArticleMissingField", "#rMleko\n100\t1\x1F""", "F2", "#Zr\n3\x1F""", "D2"},
    ExchangeCase{"ArticleExtraBytes", "#rMleko\n100\t1\x1F""0\x1F""9", "E4", "#Zr\n3\x1F""", "D2"},
    ExchangeCase{"LogoRowOutOfRange", "#n156\x1F""000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000\n", "95", "#Zn\n133\x1F""", "CC"},
    ExchangeCase{"LogoRowNegative", "#n-1\x1F""000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000\n", "BB", "#Zn\n133\x1F""", "CC"},
    ExchangeCase{"LogoRowShort", "#n0\x1F""0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000\n", "97", "#Zn\n134\x1F""", "CB"},
    ExchangeCase{"LogoRowNotHex", "#n0\x1F""00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000G\n", "E0", "#Zn\n135\x1F""", "CA"},
    ExchangeCase{"LogoNoRows", "#g0\x1F""45\x1F""0\x1F""", "A5", "#Zg\n132\x1F""", "C4"},
    ExchangeCase{"LogoTooManyRows", "#g157\x1F""45\x1F""0\x1F""", "A6", "#Zg\n132\x1F""", "C4"},
    ExchangeCase{"LogoBadRowLength", "#g100\x1F""44\x1F""0\x1F""", "A5", "#Zg\n130\x1F""", "C6"},
    ExchangeCase{"LogoBadType", "#g100\x1F""45\x1F""1\x1F""", "A5", "#Zg\n131\x1F""", "C7"},
    ExchangeCase{"ShiftClockBadDirection", "#t2\x1F""", "85", "#Zt\n35\x1F""", "E1"},
    ExchangeCase{"SetClockImpossibleDate", "#c26\x1F""2\x1F""30\x1F""9\x1F""41\x1F""", "A9", "#Zc\n32\x1F""", "F1"},
    ExchangeCase{"SetClockBadHour", "#c26\x1F""3\x1F""15\x1F""24\x1F""0\x1F""", "A5", "#Zc\n32\x1F""", "F1"},
    ExchangeCase{"FiscalizeWithoutIbfm", "#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""123456789\n", "9C", "#Zk\n85\x1F""", "F5"},
    ExchangeCase{"TaxRateTooHigh", "#v26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""10000\t0\t0\t0\t0\t0\t0\t0\t0\t", "82", "#Zv\n94\x1F""", "E8"},
    ExchangeCase{"TaxRatesTooFew", "#v26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""2000\t2000\t2000\t2000\t2000\t2000\t2000\t2000\t", "BA", "#Zv\n3\x1F""", "D6"},
    ExchangeCase{"PeriodicWithoutReports", "#o0\x1F""26\x1F""1\x1F""1\x1F""26\x1F""1\x1F""31\x1F""", "AF", "#Zo\n84\x1F""", "F0"},
    ExchangeCase{"PeriodicBackwards", "#o1\x1F""26\x1F""2\x1F""1\x1F""26\x1F""1\x1F""31\x1F""", "AD", "#Zo\n80\x1F""", "F4"},
    ExchangeCase{"HeaderFirstLineEmpty", "#h\nB\nC\nD\nE\n0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""", "91", "#Zh\n100\x1F""", "CA"},
    ExchangeCase{"HeaderBadFlag", "#hA\nB\nC\nD\nE\n2\x1F""0\x1F""0\x1F""0\x1F""0\x1F""", "D2", "#Zh\n101\x1F""", "CB"},
    ExchangeCase{"HeaderLineTooLong", "#hAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\nB\nC\nD\nE\n0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""", "D0", "#Zh\n101\x1F""", "CB"},
    ExchangeCase{"MemoryUnknownArea", "$q4\x1F""", "81", "#Zq\n4\x1F""", "D6"},
    ExchangeCase{"MemoryBlockPastEnd", "$q1\x1F""128\x1F""1000\t", "A8", "#Zq\n4\x1F""", "D6"},
    ExchangeCase{"MemoryBlockTooLarge", "$q1\x1F""129\x1F""0\t", "98", "#Zq\n4\x1F""", "D6"},
    ExchangeCase{"OptionUnknownSelector", "$y3\x1F""", "8E", "#Zy\n4\x1F""", "DE"},
    ExchangeCase{"DisplayBadMode", "#q3\x1F""X\n", "D3", "#Zq\n4\x1F""", "D6"},
    ExchangeCase{"SetClockLeapDay", "#c28\x1F""2\x1F""29\x1F""0\x1F""0\x1F", "93", "#c", "BF"},
    ExchangeCase{"SetClockNoLeapDay", "#c26\x1F""2\x1F""29\x1F""0\x1F""0\x1F", "9D", "#Zc\n32\x1F", "F1"},
    ExchangeCase{"DisplayTooLong", "#q0\x1F""XXXXXXXXXXXXXXXXXXXXX\n", "D0", "#Zq\n4\x1F""", "D6"}
};

INSTANTIATE_TEST_SUITE_P(Commands, FreshRegisterExchange, ::testing::ValuesIn(kFreshRegisterCases),
                         [](const ::testing::TestParamInfo<ExchangeCase>& info) { return std::string(info.param.name); });

TEST_F(SimulatorTest, ArticlesComeBackInStoredOrderAndWalkingEndsAtTheLast)
{
    EXPECT_EQ(Send(Frame("#rMleko\n12000\t1\x1F""0\x1F", "DF")), Frame("#r", "AE"));
    EXPECT_EQ(Send(Frame("#rHleb\n6500\t0\x1F""1\x1F", "8C")), Frame("#r", "AE"));
    EXPECT_EQ(Send(Frame("#rSir\n99999999\t8\x1F""9\x1F", "E4")), Frame("#r", "AE"));

    // mode 4, empty name: the first; mode 4 with a name: the one after it; mode 2: the last.
    EXPECT_EQ(Send(Frame("$o\n4\x1F", "95")), Frame("$OMleko\n12000\t1\x1F""0\x1F""0\t0\t", "E5"));
    EXPECT_EQ(Send(Frame("$oMleko\n4\x1F", "D5")), Frame("$OHleb\n6500\t0\x1F""1\x1F""0\t0\t", "B6"));
    EXPECT_EQ(Send(Frame("$o\n2\x1F", "93")), Frame("$OSir\n99999999\t8\x1F""9\x1F""0\t0\t", "DE"));
    EXPECT_EQ(Send(Frame("$oSir\n4\x1F", "DD")), Frame("#Zo\n20\x1F", "FE"));
    EXPECT_EQ(Send(Frame("$oKafa\n4\x1F", "B8")), Frame("#Zo\n20\x1F", "FE"));

    // Rewriting keeps the place; deleting closes the gap.
    EXPECT_EQ(Send(Frame("#rMleko\n13000\t2\x1F""0\x1F", "DD")), Frame("#r", "AE"));
    EXPECT_EQ(Send(Frame("$o\n4\x1F", "95")), Frame("$OMleko\n13000\t2\x1F""0\x1F""0\t0\t", "E7"));
    EXPECT_EQ(Send(Frame("#dHleb\n", "91")), Frame("#d", "B8"));
    EXPECT_EQ(Send(Frame("$oMleko\n4\x1F", "D5")), Frame("$OSir\n99999999\t8\x1F""9\x1F""0\t0\t", "DE"));
    EXPECT_EQ(Send(Frame("%a", "BB")), Frame("%A", "9B"));
    EXPECT_EQ(Send(Frame("$o\n2\x1F", "93")), Frame("#Zo\n20\x1F", "FE"));
}

TEST_F(SimulatorTest, FullStoreRefusesANewArticleButStillUpdatesOne)
{
    for (std::size_t i = 0; i < SimArticleStore::kCapacity; ++i) {
        ASSERT_TRUE(sim.State().articles.Write("A" + std::to_string(i), 100, 0, 0));
    }
    EXPECT_EQ(Send(Frame("#rNovi\n100\t0\x1F""0\x1F", "A2")), Frame("#Zr\n110\x1F", "D1"));
    EXPECT_EQ(Send(Frame("#rA7\n250\t0\x1F""0\x1F", "EC")), Frame("#r", "AE"));
    EXPECT_EQ(sim.State().articles.Find("A7")->price, 250);
}

TEST_F(SimulatorTest, ReceiptSoldVoidedSubtotalledAndPaid)
{
    EXPECT_EQ(Send(Frame("#rMleko\n1234\t1\x1F""0\x1F", "E8")), Frame("#r", "AE"));
    EXPECT_EQ(Send(Frame("*t1\n7\n", "A7")), Frame("*t", "A1"));
    EXPECT_EQ(Send(Frame("*t1\n7\n", "A7")), Frame("#Zt\n57\x1F", "E5"));
    // 2.5 x 12.34 = 30.85 at rate G; 1 x 5.00 at rate A.
    EXPECT_EQ(Send(Frame("*lMleko\n1234\t2500\t1\x1F""0\x1F", "F1")), Frame("*l", "B9"));
    EXPECT_EQ(Send(Frame("*lHleb\n500\t1000\t0\x1F""1\x1F", "A5")), Frame("*l", "B9"));
    EXPECT_EQ(Send(Frame("*lHleb\n500\t0\t0\x1F""1\x1F", "94")), Frame("#Zl\n61\x1F", "F8"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("*u3585", "AB"));
    // A void must match a line on the receipt: name, price and enough quantity.
    EXPECT_EQ(Send(Frame("*sHleb\n600\t1000\t", "B8")), Frame("#Zs\n65\x1F", "E3"));
    EXPECT_EQ(Send(Frame("*sHleb\n500\t2000\t", "B8")), Frame("#Zs\n65\x1F", "E3"));
    EXPECT_EQ(Send(Frame("*sHleb\n500\t1000\t", "BB")), Frame("*s", "A6"));
    EXPECT_EQ(Send(Frame("*sHleb\n500\t1000\t", "BB")), Frame("#Zs\n65\x1F", "E3"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("*u3085", "AE"));
    // Programming waits until the receipt is closed.
    EXPECT_EQ(Send(Frame("#rSir\n100\t0\x1F""0\x1F", "D4")), Frame("#Zr\n57\x1F", "E3"));
    // Too little paid, or card and cheque above the total (change comes from cash only).
    EXPECT_EQ(Send(Frame("*e3084\t0\t0\t", "B6")), Frame("#Ze\n60\x1F", "F0"));
    EXPECT_EQ(Send(Frame("*e0\t0\t3086\t", "B4")), Frame("#Ze\n60\x1F", "F0"));
    EXPECT_EQ(Send(Frame("*e4000\t85\t1000\t", "B1")), Frame("*e", "B0"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("#Zu\n58\x1F", "EB"));

    // Today's turnover per rate, then fiscal total/today, non-fiscal total/today.
    EXPECT_EQ(Send(Frame("$t", "AF")), Frame("$T0\t3085\t0\t0\t0\t0\t0\t0\t0\t0\t0\t3085\t3085\t", "88"));
    // The stored article counts what was sold of it on closed receipts.
    EXPECT_EQ(Send(Frame("$o\n4\x1F", "95")), Frame("$OMleko\n1234\t1\x1F""0\x1F""2500\t3085\t", "DB"));

    const std::string journal = sim.Journal().Text();
    EXPECT_NE(journal.find("Kasa 1"), std::string::npos);
    EXPECT_NE(journal.find("STORNO Hleb"), std::string::npos);
    EXPECT_NE(journal.find("Kusur                      20.00"), std::string::npos);
}

TEST_F(SimulatorTest, VoidsInPartsNeverTakeBackMoreThanTheSale)
{
    // 1.5 x 0.01 rounds up to 0.02; each half-unit void alone would round up to 0.01.
    Send(Frame("*t\n\n", "A1"));
    EXPECT_EQ(Send(Frame("*lA\n1\t1500\t0\x1F""0\x1F", "C7")), Frame("*l", "B9"));
    EXPECT_EQ(Send(Frame("*sA\n1\t500\t", "E9")), Frame("*s", "A6"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("*u1", "91"));
    EXPECT_EQ(Send(Frame("*sA\n1\t500\t", "E9")), Frame("*s", "A6"));
    EXPECT_EQ(Send(Frame("*sA\n1\t500\t", "E9")), Frame("*s", "A6"));
    EXPECT_EQ(Send(Frame("*u", "A0")), Frame("*u0", "90"));
}

TEST_F(SimulatorTest, EmptyReceiptCannotBeClosedButCanBeCancelled)
{
    EXPECT_EQ(Send(Frame("*t\n\n", "A1")), Frame("*t", "A1"));
    EXPECT_EQ(Send(Frame("*e0\t0\t0\t", "89")), Frame("#Ze\n59\x1F", "FA"));
    EXPECT_EQ(Send(Frame("*x", "AD")), Frame("*x", "AD"));
    EXPECT_EQ(Send(Frame("*t\n\n", "A1")), Frame("*t", "A1"));
}

TEST_F(SimulatorTest, ClockFollowsTheHostAndKeepsWhatTheClientSets)
{
    Advance(61 * kSecond);
    EXPECT_EQ(Send(Frame("$c", "B8")), Frame("$C26\x1F""3\x1F""15\x1F""9\x1F""42\x1F", "8B"));
    EXPECT_EQ(Send(Frame("#c27\x1F""1\x1F""31\x1F""23\x1F""59\x1F", "9B")), Frame("#c", "BF"));
    Advance(60 * kSecond);
    EXPECT_EQ(Send(Frame("$c", "B8")), Frame("$C27\x1F""2\x1F""1\x1F""0\x1F""0\x1F", "81"));
    EXPECT_EQ(Send(Frame("#t0\x1F", "87")), Frame("#t", "A8"));
    EXPECT_EQ(Send(Frame("$c", "B8")), Frame("$C27\x1F""1\x1F""31\x1F""23\x1F""0\x1F", "80"));
    EXPECT_EQ(Send(Frame("#t1\x1F", "86")), Frame("#t", "A8"));
    EXPECT_EQ(Send(Frame("$c", "B8")), Frame("$C27\x1F""2\x1F""1\x1F""0\x1F""0\x1F", "81"));
}

TEST_F(SimulatorTest, HourShiftOnlyBetweenDailyReportAndFirstReceipt)
{
    Send(Frame("*t\n\n", "A1"));
    Send(Frame("*lA\n100\t1000\t0\x1F""0\x1F", "C2"));
    Send(Frame("*e100\t0\t0\t", "88"));
    EXPECT_EQ(Send(Frame("#t1\x1F", "86")), Frame("#Zt\n34\x1F", "E0"));
    EXPECT_EQ(Send(Frame("#z26\x1F""3\x1F""15\x1F""9\x1F""41\x1F", "B6")), Frame("#z", "A6"));
    EXPECT_EQ(Send(Frame("#t1\x1F", "86")), Frame("#t", "A8"));
}

TEST_F(SimulatorTest, DailyReportClosesTheDayAndPeriodicReportFindsIt)
{
    Send(Frame("*t\n\n", "A1"));
    Send(Frame("*lA\n100\t1000\t0\x1F""0\x1F", "C2"));
    Send(Frame("*e100\t0\t0\t", "88"));
    EXPECT_EQ(Send(Frame("#z26\x1F""3\x1F""15\x1F""9\x1F""41\x1F", "B6")), Frame("#z", "A6"));
    // Today's figures start again; the running total stays.
    EXPECT_EQ(Send(Frame("$t", "AF")), Frame("$T0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t100\t0\t", "B7"));
    EXPECT_EQ(Send(Frame("#o0\x1F""26\x1F""3\x1F""15\x1F""26\x1F""3\x1F""15\x1F", "9C")), Frame("#o", "B3"));
    EXPECT_EQ(Send(Frame("#o1\x1F""26\x1F""3\x1F""16\x1F""26\x1F""3\x1F""31\x1F", "98")), Frame("#Zo\n84\x1F", "F0"));
    const std::string journal = sim.Journal().Text();
    EXPECT_NE(journal.find("DNEVNI IZVESTAJ br. 1"), std::string::npos);
    EXPECT_NE(journal.find("NEFISKALNI PERIODICNI IZVESTAJ"), std::string::npos);
}

TEST_F(SimulatorTest, FiscalizationNeedsIbfmAndNinePibDigitsAndHappensOnce)
{
    EXPECT_EQ(Send(Frame("#uAB123456\n", "A7")), Frame("#u", "A9"));
    EXPECT_EQ(Send(Frame("#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""12345678\n", "A5")), Frame("#Zk\n103\x1F", "CA"));
    EXPECT_EQ(Send(Frame("#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""12345678X\n", "FD")), Frame("#Zk\n103\x1F", "CA"));
    EXPECT_EQ(Send(Frame("#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""123456789\n", "9C")), Frame("#k", "B7"));
    EXPECT_EQ(Send(Frame("#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""123456789\n", "9C")), Frame("#Zk\n1\x1F", "C9"));
    EXPECT_EQ(Send(Frame("#uCD000000\n", "A4")), Frame("#Zu\n1\x1F", "D7"));
    // From now on sales count as fiscal.
    Send(Frame("*t\n\n", "A1"));
    Send(Frame("*lA\n100\t1000\t0\x1F""0\x1F", "C2"));
    Send(Frame("*e100\t0\t0\t", "88"));
    EXPECT_EQ(Send(Frame("$t", "AF")), Frame("$T100\t0\t0\t0\t0\t0\t0\t0\t0\t100\t100\t0\t0\t", "B7"));
    EXPECT_NE(sim.Journal().Text().find("FISKALNI ISECAK"), std::string::npos);
}

TEST_F(SimulatorTest, FiscalRegisterDoesNotSetItsClockBeforeTheLastDailyReport)
{
    Send(Frame("#uAB123456\n", "A7"));
    Send(Frame("#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""123456789\n", "9C"));
    Send(Frame("#z26\x1F""3\x1F""15\x1F""9\x1F""41\x1F", "B6"));
    EXPECT_EQ(Send(Frame("#c26\x1F""3\x1F""14\x1F""9\x1F""41\x1F", "AE")), Frame("#Zc\n33\x1F", "F0"));
    EXPECT_EQ(Send(Frame("#c26\x1F""3\x1F""16\x1F""9\x1F""41\x1F", "AC")), Frame("#c", "BF"));
}

TEST_F(SimulatorTest, HeaderAdvertAndTaxRatesReadBackAsWritten)
{
    EXPECT_EQ(Send(Frame("#hRADNJA\nUlica 2\nNis\nPIB\nKasa\n0\x1F""1\x1F""0\x1F""0\x1F""1\x1F", "F4")), Frame("#h", "B4"));
    EXPECT_EQ(Send(Frame("$h", "B3")), Frame("$HRADNJA\nUlica 2\nNis\nPIB\nKasa\n0\x1F""1\x1F""0\x1F""0\x1F""1\x1F", "D3"));
    EXPECT_EQ(Send(Frame("#iA\nB\nC\nD\nE\nF\nG\n1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""1\x1F", "D0")), Frame("#i", "B5"));
    EXPECT_EQ(Send(Frame("$i", "B2")), Frame("$IA\nB\nC\nD\nE\nF\nG\n1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""1\x1F", "F7"));
    EXPECT_EQ(Send(Frame("#v26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""2000\t1000\t800\t0\t0\t0\t0\t0\t9999\t", "B8")), Frame("#v", "AA"));
    EXPECT_EQ(Send(Frame("$v", "AD")), Frame("$V2000\t1000\t800\t0\t0\t0\t0\t0\t9999\t", "8F"));
    EXPECT_EQ(Send(Frame("#y1\x1F""1\x1F", "A5")), Frame("#y", "A5"));
    EXPECT_EQ(Send(Frame("$y1\x1F", "8C")), Frame("$Y1\x1F""1", "9D"));
    EXPECT_EQ(Send(Frame("$y2\x1F", "8F")), Frame("$Y2\x1F""0", "9F"));
}

TEST_F(SimulatorTest, MemoryBlocksCarryTheAreaBytesAndStopAtTheAreaEnd)
{
    // Area 0 starts 00 07 0E 15 ...; the second block is offset by the block term 13.
    const std::string first = Send(Frame("$q0\x1F""128\x1F""0\t", "98"));
    ASSERT_EQ(first.size(), 2u + 6u + 256u + 4u);
    EXPECT_EQ(first.substr(2, 14), "$Q0\x1F""0\t00070E15");
    const std::string second = Send(Frame("$q0\x1F""128\x1F""128\t", "93"));
    EXPECT_EQ(second.substr(2, 14), "$Q0\x1F""128\t8D949B");
    // Area 1 is 1000 bytes: the last block holds the 104 bytes from 896.
    const std::string last = Send(Frame("$q1\x1F""128\x1F""896\t", "9E"));
    ASSERT_EQ(last.size(), 2u + 8u + 208u + 4u);
    EXPECT_EQ(last.substr(10, 8), "1B222930");
    EXPECT_EQ(last.substr(10 + 206, 2), SimMemory::Hex(1, 999, 1));
}

TEST_F(SimulatorTest, LogoRowsAreStoredAndPrintedAsTextArt)
{
    const std::string full(90, 'F');
    std::string stripes;
    for (int i = 0; i < 45; ++i) {
        stripes += "F0";
    }
    EXPECT_EQ(Send(Frame("#n0\x1F" + full + "\n", "97")), Frame("#n", "B2"));
    EXPECT_EQ(Send(Frame("#n2\x1F" + stripes + "\n", "E3")), Frame("#n", "B2"));
    EXPECT_EQ(Send(Frame("#g3\x1F""45\x1F""0\x1F", "A6")), Frame("#g", "BB"));
    ASSERT_EQ(sim.State().storedLogo.size(), 3u);
    EXPECT_EQ(sim.State().storedLogo[1], std::string(90, '0'));  // never sent: blank
    const std::string journal = sim.Journal().Text();
    std::string stripeArt;
    for (int i = 0; i < 45; ++i) {
        stripeArt += "# ";
    }
    stripeArt.pop_back();
    EXPECT_NE(journal.find("\n" + std::string(90, '#') + "\n\n" + stripeArt + "\n"), std::string::npos);
}

TEST_F(SimulatorTest, InfoPrintAndDisplayGoToTheJournal)
{
    EXPECT_EQ(Send(Frame("#l1\x1FPrvi red\n", "FA")), Frame("#l", "B0"));
    EXPECT_EQ(Send(Frame("#l2\x1F""Drugi red\n", "89")), Frame("#l", "B0"));
    EXPECT_EQ(Send(Frame("#e", "B9")), Frame("#e", "B9"));
    EXPECT_EQ(Send(Frame("#q0\x1F" "Dobar dan\n", "99")), Frame("#q", "AD"));
    const std::string journal = sim.Journal().Text();
    EXPECT_NE(journal.find("INFO\nPrvi red\nDrugi red\n"), std::string::npos);
    EXPECT_NE(journal.find("[displej] Dobar dan | \n"), std::string::npos);
}

TEST_F(SimulatorTest, PaperOutRefusesPrintingUntilCleared)
{
    sim.SetPaperOut(true);
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#Zw\n12\x1F", "E7"));
    EXPECT_EQ(Send(Frame("*t\n\n", "A1")), Frame("#Zt\n12\x1F", "E4"));
    EXPECT_EQ(Send(Frame("$v", "AD")), Frame("$V2000\t1000\t0\t0\t0\t0\t0\t0\t0\t", "B7"));
    sim.SetPaperOut(false);
    EXPECT_EQ(Send(Frame("#w", "AB")), Frame("#w", "AB"));
}
