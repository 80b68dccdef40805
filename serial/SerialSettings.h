#pragma once

#include <cstdint>

// The seven integers a serial port is configured from. Note the constructor
// takes parity before stop bits, the reverse of the storage order.
class SerialSettings {
public:
    SerialSettings() = default;
    SerialSettings(std::int32_t portNumber, std::int32_t baudRate, std::int32_t byteSize, std::int32_t parity,
                   std::int32_t stopBits, std::int32_t flowControl, std::int32_t dtrControl)
        : m_portNumber(portNumber),
          m_baudRate(baudRate),
          m_byteSize(byteSize),
          m_stopBits(stopBits),
          m_parity(parity),
          m_flowControl(flowControl),
          m_dtrControl(dtrControl)
    {
    }

    std::int32_t PortNumber() const { return m_portNumber; }
    std::int32_t BaudRate() const { return m_baudRate; }
    std::int32_t ByteSize() const { return m_byteSize; }
    std::int32_t StopBits() const { return m_stopBits; }  // 0 = one, 1 = one and a half, 2 = two
    std::int32_t Parity() const { return m_parity; }      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::int32_t FlowControl() const { return m_flowControl; }
    std::int32_t DtrControl() const { return m_dtrControl; }

private:
    std::int32_t m_portNumber = 0;
    std::int32_t m_baudRate = 0;
    std::int32_t m_byteSize = 0;
    std::int32_t m_stopBits = 0;
    std::int32_t m_parity = 0;
    std::int32_t m_flowControl = 0;
    std::int32_t m_dtrControl = 0;
};
