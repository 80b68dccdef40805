#pragma once

#include "app/CProgressUnivDlg.h"

#include <QObject>
#include <QProgressBar>

#include <vector>

// Records every position the progress window's bar takes while it lives,
// and whether the window was on screen at that moment.
class ProgressRecorder {
public:
    struct Step {
        int position;
        bool shown;
        bool operator==(const Step&) const = default;
    };

    explicit ProgressRecorder(CProgressUnivDlg& progress)
    {
        auto* bar = progress.Item<QProgressBar>(CProgressUnivDlg::IDC_PROGRESS);
        m_connection = QObject::connect(bar, &QProgressBar::valueChanged,
                                        [this, &progress](int value) { steps.push_back({value, progress.isVisible()}); });
    }
    ~ProgressRecorder() { QObject::disconnect(m_connection); }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    std::vector<Step> steps;

private:
    QMetaObject::Connection m_connection;
};
