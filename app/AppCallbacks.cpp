#include "app/AppCallbacks.h"

#include "app/CThermalDlg.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "framework/UiPump.h"

namespace {

void ShowTraffic(const ECRString& text, ECRTrafficDirection direction)
{
    if (g_pMainDlg == nullptr) {
        return;
    }
    // Data() stops at the first zero byte, as the window text does. Held:
    // shown and logged once the next request is on the line (OnAwaitingAnswer).
    g_pMainDlg->TraceTraffic(direction, text.Data());
}

}  // namespace

void OnTraffic(ECRString text)
{
    ShowTraffic(text, ECRTrafficDecoder::EngineDirection(text.Data()));
}

void OnPortTraffic(ECRString text)
{
    ShowTraffic(text, ECRTrafficDirection::FromRegister);
}

void OnDeviceMessage(ECRString text)
{
    if (g_pMainDlg == nullptr) {
        return;
    }
    g_pMainDlg->TraceMessage(text.Data());
}

void OnProgress(std::int32_t percent)
{
    if (g_pMainDlg == nullptr) {
        return;
    }
    CProgressUnivDlg& progress = g_pMainDlg->m_progressDlg;
    if (percent == -1) {
        progress.ShowWindow(true);
        UiPump::PaintNow();
        return;
    }
    progress.SetProgress(percent);
    if (percent == 100) {
        progress.ShowWindow(false);
    }
    progress.UpdateData(false);
}

void OnAwaitingAnswer()
{
    // The line carries the request and its answer meanwhile.
    if (g_pMainDlg != nullptr) {
        g_pMainDlg->ShowTraced();
    }
    UiPump::KeepPainted();
}
