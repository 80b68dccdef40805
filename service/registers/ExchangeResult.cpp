#include "service/registers/ExchangeResult.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "ecr/protocol/ECRStringError.h"
#include "ecr/protocol/ECRVerdictWatch.h"

#include <optional>

ExchangeResult ExchangeResult::Refusal(std::int32_t deviceCode)
{
    ExchangeResult result;
    result.kind = Kind::Refused;
    result.code = deviceCode;
    result.what = ECRCodePage::ToUtf8(DeviceMessageText(deviceCode));
    return result;
}

ExchangeResult ExchangeResult::Of(ECRDevice& device, const std::function<void()>& operation)
{
    const ECRVerdictWatch watch(device.Verdicts());
    std::optional<std::int32_t> thrown;
    try {
        operation();
    } catch (const CommError& error) {
        thrown = error.code;
    } catch (const ECRStringError&) {
        thrown = CommError::Sync;
    }
    ExchangeResult result;
    const std::optional<ECRVerdict>& failed = watch.FirstNotAccepted();
    if (failed && failed->kind == ECRVerdict::Kind::Refused)
        return Refusal(failed->code);
    if (!failed && !thrown)
        return result;
    result.kind = Kind::Lost;
    if (failed && failed->kind == ECRVerdict::Kind::FailedCheck) {
        result.what =
            std::string("the register's answer failed its check (") + ECRVerdict::CheckName(failed->check) + ")";
    } else if (failed && failed->kind == ECRVerdict::Kind::NoReply) {
        result.linkBroken = true;
        result.what = failed->code == CommError::Timeout
                          ? "no answer from the register"
                          : "the line failed: " + std::string(CommErrorText(failed->code).Data());
    } else {
        // Every exchange was answered, but what came could not be read.
        result.what = "the register's answer could not be read: " +
                      std::string(CommErrorText(thrown.value_or(CommError::Sync)).Data());
    }
    return result;
}

std::string ExchangeResult::Words(const std::string& doing) const
{
    switch (kind) {
    case Kind::Accepted: return doing + ": done";
    case Kind::Refused: return "the register refused " + doing + ": " + what + " (code " + std::to_string(code) + ")";
    case Kind::Lost: return what + " while " + doing;
    }
    return {};
}

Problem ExchangeResult::ToProblem(const std::string& doing, Problem::Code lostCode, Problem::Sent sent) const
{
    if (kind == Kind::Refused)
        return Problem(Problem::Code::Refused, Words(doing), sent).SetRefusal(code, what);
    return Problem(lostCode, Words(doing), sent);
}
