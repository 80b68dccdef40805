#include "dialogs/fiscal/CSetTimeDlg.h"

#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "framework/ActionGuard.h"
#include "framework/CodePage.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

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
    // A failed exchange is reported as every action's is.
    ActionGuard::Run([&] {
        ECRDevice& device = RegisterServices::Device();
        const ECRDateTime clock = device.ReadClock();
        read = SetRegisterTime(clock);
        if (!read) {
            // A refusal answers with no date; the register's message says why.
            const ECRVerdict& verdict = device.LastVerdict();
            const bool refused = verdict.kind == ECRVerdict::Kind::Refused;
            ActionGuard::ReportFailure(refused ? CodePage::ToUnicode(DeviceMessageText(verdict.code))
                                                 : QStringLiteral("Vreme kase ne postoji na ovom racunaru"));
        }
    });
    if (!read) {
        // Whatever the pickers held (at first 1970, which the register cannot
        // hold) is no better a guess than the computer's own clock.
        SetComputerTime();
    }
}

void CSetTimeDlg::SetComputerTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_timeDate = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), 0)).toSecsSinceEpoch();
    m_timeTime = m_timeDate;
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
    // The register keeps two digits of the year: 1970 would go out as -30.
    if (!clock.IsValid()) {
        ThermalMessageBox(QStringLiteral("Sat kase prima samo godine od 2000 do 2099, ne %1. Nista nije poslato.")
                              .arg(date.year()));
        return;
    }
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
