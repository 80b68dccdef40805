#include "service/Problem.h"

namespace {

struct Kind {
    const char* name;
    int status;
    const char* title;
};

// In the order of Problem::Code.
constexpr Kind kKinds[] = {
    {"bad-request", 400, "The request is not one the register can carry out; nothing was sent"},
    {"idempotency-key-missing", 400, "A POST needs an Idempotency-Key header"},
    {"unauthorized", 401, "A bearer token is required"},
    {"forbidden", 403, "This origin or host is not served"},
    {"not-found", 404, "No such resource"},
    {"method-not-allowed", 405, "The method is not allowed here"},
    {"idempotency-conflict", 409, "The Idempotency-Key was used for another request"},
    {"body-too-large", 413, "The request body is too large"},
    {"unsupported-media-type", 415, "The body must be application/json"},
    {"refused", 422, "The register refused"},
    {"internal", 500, "The service failed"},
    {"outcome-unknown", 502, "The register did not answer; whether it carried the request out is unknown"},
    {"link-failure", 503, "The register cannot be reached"},
    {"register-busy", 503, "The register is busy with other jobs"},
    {"service-stopped", 503, "The service stopped before the job ran; nothing was sent"},
};

const Kind& KindOf(Problem::Code code)
{
    return kKinds[static_cast<int>(code)];
}

}  // namespace

Problem::Problem(Code code, std::string detail) : m_code(code), m_detail(std::move(detail)) {}

const char* Problem::Name(Code code)
{
    return KindOf(code).name;
}

int Problem::Status(Code code)
{
    return KindOf(code).status;
}

const char* Problem::Title(Code code)
{
    return KindOf(code).title;
}

JsonValue Problem::ToJson() const
{
    JsonValue json = JsonValue::Object();
    json.Set("type", std::string("urn:thermal:ecrd:problem:") + Name(m_code));
    json.Set("title", Title(m_code));
    json.Set("status", Status(m_code));
    json.Set("detail", m_detail);
    json.Set("code", Name(m_code));
    for (const auto& [key, value] : m_extra.Members())
        json.Set(key, value);
    return json;
}
