#include "service/jobs/Problem.h"

#include <array>
#include <utility>

namespace {

struct Kind {
    Problem::Code code;
    std::string_view name;
    int status;
    std::string_view title;
    bool transient;  // may succeed later when nothing was sent
};

using Code = Problem::Code;

constexpr std::array<Kind, 19> kKinds{{
    {Code::BadRequest, "bad-request", 400, "The request is not one the register can carry out", false},
    {Code::IdempotencyKeyMissing, "idempotency-key-missing", 400, "A POST needs an Idempotency-Key header", false},
    {Code::Unauthorized, "unauthorized", 401, "A bearer token is required", false},
    {Code::Forbidden, "forbidden", 403, "This origin or host is not served", false},
    {Code::NotFound, "not-found", 404, "No such resource", false},
    {Code::MethodNotAllowed, "method-not-allowed", 405, "The method is not allowed here", false},
    {Code::IdempotencyConflict, "idempotency-conflict", 409, "The Idempotency-Key was used for another request", false},
    {Code::BodyTooLarge, "body-too-large", 413, "The request body is too large", false},
    {Code::UnsupportedMediaType, "unsupported-media-type", 415, "The body must be application/json", false},
    {Code::Refused, "refused", 422, "The register refused", false},
    {Code::TooManyRequests, "too-many-requests", 429, "Too many wrong tokens from this address", true},
    {Code::Internal, "internal", 500, "The service failed", false},
    {Code::OutcomeUnknown, "outcome-unknown", 502,
     "The register did not answer; whether it carried the request out is unknown", false},
    {Code::LinkFailure, "link-failure", 503, "The register cannot be reached", true},
    {Code::RegisterBusy, "register-busy", 503, "The register is busy with other jobs", true},
    {Code::ServiceStopped, "service-stopped", 503, "The service stopped before the job ran", true},
    {Code::TooLate, "too-late", 503, "The job could not start in time", true},
    {Code::JournalUnavailable, "journal-unavailable", 503, "The service cannot record jobs now", true},
    {Code::TooManyStreams, "too-many-streams", 503, "Too many event streams are open", true},
}};

constexpr bool InOrder()
{
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<std::size_t>(kKinds[i].code) != i)
            return false;
    }
    return true;
}
static_assert(InOrder(), "kKinds lists Problem::Code in order");

const Kind& KindOf(Code code)
{
    return kKinds[static_cast<std::size_t>(code)];
}

}  // namespace

Problem::Problem(Code code, std::string detail, Sent sent) : m_code(code), m_detail(std::move(detail)), m_sent(sent) {}

Problem& Problem::SetSent(Sent sent)
{
    m_sent = sent;
    return *this;
}

Problem& Problem::AddDetail(const std::string& more)
{
    m_detail += "; " + more;
    return *this;
}

Problem& Problem::SetRefusal(std::int32_t registerCode, std::string registerMessage)
{
    m_registerCode = registerCode;
    m_registerMessage = std::move(registerMessage);
    return *this;
}

Problem& Problem::SetErrors(std::vector<Fault> errors)
{
    m_errors = std::move(errors);
    return *this;
}

bool Problem::Retryable() const
{
    return m_sent == Sent::Nothing && KindOf(m_code).transient;
}

std::vector<Problem::Code> Problem::All()
{
    std::vector<Code> codes;
    for (const Kind& kind : kKinds)
        codes.push_back(kind.code);
    return codes;
}

std::string_view Problem::Name(Code code)
{
    return KindOf(code).name;
}

std::optional<Problem::Code> Problem::Find(std::string_view name)
{
    for (const Kind& kind : kKinds) {
        if (kind.name == name)
            return kind.code;
    }
    return std::nullopt;
}

int Problem::Status(Code code)
{
    return KindOf(code).status;
}

std::string_view Problem::Title(Code code)
{
    return KindOf(code).title;
}
