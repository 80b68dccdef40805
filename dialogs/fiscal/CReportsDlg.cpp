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

    AddButton(1014, QStringLiteral("Dnevni Izvestaj"), {8, 9, 80, 14});
    AddButton(1052, QStringLiteral("50 Dnevnih"), {8, 27, 80, 14});
    AddButton(1087, QStringLiteral("Presek stanja"), {8, 45, 80, 14});

    AddGroupBox(QString(), {98, 4, 100, 96});
    AddLabel(QStringLiteral("Od:"), {104, 13, 16, 8});
    AddDateTimePicker(1024, {122, 11, 70, 14}, PickerMode::ShortDate);
    AddLabel(QStringLiteral("Do:"), {104, 31, 16, 8});
    AddDateTimePicker(1025, {122, 29, 70, 14}, PickerMode::ShortDate);
    AddButton(1026, QStringLiteral("Periodicni Izvestaj"), {104, 50, 88, 14});
    AddButton(1086, QStringLiteral("Nefisk. Periodicni\nIzvestaj"), {104, 68, 88, 24});

    AddButton(IDOK, QStringLiteral("OK"), {148, 107, 50, 14});

    OnCommand(1014, [this] { OnDailyReport(); });
    OnCommand(1052, [this] { OnDailySeries(); });
    OnCommand(1026, [this] { OnPeriodicReport(true); });
    OnCommand(1086, [this] { OnPeriodicReport(false); });
    OnCommand(1087, [this] { OnStatusReport(); });
}

void CReportsDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_DateTime(dx, 1024, m_timeFrom);
    DDX_DateTime(dx, 1025, m_timeTo);
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
