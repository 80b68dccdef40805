#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// The three callbacks through which the engine and the port report to the
// windows, installed at log-on. They find the windows through g_pMainDlg and
// let the windows repaint, without user input, while an exchange runs.
void OnTraffic(ECRString text);
void OnDeviceMessage(ECRString text);
void OnProgress(std::int32_t percent);
