#pragma once

#include <string>

// The version of the programs (thermal, ecrctl, ecr-sim, ecrd), written in at
// configure time from the project's one version number and, for a build
// from a git checkout, `git describe` (version/CMakeLists.txt).
class ThermalVersion {
public:
    // "0.1": project(Thermal VERSION ...).
    static const char* Number();
    // "v0.1-12-gabc1234", "abc1234-dirty": what git said of the sources;
    // empty for a build not made from a git checkout.
    static const char* Build();
    // What --version prints: "ecrctl 0.1 (v0.1-12-gabc1234)", or
    // "ecrctl 0.1" without a build description.
    static std::string Line(const std::string& program);
};
