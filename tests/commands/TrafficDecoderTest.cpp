#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/ECRTrafficDecoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Direction = ECRTrafficDirection;

std::string Decode(ECRTrafficDecoder& decoder, Direction direction, const std::string& bytes, std::int64_t ms = 12)
{
    ECRTrafficEntry entry;
    entry.ms = ms;
    entry.direction = direction;
    entry.bytes = bytes;
    return decoder.Decode(entry);
}

// The decoded text after the time and direction columns.
std::string Text(const std::string& line)
{
    std::int64_t ms = 0;
    std::string tag;
    std::string_view rest;
    if (!ECRTrafficDecoder::ParsePrefix(line, ms, tag, rest)) {
        return "no prefix: " + line;
    }
    return std::string(rest);
}

struct Exchange {
    std::string request;  // as the engine reports it, before framing
    std::string requestText;
    std::string replyFrame;  // as the port reads it
    std::string replyText;
};

// Every command of the command set, request and accepted reply, with
// checksums worked out by hand.
const std::vector<Exchange>& Exchanges()
{
    static const std::vector<Exchange> exchanges = {
    {"$v",
     "$v citanje poreskih stopa  cs=AD",
     "\x1B""P$V2000\x09""1000\x09""800\x09""0\x09""0\x09""0\x09""0\x09""0\x09""2500\x09""88\x1B""\\",
     "$V citanje poreskih stopa: A=20.00% G=10.00% D=8.00% Dj=0.00% E=0.00% Z=0.00% I=0.00% J=0.00% K=25.00%  cs=88 ok  code=0 Operacija je uspesna"},
    {"#v26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""2000\x09""1000\x09""800\x09""0\x09""0\x09""0\x09""0\x09""0\x09""2500\x09""",
     "#v zapis poreskih stopa: now=2026-03-15 09:41 A=20.00% G=10.00% D=8.00% Dj=0.00% E=0.00% Z=0.00% I=0.00% J=0.00% K=25.00%  cs=BF",
     "\x1B""P#vAA\x1B""\\",
     "#v zapis poreskih stopa  cs=AA ok  code=0 Operacija je uspesna"},
    {"$c",
     "$c citanje sata  cs=B8",
     "\x1B""P$C26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""88\x1B""\\",
     "$C citanje sata: clock=2026-03-15 09:41  cs=88 ok  code=0 Operacija je uspesna"},
    {"#c26\x1F""12\x1F""31\x1F""23\x1F""5\x1F""",
     "#c podesavanje sata: time=2026-12-31 23:05  cs=91",
     "\x1B""P#cBF\x1B""\\",
     "#c podesavanje sata  cs=BF ok  code=0 Operacija je uspesna"},
    {"#t1\x1F""",
     "#t pomeranje sata: direction=1  cs=86",
     "\x1B""P#tA8\x1B""\\",
     "#t pomeranje sata  cs=A8 ok  code=0 Operacija je uspesna"},
    {"#z26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""",
     "#z dnevni izvestaj: now=2026-03-15 09:41  cs=B6",
     "\x1B""P#zA6\x1B""\\",
     "#z dnevni izvestaj  cs=A6 ok  code=0 Operacija je uspesna"},
    {"#o0\x1F""26\x1F""1\x1F""1\x1F""26\x1F""1\x1F""31\x1F""",
     "#o periodicni izvestaj: fiscal=0 from=2026-01-01 to=2026-01-31  cs=AF",
     "\x1B""P#oB3\x1B""\\",
     "#o periodicni izvestaj  cs=B3 ok  code=0 Operacija je uspesna"},
    {"#w",
     "#w presek stanja  cs=AB",
     "\x1B""P#wAB\x1B""\\",
     "#w presek stanja  cs=AB ok  code=0 Operacija je uspesna"},
    {"#uAB123456\x0A""",
     "#u zapis IBFM: ibfm=AB123456  cs=A7",
     "\x1B""P#uA9\x1B""\\",
     "#u zapis IBFM  cs=A9 ok  code=0 Operacija je uspesna"},
    {"#k26\x1F""3\x1F""15\x1F""9\x1F""41\x1F""100200300\x0A""",
     "#k fiskalizacija: now=2026-03-15 09:41 pib=100200300  cs=9D",
     "\x1B""P#kB7\x1B""\\",
     "#k fiskalizacija  cs=B7 ok  code=0 Operacija je uspesna"},
    {"#hRADNJA\x0A""Glavna 1\x0A""\x0A""\x0A""\x0A""1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""",
     "#h zapis zaglavlja: line1=RADNJA line2=\"Glavna 1\" line3=\"\" line4=\"\" line5=\"\" flag1=1 flag2=0 flag3=0 flag4=0 flag5=0  cs=A0",
     "\x1B""P#hB4\x1B""\\",
     "#h zapis zaglavlja  cs=B4 ok  code=0 Operacija je uspesna"},
    {"$h",
     "$h citanje zaglavlja  cs=B3",
     "\x1B""P$HKASA\x0A""A\x0A""B\x0A""C\x0A""D\x0A""0\x1F""1\x1F""0\x1F""0\x1F""0\x1F""AB\x1B""\\",
     "$H citanje zaglavlja: line1=KASA line2=A line3=B line4=C line5=D flag1=0 flag2=1 flag3=0 flag4=0 flag5=0  cs=AB ok  code=0 Operacija je uspesna"},
    {"$t",
     "$t citanje totalizera  cs=AF",
     "\x1B""P$T1\x09""2\x09""3\x09""4\x09""5\x09""6\x09""7\x09""8\x09""9\x09""100\x09""10\x09""200\x09""20\x09""B7\x1B""\\",
     "$T citanje totalizera: A=1 G=2 D=3 Dj=4 E=5 Z=6 I=7 J=8 K=9 fiscalTotal=100 fiscalToday=10 nonFiscalTotal=200 nonFiscalToday=20  cs=B7 ok  code=0 Operacija je uspesna"},
    {"%a",
     "%a brisanje svih artikala  cs=BB",
     "\x1B""P%A9B\x1B""\\",
     "%A brisanje svih artikala  cs=9B ok  code=0 Operacija je uspesna"},
    {"#dSok\x0A""",
     "#d brisanje artikla: name=Sok  cs=E5",
     "\x1B""P#dB8\x1B""\\",
     "#d brisanje artikla  cs=B8 ok  code=0 Operacija je uspesna"},
    {"#rSok\x0A""1250\x09""2\x1F""1\x1F""",
     "#r zapis artikla: name=Sok price=12.50 taxRate=2 unit=1  cs=FF",
     "\x1B""P#rAE\x1B""\\",
     "#r zapis artikla  cs=AE ok  code=0 Operacija je uspesna"},
    {"$o\x0A""4\x1F""",
     "$o citanje artikla: name=\"\" mode=4  cs=95",
     "\x1B""P$OSok\x0A""1250\x09""2\x1F""1\x1F""0\x09""7\x09""C2\x1B""\\",
     "$O citanje artikla: name=Sok price=12.50 taxRate=2 unit=1 value1=0 value2=7  cs=C2 ok  code=0 Operacija je uspesna"},
    {"*t1\x0A""7\x0A""",
     "*t pocetak transakcije: registerNumber=1 cashier=7  cs=A7",
     "\x1B""P*tA1\x1B""\\",
     "*t pocetak transakcije  cs=A1 ok  code=0 Operacija je uspesna"},
    {"*lSok\x0A""1234\x09""2500\x09""1\x1F""0\x1F""",
     "*l prodaja artikla: name=Sok price=12.34 quantity=2.500 taxRate=1 unit=0  cs=E6",
     "\x1B""P*lB9\x1B""\\",
     "*l prodaja artikla  cs=B9 ok  code=0 Operacija je uspesna"},
    {"*sSok\x0A""1234\x09""1000\x09""",
     "*s storno: name=Sok price=12.34 quantity=1.000  cs=FE",
     "\x1B""P*sA6\x1B""\\",
     "*s storno  cs=A6 ok  code=0 Operacija je uspesna"},
    {"*u",
     "*u medjuzbir  cs=A0",
     "\x1B""P*U30858E\x1B""\\",
     "*U medjuzbir: subtotal=30.85  cs=8E ok  code=0 Operacija je uspesna"},
    {"*e5000\x09""0\x09""0\x09""",
     "*e placanje: cash=50.00 cheque=0.00 card=0.00  cs=BC",
     "\x1B""P*eB0\x1B""\\",
     "*e placanje  cs=B0 ok  code=0 Operacija je uspesna"},
    {"*x",
     "*x ponistavanje transakcije  cs=AD",
     "\x1B""P*xAD\x1B""\\",
     "*x ponistavanje transakcije  cs=AD ok  code=0 Operacija je uspesna"},
    {"#iL1\x0A""L2\x0A""L3\x0A""L4\x0A""L5\x0A""L6\x0A""L7\x0A""0\x1F""0\x1F""1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""",
     "#i zapis reklamnog teksta: line1=L1 line2=L2 line3=L3 line4=L4 line5=L5 line6=L6 line7=L7 flag1=0 flag2=0 flag3=1 flag4=0 flag5=0 flag6=0 flag7=0  cs=ED",
     "\x1B""P#iB5\x1B""\\",
     "#i zapis reklamnog teksta  cs=B5 ok  code=0 Operacija je uspesna"},
    {"$i",
     "$i citanje reklamnog teksta  cs=B2",
     "\x1B""P$Ia\x0A""b\x0A""c\x0A""d\x0A""e\x0A""f\x0A""g\x0A""1\x1F""0\x1F""0\x1F""0\x1F""0\x1F""0\x1F""1\x1F""D7\x1B""\\",
     "$I citanje reklamnog teksta: line1=a line2=b line3=c line4=d line5=e line6=f line7=g flag1=1 flag2=0 flag3=0 flag4=0 flag5=0 flag6=0 flag7=1  cs=D7 ok  code=0 Operacija je uspesna"},
    {"$y1\x1F""",
     "$y citanje opcije stampe: selector=1  cs=8C",
     "\x1B""P$Y1\x1F""19D\x1B""\\",
     "$Y citanje opcije stampe: selector=1 on=1  cs=9D ok  code=0 Operacija je uspesna"},
    {"#y2\x1F""0\x1F""",
     "#y podesavanje opcije stampe: selector=2 on=0  cs=A7",
     "\x1B""P#yA5\x1B""\\",
     "#y podesavanje opcije stampe  cs=A5 ok  code=0 Operacija je uspesna"},
    {"#l3\x1F""Hvala\x0A""",
     "#l info linija: number=3 text=Hvala  cs=C4",
     "\x1B""P#lB0\x1B""\\",
     "#l info linija  cs=B0 ok  code=0 Operacija je uspesna"},
    {"#e",
     "#e kraj info stampe  cs=B9",
     "\x1B""P#eB9\x1B""\\",
     "#e kraj info stampe  cs=B9 ok  code=0 Operacija je uspesna"},
    {"#q1\x1F""Ukupno 30.85\x0A""",
     "#q tekst na displeju: line=1 text=\"Ukupno 30.85\"  cs=B3",
     "\x1B""P#qAD\x1B""\\",
     "#q tekst na displeju  cs=AD ok  code=0 Operacija je uspesna"},
    {"#n0\x1F""FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\x0A""",
     "#n red logotipa: row=0 hex=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF  cs=97",
     "\x1B""P#nB2\x1B""\\",
     "#n red logotipa  cs=B2 ok  code=0 Operacija je uspesna"},
    {"#g100\x1F""45\x1F""0\x1F""",
     "#g cuvanje logotipa: rowCount=100 rowBytes=45 reserved=0  cs=A4",
     "\x1B""P#gBB\x1B""\\",
     "#g cuvanje logotipa  cs=BB ok  code=0 Operacija je uspesna"},
    {"$q2\x1F""",
     "$q citanje memorije: area=2  cs=87",
     "\x1B""P$Q2\x1F""1024A0\x1B""\\",
     "$Q citanje memorije: area=2 size=1024  cs=A0 ok  code=0 Operacija je uspesna"},
    };
    return exchanges;
}

TEST(TrafficDecoder, EveryCommandRequestAndReply)
{
    ECRTrafficDecoder decoder;
    for (const Exchange& exchange : Exchanges()) {
        const std::string request = Decode(decoder, Direction::ToRegister, exchange.request);
        EXPECT_EQ(request, "      12 ms  PC -> ECR  " + exchange.requestText);
        const std::string reply = Decode(decoder, Direction::FromRegister, exchange.replyFrame);
        EXPECT_EQ(reply, "      12 ms  ECR -> PC  " + exchange.replyText);
    }
}

// A capture of both ways, framed, with nothing saying which way a frame
// went: echo replies ("#r" answering "#r") must still be told from requests.
TEST(TrafficDecoder, RawCaptureOfEveryCommandTellsRequestsFromReplies)
{
    std::string capture;
    std::vector<std::string> expected;
    for (const Exchange& exchange : Exchanges()) {
        const std::string code = exchange.requestText.substr(0, exchange.requestText.rfind("  cs="));
        const std::string checksum = exchange.requestText.substr(exchange.requestText.rfind("  cs=") + 5);
        capture += "\x1B" "P" + exchange.request + checksum + "\x1B\\";
        expected.push_back("PC -> ECR  " + code + "  cs=" + checksum + " ok");
        capture += exchange.replyFrame;
        expected.push_back("ECR -> PC  " + exchange.replyText);
    }
    EXPECT_EQ(ECRCapture::Decode(capture), expected);
}

TEST(TrafficDecoder, FaultsAreNamedWithTheirReason)
{
    struct Case {
        Direction direction;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {Direction::FromRegister, "", "empty read"},
        {Direction::FromRegister, "\x06", "status 06 ready"},
        {Direction::FromRegister, "\xC0", "status C0 busy"},
        {Direction::FromRegister, "\xC0\xC0\xC1", "status C0-C0-C1 busy x3"},
        {Direction::FromRegister, "\x41", "status 41 not busy"},
        {Direction::ToRegister, "\x05", "ENQ status poll"},
        {Direction::ToRegister, "\x06", "ACK"},
        {Direction::ToRegister, "\x15", "NAK"},
        {Direction::Note, "Exception", "reply did not answer its command (Exception)"},
        // Checksum digits wrong (the simulator's fault: the right ones XOR 0x5A).
        {Direction::FromRegister, "\x1B" "P$C26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F" "D2\x1B\\",
         "$C citanje sata: clock=2026-03-15 09:41  cs=D2 bad, expected 88"},
        {Direction::FromRegister, "\x1B" "P$C26\x1F" "3\x1F",
         "unparsable: truncated frame, no ESC \\ at its end: 1B-50-24-43-32-36-1F-33-1F-"},
        {Direction::FromRegister, "\x1B" "PF\\", "unparsable: frame too short for a checksum: 1B-50-46-5C-"},
        {Direction::FromRegister, "\xC0\xC0\x1B" "P#wAB\x1B\\",
         "after 2 busy status bytes: #w presek stanja  cs=AB ok  code=0 Operacija je uspesna"},
        {Direction::FromRegister, "AB\x1B" "P#wAB\x1B\\",
         "2 stray bytes before the frame (41-42-): #w presek stanja  cs=AB ok  code=0 Operacija je uspesna"},
        {Direction::FromRegister, "\x1B" "P#wD3\x1B" "X",
         "unparsable: truncated frame, no ESC \\ at its end: 1B-50-23-77-44-33-1B-58-"},
        {Direction::FromRegister, "\x1B" "P#wABX\\",
         "#w presek stanja  cs=AB ok (closed by 58-5C- instead of ESC \\)  code=0 Operacija je uspesna"},
        {Direction::FromRegister, "\x1B" "P#Zr\n12\x1F" "E2\x1B\\",
         "#Z device error  cs=E2 ok  code=12 Nema papira (trake)"},
        {Direction::FromRegister, "\x1B" "P#Zr\n12\x1F" "00\x1B\\",
         "#Z device error  cs=00 bad, expected E2  code=12 Nema papira (trake)"},
        {Direction::FromRegister, "\x1B" "P#Zr\n17\x1F" "E7\x1B\\", "#Z device error  cs=E7 ok  code=17 ???"},
        {Direction::FromRegister, "\x1B" "P#Zr\n\x1F" "E1\x1B\\",
         "#Z device error [unparsable: no device code after LF; data 72-0A-1F-]  cs=E1 ok"},
        {Direction::FromRegister, "\x1B" "P!xA6\x1B\\",
         "unparsable: reply class 21 is none of # $ * %: 21-78-  cs=A6 ok"},
        {Direction::FromRegister, "\x1B" "P$Q8A\x1B\\",
         "$Q citanje memorije: [unparsable: area missing; no data]  cs=8A ok  code=0 Operacija je uspesna"},
        {Direction::FromRegister, "\x1B" "P$E\x81" "1F\x1B\\",
         "$E (unknown command): data=\\x81  cs=1F ok  code=0 Operacija je uspesna"},
        {Direction::ToRegister, "$", "unparsable: request shorter than its command code: 24-  cs=DB"},
        {Direction::ToRegister, "!!abc", "!! (unknown command): data 61-62-63-  cs=9F"},
        {Direction::ToRegister, "#dSok",
         "#d brisanje artikla: [unparsable: name not ended by LF; data 53-6F-6B-]  cs=EF"},
        {Direction::ToRegister, "#t1\x1F" "2\x1F",
         "#t pomeranje sata: direction=1 [unparsable: extra bytes after the fields; data 31-1F-32-1F-]  cs=AB"},
        {Direction::ToRegister, "#rSok\n12x\t2\x1F" "1\x1F",
         "#r zapis artikla: name=Sok [unparsable: price is not a number: 12x; data 53-6F-6B-0A-31-32-78-09-32-1F-31-1F-]  cs=82"},
        // Windows-1250 letters read as themselves; control bytes inside a text are shown escaped.
        {Direction::ToRegister, "#d\xC8" "evap\n", "#d brisanje artikla: name=\xC4\x8C" "evap  cs=78"},
        {Direction::ToRegister, "#dA\x1B" "B\n", "#d brisanje artikla: name=A\\x1BB  cs=AA"},
        {Direction::Unknown, "zz", "unparsable: bytes outside a frame: 7A-7A-"},
    };
    for (const Case& c : cases) {
        ECRTrafficDecoder decoder;
        EXPECT_EQ(Text(Decode(decoder, c.direction, c.bytes)), c.text) << c.bytes;
    }
}

TEST(TrafficDecoder, ReplyIsReadByTheRequestItAnswers)
{
    ECRTrafficDecoder decoder;
    // "$y" and "$q" replies have two forms; the request does not decide, the data does.
    Decode(decoder, Direction::ToRegister, "$q1\x1F" "128\x1F" "256\t");
    EXPECT_EQ(Text(Decode(decoder, Direction::FromRegister, "\x1B" "P$Q1\x1F" "256\t00FF9C\x1B\\")),
              "$Q citanje memorije: area=1 offset=256 hex=00FF  cs=9C ok  code=0 Operacija je uspesna");
    // A refusal names the command it answers.
    Decode(decoder, Direction::ToRegister, "#rSok\n0\t2\x1F" "1\x1F");
    EXPECT_EQ(Text(Decode(decoder, Direction::FromRegister, "\x1B" "P#Zr\n114\x1F" "D5\x1B\\")),
              "#Z zapis artikla  cs=D5 ok  code=114 Neispravna cena (nula ili prevelika)");
    // A reply for another command, as the simulator's wrong-letter fault sends it.
    Decode(decoder, Direction::ToRegister, "$c");
    EXPECT_EQ(Text(Decode(decoder, Direction::FromRegister, "\x1B" "P$W26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F" "9C\x1B\\")),
              "$W (unknown command): data=26\\x1F3\\x1F15\\x1F9\\x1F41\\x1F  (does not answer $c)  cs=9C ok");
}

TEST(TrafficDecoder, FrameWhoseEscAnsweredTheStatusPollIsJoinedToItsRest)
{
    // After a slow reply the engine polls with ENQ; the frame's ESC comes as
    // the answer, in a read of its own, and the rest in the next read.
    ECRTrafficDecoder decoder;
    Decode(decoder, Direction::ToRegister, "#w");
    EXPECT_EQ(Text(Decode(decoder, Direction::FromRegister, "\x1B")), "status 1B: ESC, a reply frame begins");
    EXPECT_EQ(Text(Decode(decoder, Direction::FromRegister, "P#wAB\x1B\\")),
              "#w presek stanja  cs=AB ok  code=0 Operacija je uspesna  (ESC read as the status byte)");
}

TEST(TrafficDecoder, PrefixReadsBack)
{
    struct Case {
        std::int64_t ms;
        std::string_view tag;
    };
    const Case cases[] = {{0, ECRTrafficDecoder::kToRegisterTag},
                          {123456789012, ECRTrafficDecoder::kFromRegisterTag},
                          {7, ECRTrafficDecoder::kNoteTag},
                          {-1, ECRTrafficDecoder::kUnknownTag},
                          {99, ECRTrafficDecoder::kMessageTag}};
    for (const Case& c : cases) {
        const std::string line = ECRTrafficDecoder::Prefix(c.ms, c.tag) + "  x y";
        std::int64_t ms = 0;
        std::string tag;
        std::string_view rest;
        ASSERT_TRUE(ECRTrafficDecoder::ParsePrefix(line, ms, tag, rest)) << line;
        EXPECT_EQ(ms, c.ms);
        EXPECT_EQ(tag, c.tag);
        EXPECT_EQ(rest, "  x y");
    }
    std::int64_t ms = 0;
    std::string tag;
    std::string_view rest;
    EXPECT_FALSE(ECRTrafficDecoder::ParsePrefix("      12 ms  notebook", ms, tag, rest));
    EXPECT_FALSE(ECRTrafficDecoder::ParsePrefix("12 s  PC -> ECR  x", ms, tag, rest));
}

TEST(TrafficDecoder, RandomBytesNeverThrowAndGiveOneLineEach)
{
    std::mt19937 random(20260315);
    const Direction directions[] = {Direction::ToRegister, Direction::FromRegister, Direction::Note,
                                    Direction::Unknown};
    // Bytes the protocol gives meaning to come often, so that frames and fields form.
    static const char kAlphabet[] = "\x1B" "P\\\x05\x06\x15\x1F\x0A\x09\xC0\xFF#$*%ZzrvcCq0123456789AF";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    ECRTrafficDecoder decoder;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) {
            c = random() % 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
        }
        if (random() % 4 == 0) {
            bytes = "\x1B" "P" + bytes + "\x1B\\";
        }
        std::string line;
        ASSERT_NO_THROW(line = Decode(decoder, directions[random() % 4], bytes)) << round;
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;

        // As a raw capture: one line per piece, and the pieces are the whole capture.
        const std::vector<std::string> pieces = ECRCapture::SplitRaw(bytes);
        std::string joined;
        for (const std::string& piece : pieces) {
            joined += piece;
        }
        ASSERT_EQ(joined, bytes);
        if (ECRCapture::Detect(bytes) == ECRCapture::Form::Raw) {
            ASSERT_EQ(ECRCapture::Decode(bytes).size(), pieces.size());
        }
    }
}

}  // namespace
