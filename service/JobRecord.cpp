#include "service/JobRecord.h"

namespace {

constexpr const char* kStates[] = {"queued", "running", "done", "failed", "unknown"};

}  // namespace

const char* JobRecord::StateName(State state)
{
    return kStates[static_cast<int>(state)];
}

JobRecord::State JobRecord::StateFromName(const std::string& name)
{
    for (int i = 0; i < static_cast<int>(std::size(kStates)); ++i) {
        if (name == kStates[i])
            return static_cast<State>(i);
    }
    return State::Unknown;
}
