#pragma once

#include "framework/CDialog.h"

#include <cstdint>

// "Izvestaji": the daily report, fifty daily reports in a row, the fiscal and
// non-fiscal periodic reports for the picked days, and the state snapshot.
// A member of the main window: the picked days stay between openings.
class CReportsDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_DAILY = 1014,
        IDC_DAILY_SERIES = 1052,
        IDC_SNAPSHOT = 1087,
        IDC_FROM = 1024,
        IDC_TO = 1025,
        IDC_PERIODIC = 1026,
        IDC_PERIODIC_NON_FISCAL = 1086,
    };

    static constexpr int kDailySeriesLength = 50;

    explicit CReportsDlg(QWidget* parent = nullptr);

    // Seconds since 1970, local time; both start at the PC's time of creation.
    std::int64_t m_timeFrom = 0;
    std::int64_t m_timeTo = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnDailyReport();
    void OnDailySeries();
    void OnPeriodicReport(bool fiscal);
    void OnStatusReport();
};
