#include "framework/CDialog.h"

#include "framework/ActionGuard.h"
#include "framework/BusyState.h"
#include "framework/CutCellToolTip.h"
#include "framework/ScreenFit.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Time the window system takes to frame a window that has just been shown.
constexpr int kFrameSettleMs = 300;

CDialog::ModalDriver& Driver()
{
    static CDialog::ModalDriver driver;
    return driver;
}

QString ToWindowLines(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString ToDesignLines(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

}  // namespace

CDialog::CDialog(QWidget* parent) : QDialog(parent)
{
    // Dialogs have no "?" button; their size comes from the design.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

CDialog::~CDialog() = default;

CDialog::ModalDriver CDialog::SetModalDriver(ModalDriver driver)
{
    ModalDriver previous = std::move(Driver());
    Driver() = std::move(driver);
    return previous;
}

int CDialog::DoModal()
{
    setResult(0);
    OnInitDialog();
    // Modal to the window it was opened from and that one's owners, as the
    // design's modal dialogs disable only their owner: a window outside the
    // chain (the connection monitor) stays usable.
    setWindowModality(Qt::WindowModal);
    // The user has the turn until the dialog ends, even inside a busy action.
    BusyState::UserTurn turn;
    int result = 0;
    if (Driver()) {
        // Copy: the driver may replace itself while it runs.
        ModalDriver driver = Driver();
        show();
        driver(*this);
        if (isVisible()) {
            EndDialog(IDCANCEL);
        }
        result = this->result();
    } else {
        result = exec();
    }
    return result == IDOK ? IDOK : IDCANCEL;
}

void CDialog::Create()
{
    setModal(false);
    OnInitDialog();
}

void CDialog::ShowWindow(bool show)
{
    setVisible(show);
    // The headless platform of the tests cannot raise windows and says so.
    if (show && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
    }
}

void CDialog::EndDialog(int result)
{
    QDialog::done(result);
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    m_lastFailure = dx.Why();
    return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::accept()
{
    ActionGuard::Run([this] { OnOK(); });
}

void CDialog::reject()
{
    ActionGuard::Run([this] { OnCancel(); });
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    // As on the design's platform, Enter means OK even without an OK button.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            for (QPushButton* button : findChildren<QPushButton*>()) {
                if (button->isDefault() && button->isVisible()) {
                    QDialog::keyPressEvent(event);
                    return;
                }
            }
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CDialog::showEvent(QShowEvent* event)
{
    // Centres a dialog over its owner, by a guess of the frame's size.
    QDialog::showEvent(event);
    if (event->spontaneous() || !isWindow()) {
        return;
    }
    ScreenFit::KeepOnScreen(*this);
    // Once the window system has framed the window its caption is known.
    QTimer::singleShot(kFrameSettleMs, this, [this] {
        if (isVisible()) {
            ScreenFit::KeepOnScreen(*this);
        }
    });
}

QWidget* CDialog::GetDlgItem(int id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second;
}

void CDialog::EnableItem(int id, bool enable)
{
    if (QWidget* control = GetDlgItem(id)) {
        control->setEnabled(enable);
    }
}

QString CDialog::GetItemText(int id) const
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return edit->text();
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        return ToDesignLines(edit->toPlainText());
    }
    if (auto* edit = qobject_cast<QTextEdit*>(control)) {
        return ToDesignLines(edit->toPlainText());
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->currentText();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        return box->title();
    }
    return control != nullptr ? control->windowTitle() : QString();
}

void CDialog::SetItemText(int id, const QString& text)
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        // As on the design's platform an unchanged text is not set again: the
        // caret and selection stay where the user left them.
        if (edit->text() != text) {
            edit->setText(text);
        }
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        edit->setPlainText(ToWindowLines(text));
    } else if (auto* edit = qobject_cast<QTextEdit*>(control)) {
        edit->setPlainText(ToWindowLines(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            combo->setCurrentIndex(combo->findText(text));
        }
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(text);
    }
}

bool CDialog::GetItemBytes(int id, std::string& bytes, TextFault& fault) const
{
    return CodePage::FromUnicode(GetItemText(id), bytes, fault, ItemCodePage(id));
}

void CDialog::SetItemBytes(int id, std::string_view bytes)
{
    SetItemText(id, CodePage::ToUnicode(bytes, ItemCodePage(id)));
}

void CDialog::SetItemCodePage(int id, CodePage::Id codePage)
{
    std::string bytes;
    TextFault fault;
    const bool convertible = GetItemBytes(id, bytes, fault);
    m_codePages[id] = codePage;
    // A character the old code page lacks has no bytes to show anew: it stays
    // as typed, and reading the field refuses it.
    if (convertible) {
        SetItemBytes(id, bytes);
    }
}

void CDialog::SetItemName(int id, const QString& name)
{
    m_itemNames[id] = name;
}

QString CDialog::ItemName(int id) const
{
    auto it = m_itemNames.find(id);
    return it == m_itemNames.end() ? QString::number(id) : it->second;
}

CodePage::Id CDialog::ItemCodePage(int id) const
{
    auto it = m_codePages.find(id);
    return it == m_codePages.end() ? CodePage::Windows1250 : it->second;
}

std::vector<QRadioButton*> CDialog::RadioGroup(int firstId) const
{
    auto it = m_radioGroups.find(firstId);
    return it == m_radioGroups.end() ? std::vector<QRadioButton*>{} : it->second;
}

QPointF CDialog::BaseUnits() const
{
    // The window system's dialog base units: the average width of the
    // letters and the height of the dialog font.
    QFontMetricsF metrics(font());
    const qreal width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return {width, metrics.height()};
}

QRect CDialog::DluToPixels(const QRect& dlu) const
{
    const QPointF base = BaseUnits();
    auto x = [&](int units) { return static_cast<int>(std::lround(units * base.x() / 4.0)); };
    auto y = [&](int units) { return static_cast<int>(std::lround(units * base.y() / 8.0)); };
    return {x(dlu.x()), y(dlu.y()), x(dlu.width()), y(dlu.height())};
}

void CDialog::SetDialogFont(const QFont& font)
{
    setFont(font);
}

void CDialog::SetDialogSize(int widthDlu, int heightDlu)
{
    m_dialogDlu = {widthDlu, heightDlu};
    const QRect size = DluToPixels({0, 0, widthDlu, heightDlu});
    setFixedSize(size.width(), size.height() + m_menuHeight);
    if (m_menuBar != nullptr) {
        m_menuBar->setGeometry(0, 0, size.width(), m_menuHeight);
    }
}

void CDialog::SetMenuBar(QMenuBar* menuBar)
{
    m_menuBar = menuBar;
    m_menuHeight = menuBar->sizeHint().height();
    if (m_dialogDlu.isValid()) {
        SetDialogSize(m_dialogDlu.width(), m_dialogDlu.height());
    }
}

void CDialog::Place(QWidget* control, const QRect& dlu)
{
    control->setParent(this);
    control->setGeometry(DluToPixels(dlu).translated(0, m_menuHeight));
}

void CDialog::RegisterItem(int id, QWidget* control, const QRect& dlu)
{
    Place(control, dlu);
    if (id != 0) {
        m_items[id] = control;
    }
}

QLabel* CDialog::AddLabel(const QString& text, const QRect& dlu)
{
    auto* label = new QLabel(text, this);
    Place(label, dlu);
    return label;
}

QLineEdit* CDialog::AddEdit(int id, const QRect& dlu)
{
    auto* edit = new QLineEdit(this);
    RegisterItem(id, edit, dlu);
    return edit;
}

QPlainTextEdit* CDialog::AddMultiLineEdit(int id, const QRect& dlu, bool readOnly, bool wrapLines)
{
    auto* edit = new QPlainTextEdit(this);
    edit->setReadOnly(readOnly);
    edit->setLineWrapMode(wrapLines ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RegisterItem(id, edit, dlu);
    return edit;
}

QPushButton* CDialog::AddButton(int id, const QString& caption, const QRect& dlu)
{
    auto* button = new QPushButton(caption, this);
    RegisterItem(id, button, dlu);
    // Enter means OK, never "press again whatever button was clicked last":
    // only the OK button is a default button.
    button->setAutoDefault(false);
    if (id == IDOK) {
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this] { accept(); });
    } else if (id == IDCANCEL) {
        connect(button, &QPushButton::clicked, this, [this] { reject(); });
    }
    return button;
}

QCheckBox* CDialog::AddCheckBox(int id, const QString& caption, const QRect& dlu)
{
    auto* box = new QCheckBox(caption, this);
    RegisterItem(id, box, dlu);
    return box;
}

QRadioButton* CDialog::AddRadioButton(int id, const QString& caption, const QRect& dlu, bool startsGroup)
{
    auto* button = new QRadioButton(caption, this);
    RegisterItem(id, button, dlu);
    if (startsGroup || m_lastRadioGroup == 0) {
        m_lastRadioGroup = id;
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        m_buttonGroups[id] = group;
    }
    m_radioGroups[m_lastRadioGroup].push_back(button);
    m_buttonGroups[m_lastRadioGroup]->addButton(button);
    return button;
}

QComboBox* CDialog::AddComboBox(int id, const QRect& dlu, const QStringList& items, bool editable)
{
    auto* combo = new QComboBox(this);
    combo->setEditable(editable);
    // Typed text picks a listed item at most; it never becomes an item of its own.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    // The design gives the height of the dropped list; the closed box is one line.
    RegisterItem(id, combo, dlu);
    combo->setFixedHeight(combo->sizeHint().height());
    return combo;
}

QDateTimeEdit* CDialog::AddDateTimePicker(int id, const QRect& dlu, PickerMode mode)
{
    auto* picker = new QDateTimeEdit(this);
    picker->setAlignment(Qt::AlignRight);
    if (mode == PickerMode::ShortDate) {
        picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        picker->setCalendarPopup(true);
    } else {
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    }
    RegisterItem(id, picker, dlu);
    return picker;
}

QTreeWidget* CDialog::AddListView(int id, const QRect& dlu, const QStringList& columns)
{
    auto* list = new QTreeWidget(this);
    ShowAsReport(list);
    list->setHeaderLabels(columns);
    RegisterItem(id, list, dlu);
    return list;
}

QTreeView* CDialog::AddListView(int id, const QRect& dlu, QAbstractItemModel* model)
{
    auto* list = new QTreeView(this);
    ShowAsReport(list);
    list->setModel(model);
    RegisterItem(id, list, dlu);
    return list;
}

void CDialog::ShowAsReport(QTreeView* list)
{
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setDefaultAlignment(Qt::AlignLeft);
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->setItemDelegate(new CutCellToolTip(list));
}

void CDialog::SetColumnWidths(QTreeView* list, std::initializer_list<int> divisors)
{
    const int room = list->width() - 2 * list->frameWidth();
    int column = 0;
    for (const int divisor : divisors) {
        list->setColumnWidth(column++, room / divisor);
    }
}

QProgressBar* CDialog::AddProgressBar(int id, const QRect& dlu)
{
    auto* bar = new QProgressBar(this);
    bar->setTextVisible(false);
    RegisterItem(id, bar, dlu);
    return bar;
}

QLabel* CDialog::AddPicture(int id, const QRect& dlu, const QPixmap& picture)
{
    auto* label = new QLabel(this);
    label->setPixmap(picture);
    RegisterItem(id, label, dlu);
    // A bitmap static shows its picture at the picture's own size.
    label->resize(picture.size());
    return label;
}

QGroupBox* CDialog::AddGroupBox(const QString& caption, const QRect& dlu)
{
    auto* box = new QGroupBox(caption, this);
    Place(box, dlu);
    box->lower();
    return box;
}

void CDialog::OnCommand(int id, std::function<void()> handler)
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    if (button == nullptr) {
        throw std::logic_error("OnCommand: no button with id " + std::to_string(id));
    }
    connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { ActionGuard::Run(handler); });
}
