#include "service/JobEnd.h"

JobEnd JobEnd::Done(JsonValue result)
{
    JobEnd end;
    end.state = JobRecord::State::Done;
    end.doc.Set("result", std::move(result));
    return end;
}

JobEnd JobEnd::Failed(const Problem& problem)
{
    JobEnd end;
    end.state = JobRecord::State::Failed;
    end.doc.Set("problem", problem.ToJson());
    return end;
}

JobEnd JobEnd::Unknown(const Problem& problem)
{
    JobEnd end;
    end.state = JobRecord::State::Unknown;
    end.doc.Set("problem", problem.ToJson());
    return end;
}

JobEnd& JobEnd::Outcome(const char* outcome)
{
    doc.Set("outcome", outcome);
    return *this;
}

JobEnd& JobEnd::Receipt(const char* disposition)
{
    doc.Set("receipt", disposition);
    return *this;
}

JobEnd& JobEnd::Seen(JsonValue seen)
{
    doc.Set("seen", std::move(seen));
    return *this;
}
