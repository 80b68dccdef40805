#include "dialogs/graphics/CGrafikaDlg.h"

#include "dialogs/graphics/BuiltInLogo.h"
#include "ecr/commands/ECRDevice.h"
#include "framework/FileFaultText.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "graphics/LogoUpload.h"
#include "graphics/qt/LogoPreview.h"
#include "graphics/qt/QImageLogo.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollArea>

#include <algorithm>

namespace {

// A picture at its natural size; a large one scrolls instead of growing the dialog.
QScrollArea* NewPictureArea(QWidget* dialog)
{
    auto* area = new QScrollArea(dialog);
    area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    area->setWidget(new QLabel);
    return area;
}

void SetPicture(QLabel* label, const QImage& picture)
{
    label->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    label->adjustSize();
}

int BlackDots(const QImage& preview)
{
    int dots = 0;
    for (int y = 0; y < preview.height(); ++y) {
        for (int x = 0; x < preview.width(); ++x) {
            dots += preview.pixelIndex(x, y);
        }
    }
    return dots;
}

}  // namespace

CGrafikaDlg::CGrafikaDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Grafika"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(316, 252);

    QScrollArea* pictureArea = NewPictureArea(this);
    m_picture = qobject_cast<QLabel*>(pictureArea->widget());
    AddLabel(QStringLiteral("Slika:"), {7, 4, 120, 8});
    RegisterItem(IDC_PICTURE, pictureArea, {7, 13, 236, 104});

    QScrollArea* previewArea = NewPictureArea(this);
    m_preview = qobject_cast<QLabel*>(previewArea->widget());
    AddLabel(QStringLiteral("Otisak na kasi (stampaju se samo cisto crne tacke):"), {7, 122, 236, 8});
    RegisterItem(IDC_PREVIEW, previewArea, {7, 131, 236, 104});
    RegisterItem(IDC_PREVIEW_NOTE, new QLabel(this), {7, 238, 236, 10});

    AddButton(IDC_LOAD, QStringLiteral("Ucitaj Sliku"), {250, 13, 60, 14});
    AddButton(IDC_SEND, QStringLiteral("Posalji na kasu"), {250, 31, 60, 14});
    AddCheckBox(IDC_LOGO_ON, QStringLiteral("On"), {250, 53, 40, 10});

    OnCommand(IDC_LOAD, [this] { OnLoad(); });
    OnCommand(IDC_SEND, [this] { OnSend(); });
    OnCommand(IDC_LOGO_ON, [this] { OnLogoOn(); });
}

void CGrafikaDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Check(dx, IDC_LOGO_ON, m_nLogoOn);
}

bool CGrafikaDlg::OnInitDialog()
{
    // Every opening starts from the built-in logo; a picture loaded before
    // is kept but not shown until it is loaded again.
    ShowPicture(BuiltInLogo::Image());
    m_nLogoOn = RegisterServices::Device().ReadLogoEnabled() ? 1 : 0;
    return CDialog::OnInitDialog();
}

QImage CGrafikaDlg::PreviewPicture() const
{
    return LogoPreview::FromRows(m_logo);
}

void CGrafikaDlg::ShowPicture(const QImage& picture)
{
    m_shownPicture = picture;
    m_logo = BuildLogoRows(picture);
    SetPicture(m_picture, picture);
    const QImage preview = PreviewPicture();
    SetPicture(m_preview, preview);
    QString note;
    if (!m_logo.Ok()) {
        note = QString::fromLatin1(m_logo.error.c_str());
    } else if (const int dots = BlackDots(preview); dots == 0) {
        note = QStringLiteral("Nijedna tacka nije cisto crna: kasa ce odstampati prazan logo.");
    } else {
        note = QStringLiteral("%1 x %2 tacaka, od toga %3 crnih.").arg(preview.width()).arg(preview.height()).arg(dots);
    }
    SetItemText(IDC_PREVIEW_NOTE, note);
}

void CGrafikaDlg::OnLoad()
{
    const QString path = UiPrompts::Instance().AskOpenFileName(this);
    if (path.isEmpty()) {
        return;
    }
    // A file that is no picture changes nothing and says nothing; the area
    // then shows the last good picture, or nothing if there never was one.
    QImage decoded;
    if (LoadPicture(LocalFileName(path), decoded)) {
        m_loadedPicture = decoded;
    }
    ShowPicture(m_loadedPicture);
    UpdateData(true);
}

void CGrafikaDlg::OnSend()
{
    if (!m_logo.Ok()) {
        ThermalMessageBox(QString::fromLatin1(m_logo.error.c_str()));
        return;
    }
    ECRDevice& device = RegisterServices::Device();
    // One step of the progress window per row; 100 (which hides it) only
    // once the logo is stored.
    device.ReportProgress(-1);
    LogoUpload::Send(device, m_logo.rows, [&device](std::size_t sent, std::size_t total) {
        device.ReportProgress(static_cast<std::int32_t>(std::min<std::size_t>(99, sent * 100 / total)));
    });
    device.ReportProgress(100);
}

void CGrafikaDlg::OnLogoOn()
{
    UpdateData(true);
    RegisterServices::Device().SetLogoEnabled(m_nLogoOn != 0);
}
