#pragma once

#include "framework/CDialog.h"
#include "graphics/LogoRows.h"

#include <QImage>

class QLabel;

// "Grafika": the receipt logo. Shows a picture (the built-in logo at every
// opening, or the last file loaded), what the register would print of it,
// sends it as the logo and switches logo printing. A member of the main
// window: the loaded picture survives closing, the picture area does not.
class CGrafikaDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_LOAD = 1014,
        IDC_SEND = 1080,
        IDC_PICTURE = 1082,
        IDC_LOGO_ON = 1084,
        // Ours: the print preview and the line under it.
        IDC_PREVIEW = 1200,
        IDC_PREVIEW_NOTE = 1201,
    };

    explicit CGrafikaDlg(QWidget* parent = nullptr);

    // What the picture area shows (null when a failed first load left it
    // empty), and the print preview of it (null when it cannot be sent).
    const QImage& ShownPicture() const { return m_shownPicture; }
    QImage PreviewPicture() const;

    int m_nLogoOn = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnLoad();
    void OnSend();
    void OnLogoOn();
    void ShowPicture(const QImage& picture);

    QImage m_loadedPicture;  // the last file decoded; null until one was
    QImage m_shownPicture;
    LogoRows m_logo;  // the rows of the shown picture, or its size message
    QLabel* m_picture = nullptr;
    QLabel* m_preview = nullptr;
};
