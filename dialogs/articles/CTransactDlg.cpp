#include "dialogs/articles/CTransactDlg.h"

#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ScaledAmount.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

CTransactDlg::CTransactDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Transakcija"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(262, 148);

    AddLabel(QStringLiteral("Ime artikla"), {8, 10, 52, 8});
    AddEdit(IDC_NAME, {62, 8, 116, 14});
    AddLabel(QStringLiteral("Cena"), {8, 28, 52, 8});
    AddEdit(IDC_PRICE, {62, 26, 60, 14});
    AddLabel(QStringLiteral("Poreska Stopa"), {8, 46, 52, 8});
    AddEdit(IDC_TAX_RATE, {62, 44, 30, 14});
    AddLabel(QStringLiteral("Jedinica Mere"), {8, 64, 52, 8});
    AddComboBox(IDC_UNIT, {62, 62, 60, 90},
                {QStringLiteral("bez"), QStringLiteral("g"), QStringLiteral("kg"), QStringLiteral("t"),
                 QStringLiteral("l"), QStringLiteral("m"), QStringLiteral("m2"), QStringLiteral("m3")},
                true);
    AddLabel(QStringLiteral("Kolicina"), {8, 82, 52, 8});
    AddEdit(IDC_QUANTITY, {62, 80, 60, 14});

    AddButton(IDC_SELL, QStringLiteral("Prodaj >>"), {190, 8, 64, 14});
    AddButton(IDC_VOID, QStringLiteral("Storno <<"), {190, 26, 64, 14});
    AddButton(IDC_SUBTOTAL, QStringLiteral("Medjusuma"), {190, 44, 64, 14});

    AddGroupBox(QString(), {4, 98, 254, 26});
    AddLabel(QStringLiteral("Kesh"), {10, 108, 18, 8});
    AddEdit(IDC_CASH, {30, 106, 46, 14});
    AddLabel(QStringLiteral("Chek"), {82, 108, 18, 8});
    AddEdit(IDC_CHEQUE, {102, 106, 46, 14});
    AddLabel(QStringLiteral("Kartica"), {154, 108, 26, 8});
    AddEdit(IDC_CARD, {182, 106, 46, 14});

    AddButton(IDC_PAY, QStringLiteral("Plati >>>"), {8, 128, 60, 14});
    AddButton(IDC_CANCEL_TRANSACTION, QStringLiteral("Prekini Transakciju"), {74, 128, 80, 14});
    AddButton(IDOK, QStringLiteral("OK"), {204, 128, 50, 14});

    // What a refused text's message calls its field: the label beside it.
    SetItemName(IDC_NAME, QStringLiteral("Ime artikla"));
    SetItemName(IDC_PRICE, QStringLiteral("Cena"));
    SetItemName(IDC_QUANTITY, QStringLiteral("Kolicina"));
    SetItemName(IDC_CHEQUE, QStringLiteral("Chek"));
    SetItemName(IDC_CASH, QStringLiteral("Kesh"));
    SetItemName(IDC_CARD, QStringLiteral("Kartica"));

    OnCommand(IDC_SELL, [this] { OnSell(); });
    OnCommand(IDC_VOID, [this] { OnVoid(); });
    OnCommand(IDC_SUBTOTAL, [this] { OnSubtotal(); });
    OnCommand(IDC_PAY, [this] { OnPay(); });
    OnCommand(IDC_CANCEL_TRANSACTION, [this] { OnCancelTransaction(); });
}

void CTransactDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_NAME, m_strName);
    DDX_Text(dx, IDC_PRICE, m_strPrice);
    DDX_Text(dx, IDC_TAX_RATE, m_nTaxRate);
    DDX_Text(dx, IDC_QUANTITY, m_strQuantity);
    DDX_Text(dx, IDC_CHEQUE, m_strCheque);
    DDX_CBIndex(dx, IDC_UNIT, m_nUnit);
    DDX_Text(dx, IDC_CASH, m_strCash);
    DDX_Text(dx, IDC_CARD, m_strCard);
}

// A tax rate that is no integer stops the reading at that field; the line is
// still sent, with the values the later fields kept. A text the register
// cannot take sends nothing: its message says so.
void CTransactDlg::OnSell()
{
    if (!ReadFields()) {
        return;
    }
    RegisterServices::Device().SellItem(ECRString(m_strName.c_str()), ParseScaled(m_strPrice.c_str(), 2),
                                        ParseScaled(m_strQuantity.c_str(), 3), m_nTaxRate, m_nUnit);
}

void CTransactDlg::OnVoid()
{
    if (!ReadFields()) {
        return;
    }
    RegisterServices::Device().VoidItem(ECRString(m_strName.c_str()), ParseScaled(m_strPrice.c_str(), 2),
                                        ParseScaled(m_strQuantity.c_str(), 3));
}

bool CTransactDlg::ReadFields()
{
    UpdateData(true);
    return !TextRefused();
}

void CTransactDlg::OnSubtotal()
{
    RegisterServices::Device().ReadSubtotal();
}

void CTransactDlg::OnPay()
{
    if (!ReadFields()) {
        return;
    }
    RegisterServices::Device().EndTransaction(ParseScaled(m_strCash.c_str(), 2), ParseScaled(m_strCheque.c_str(), 2),
                                              ParseScaled(m_strCard.c_str(), 2));
}

void CTransactDlg::OnCancelTransaction()
{
    RegisterServices::Device().CancelTransaction();
}
