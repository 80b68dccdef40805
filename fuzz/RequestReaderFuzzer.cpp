// Whatever body a client sends for any kind of job, ecrd's request reader
// either takes it as a request of that kind within the register's limits or
// refuses it with a message naming the item (JsonFields::Refusal); nothing
// else comes out of it. The first byte chooses the kind of job, the rest is
// the body; the seeds hold a body of each kind.
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "service/api/RequestReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// A sale line the register would refuse, or one with no quantity.
bool Refusable(const ECRSaleLine& line)
{
    ECRArticle article;
    article.name = line.name;
    article.price = line.price;
    article.taxRate = line.taxRate;
    article.unit = line.unit;
    return ECRArticleRules::Check(article).has_value() || line.quantity <= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // '0' the first kind, '1' the next, ... (fuzz/seeds/fuzz_request_reader).
    const auto& kinds = kJobKindNames.Entries();
    const JobKind kind = kinds[static_cast<std::uint8_t>(data[0] - '0') % kinds.size()].first;
    // As ecrd reads a body.
    JsonReader::Limits limits;
    limits.maxBytes = 64 * 1024;
    limits.maxDepth = 16;
    limits.decimals = true;
    JsonValue body;
    std::string error;
    if (!JsonReader::Parse(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), body, error, limits))
        return 0;

    JobRequest request;
    try {
        request = RequestReader::Read(kind, body, std::string());
    } catch (const JsonFields::Refusal& refusal) {
        if (refusal.message.empty())
            std::abort();
        return 0;
    }
    if (KindOf(request) != kind)
        std::abort();
    if (const auto* receipt = std::get_if<ReceiptRequest>(&request)) {
        if (receipt->lines.empty() || receipt->lines.size() > RequestReader::kMaxLines)
            std::abort();
        for (const ECRSaleLine& line : receipt->lines)
            if (Refusable(line))
                std::abort();
    }
    if (const auto* raw = std::get_if<RawRequest>(&request)) {
        if (raw->payload.size() < 2 || raw->payload.size() > RequestReader::kMaxRawBytes ||
            raw->payload.find('\0') != std::string::npos)
            std::abort();
    }
    return 0;
}
