#pragma once

#include "framework/CDialog.h"

// The about box: the application icon and two lines about its makers.
class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
