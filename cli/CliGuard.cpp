#include "cli/CliGuard.h"

#include "cli/CliFailure.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRStringError.h"

#include <exception>

CliGuard::Outcome CliGuard::Run(const std::function<void()>& work)
{
    Outcome outcome;
    try {
        work();
    } catch (const CliFailure& failure) {
        outcome.exitCode = failure.ExitCode();
        outcome.error = failure.what();
        outcome.deviceCode = failure.DeviceCode();
    } catch (const CommError& failure) {
        outcome.exitCode = CliFailure::kLink;
        outcome.error = std::string("communication failure: ") + CommErrorText(failure.code).Data();
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
