#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// The callbacks through which the engine and the port report to the
// windows, installed at log-on. They find the windows through g_pMainDlg.
// The windows repaint, without user input, while an exchange runs, and they
// do it while the line carries a request and its answer (OnAwaitingAnswer),
// never between an answer and the next request, where it would cost the
// line its time. So do the monitor's entries and the session log's lines:
// traffic and messages are only held as they come (CThermalDlg::TraceTraffic)
// and shown and logged in OnAwaitingAnswer.
// Traffic comes in two: the engine's (requests, and its "Exception" note)
// and the port's (what was read), so that the decoded view and the session
// log know which way each entry went; the monitor's traffic box shows both
// alike.
void OnTraffic(ECRString text);
void OnPortTraffic(ECRString text);
void OnDeviceMessage(ECRString text);
void OnProgress(std::int32_t percent);
void OnAwaitingAnswer();
