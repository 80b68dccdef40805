#pragma once

#include "ecr/files/JsonValue.h"
#include "service/api/RouteTable.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class JobBoard;
class RegisterWorker;
class ServiceClock;

// The routes that tell how the registers stand, from what their workers
// know, without a job: GET /registers and GET /registers/{id}/status, which
// with ?probe=true asks the register (the status enquiry) when no job holds
// its line, within kProbeWait.
class RegisterHandlers {
public:
    static constexpr std::chrono::milliseconds kProbeWait{1000};

    RegisterHandlers(JobBoard& board, const ServiceClock& clock) : m_board(board), m_clock(clock) {}

    // A register as the status answers show it.
    static JsonValue Json(const RegisterWorker& worker, std::int64_t nowMs);

    void List(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void Status(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);

private:
    JobBoard& m_board;
    const ServiceClock& m_clock;
};
