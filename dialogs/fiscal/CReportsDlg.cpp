#include "dialogs/fiscal/CReportsDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECROperations.h"

#include <QDateTime>

namespace {

// A report period is whole days: hour, minute and second stay 0.
ECRDateTime DayOf(std::int64_t localSeconds)
{
    const QDate date = QDateTime::fromSecsSinceEpoch(localSeconds).date();
    ECRDateTime day;
    day.year = date.year() - 2000;
    day.month = date.month();
    day.day = date.day();
    return day;
}

}  // namespace

CReportsDlg::CReportsDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Izvestaji"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(206, 128);
    m_timeFrom = QDateTime::currentSecsSinceEpoch();
    m_timeTo = m_timeFrom;

    AddButton(IDC_DAILY, QStringLiteral("Dnevni Izvestaj"), {8, 9, 80, 14});
    AddButton(IDC_DAILY_SERIES, QStringLiteral("50 Dnevnih"), {8, 27, 80, 14});
    AddButton(IDC_SNAPSHOT, QStringLiteral("Presek stanja"), {8, 45, 80, 14});

    AddGroupBox(QString(), {98, 4, 100, 96});
    AddLabel(QStringLiteral("Od:"), {104, 13, 16, 8});
    AddDateTimePicker(IDC_FROM, {122, 11, 70, 14}, PickerMode::ShortDate);
    AddLabel(QStringLiteral("Do:"), {104, 31, 16, 8});
    AddDateTimePicker(IDC_TO, {122, 29, 70, 14}, PickerMode::ShortDate);
    AddButton(IDC_PERIODIC, QStringLiteral("Periodicni Izvestaj"), {104, 50, 88, 14});
    AddButton(IDC_PERIODIC_NON_FISCAL, QStringLiteral("Nefisk. Periodicni\nIzvestaj"), {104, 68, 88, 24});

    AddButton(IDOK, QStringLiteral("OK"), {148, 107, 50, 14});

    OnCommand(IDC_DAILY, [this] { OnDailyReport(); });
    OnCommand(IDC_DAILY_SERIES, [this] { OnDailySeries(); });
    OnCommand(IDC_PERIODIC, [this] { OnPeriodicReport(true); });
    OnCommand(IDC_PERIODIC_NON_FISCAL, [this] { OnPeriodicReport(false); });
    OnCommand(IDC_SNAPSHOT, [this] { OnStatusReport(); });
}

void CReportsDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_DateTime(dx, IDC_FROM, m_timeFrom);
    DDX_DateTime(dx, IDC_TO, m_timeTo);
}

void CReportsDlg::OnDailyReport()
{
    ECROperations::PrintDailyReportNow(RegisterServices::Device());
}

void CReportsDlg::OnDailySeries()
{
    // A failure ends the series at the failing step (the guard reports it).
    ECROperations::PrintDailyReportSeries(RegisterServices::Device(), kDailySeriesLength,
                                          ECROperations::SeriesPause::AfterEach);
}

void CReportsDlg::OnPeriodicReport(bool fiscal)
{
    UpdateData(true);
    RegisterServices::Device().PrintPeriodicReport(DayOf(m_timeFrom), DayOf(m_timeTo), fiscal);
}

void CReportsDlg::OnStatusReport()
{
    RegisterServices::Device().PrintStatusReport();
}
