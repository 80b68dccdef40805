#pragma once

#include "framework/CodePage.h"
#include "framework/DataExchange.h"
#include "framework/UiPrompts.h"

#include <QDialog>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPixmap;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QAbstractItemModel;
class QTreeView;
class QTreeWidget;

// Base of every dialog. A dialog builds its controls in its constructor from
// the design's resource, with positions in dialog units and the design's
// numeric control ids, wires its buttons with OnCommand and exchanges its
// member fields with the controls in DoDataExchange:
//
//   CTaxRateDlg::CTaxRateDlg(QWidget* parent) : CDialog(parent)
//   {
//       setWindowTitle("Poreske stope");
//       SetDialogSize(160, 200);
//       AddLabel("A", {7, 9, 20, 8});
//       AddEdit(1008, {30, 7, 60, 14});
//       AddButton(1022, "Citaj <<", {100, 7, 50, 14});
//       AddButton(IDOK, "OK", {100, 40, 50, 14});     // ids 1 and 2 run OnOK / OnCancel
//       OnCommand(1022, [this] { OnRead(); });        // runs inside ActionGuard
//   }
//
// A modal dialog runs with DoModal() (IDOK or IDCANCEL); OnInitDialog runs at
// every opening and by default writes the members to the controls. A modeless
// one calls Create() at the end of its constructor and is shown with
// ShowWindow(true); OK, Cancel, Esc and the close box then hide it.
class CDialog : public QDialog {
    Q_OBJECT

public:
    enum class PickerMode { ShortDate, Time };

    explicit CDialog(QWidget* parent = nullptr);
    ~CDialog() override;

    int DoModal();
    void Create();
    void ShowWindow(bool show);
    void EndDialog(int result);

    // Runs DoDataExchange; false when a field failed validation (the
    // members up to that field are read, the rest keep their values).
    bool UpdateData(bool saveAndValidate = true);
    // Whether the last UpdateData stopped at a text the code page could not
    // take. Its message said that nothing was sent, so the action must stop
    // even where a bad integer would let it go on.
    bool TextRefused() const { return m_lastFailure == CDataExchange::Failure::RefusedText; }

    // The control with a design id, or null.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }
    void EnableItem(int id, bool enable);

    // Window text of a control (edit, combo edit field, label, button); a
    // multi-line edit gives and takes CR LF line breaks.
    QString GetItemText(int id) const;
    void SetItemText(int id, const QString& text);
    // The same as the 8-bit bytes of the control's code page; false with the
    // first character the code page has no byte for.
    bool GetItemBytes(int id, std::string& bytes, TextFault& fault) const;
    void SetItemBytes(int id, std::string_view bytes);

    // Switches the code page a text control shows its bytes in; the bytes it
    // holds stay the same (Windows-1250 unless set).
    void SetItemCodePage(int id, CodePage::Id codePage);
    CodePage::Id ItemCodePage(int id) const;

    // What a message calls a field ("IBFM", "Linija 1"); the control's id
    // when the dialog gave it no name.
    void SetItemName(int id, const QString& name);
    QString ItemName(int id) const;

    // The buttons of the radio group that starts at firstId, in order.
    std::vector<QRadioButton*> RadioGroup(int firstId) const;

    // Dialog units to pixels, from the dialog font as the window system does.
    QRect DluToPixels(const QRect& dlu) const;

    // Tests replace how DoModal waits: the driver gets the dialog after
    // OnInitDialog, shown, and may click and call EndDialog; DoModal then
    // returns the result (IDCANCEL if the driver did not end it).
    using ModalDriver = std::function<void(CDialog&)>;
    static ModalDriver SetModalDriver(ModalDriver driver);

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Building from the design.
    void SetDialogFont(const QFont& font);
    void SetDialogSize(int widthDlu, int heightDlu);
    void SetMenuBar(QMenuBar* menuBar);
    QLabel* AddLabel(const QString& text, const QRect& dlu);
    QLineEdit* AddEdit(int id, const QRect& dlu);
    QPlainTextEdit* AddMultiLineEdit(int id, const QRect& dlu, bool readOnly, bool wrapLines);
    QPushButton* AddButton(int id, const QString& caption, const QRect& dlu);
    QCheckBox* AddCheckBox(int id, const QString& caption, const QRect& dlu);
    // startsGroup: the first button of a group, as DDX_Radio's id.
    QRadioButton* AddRadioButton(int id, const QString& caption, const QRect& dlu, bool startsGroup);
    QComboBox* AddComboBox(int id, const QRect& dlu, const QStringList& items, bool editable);
    QDateTimeEdit* AddDateTimePicker(int id, const QRect& dlu, PickerMode mode);
    // A report-style list view (rows of columns, single selection): with its
    // own items, or over a model where the rows are too many for items. The
    // user may widen its columns; a cell its column cuts shows its whole text
    // as a tooltip.
    QTreeWidget* AddListView(int id, const QRect& dlu, const QStringList& columns);
    QTreeView* AddListView(int id, const QRect& dlu, QAbstractItemModel* model);
    // The columns' widths as the design gives them, each a fraction of the
    // room inside the list's frame (a quarter: 4). For the opening: a refill
    // keeps what the user has widened since.
    static void SetColumnWidths(QTreeView* list, std::initializer_list<int> divisors);
    QProgressBar* AddProgressBar(int id, const QRect& dlu);
    QLabel* AddPicture(int id, const QRect& dlu, const QPixmap& picture);
    QGroupBox* AddGroupBox(const QString& caption, const QRect& dlu);
    // A control built by hand, placed and found like the others.
    void RegisterItem(int id, QWidget* control, const QRect& dlu);

    // A click on the button (or check box, radio button) runs the handler
    // through ActionGuard.
    void OnCommand(int id, std::function<void()> handler);

    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    // Every window opens inside the screen's available area, caption included.
    void showEvent(QShowEvent* event) override;

private:
    void Place(QWidget* control, const QRect& dlu);
    static void ShowAsReport(QTreeView* list);
    QPointF BaseUnits() const;

    std::map<int, QWidget*> m_items;
    std::map<int, CodePage::Id> m_codePages;
    std::map<int, QString> m_itemNames;
    std::map<int, std::vector<QRadioButton*>> m_radioGroups;
    std::map<int, QButtonGroup*> m_buttonGroups;
    int m_lastRadioGroup = 0;
    int m_menuHeight = 0;
    QMenuBar* m_menuBar = nullptr;
    QSize m_dialogDlu;
    CDataExchange::Failure m_lastFailure = CDataExchange::Failure::None;
};
