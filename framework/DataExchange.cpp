#include "framework/DataExchange.h"

#include "framework/CDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QRadioButton>

#include <limits>
#include <stdexcept>
#include <string>

QWidget* CDataExchange::Control(int id) const
{
    QWidget* control = m_dialog.GetDlgItem(id);
    if (control == nullptr) {
        throw std::logic_error("data exchange: no control with id " + std::to_string(id));
    }
    return control;
}

namespace {

template <class T>
T* ControlOf(CDataExchange& dx, int id)
{
    auto* control = qobject_cast<T*>(dx.Control(id));
    if (control == nullptr) {
        throw std::logic_error("data exchange: control " + std::to_string(id) + " is of another kind");
    }
    return control;
}

}  // namespace

bool ParseDialogInteger(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
        negative = trimmed[i] == QLatin1Char('-');
        ++i;
    }
    if (i == trimmed.size()) {
        return false;
    }
    qint64 magnitude = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c < u'0' || c > u'9') {
            return false;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64{std::numeric_limits<int>::max()} + 1) {
            return false;
        }
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max()) {
        return false;
    }
    value = static_cast<int>(result);
    return true;
}

void DDX_Text(CDataExchange& dx, int id, std::string& value)
{
    if (dx.Failed()) {
        return;
    }
    dx.Control(id);
    if (dx.SaveAndValidate()) {
        std::string bytes;
        TextFault fault;
        if (!dx.Dialog().GetItemBytes(id, bytes, fault)) {
            // Never a silent '?': the user sees which character of which field.
            ThermalMessageBox(CodePage::RefusalMessage(dx.Dialog().ItemName(id), fault));
            if (QWidget* control = dx.Dialog().GetDlgItem(id)) {
                control->setFocus();
            }
            dx.Fail(CDataExchange::Failure::RefusedText);
            return;
        }
        value = std::move(bytes);
    } else {
        dx.Dialog().SetItemBytes(id, value);
    }
}

void DDX_Text(CDataExchange& dx, int id, QByteArray& value)
{
    std::string bytes(value.constData(), static_cast<std::size_t>(value.size()));
    DDX_Text(dx, id, bytes);
    if (dx.SaveAndValidate() && !dx.Failed()) {
        value = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
}

void DDX_Text(CDataExchange& dx, int id, int& value)
{
    if (dx.Failed()) {
        return;
    }
    dx.Control(id);
    if (!dx.SaveAndValidate()) {
        dx.Dialog().SetItemText(id, QString::number(value));
        return;
    }
    int parsed = 0;
    if (!ParseDialogInteger(dx.Dialog().GetItemText(id), parsed)) {
        ThermalMessageBox(QStringLiteral("Please enter an integer."));
        if (QWidget* control = dx.Dialog().GetDlgItem(id)) {
            control->setFocus();
        }
        dx.Fail(CDataExchange::Failure::BadInteger);
        return;
    }
    value = parsed;
}

void DDX_Check(CDataExchange& dx, int id, int& value)
{
    if (dx.Failed()) {
        return;
    }
    auto* box = ControlOf<QCheckBox>(dx, id);
    if (dx.SaveAndValidate()) {
        value = box->checkState() == Qt::Checked ? 1 : (box->checkState() == Qt::PartiallyChecked ? 2 : 0);
    } else {
        box->setCheckState(value == 1 ? Qt::Checked : (value == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
    }
}

void DDX_Radio(CDataExchange& dx, int firstId, int& value)
{
    if (dx.Failed()) {
        return;
    }
    const std::vector<QRadioButton*> group = dx.Dialog().RadioGroup(firstId);
    if (group.empty()) {
        throw std::logic_error("data exchange: no radio group starts at id " + std::to_string(firstId));
    }
    if (dx.SaveAndValidate()) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked()) {
                value = static_cast<int>(i);
                break;
            }
        }
        return;
    }
    // An exclusive group cannot be cleared, so -1 needs the group opened briefly.
    QButtonGroup* buttons = group.front()->group();
    const bool exclusive = buttons != nullptr && buttons->exclusive();
    if (buttons != nullptr) {
        buttons->setExclusive(false);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        group[i]->setChecked(static_cast<int>(i) == value);
    }
    if (buttons != nullptr) {
        buttons->setExclusive(exclusive);
    }
}

void DDX_CBIndex(CDataExchange& dx, int id, int& value)
{
    if (dx.Failed()) {
        return;
    }
    auto* combo = ControlOf<QComboBox>(dx, id);
    if (dx.SaveAndValidate()) {
        value = combo->currentIndex();
        // Typing does not move the selection of a Qt combo box; on the design's
        // platform it does, so "9" in a list of 1 to 8 is no port at all.
        if (combo->isEditable() && (value < 0 || combo->itemText(value) != combo->currentText())) {
            value = combo->findText(combo->currentText(), Qt::MatchFixedString);
        }
    } else {
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
    }
}

void DDX_DateTime(CDataExchange& dx, int id, QDateTime& value)
{
    if (dx.Failed()) {
        return;
    }
    auto* picker = ControlOf<QDateTimeEdit>(dx, id);
    if (dx.SaveAndValidate()) {
        value = picker->dateTime();
    } else {
        picker->setDateTime(value);
    }
}

void DDX_DateTime(CDataExchange& dx, int id, std::int64_t& value)
{
    QDateTime moment = QDateTime::fromSecsSinceEpoch(value);
    DDX_DateTime(dx, id, moment);
    if (dx.SaveAndValidate() && !dx.Failed()) {
        value = moment.toSecsSinceEpoch();
    }
}
