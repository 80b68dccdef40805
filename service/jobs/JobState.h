#pragma once

#include "service/jobs/NameTable.h"

// Where a job stands: waiting for its register, being carried out, or
// ended: done, failed (nothing it was to do happened, or the register
// refused), or unknown (the register may or may not have done it).
enum class JobState { Queued, Running, Done, Failed, Unknown };

inline constexpr NameTable<JobState, 5> kJobStateNames{{{
    {JobState::Queued, "queued"},
    {JobState::Running, "running"},
    {JobState::Done, "done"},
    {JobState::Failed, "failed"},
    {JobState::Unknown, "unknown"},
}}};

constexpr bool IsFinished(JobState state)
{
    return state == JobState::Done || state == JobState::Failed || state == JobState::Unknown;
}
