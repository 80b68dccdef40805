#pragma once

#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/SerialPort.h"
#include "link/PortAddress.h"
#include "serial/NetworkPort.h"
#include "serial/SerialSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One register, reached: the port opened at an address with its line
// settings, the device on it with its reports, and the log-on. Every front
// end (the main window, each ecrctl run, a batch) makes one; several can live
// in one process, each on its own port and each reporting only its own
// traffic to its own callbacks.
//
//   RegisterLink link;
//   RegisterLink::Reports reports;
//   reports.traffic = [this](ECRString text) { Show(text); };
//   if (link.Open(PortAddress::DevicePath("/dev/ttyUSB0"), RegisterLink::Settings(19200), reports))
//       link.Device()->ReadClock();
//
// The link owns the port and the device; the device goes first. A failed
// attempt keeps its objects (the port closed) until the next Open or Release.
class CommError;

class RegisterLink {
public:
    // Where the link reports; each may be empty. The design's free functions
    // go here as they are; a link among several binds its own state.
    struct Reports {
        ECRTextCallback requests;  // the engine's traffic: requests and "Exception"
        ECRTextCallback reads;     // every read of the port, an empty one too
        ECRTextCallback messages;  // the register's message for every checked reply
        ECRProgressCallback progress;
        ECRWaitCallback awaitingAnswer;
    };

    // The line every front end uses: 8 data bits, no parity, one stop bit,
    // no flow control, DTR off, at the given speed; port number n (0 when
    // the port is named by a path).
    static SerialSettings Settings(int baud, int portNumber = 0);

    // The port for an address, not opened, reporting its reads: the serial
    // port for a COM port or a device path, the network transport for a
    // device server.
    static std::unique_ptr<SerialPort> MakePort(const PortAddress& address, const SerialSettings& settings,
                                                const ECRTextCallback& reads);
    // The network transport MakePort makes for a device server's address
    // (raw TCP or RFC 2217, as the address says), for what needs its own
    // view of the connection (ecrctl doctor). The address must be a network one.
    static std::unique_ptr<NetworkPort> MakeNetworkPort(const PortAddress& address, const SerialSettings& settings,
                                                        const ECRTextCallback& reads);

    RegisterLink() = default;
    ~RegisterLink();
    RegisterLink(const RegisterLink&) = delete;
    RegisterLink& operator=(const RegisterLink&) = delete;

    // Releases the objects of an earlier attempt, opens the port at the
    // address, makes the device on it with the reports and logs on with the
    // status enquiry (which drains what an earlier run left on the line,
    // waiting for a quiet gap of about ten bytes' time at the settings' speed).
    // True when a register answered. When none answered the port is closed
    // again and false returned; a port that cannot be opened or configured
    // throws its CommError, the port closed and no device made.
    bool Open(const PortAddress& address, const SerialSettings& settings, const Reports& reports);
    // The device first, then the port.
    void Release();

    // How the devices this link makes read a reply that lacks fields:
    // ReadEmpty as the design reads it (the windows; the default), Fail for
    // the programs that feed scripts (ecrctl, ecrd), whose values must be
    // the register's. Takes effect at the next Open.
    void SetMissingFields(ECRMissingFields reading) { m_missingFields = reading; }

    // Logged on: a register answered the enquiry and the link was not released since.
    bool IsOpen() const { return m_status != 0; }
    // The status byte the log-on read; 0 when none came.
    std::int16_t Status() const { return m_status; }
    // The address of the last attempt; none before the first.
    const std::optional<PortAddress>& Address() const { return m_address; }

    // Null before an attempt, and the device also after a port that did not open.
    ECRDevice* Device() const { return m_device.get(); }
    SerialPort* Port() const { return m_port.get(); }
    // What went wrong last on the port, in words (SerialPort::Problem): why
    // a device did not open as the system said it ("no such device",
    // "permission denied"), or a device server's HOST:PORT and reason.
    // Beside the CommError thrown, whose code and text stay the design's.
    std::string Problem() const { return m_port ? m_port->Problem() : std::string(); }
    // A CommError that Open threw, in words for a message: Problem() with the
    // design's text of the code beside it ("no such device (Error opening
    // port)", "kasa.lan:2000: connection refused (Error opening port)"), or
    // that text alone when the port kept no reason.
    std::string Describe(const CommError& error) const;

private:
    std::optional<PortAddress> m_address;
    std::unique_ptr<SerialPort> m_port;
    std::unique_ptr<ECRDevice> m_device;
    std::int16_t m_status = 0;
    ECRMissingFields m_missingFields = ECRMissingFields::ReadEmpty;
};
