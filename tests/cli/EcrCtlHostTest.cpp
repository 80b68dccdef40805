// ecrctl ports and doctor, looking at a /dev, /sys and /proc tree laid out
// by the test, and doctor on real lines: the simulated register on a
// pseudo-terminal, and a pseudo-terminal nobody answers on.
#include "../articles/TempFolder.h"
#include "EcrCtlFixture.h"
#include "JsonReader.h"
#include "cli/EcrCtl.h"
#include "cli/LinkDoctor.h"
#include "ecr/protocol/ECREngine.h"
#include "sim/SimulatorHost.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const char* const kUsbPort = "devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0";

// A machine with a USB adapter held open by minicom, an Arduino, three 8250
// ports of which one has no UART, and both services that grab adapters.
class FakeHost {
public:
    FakeHost()
    {
        for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyUSB0", "ttyACM0", "tty", "ttyS", "null"})
            File("dev/" + std::string(name), "");
        Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
        Link("dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", "../../ttyUSB0");

        Usb("sys/devices/pci0000:00/0000:00:14.0/usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        fs::create_directories(Path(std::string("sys/") + kUsbPort));
        fs::create_directories(Path("sys/bus/usb-serial/drivers/ftdi_sio"));
        Link(std::string("sys/") + kUsbPort + "/driver", "../../../../../../../bus/usb-serial/drivers/ftdi_sio");
        Link("sys/class/tty/ttyUSB0/device", std::string("../../../") + kUsbPort);

        Usb("sys/devices/pci0000:00/0000:00:14.0/usb1/1-3", "2341", "0043", "Arduino", "Uno", nullptr);
        fs::create_directories(Path("sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0"));
        Link("sys/class/tty/ttyACM0/device", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0");

        for (const char* port : {"ttyS0", "ttyS1", "ttyS2", "ttyS10"})
            File("sys/class/tty/" + std::string(port) + "/type", std::string(port) == "ttyS1" ? "0\n" : "4\n");

        Process(4242001, "minicom", {Path("dev/ttyUSB0"), "/dev/pts/0"});
        Process(4242002, "ModemManager", {});
        File("proc/4242003/comm", "brltty\n");  // another user's: no readable fd folder
        File("proc/self/comm", "ecrctl\n");
        File("etc/group", "root:x:0:\ndialout:x:20:ana,marko\n");
    }

    std::string Path(const std::string& relative) const { return folder.File(relative); }

    // The root options that point ports and doctor here.
    std::vector<std::string> Roots(bool withProcesses = true) const
    {
        return RootsWith(withProcesses ? "proc" : "noproc");
    }
    // With the processes of another /proc tree of this one.
    std::vector<std::string> RootsWith(const std::string& proc) const
    {
        return {"--dev-root",  Path("dev"), "--sys-root",   Path("sys"),
                "--proc-root", Path(proc),  "--group-file", Path("etc/group")};
    }

    void Link(const std::string& relative, const std::string& target) const
    {
        fs::create_directories(fs::path(Path(relative)).parent_path());
        fs::create_symlink(target, Path(relative));
    }
    void Process(int pid, const std::string& name, const std::vector<std::string>& open,
                 const std::string& proc = "proc") const
    {
        const std::string dir = proc + "/" + std::to_string(pid);
        File(dir + "/comm", name + "\n");
        fs::create_directories(Path(dir + "/fd"));
        for (std::size_t i = 0; i < open.size(); ++i)
            Link(dir + "/fd/" + std::to_string(i + 3), open[i]);
    }

private:
    void File(const std::string& relative, const std::string& content) const
    {
        fs::create_directories(fs::path(Path(relative)).parent_path());
        folder.Write(relative, content);
    }
    void Usb(const std::string& device, const char* vendor, const char* product, const char* maker, const char* name,
             const char* serial) const
    {
        File(device + "/idVendor", std::string(vendor) + "\n");
        File(device + "/idProduct", std::string(product) + "\n");
        File(device + "/manufacturer", std::string(maker) + "\n");
        File(device + "/product", std::string(name) + "\n");
        if (serial != nullptr)
            File(device + "/serial", std::string(serial) + "\n");
    }
    TempFolder folder;
};

class EcrCtlHost : public testing::Test {
protected:
    void SetUp() override
    {
        for (int port = 1; port <= 8; ++port)
            unsetenv(("ECR_COM" + std::to_string(port)).c_str());
    }
    void TearDown() override { unsetenv("ECR_COM1"); }

    static std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail)
    {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    }

    FakeHost tree;
};

std::vector<std::string> Texts(const Json& findings)
{
    std::vector<std::string> texts;
    for (const Json& finding : findings.items)
        texts.push_back((finding["ok"].boolean ? "ok: " : "problem: ") + finding["text"].text);
    return texts;
}

}  // namespace

TEST_F(EcrCtlHost, PortsListsDevicesWithTheirIdentityLinksAndHolders)
{
    setenv("ECR_COM1", tree.Path("dev/ttyUSB0").c_str(), 1);
    const auto outcome = RunEcrCtl(Args({"--json", "ports"}, tree.Roots()));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Json doc = Json::Parse(outcome.out);

    std::vector<std::string> paths;
    for (const Json& device : doc["devices"].items)
        paths.push_back(device["path"].text);
    EXPECT_EQ(paths,
              (std::vector<std::string>{tree.Path("dev/ttyACM0"), tree.Path("dev/ttyS0"), tree.Path("dev/ttyS1"),
                                        tree.Path("dev/ttyS2"), tree.Path("dev/ttyS10"), tree.Path("dev/ttyUSB0")}));
    const Json& usb = doc["devices"].items[5];
    EXPECT_EQ(usb["driver"].text, "ftdi_sio");
    EXPECT_EQ(usb["usb"]["vendorId"].text, "0403");
    EXPECT_EQ(usb["usb"]["productId"].text, "6001");
    EXPECT_EQ(usb["usb"]["product"].text, "FT232R USB UART");
    EXPECT_EQ(usb["usb"]["serial"].text, "A50285BI");
    ASSERT_EQ(usb["links"].items.size(), 2U);
    EXPECT_EQ(usb["links"].items[0].text, tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    ASSERT_EQ(usb["openBy"].items.size(), 1U);
    EXPECT_EQ(usb["openBy"].items[0]["pid"].number, 4242001);
    EXPECT_EQ(usb["openBy"].items[0]["name"].text, "minicom");

    const Json& acm = doc["devices"].items[0];
    EXPECT_EQ(acm["usb"]["manufacturer"].text, "Arduino");
    EXPECT_EQ(acm["usb"]["serial"].text, "") << "an adapter without a serial number";
    EXPECT_FALSE(doc["devices"].items[2]["hardware"].boolean) << "ttyS1 has no UART";
    EXPECT_TRUE(doc["devices"].items[1]["hardware"].boolean);
    EXPECT_FALSE(doc["devices"].items[1].Has("usb"));
    EXPECT_EQ(doc["unreadableProcesses"].number, 1);

    const auto& com = doc["comPorts"].items;
    ASSERT_EQ(com.size(), 8U);
    EXPECT_EQ(com[0]["path"].text, tree.Path("dev/ttyUSB0"));
    EXPECT_EQ(com[0]["from"].text, "ECR_COM1");
    EXPECT_TRUE(com[0]["exists"].boolean);
    EXPECT_EQ(com[1]["path"].text, tree.Path("dev/ttyS1")) << "the default, in the tree";
    EXPECT_EQ(com[1]["from"].text, "default");
    EXPECT_TRUE(com[1]["exists"].boolean);
    EXPECT_FALSE(com[3]["exists"].boolean) << "no ttyS3";
}

TEST_F(EcrCtlHost, PortsAsTextSaysWhoHoldsWhat)
{
    const auto outcome = RunEcrCtl(Args({"ports"}, tree.Roots()));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    for (const std::string& line :
         {tree.Path("dev/ttyUSB0") + "  USB 0403:6001 FTDI FT232R USB UART, serial A50285BI  (ftdi_sio)\n  " +
              tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0") + "\n",
          std::string("  open by 4242001 (minicom)\n"), std::string("no UART behind: ttyS1\n"),
          "COM4 -> " + tree.Path("dev/ttyS3") + "  (missing)\n"})
        EXPECT_NE(outcome.out.find(line), std::string::npos) << line << "\nin\n" << outcome.out;
}

TEST_F(EcrCtlHost, DoctorNamesEveryProblemWithWhatToDo)
{
    const auto outcome = RunEcrCtl(Args({"--json", "doctor", "--port", tree.Path("dev/ttyUSB0")}, tree.Roots()));
    EXPECT_EQ(outcome.exitCode, 3);
    const Json doc = Json::Parse(outcome.out);
    const std::string device = tree.Path("dev/ttyUSB0");
    EXPECT_EQ(Texts(doc["findings"]),
              (std::vector<std::string>{
                  "ok: " + device + " is a USB adapter 0403:6001 FTDI FT232R USB UART",
                  "problem: " + device + " opens, but it is not a serial line",
                  "problem: " + device +
                      " is open in process 4242001 (minicom); two programs on one line spoil each other's answers",
                  "problem: ModemManager runs (PID 4242002): it probes new serial adapters for modems, holding the "
                  "port and sending it AT commands for some seconds",
                  "problem: brltty runs (PID 4242003): it takes some USB serial adapters (CH341, CP210x, FTDI) for "
                  "braille displays, and their ttyUSB device disappears"}));
    EXPECT_EQ(doc["findings"].items[2]["advice"].text, "close minicom, or end it: kill 4242001");
    EXPECT_EQ(doc["answeredAt"].kind, Json::Kind::Null) << "no enquiry on a line that is not usable";
}

TEST_F(EcrCtlHost, DoctorFollowsComNamesIntoTheTreeAndReportsMissingDevices)
{
    const auto com1 = RunEcrCtl(Args({"--port", "COM1", "doctor"}, tree.Roots(false)));
    EXPECT_EQ(com1.exitCode, 3);
    EXPECT_NE(com1.out.find("ok: COM1 leads to " + tree.Path("dev/ttyS0")), std::string::npos) << com1.out;
    EXPECT_NE(com1.out.find("ok: neither ModemManager nor brltty runs"), std::string::npos) << com1.out;

    const auto missing = RunEcrCtl(Args({"doctor", "--port", "COM5"}, tree.Roots(false)));
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.out.find("problem: no such device: " + tree.Path("dev/ttyS4") +
                               "\n  what to do: plug the adapter in"),
              std::string::npos)
        << missing.out;

    const auto bad = RunEcrCtl({"doctor", "--port", "LPT1"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(RunEcrCtl({"doctor", "--port", "sim"}).exitCode, 2);
}

TEST_F(EcrCtlHost, DoctorOnAFileItMayNotOpenExplainsThePermission)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens every file";
    const std::string device = tree.Path("dev/ttyS2");
    ASSERT_EQ(::chmod(device.c_str(), 0), 0);
    const auto outcome = RunEcrCtl(Args({"doctor", "--port", device}, tree.Roots(false)));
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_NE(outcome.out.find("problem: no permission to open " + device + " (----------"), std::string::npos)
        << outcome.out;
}

namespace {

struct PermissionCase {
    const char* label;
    const char* user;
    std::vector<unsigned> groups;
    unsigned mode;
    unsigned group;
    const char* text;  // after "no permission to open /dev/ttyUSB0 ("
    const char* advice;
};

void PrintTo(const PermissionCase& c, std::ostream* os)
{
    *os << c.label;
}

class Permission : public testing::TestWithParam<PermissionCase> {};

}  // namespace

TEST_P(Permission, SaysWhyAndWhatWouldLetTheUserIn)
{
    const PermissionCase& c = GetParam();
    FakeHost tree;
    HostPaths paths;
    paths.groupFile = tree.Path("etc/group");
    const LinkDoctor doctor(paths, LinkDoctor::Identity{1000, c.groups, c.user});
    const LinkDoctor::Finding finding = doctor.ExplainPermission("/dev/ttyUSB0", S_IFCHR | c.mode, 0, c.group);
    EXPECT_TRUE(finding.problem);
    EXPECT_EQ(finding.text, std::string("no permission to open /dev/ttyUSB0 (") + c.text);
    EXPECT_EQ(finding.advice, c.advice);
}

INSTANTIATE_TEST_SUITE_P(
    Users, Permission,
    testing::Values(
        PermissionCase{"not_in_the_group",
                       "petar",
                       {1000},
                       0660,
                       20,
                       "crw-rw----, owner root, group dialout); petar is not in the group dialout",
                       "sudo usermod -aG dialout petar, then log out and in again"},
        PermissionCase{"added_since_the_login",
                       "ana",
                       {1000},
                       0660,
                       20,
                       "crw-rw----, owner root, group dialout); the group file has ana in dialout, but this login "
                       "began before that",
                       "log out and in again (or run: newgrp dialout) so that the group counts"},
        PermissionCase{"group_may_not_write",
                       "ana",
                       {1000, 20},
                       0640,
                       20,
                       "crw-r-----, owner root, group dialout); the group dialout may not read and write it",
                       "a udev rule for the device with MODE=\"0660\" (ask the administrator)"},
        PermissionCase{"owner_only",
                       "petar",
                       {1000},
                       0600,
                       77,
                       "crw-------, owner root, group 77)",
                       "a udev rule for the device with GROUP=\"dialout\", MODE=\"0660\", and the user in dialout (ask "
                       "the administrator)"}),
    [](const testing::TestParamInfo<PermissionCase>& info) { return std::string(info.param.label); });

TEST_F(EcrCtlHost, DoctorFindsTheRegisterOnTheSimulatedLine)
{
    SimulatorHost simulator;
    std::string error;
    ASSERT_TRUE(simulator.Start(&error)) << error;
    const auto outcome =
        RunEcrCtl(Args({"--json", "--baud", "9600", "doctor", "--port", simulator.DevicePath()}, tree.Roots(false)));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
    const Json doc = Json::Parse(outcome.out);
    EXPECT_EQ(doc["answeredAt"].number, 19200);
    const Json& last = doc["findings"].items.back();
    EXPECT_EQ(last["text"].text, "the register answers at 19200 baud (status 0x06, ready)");
    EXPECT_EQ(last["advice"].text, "use --baud 19200 (in the program: Brzina 19200)");
    EXPECT_TRUE(simulator.Requests().empty()) << "an enquiry is no request frame";
}

TEST_F(EcrCtlHost, DoctorOnASilentLineAsksAtBothSpeeds)
{
    const ECREngine::PollLimits previous = ECREngine::DefaultPollLimits();
    ECREngine::PollLimits limits = previous;
    limits.statusTimeoutMs = 100;
    ECREngine::SetDefaultPollLimits(limits);
    PseudoTerminal line(PseudoTerminal::Use::Program);
    const auto outcome = RunEcrCtl(Args({"doctor", "--port", line.SlavePath()}, tree.Roots(false)));
    ECREngine::SetDefaultPollLimits(previous);
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_NE(outcome.out.find("problem: no answer to the status enquiry at 19200 or at 9600 baud\n  what to do: "),
              std::string::npos)
        << outcome.out;
    EXPECT_EQ(line.ReadAll(), "\x05\x05") << "one ENQ at each speed";
    EXPECT_NE(outcome.err.find("the register does not answer on " + line.SlavePath()), std::string::npos);
}

TEST_F(EcrCtlHost, DoctorThroughALinkSeesTheSimulatedRegisterAtItsOtherEndAndEnquires)
{
    SimulatorHost simulator;
    std::string error;
    ASSERT_TRUE(simulator.Start(&error)) << error;
    // The simulated register as another process shows it: holding its end of the line.
    tree.Process(4242100, "ecr-sim", {simulator.DevicePath()}, "simproc");
    const std::string link = tree.Path("kasa");
    tree.Link("kasa", simulator.DevicePath());
    setenv("ECR_COM1", link.c_str(), 1);
    for (const std::string& port : {link, std::string("COM1")}) {
        SCOPED_TRACE(port);
        const auto outcome = RunEcrCtl(Args({"--json", "doctor", "--port", port}, tree.RootsWith("simproc")));
        ASSERT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
        const Json doc = Json::Parse(outcome.out);
        const std::vector<std::string> texts = Texts(doc["findings"]);
        for (const std::string& expected :
             {"ok: " + link + " is a link to " + simulator.DevicePath(),
              "ok: " + simulator.DevicePath() +
                  " is a pseudo-terminal, also open in process 4242100 (ecr-sim), as a rule the program at its other "
                  "end",
              std::string("ok: the register answers at 19200 baud (status 0x06, ready)")})
            EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
        EXPECT_EQ(outcome.out.find("kill"), std::string::npos) << outcome.out;
        EXPECT_EQ(doc["linksTo"].text, simulator.DevicePath());
    }
}

TEST_F(EcrCtlHost, DoctorOnDevicesEveryProgramOpensNamesNoneOfTheirHolders)
{
    tree.Process(4242200, "bash", {"/dev/null", "/dev/ptmx", "/dev/tty"}, "shellproc");
    const struct Case {
        const char* device;
        const char* problem;
    } cases[] = {
        {"/dev/null", " opens, but it is not a serial line"},
        {"/dev/ptmx",
         " is the pseudo-terminal multiplexer: each open makes a new pseudo-terminal with nothing at its other end"},
        {"/dev/tty", " is the terminal of whichever program opens it, not a serial line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        const auto outcome = RunEcrCtl(Args({"--json", "doctor", "--port", c.device}, tree.RootsWith("shellproc")));
        EXPECT_EQ(outcome.exitCode, 3);
        const Json doc = Json::Parse(outcome.out);
        const std::vector<std::string> texts = Texts(doc["findings"]);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), "problem: " + std::string(c.device) + c.problem);
        EXPECT_EQ(outcome.out.find("4242200"), std::string::npos) << "an unrelated holder named:\n" << outcome.out;
        EXPECT_EQ(doc["answeredAt"].kind, Json::Kind::Null);
    }
}

TEST_F(EcrCtlHost, PortsAndDoctorPrintNamesFromTheMachineEscaped)
{
    tree.Process(4242300, "ev\x1B[2J", {tree.Path("dev/ttyUSB0")}, "evilproc");
    tree.Link("dev/serial/by-id/usb-\x1B]0;pwned\x07", "../../ttyUSB0");
    const auto ports = RunEcrCtl(Args({"ports"}, tree.RootsWith("evilproc")));
    ASSERT_EQ(ports.exitCode, 0) << ports.err;
    const auto doctor = RunEcrCtl(Args({"doctor", "--port", tree.Path("dev/ttyUSB0")}, tree.RootsWith("evilproc")));
    for (const auto& [text, line] :
         {std::pair{ports.out, std::string("  open by 4242300 (ev\\x1B[2J)\n")},
          std::pair{ports.out, "  " + tree.Path("dev/serial/by-id/usb-\\x1B]0;pwned\\x07") + "\n"},
          std::pair{doctor.out, "problem: " + tree.Path("dev/ttyUSB0") + " is open in process 4242300 (ev\\x1B[2J)"},
          std::pair{doctor.out, std::string("  what to do: close ev\\x1B[2J, or end it: kill 4242300\n")}}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
        EXPECT_EQ(text.find_first_of("\x1B\x07"), std::string::npos) << text;
    }
    // JSON holds the names as they are, in its own escapes.
    const Json doc = Json::Parse(RunEcrCtl(Args({"--json", "ports"}, tree.RootsWith("evilproc"))).out);
    EXPECT_EQ(doc["devices"].items[5]["openBy"].items[0]["name"].text, "ev\x1B[2J");
}
