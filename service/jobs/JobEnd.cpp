#include "service/jobs/JobEnd.h"

#include <utility>

JobEnd JobEnd::Done(JobResult result)
{
    JobEnd end;
    end.state = JobState::Done;
    end.result = std::move(result);
    return end;
}

JobEnd JobEnd::Failed(Problem problem)
{
    JobEnd end;
    end.state = JobState::Failed;
    end.problem = std::move(problem);
    return end;
}

JobEnd JobEnd::Unknown(Problem problem)
{
    JobEnd end;
    end.state = JobState::Unknown;
    end.problem = std::move(problem);
    return end;
}
