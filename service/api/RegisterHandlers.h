#pragma once

#include "service/api/RouteTable.h"

#include <string>
#include <vector>

class JobBoard;

// The routes that tell how the registers stand, from what their workers
// know, without a job: GET /registers and GET /registers/{id}/status.
class RegisterHandlers {
public:
    explicit RegisterHandlers(JobBoard& board) : m_board(board) {}

    void List(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void Status(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);

private:
    JobBoard& m_board;
};
