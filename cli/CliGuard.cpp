#include "cli/CliGuard.h"

#include "cli/CliFailure.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRReplyError.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRStringError.h"

#include <exception>

CliGuard::Outcome CliGuard::Run(const std::function<void()>& work, const CliSession* session)
{
    Outcome outcome;
    try {
        work();
    } catch (const CliFailure& failure) {
        outcome.exitCode = failure.ExitCode();
        outcome.error = failure.what();
        outcome.deviceCode = failure.DeviceCode();
    } catch (const ECRReplyError& failure) {
        outcome.exitCode = CliFailure::kLink;
        outcome.error = session != nullptr ? session->Describe(failure)
                                           : "the register's answer failed its check (" + failure.Describe() + ")";
    } catch (const CommError& failure) {
        outcome.exitCode = CliFailure::kLink;
        outcome.error = session != nullptr
                            ? session->Describe(failure)
                            : std::string("communication failure: ") + CommErrorText(failure.code).Data();
    } catch (const ECRStringError& failure) {
        outcome.exitCode = CliFailure::kLink;
        outcome.error = "communication failure: malformed reply (string error " + std::to_string(failure.code) + ")";
    } catch (const std::exception& failure) {
        // Nothing else is expected here; report it rather than end without a word.
        outcome.exitCode = CliFailure::kLink;
        outcome.error = std::string("unexpected failure: ") + failure.what();
    }
    return outcome;
}
