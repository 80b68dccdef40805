#pragma once

#include <functional>

class CliSession;

// What the chosen subcommand does once the register is logged on.
using CliAction = std::function<void(CliSession&)>;
