#pragma once

#include "ecr/commands/ECRDevice.h"
#include "support/FakeSerialPort.h"

// Holds the scripted port so that it exists before the device is built on it.
struct ScriptedPortHolder {
    FakeSerialPort port;
};

// The program's own protocol object over a scripted port: every exchange goes
// through the device's virtual slots into the engine, as it does for real.
class TestProtocol : public ScriptedPortHolder, public ECRDevice {
public:
    TestProtocol() : ECRDevice(&port), engine(Engine()) {}

    ECREngine& engine;
};
