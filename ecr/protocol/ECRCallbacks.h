#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <functional>

// Callbacks from the protocol library to whoever drives it; an empty one
// (nullptr) switches a report off. The windows register free functions that
// find their window through the application's globals; a link that is one of
// several in a process binds its own state instead, so each link reports only
// its own traffic.
// Gets a text: traffic bytes, a note such as "Exception", or a message.
using ECRTextCallback = std::function<void(ECRString text)>;
// Gets -1 as a long operation (a memory read) begins, then percentages up to
// 100, which ends it.
using ECRProgressCallback = std::function<void(std::int32_t percent)>;
// Called when a request or a status query has gone out and its answer is on
// the way: the line is busy for milliseconds, time the windows may use. The
// engine lets the system pass the request on before it calls.
using ECRWaitCallback = std::function<void()>;
