#include "FullStackFixture.h"

#include "ecr/protocol/CommError.h"
#include "sim/SimMemory.h"
#include "support/MakeDateTime.h"

#include <array>
#include <cstdio>

// Every device operation once, through the real serial port and engine,
// against the simulated register.
namespace {
std::string Text(const ECRString& text)
{
    return std::string(text.Data(), text.Length());
}
}  // namespace

TEST_F(FullStack, AdministrationReadsBackWhatItWrote)
{
    ECRDevice& device = Device();
    EXPECT_EQ(device.ReadStatus(), 6);

    device.SetClock(MakeDateTime(26, 3, 15, 9, 41));
    const ECRDateTime clock = device.ReadClock();
    EXPECT_EQ(clock.year, 26);
    EXPECT_EQ(clock.month, 3);
    EXPECT_EQ(clock.day, 15);
    EXPECT_EQ(clock.hour, 9);
    device.ShiftClockHour(1);
    EXPECT_EQ(device.ReadClock().hour, 10);

    const std::array<std::int32_t, 9> rates{2000, 1000, 800, 0, 0, 0, 0, 0, 1};
    device.WriteTaxRates(rates, device.ReadClock());
    std::array<std::int32_t, 9> readRates{};
    device.ReadTaxRates(readRates);
    EXPECT_EQ(readRates, rates);

    device.WriteHeader({"RADNJA", "Ulica 1", "Grad", "Tel", "Hvala"}, {true, false, false, true, false});
    std::array<ECRString, 5> lines;
    std::array<bool, 5> doubleSize{};
    device.ReadHeader(lines, doubleSize);
    EXPECT_EQ(Text(lines[4]), "Hvala");
    EXPECT_EQ(doubleSize, (std::array<bool, 5>{true, false, false, true, false}));

    device.WriteIBFM("AB123456");
    device.Fiscalize(device.ReadClock(), "123456789");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    device.Fiscalize(device.ReadClock(), "123456789");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 1);

    device.PrintStatusReport();
    device.PrintDailyReport(device.ReadClock());
    device.PrintPeriodicReport(MakeDateTime(26, 3, 1, 0, 0), MakeDateTime(26, 3, 31, 0, 0), true);
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);

    const std::string journal = Host().Journal();
    EXPECT_NE(journal.find("PRESEK STANJA"), std::string::npos);
    EXPECT_NE(journal.find("DNEVNI IZVESTAJ br. 1"), std::string::npos);
    EXPECT_NE(journal.find("FISKALNI PERIODICNI IZVESTAJ"), std::string::npos);
}

TEST_F(FullStack, ReceiptSoldVoidedSubtotalledAndPaid)
{
    ECRDevice& device = Device();
    device.SetTransactionDefaults("1", "7");
    EXPECT_TRUE(device.BeginTransaction("", ""));
    device.SellItem("Mleko", 1234, 2500, 1, 0);
    device.SellItem("Hleb", 500, 1000, 0, 1);
    device.VoidItem("Hleb", 500, 1000);
    EXPECT_EQ(device.ReadSubtotal(), 3085);
    EXPECT_FALSE(device.EndTransaction(3000, 0, 0));
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 60);
    EXPECT_TRUE(device.EndTransaction(5000, 0, 0));

    std::array<ECRString, 13> totals;
    device.ReadTotalizers(totals);
    EXPECT_EQ(Text(totals[1]), "3085");
    EXPECT_EQ(Text(totals[12]), "3085");

    // A cancelled receipt adds nothing.
    device.SellItem("Sir", 100, 1000, 0, 0);
    device.CancelTransaction();
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    EXPECT_NE(Host().Journal().find("Kasa 1                   Kasir 7"), std::string::npos);
    EXPECT_NE(Host().Journal().find("PONISTEN RACUN"), std::string::npos);
}

TEST_F(FullStack, ThousandArticlesWrittenAndReadBackInOrder)
{
    ECRDevice& device = Device();
    device.DeleteAllArticles();
    for (int i = 0; i < 1000; ++i) {
        ECRArticle article;
        char name[16];
        std::snprintf(name, sizeof name, "ART%04d", i);
        article.name = name;
        article.price = 100 + i;
        article.taxRate = i % 9;
        article.unit = i % 10;
        device.WriteArticle(article);
        ASSERT_EQ(ECRProtocol::LastErrorCode(), 0) << name;
    }
    device.DeleteArticle("ART0500");
    device.ReadAllArticles();
    const auto& articles = device.Articles();
    ASSERT_EQ(articles.size(), 999u);
    int i = 0;
    for (const ECRArticle& article : articles) {
        if (i == 500) {
            ++i;
        }
        char name[16];
        std::snprintf(name, sizeof name, "ART%04d", i);
        ASSERT_EQ(Text(article.name), name);
        EXPECT_EQ(article.price, 100 + i);
        EXPECT_EQ(article.taxRate, i % 9);
        EXPECT_EQ(article.unit, i % 10);
        ++i;
    }
    const ECRArticle last = device.ReadArticle("", 2);
    EXPECT_EQ(Text(last.name), "ART0999");
}

TEST_F(FullStack, MemoryAreasDumpByteForByte)
{
    ECRDevice& device = Device();
    for (const std::int32_t area : {1, 2}) {
        std::int32_t size = 0;
        const std::vector<unsigned char> dump = device.ReadMemory(area, size);
        ASSERT_EQ(size, SimMemory::Size(area).value());
        ASSERT_EQ(dump.size(), static_cast<std::size_t>(size));
        for (std::int32_t i = 0; i < size; ++i) {
            ASSERT_EQ(dump[static_cast<std::size_t>(i)], SimMemory::Byte(area, i)) << "area " << area << " byte " << i;
        }
    }
}

TEST_F(FullStack, LogoOf156RowsAndPrintOptions)
{
    ECRDevice& device = Device();
    std::vector<std::string> rows;
    for (int row = 0; row < 156; ++row) {
        std::string hex;
        for (int i = 0; i < 45; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", (row + i) & 0xFF);
            hex += pair;
        }
        rows.push_back(hex);
        device.WriteLogoRow(row, hex.c_str());
    }
    device.StoreLogo(156);
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    Host().WithSimulator([&rows](ECRSimulator& simulator) { EXPECT_EQ(simulator.State().storedLogo, rows); });

    device.SetLogoEnabled(true);
    device.SetAdvertEnabled(false);
    EXPECT_TRUE(device.ReadLogoEnabled());
    EXPECT_FALSE(device.ReadAdvertEnabled());
}

TEST_F(FullStack, AdvertInfoPrintAndDisplay)
{
    ECRDevice& device = Device();
    // Every line filled: the client reads no further than the first empty line.
    device.WriteAdvertText({"Akcija", "2", "3", "4", "5", "6", "Kraj"}, {true, false, false, false, false, false, true});
    std::array<ECRString, 7> lines;
    std::array<bool, 7> doubleSize{};
    device.ReadAdvertText(lines, doubleSize);
    EXPECT_EQ(Text(lines[0]), "Akcija");
    EXPECT_EQ(Text(lines[6]), "Kraj");
    EXPECT_EQ(doubleSize, (std::array<bool, 7>{true, false, false, false, false, false, true}));

    device.PrintInfoLine("Prvi red", 1);
    device.PrintInfoLine("Drugi red", 2);
    device.EndInfoPrint();
    device.DisplayText("Dobar dan", "Ukupno 12.34");
    const std::string journal = Host().Journal();
    EXPECT_NE(journal.find("INFO\nPrvi red\nDrugi red\n"), std::string::npos);
    EXPECT_NE(journal.find("[displej] Dobar dan | Ukupno 12.34"), std::string::npos);
    device.DisplayText("", "");
    EXPECT_NE(Host().Journal().find("[displej]  | \n"), std::string::npos);
}

TEST_F(FullStack, ReportWhilePrintingIsAwaitedByPolling)
{
    Host().WithSimulator([](ECRSimulator& simulator) { simulator.SetPrintMilliseconds(3300); });
    Device().PrintStatusReport();
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    // The register said busy at least once before the reply came.
    EXPECT_NE(std::find(Traffic().begin(), Traffic().end(), std::string("\xC0")), Traffic().end());
    std::array<std::int32_t, 9> rates{};
    Device().ReadTaxRates(rates);
    EXPECT_EQ(rates[0], 2000);
}

TEST_F(FullStack, PaperOutIsARefusalNotAnError)
{
    Host().WithSimulator([](ECRSimulator& simulator) { simulator.SetPaperOut(true); });
    Device().PrintStatusReport();
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    Host().WithSimulator([](ECRSimulator& simulator) { simulator.SetPaperOut(false); });
    Device().PrintStatusReport();
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
}
