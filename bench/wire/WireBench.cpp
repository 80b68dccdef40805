// Wire efficiency: how much of a long operation's wall time the serial line
// itself needs. Each scenario runs against a fresh simulated register paced
// like a real line (10 bits a byte both ways); the wire time is every byte
// that crossed the line, back to back. A bare client's exchanges show what
// the simulated line itself costs beyond the wire. Prints a table of the
// runs' minimum, median and maximum; no pass or fail. Takes minutes a run at
// 19200 baud, so it is run by hand:
//
//     build/bench/wire/bench_wire [--runs 3] [--only generate] [--front thermal]
//
// Each scenario is run by ecrctl and then by the program's windows (where
// the program is built), one after the other, so that both see the same load
// on the machine. The windows need a display, or QT_QPA_PLATFORM=offscreen.

#include "EcrCtlRunner.h"
#include "Ser2netRunner.h"
#ifdef THERMAL_WIRE_GUI
#include "ThermalRunner.h"
#endif
#include "WireTable.h"

#include "ecr/articles/TestArticles.h"
#include "link/TimerSlack.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Other work on the machine delays every wake-up on the line, so the figures
// come with the one-minute load average.
double LoadAverage()
{
    double load = 0;
    return ::getloadavg(&load, 1) == 1 ? load : -1;
}

// "Uvoz<i>" at a price that varies in length, as a real import file's do.
void WriteImportFile(const std::string& path, int articles)
{
    std::ofstream file(path);
    for (int i = 1; i <= articles; ++i) {
        file << "Uvoz" << i << ',' << (i * 37) % 99999 + 1 << ".50,1,0\n";
    }
}

// A 360 x 156 bitmap (binary PBM) of diagonal stripes.
void WritePicture(const std::string& path)
{
    constexpr int kWidth = 360;
    constexpr int kHeight = 156;
    std::ofstream file(path, std::ios::binary);
    file << "P4\n" << kWidth << ' ' << kHeight << '\n';
    for (int y = 0; y < kHeight; ++y) {
        for (int byte = 0; byte < kWidth / 8; ++byte) {
            unsigned char bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (((byte * 8 + bit + y) / 12) % 2 == 0) {
                    bits |= static_cast<unsigned char>(0x80 >> bit);
                }
            }
            file.put(static_cast<char>(bits));
        }
    }
}

// Bytes both ways and request frames since the register started.
WireSample LineCounts(SimulatorHost& host, std::int32_t baud)
{
    WireSample sample;
    host.WithSimulator([&](ECRSimulator& simulator) {
        sample.lineBytes = simulator.BytesReceived() + simulator.BytesSent();
    });
    sample.frames = host.Requests().size();
    sample.wireSeconds = static_cast<double>(sample.lineBytes) * 10 / baud;
    return sample;
}

std::unique_ptr<SimulatorHost> StartRegister(std::int32_t baud)
{
    SimulatorHost::Options options;
    options.baudRate = baud;
    auto host = std::make_unique<SimulatorHost>(options);
    std::string error;
    if (!host->Start(&error)) {
        std::fprintf(stderr, "bench_wire: the simulated register did not start: %s\n", error.c_str());
        std::exit(1);
    }
    return host;
}

bool Measure(WireRunner& runner, const WireScenario& scenario, std::int32_t baud, WireSample& sample)
{
    const std::unique_ptr<SimulatorHost> host = StartRegister(baud);
    if (scenario.operation == WireScenario::Operation::ListArticles) {
        host->WithSimulator([&scenario](ECRSimulator& simulator) {
            for (std::int32_t i = 1; i <= scenario.articles; ++i) {
                const ECRArticle article = TestArticles::Make(i);
                simulator.State().articles.Write(article.name.Data(), article.price, article.taxRate, article.unit);
            }
        });
    }
    WireSpan span([&host, baud] { return LineCounts(*host, baud); });
    std::string error;
    if (!runner.Run(scenario, host->DevicePath(), span, error)) {
        std::fprintf(stderr, "bench_wire: %s, %s: %s\n", runner.Name().c_str(), scenario.label.c_str(), error.c_str());
        return false;
    }
    sample = span.Sample();
    return true;
}

// Exchanges of "$v" by a client that only writes the request and reads the
// reply: the simulated line's own cost, with no client work in it.
WireSample MeasureLineAlone(std::int32_t baud, int exchanges)
{
    const std::unique_ptr<SimulatorHost> host = StartRegister(baud);
    const int fd = ::open(host->DevicePath().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::perror("bench_wire: the simulated register's device");
        std::exit(1);
    }
    termios raw{};
    ::tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    const std::string request = "\x1BP$vAD\x1B\\";
    WireSpan span([&host, baud] { return LineCounts(*host, baud); });
    span.Start();
    for (int i = 0; i < exchanges; ++i) {
        if (::write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
            break;
        }
        char previous = 0;
        char byte = 0;
        pollfd wait{fd, POLLIN, 0};
        while (::poll(&wait, 1, 3000) > 0 && ::read(fd, &byte, 1) == 1 && !(previous == '\x1B' && byte == '\\')) {
            previous = byte;
        }
    }
    span.Stop();
    ::close(fd);
    return span.Sample();
}

}  // namespace

int main(int argc, char** argv)
{
    // As ecrctl's and the program's own main do, before any thread starts: the
    // front ends run here in this process, and their 1 ms flush should last
    // what it lasts in the programs.
    TimerSlack::MakeFine();
    CLI::App app{"Wire efficiency of long operations against the paced simulated register"};
    int runs = 3;
    std::int32_t baud = 19200;
    std::int32_t articles = 2000;
    std::string only;
#ifdef THERMAL_WIRE_GUI
    std::vector<std::string> fronts{"ecrctl", "thermal"};
#else
    std::vector<std::string> fronts{"ecrctl"};
#endif
    app.add_option("--runs", runs, "runs of every row")->check(CLI::PositiveNumber)->capture_default_str();
    app.add_option("--baud", baud, "line speed")->check(CLI::IsMember({9600, 19200}))->capture_default_str();
    app.add_option("--articles", articles, "articles generated, imported and listed")
        ->check(CLI::Range(1, 15000))
        ->capture_default_str();
    app.add_option("--only", only, "only the rows whose name holds this text");
    app.add_option("--front", fronts, "the front ends to run")
        ->check(CLI::IsMember({"ecrctl", "thermal", "ser2net", "ser2net-rfc2217"}))
        ->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    char folderTemplate[] = "/tmp/thermal-wire-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        std::perror("bench_wire: mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = folderTemplate;
    const std::string count = std::to_string(articles);
    using Operation = WireScenario::Operation;
    std::vector<WireScenario> scenarios{
        {"articles generate " + count, Operation::GenerateArticles, articles, "", "", 0},
        {"articles import " + count, Operation::ImportArticles, 0, folder / "uvoz.txt", "", 0},
        {"articles list " + count, Operation::ListArticles, articles, "", folder / "lista.txt", 0},
        {"memory dump area 0 (64 KiB)", Operation::DumpMemory, 0, "", folder / "memorija.bin", 0},
        {"logo upload 360 x 156", Operation::UploadLogo, 0, folder / "logo.pbm", "", 0},
    };
    WriteImportFile(scenarios[1].inputPath, articles);
    WritePicture(scenarios[4].inputPath);

    const auto wanted = [&fronts](const std::string& name) {
        return std::find(fronts.begin(), fronts.end(), name) != fronts.end();
    };
    std::vector<std::unique_ptr<WireRunner>> runners;
    if (wanted("ecrctl")) {
        runners.push_back(std::make_unique<EcrCtlRunner>(baud));
    }
    for (const bool rfc2217 : {false, true}) {
        if (wanted(rfc2217 ? "ser2net-rfc2217" : "ser2net")) {
            runners.push_back(std::make_unique<Ser2netRunner>(baud, rfc2217, folder.string()));
        }
    }
    if (wanted("thermal")) {
#ifdef THERMAL_WIRE_GUI
        runners.push_back(std::make_unique<ThermalRunner>(baud, folder.string()));
#else
        std::fprintf(stderr, "bench_wire: the program's windows are not part of this build\n");
        return 1;
#endif
    }
    const std::string speed = std::to_string(baud) + " baud";
    WireTable lineTable("the simulated line alone, " + speed);
    std::vector<WireTable> tables;
    for (const auto& runner : runners) {
        tables.emplace_back(runner->Name() + " against the simulated register, " + speed);
    }
    constexpr int kLineExchanges = 200;
    const std::string lineRow = "$v x " + std::to_string(kLineExchanges) + ", bare client";

    bool failed = false;
    const double loadBefore = LoadAverage();
    for (int run = 1; run <= runs; ++run) {
        const WireSample line = MeasureLineAlone(baud, kLineExchanges);
        lineTable.Add(lineRow, line);
        std::fprintf(stderr, "run %d/%d  %-40s %8.2f s  %6.2f %%\n", run, runs, lineRow.c_str(), line.wallSeconds,
                     100 * line.Efficiency());
        // Front ends side by side per scenario, so that both meet the same load.
        for (const WireScenario& scenario : scenarios) {
            if (scenario.label.find(only) == std::string::npos) {
                continue;
            }
            for (std::size_t i = 0; i < runners.size(); ++i) {
                // Taking turns at going first, so that neither always meets a warmer or cooler machine.
                const std::size_t r = run % 2 == 1 ? i : runners.size() - 1 - i;
                WireSample sample;
                if (!Measure(*runners[r], scenario, baud, sample)) {
                    failed = true;
                    continue;
                }
                tables[r].Add(scenario.label, sample);
                std::fprintf(stderr, "run %d/%d  %-40s %8.2f s  %6.2f %%  load %.2f\n", run, runs,
                             (runners[r]->Name() + " " + scenario.label).c_str(), sample.wallSeconds,
                             100 * sample.Efficiency(), LoadAverage());
            }
        }
    }
    std::printf("one-minute load average on %ld processors: %.2f before the runs, %.2f after\n",
                ::sysconf(_SC_NPROCESSORS_ONLN), loadBefore, LoadAverage());
    lineTable.Print(stdout);
    for (const WireTable& table : tables) {
        table.Print(stdout);
    }
    std::filesystem::remove_all(folder);
    return failed ? 1 : 0;
}
