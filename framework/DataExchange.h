#pragma once

#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <string>

class CDialog;
class QWidget;

// One pass of member <-> control exchange, handed to CDialog::DoDataExchange.
// Direction "save" reads the controls into the members, otherwise the members
// are written to the controls. When a field fails validation the pass stops:
// that member and every later one keep their values.
//
// A dialog's DoDataExchange reads like the design:
//   void CTaxRateDlg::DoDataExchange(CDataExchange& dx)
//   {
//       DDX_Text(dx, 1008, m_strRateA);      // std::string of Windows-1250 bytes
//       DDX_Text(dx, 1034, m_nTaxRate);      // int, "Please enter an integer." on bad text
//       DDX_Check(dx, 1021, m_bDouble1);     // int 0/1
//       DDX_Radio(dx, 1089, m_nLength);      // index in the group that starts at 1089, -1 none
//       DDX_CBIndex(dx, 1004, m_nUnit);      // selection index, -1 none
//       DDX_DateTime(dx, 1031, m_date);      // std::int64_t seconds since 1970 (local time shown)
//   }
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    bool SaveAndValidate() const { return m_saveAndValidate; }
    CDialog& Dialog() const { return m_dialog; }

    // Why a pass stopped. A refused text must stop the action that read it
    // (its message says nothing was sent); after a bad integer the design
    // lets some actions go on with the value kept.
    enum class Failure { None, BadInteger, RefusedText };

    // Stops the pass: later DDX calls do nothing.
    void Fail(Failure why) { m_failure = why; }
    bool Failed() const { return m_failure != Failure::None; }
    Failure Why() const { return m_failure; }

    // The control with this id; throws std::logic_error for an id the dialog does not have.
    QWidget* Control(int id) const;

private:
    CDialog& m_dialog;
    bool m_saveAndValidate;
    Failure m_failure = Failure::None;
};

// Text of an edit, combo box edit field or label, as Windows-1250 bytes (or
// the control's own code page, CDialog::SetItemCodePage). Multi-line edits
// use CR LF between lines in the member, as the register's texts do. A
// character the code page lacks shows a message naming the field and the
// character (CDialog::SetItemName) and fails the pass, so nothing is sent.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
void DDX_Text(CDataExchange& dx, int id, QByteArray& value);
// Integer text; anything that is not a whole 32-bit integer (optional sign,
// blanks around it allowed) shows "Please enter an integer." and fails the pass.
void DDX_Text(CDataExchange& dx, int id, int& value);
void DDX_Check(CDataExchange& dx, int id, int& value);
void DDX_Radio(CDataExchange& dx, int firstId, int& value);
// Selection index, -1 for none. In a combo box with an edit field the typed
// text counts: the index of the item it names, -1 when it names none.
void DDX_CBIndex(CDataExchange& dx, int id, int& value);
void DDX_DateTime(CDataExchange& dx, int id, std::int64_t& value);
void DDX_DateTime(CDataExchange& dx, int id, QDateTime& value);

// The integer a text holds, the way DDX_Text reads it; false if it holds none.
bool ParseDialogInteger(const QString& text, int& value);
