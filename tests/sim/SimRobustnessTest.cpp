#include "SimTestSupport.h"

#include <cstdio>
#include <optional>
#include <random>
#include <vector>

// The simulated register fed thousands of random, mutated, cut and oversized
// request frames, noise and ENQ bytes, split at random points, on a clock
// that jumps about. Whatever comes in, what goes out must be status bytes and
// whole frames with a right checksum that the client could check against the
// request they answer, one reply per request, and nothing left pending for ever.
namespace {
constexpr char kEsc = 0x1B;
constexpr char kEnqByte = 0x05;

// Worked out here, apart from the simulator's own code.
std::string Digits(const std::string& payload)
{
    unsigned char sum = 0xFF;
    for (const char c : payload) {
        sum ^= static_cast<unsigned char>(c);
    }
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(sum));
    return digits;
}

std::string Wrap(const std::string& payload)
{
    return std::string{kEsc, 'P'} + payload + Digits(payload) + std::string{kEsc, '\\'};
}

class RequestSource {
public:
    explicit RequestSource(std::uint32_t seed) : m_random(seed) {}

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    std::mt19937& Random() { return m_random; }

    // A number field: mostly sensible, sometimes out of range or not a number at all.
    std::string Number(int low, int high)
    {
        switch (Int(0, 9)) {
        case 0: return std::to_string(Int(-100000, 100000)) + std::to_string(Int(0, 999999999));
        case 1: return "";
        case 2: return "-" + std::to_string(Int(0, 99));
        case 3: return Text(4);
        default: return std::to_string(Int(low, high));
        }
    }

    // A text field: mostly printable, sometimes any byte at all, the terminators included.
    std::string Text(int maxLength)
    {
        static const std::vector<std::string> kNames{"Mleko", "Hleb", "Sir", "A", "ART0001", ""};
        if (Chance(40)) {
            return kNames[static_cast<std::size_t>(Int(0, static_cast<int>(kNames.size()) - 1))];
        }
        std::string text;
        const int length = Int(0, maxLength);
        const bool anyByte = Chance(20);
        for (int i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(anyByte ? Int(0, 255) : Int(0x20, 0x7E)));
        }
        return text;
    }

    std::string Hex(int length)
    {
        static const char kHex[] = "0123456789ABCDEFabcdefG";
        std::string hex;
        for (int i = 0; i < length; ++i) {
            hex.push_back(kHex[Int(0, Chance(95) ? 21 : 22)]);
        }
        return hex;
    }

    std::string DateTime(bool withTime)
    {
        std::string fields = Number(0, 99) + "\x1F" + Number(0, 13) + "\x1F" + Number(0, 32) + "\x1F";
        if (withTime) {
            fields += Number(0, 24) + "\x1F" + Number(0, 60) + "\x1F";
        }
        return fields;
    }

    // A request payload of one of the register's commands, or of none.
    std::string Payload()
    {
        std::string p;
        switch (Int(0, 33)) {
        case 0: return "$v";
        case 1: return "$c";
        case 2: return "$h";
        case 3: return "$t";
        case 4: return "$i";
        case 5: return "%a";
        case 6: return "#w";
        case 7: return "#e";
        case 8: return "*u";
        case 9: return "*x";
        case 10:
            p = "#v" + DateTime(true);
            for (int i = 0; i < 9; ++i) p += Number(0, 10000) + "\t";
            return p;
        case 11: return "#c" + DateTime(true);
        case 12: return "#t" + Number(0, 2) + "\x1F";
        case 13: return "#z" + DateTime(true);
        case 14: return "#o" + Number(0, 1) + "\x1F" + DateTime(false) + DateTime(false);
        case 15: return "#u" + Text(20) + "\n";
        case 16: return "#k" + DateTime(true) + (Chance(50) ? "123456789" : Text(10)) + "\n";
        case 17:
            p = "#h";
            for (int i = 0; i < 5; ++i) p += Text(40) + "\n";
            for (int i = 0; i < 5; ++i) p += Number(0, 1) + "\x1F";
            return p;
        case 18:
            p = "#i";
            for (int i = 0; i < 7; ++i) p += Text(40) + "\n";
            for (int i = 0; i < 7; ++i) p += Number(0, 1) + "\x1F";
            return p;
        case 19: return "#d" + Text(10) + "\n";
        case 20: return "#r" + Text(40) + "\n" + Number(1, 100000) + "\t" + Number(0, 9) + "\x1F" + Number(0, 10) + "\x1F";
        case 21: return "$o" + Text(10) + "\n" + Number(0, 4) + "\x1F";
        case 22: return "*t" + Text(20) + "\n" + Text(20) + "\n";
        case 23:
            return "*l" + Text(40) + "\n" + Number(1, 100000) + "\t" + Number(1, 10000) + "\t" + Number(0, 9) + "\x1F" +
                   Number(0, 10) + "\x1F";
        case 24: return "*s" + Text(10) + "\n" + Number(1, 100000) + "\t" + Number(1, 10000) + "\t";
        case 25: return "*e" + Number(0, 200000) + "\t" + Number(0, 1000) + "\t" + Number(0, 1000) + "\t";
        case 26: return "$y" + Number(0, 3) + "\x1F";
        case 27: return "#y" + Number(0, 3) + "\x1F" + Number(0, 1) + "\x1F";
        case 28: return "#l" + Number(0, 100) + "\x1F" + Text(40) + "\n";
        case 29: return "#q" + Number(0, 3) + "\x1F" + (Chance(80) ? Text(25) + "\n" : std::string());
        case 30: return "#n" + Number(0, 157) + "\x1F" + Hex(Chance(90) ? 90 : Int(0, 100)) + "\n";
        case 31: return "#g" + Number(0, 157) + "\x1F" + Number(44, 46) + "\x1F" + Number(0, 1) + "\x1F";
        case 32:
            return "$q" + Number(0, 4) + "\x1F" +
                   (Chance(70) ? Number(0, 129) + "\x1F" + Number(0, 70000) + "\t" : std::string());
        default: return Text(8);  // an unknown command, or a payload too short to hold one
        }
    }

    // What the client side puts on the line next.
    std::string Chunk()
    {
        const int kind = Int(0, 99);
        if (kind < 45) {
            return Wrap(Payload());
        }
        if (kind < 65) {
            return Mutate(Wrap(Payload()));
        }
        if (kind < 75) {
            return std::string(static_cast<std::size_t>(Int(1, 3)), kEnqByte);
        }
        if (kind < 82) {
            std::string noise = Text(12);
            if (Chance(30)) noise.push_back(kEsc);
            return noise;
        }
        if (kind < 90) {
            const std::string frame = Wrap(Payload());
            return frame.substr(0, static_cast<std::size_t>(Int(0, static_cast<int>(frame.size()) - 1)));
        }
        if (kind < 95) {
            // Lower-case checksum digits.
            std::string frame = Wrap("$v");
            frame[4] = 'a';
            frame[5] = 'd';
            return frame;
        }
        // A frame around the size limit or far beyond it, ENQ and frame-like bytes inside.
        std::string body(static_cast<std::size_t>(Chance(50) ? Int(8180, 8200) : Int(9000, 40000)), 'x');
        for (int i = 0; i < 20; ++i) {
            body[static_cast<std::size_t>(Int(0, static_cast<int>(body.size()) - 1))] = Chance(50) ? kEnqByte : kEsc;
        }
        return std::string{kEsc, 'P'} + body + Digits(body) + std::string{kEsc, '\\'};
    }

private:
    std::string Mutate(std::string frame)
    {
        const int edits = Int(1, 4);
        for (int i = 0; i < edits && !frame.empty(); ++i) {
            const auto at = static_cast<std::size_t>(Int(0, static_cast<int>(frame.size()) - 1));
            const char byte = static_cast<char>(Chance(30) ? "\x1B\\P\x05\x00\n\t\x1F"[Int(0, 7)] : Int(0, 255));
            switch (Int(0, 3)) {
            case 0: frame[at] = byte; break;
            case 1: frame.insert(at, 1, byte); break;
            case 2: frame.erase(at, 1); break;
            default: frame.insert(at, frame.substr(0, static_cast<std::size_t>(Int(0, 12)))); break;
            }
        }
        return frame;
    }

    std::mt19937 m_random;
};

// Splits the register's output into status bytes and reply frames; a byte
// that is neither fails the test. A frame still on its way stays in pending.
struct Output {
    std::string pending;
    std::vector<std::string> payloads;
    std::size_t statusBytes = 0;
};

void Parse(const std::string& bytes, Output& out)
{
    out.pending += bytes;
    const std::string& line = out.pending;
    std::size_t i = 0;
    while (i < line.size()) {
        const char byte = line[i];
        if (byte == 0x06 || byte == static_cast<char>(0xC0)) {
            ++out.statusBytes;
            ++i;
            continue;
        }
        ASSERT_EQ(byte, kEsc) << "stray byte";
        if (i + 1 == line.size()) {
            break;
        }
        ASSERT_EQ(line[i + 1], 'P');
        // The client reads up to the first backslash: the frame must end there.
        const std::size_t closer = line.find('\\', i + 2);
        if (closer == std::string::npos) {
            break;
        }
        ASSERT_GE(closer, i + 6);
        ASSERT_EQ(line[closer - 1], kEsc);
        const std::string payload = line.substr(i + 2, closer - 3 - (i + 2));
        EXPECT_EQ(line.substr(closer - 3, 2), Digits(payload)) << payload;
        EXPECT_EQ(payload.find('\0'), std::string::npos) << "a zero byte, which the client cannot hold";
        out.payloads.push_back(payload);
        i = closer + 1;
    }
    out.pending.erase(0, i);
}

// The reply passes the client's reply check for the request it answers.
void ExpectAnswers(const std::string& request, const std::string& reply)
{
    ASSERT_GE(reply.size(), 2u) << "reply to " << request;
    if (reply.compare(0, 2, "#Z") == 0) {
        ASSERT_GE(reply.size(), 6u);
        const char echo = reply[2];
        // Either byte of the command; '?' only when neither could travel in a reply.
        const auto usable = [&request](std::size_t i) {
            return i < request.size() && request[i] != '\0' && request[i] != '\\';
        };
        const bool echoes = (usable(0) && echo == request[0]) || (usable(1) && echo == request[1]);
        EXPECT_TRUE(echoes || (echo == '?' && !usable(0) && !usable(1))) << "echo of " << request;
        EXPECT_EQ(reply[3], '\n');
        EXPECT_EQ(reply.back(), '\x1F');
        const std::string code = reply.substr(4, reply.size() - 5);
        EXPECT_FALSE(code.empty());
        EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << code;
        return;
    }
    ASSERT_GE(request.size(), 2u) << "accepted a request without a command: " << reply;
    EXPECT_EQ(reply[0], request[0]);
    const bool upper = request[0] == '$' || request[0] == '%';
    EXPECT_EQ(reply[1], upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(request[1]))) : request[1]);
}

class SimulatorRobustness : public SimulatorTest, public ::testing::WithParamInterface<std::uint32_t> {};
}  // namespace

TEST_P(SimulatorRobustness, RandomInputGivesOnlyStatusBytesAndCheckableReplies)
{
    RequestSource source(GetParam());
    // Faults that keep the output well formed: delays, busy time, pacing, status bytes, paper.
    SimFaults faults;
    faults.replyDelayMs = source.Chance(50) ? source.Int(0, 300) : 0;
    faults.busyMs = source.Chance(30) ? source.Int(0, 2000) : 0;
    faults.baudRate = source.Chance(30) ? 9600 : 0;
    faults.statusBytesBeforeReply = source.Chance(30) ? source.Int(1, 3) : 0;
    faults.paperOut = source.Chance(20);
    sim.SetFaults(faults);
    sim.SetPrintMilliseconds(source.Chance(50) ? source.Int(0, 4000) : 0);

    Output out;
    std::string line;
    for (int step = 0; step < 3000; ++step) {
        line += source.Chunk();
        // Handed over in pieces of random size, as reads off a serial line come.
        while (!line.empty() && (source.Chance(80) || line.size() > 4096)) {
            const auto cut = static_cast<std::size_t>(source.Int(1, static_cast<int>(line.size())));
            sim.Receive(std::string_view(line).substr(0, cut));
            line.erase(0, cut);
        }
        Advance(source.Chance(10) ? source.Int(0, 5) * kSecond : source.Int(0, 20000));
        Parse(sim.TakeOutput(), out);
        ASSERT_FALSE(HasFatalFailure()) << "seed " << GetParam() << " step " << step;
    }
    // Close a frame left open so that the last request is answered too, then
    // let the clock run until nothing is pending.
    sim.Receive(std::string{kEsc, '\\'});
    Advance(3600 * kSecond);
    Parse(sim.TakeOutput(), out);
    EXPECT_FALSE(sim.NextOutputTime().has_value());
    EXPECT_TRUE(out.pending.empty());

    const std::vector<std::string>& requests = sim.Requests();
    ASSERT_EQ(out.payloads.size(), requests.size()) << "one reply per request frame";
    for (std::size_t i = 0; i < requests.size(); ++i) {
        ExpectAnswers(requests[i], out.payloads[i]);
        ASSERT_FALSE(HasFatalFailure()) << "seed " << GetParam() << " request " << i;
    }
    EXPECT_GT(requests.size(), 1000u);
    EXPECT_GT(out.statusBytes, 100u);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SimulatorRobustness, ::testing::Values(1u, 2u, 3u, 20260315u));
