#include "cli/NetworkDoctor.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "link/RegisterLink.h"
#include "serial/NetworkPort.h"
#include "serial/platform/SocketApi.h"

#include <cstdint>
#include <string>

namespace {

// "19200 8N1" from the server's acknowledgements, where it gave them.
std::string AcknowledgedLine(const TelnetCodec& telnet)
{
    const auto value = [&telnet](unsigned char command) { return telnet.Acknowledged(command).value_or(""); };
    const std::string baud = value(TelnetCodec::SET_BAUDRATE);
    const std::string size = value(TelnetCodec::SET_DATASIZE);
    const std::string parity = value(TelnetCodec::SET_PARITY);
    const std::string stop = value(TelnetCodec::SET_STOPSIZE);
    if (baud.size() != 4 || size.size() != 1 || parity.size() != 1 || stop.size() != 1) {
        return std::string();
    }
    std::uint32_t rate = 0;
    for (const char byte : baud) {
        rate = rate << 8 | static_cast<unsigned char>(byte);
    }
    const char* const parities = "?NOEMS";
    const char* const stops[] = {"?", "1", "2", "1.5"};
    const auto parityCode = static_cast<unsigned char>(parity[0]);
    const auto stopCode = static_cast<unsigned char>(stop[0]);
    return std::to_string(rate) + " " + std::to_string(static_cast<unsigned char>(size[0])) +
           (parityCode <= 5 ? parities[parityCode] : '?') + (stopCode <= 3 ? stops[stopCode] : "?");
}

}  // namespace

bool NetworkDoctor::Check(const PortAddress& address, int baud, std::vector<LinkDoctor::Finding>& findings)
{
    const std::string& host = address.Host();
    std::string why;
    const std::vector<std::string> addresses = SocketApi::Resolve(host, address.NetworkPort(), why);
    if (addresses.empty()) {
        findings.push_back({true, why, "check the server's name, or give its IP address"});
        return false;
    }
    std::string list;
    for (const std::string& one : addresses) {
        list += (list.empty() ? "" : ", ") + one;
    }
    findings.push_back({false, host + " is " + list, ""});

    const bool rfc2217 = address.GetKind() == PortAddress::Kind::Rfc2217;
    const std::unique_ptr<NetworkPort> made = RegisterLink::MakeNetworkPort(address, RegisterLink::Settings(baud), {});
    NetworkPort& port = *made;
    const std::int64_t startMs = ECRClockMs();
    try {
        port.Open();
    } catch (const CommError&) {
        findings.push_back({true, "cannot connect: " + port.Problem(),
                            "check that the device server is on, that this is the TCP port of the register's line "
                            "(in ser2net: its connection's accepter), and that no firewall is in the way"});
        return false;
    }
    findings.push_back(
        {false, "connected to " + port.Endpoint() + " in " + std::to_string(ECRClockMs() - startMs) + " ms", ""});
    if (!rfc2217) {
        findings.push_back({false, "raw TCP: the line's speed is the device server's own setting, not --baud", ""});
        return true;
    }
    switch (port.Telnet().ComPortOption()) {
    case TelnetCodec::Answer::Agreed:
        findings.push_back({false, "the server takes the COM port option (RFC 2217)", ""});
        break;
    case TelnetCodec::Answer::Refused:
        findings.push_back({true, "the server refuses the COM port option: it is no RFC 2217 server",
                            "if it passes the line's bytes as they are, use tcp://" + port.Endpoint()});
        return false;
    case TelnetCodec::Answer::Pending:
        findings.push_back({true,
                            "the server did not answer the Telnet negotiation within " +
                                std::to_string(NetworkPort::kNegotiationMs) + " ms",
                            "if it passes the line's bytes as they are, use tcp://" + port.Endpoint()});
        return false;
    }
    if (port.AwaitLineAcknowledged(kAcknowledgeMs)) {
        findings.push_back({false, "it set the line to " + AcknowledgedLine(port.Telnet()), ""});
    } else {
        // Some servers set the line without a word; the enquiry tells.
        findings.push_back(
            {false, "it did not acknowledge the line settings within " + std::to_string(kAcknowledgeMs) + " ms", ""});
    }
    return true;
}
