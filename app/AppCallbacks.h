#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// The three callbacks through which the engine and the port report to the
// windows, installed at log-on. They find the windows through g_pMainDlg and
// let the windows repaint, without user input, while an exchange runs.
// Traffic comes in two: the engine's (requests, and its "Exception" note)
// and the port's (what was read), so that the decoded view and the session
// log know which way each entry went; the monitor's traffic box shows both
// alike.
void OnTraffic(ECRString text);
void OnPortTraffic(ECRString text);
void OnDeviceMessage(ECRString text);
void OnProgress(std::int32_t percent);
