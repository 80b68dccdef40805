#include "dialogs/fiscal/CSetTimeDlg.h"

#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"

#include <QDateTime>

CSetTimeDlg::CSetTimeDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Podesite Vreme"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(232, 74);

    AddLabel(QStringLiteral("Trenutno vreme na kasi:"), {8, 11, 86, 8});
    AddDateTimePicker(IDC_DATE, {96, 9, 70, 14}, PickerMode::ShortDate);
    AddDateTimePicker(IDC_TIME, {96, 27, 70, 14}, PickerMode::Time);
    AddButton(IDC_WRITE, QStringLiteral("Upisi >>"), {174, 9, 50, 14});
    AddButton(IDC_HOUR_BACK, QStringLiteral("-1 sat"), {96, 52, 34, 14});
    AddButton(IDC_HOUR_FORWARD, QStringLiteral("+1 sat"), {132, 52, 34, 14});
    AddButton(IDOK, QStringLiteral("OK"), {174, 52, 50, 14});

    OnCommand(IDC_WRITE, [this] { OnWrite(); });
    OnCommand(IDC_HOUR_BACK, [this] { OnHourBack(); });
    OnCommand(IDC_HOUR_FORWARD, [this] { OnHourForward(); });
}

void CSetTimeDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_DateTime(dx, IDC_DATE, m_timeDate);
    DDX_DateTime(dx, IDC_TIME, m_timeTime);
}

void CSetTimeDlg::ReadRegisterClock()
{
    bool read = false;
    try {
        read = SetRegisterTime(RegisterServices::Device().ReadClock());
    } catch (const CommError&) {
    } catch (const ECRStringError&) {
    }
    if (!read) {
        ThermalMessageBox(QStringLiteral("Greska u komunikaciji"));
    }
}

bool CSetTimeDlg::SetRegisterTime(const ECRDateTime& clock)
{
    // A refused read gives zeros; month 0 is no date, and showing it as some
    // other day would invite writing a wrong clock back.
    const QDateTime moment(QDate(clock.year + 2000, clock.month, clock.day), QTime(clock.hour, clock.minute, 0));
    if (!moment.isValid()) {
        return false;
    }
    m_timeDate = moment.toSecsSinceEpoch();
    m_timeTime = m_timeDate;
    return true;
}

void CSetTimeDlg::OnWrite()
{
    UpdateData(true);
    const QDate date = QDateTime::fromSecsSinceEpoch(m_timeDate).date();
    const QTime time = QDateTime::fromSecsSinceEpoch(m_timeTime).time();
    ECRDateTime clock;
    clock.year = date.year() - 2000;
    clock.month = date.month();
    clock.day = date.day();
    clock.hour = time.hour();
    clock.minute = time.minute();
    RegisterServices::Device().SetClock(clock);
}

void CSetTimeDlg::OnHourBack()
{
    RegisterServices::Device().ShiftClockHour(0);
}

void CSetTimeDlg::OnHourForward()
{
    RegisterServices::Device().ShiftClockHour(1);
}
