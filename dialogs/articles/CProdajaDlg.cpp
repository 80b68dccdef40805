#include "dialogs/articles/CProdajaDlg.h"

#include "dialogs/articles/DatabaseArticleModel.h"
#include "ecr/articles/ArticleDatabase.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/protocol/ECRAtoi.h"
#include "framework/ActionGuard.h"
#include "framework/CodePage.h"
#include "framework/FileFaultText.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <set>

namespace {

const QString kSell = QStringLiteral("Prodaj >>");
const QString kVoid = QStringLiteral("Storniraj !!");

// The name filter starts with the third character typed.
constexpr std::size_t kFilterFrom = 3;

std::string Bytes(const ECRString& text)
{
    return std::string(text.Data(), text.Length());
}

}  // namespace

CProdajaDlg::CProdajaDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Prodaja iz baze"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(330, 218);

    m_model = new DatabaseArticleModel(this);
    m_list = AddListView(IDC_LIST, {6, 6, 318, 120}, m_model);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    AddLabel(QStringLiteral("Naziv:"), {8, 136, 32, 8});
    AddEdit(IDC_NAME, {42, 134, 156, 14});
    AddLabel(QStringLiteral("Barkod:"), {8, 154, 32, 8});
    m_barcode = AddEdit(IDC_BARCODE, {42, 152, 90, 14});
    AddCheckBox(IDC_STORNO, QStringLiteral("Storno"), {142, 154, 56, 10});
    AddLabel(QStringLiteral("Kolicina:"), {8, 172, 32, 8});
    AddEdit(IDC_QUANTITY, {42, 170, 60, 14});
    m_sell = AddButton(IDC_SELL, kSell, {138, 170, 60, 14});
    // Enter in any field sells: a scanner ends every barcode with Enter.
    m_sell->setDefault(true);
    AddButton(IDC_SUBTOTAL, QStringLiteral("Medjusuma"), {138, 188, 60, 14});

    AddGroupBox(QString(), {208, 128, 116, 84});
    AddLabel(QStringLiteral("Gotovina"), {214, 138, 34, 8});
    AddEdit(IDC_CASH, {250, 136, 68, 14});
    AddLabel(QStringLiteral("Kartica"), {214, 156, 34, 8});
    AddEdit(IDC_CARD, {250, 154, 68, 14});
    AddLabel(QStringLiteral("Cek"), {214, 174, 34, 8});
    AddEdit(IDC_CHEQUE, {250, 172, 68, 14});
    AddButton(IDC_PAY, QStringLiteral("Naplati"), {258, 192, 60, 14});
    // What a refused text's message calls its field: the label beside it.
    SetItemName(IDC_NAME, QStringLiteral("Naziv"));
    SetItemName(IDC_BARCODE, QStringLiteral("Barkod"));
    SetItemName(IDC_QUANTITY, QStringLiteral("Kolicina"));
    SetItemName(IDC_CASH, QStringLiteral("Gotovina"));
    SetItemName(IDC_CARD, QStringLiteral("Kartica"));
    SetItemName(IDC_CHEQUE, QStringLiteral("Cek"));

    OnCommand(IDC_STORNO, [this] { OnStorno(); });
    OnCommand(IDC_SELL, [this] { OnSell(); });
    OnCommand(IDC_SUBTOTAL, [this] { OnSubtotal(); });
    OnCommand(IDC_PAY, [this] { OnPay(); });
    connect(Item<QLineEdit>(IDC_NAME), &QLineEdit::textChanged, this,
            [this] { ActionGuard::Run([this] { OnNameChanged(); }); });
    connect(m_list, &QTreeView::clicked, this, [this] { ActionGuard::Run([this] { OnRowClicked(); }); });
    m_barcode->installEventFilter(this);
    // A double click is taken before the view handles it: the click before
    // it may have refilled the list under the pointer.
    m_list->viewport()->installEventFilter(this);
}

CProdajaDlg::~CProdajaDlg()
{
    m_barcode->removeEventFilter(this);
    m_list->viewport()->removeEventFilter(this);
}

void CProdajaDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_BARCODE, m_strBarcode);
    DDX_Text(dx, IDC_QUANTITY, m_strQuantity);
    DDX_Check(dx, IDC_STORNO, m_bStorno);
    DDX_Text(dx, IDC_CASH, m_strCash);
    DDX_Text(dx, IDC_CARD, m_strCard);
    DDX_Text(dx, IDC_CHEQUE, m_strCheque);
    // Last: writing a changed name refills the list, which reads every
    // control first, and each must then already hold its new value.
    DDX_Text(dx, IDC_NAME, m_strName);
}

bool CProdajaDlg::OnInitDialog()
{
    ReadDatabase();
    CDialog::OnInitDialog();
    SetColumnWidths(m_list, {2, 4, 4, 8, 8});
    FillList();
    return true;
}

void CProdajaDlg::ReadDatabase()
{
    std::vector<DatabaseArticle> articles;
    FileFault fault;
    if (!ArticleDatabase::Read(ArticleDatabase::kPath, articles, fault)) {
        // The dialog still opens, with an empty list.
        articles.clear();
        ShowFileFault(fault);
    }
    m_model->SetArticles(std::move(articles));
}

void CProdajaDlg::FillList()
{
    UpdateData(false);
    // The articles selected before stay selected if they are still shown.
    std::set<int> selected;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        selected.insert(m_model->ArticleIndex(index.row()));
    }
    m_model->SetFilter(m_strName);
    for (const int article : selected) {
        const int row = m_model->RowOf(article);
        if (row >= 0) {
            m_list->selectionModel()->select(m_model->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

void CProdajaDlg::OnNameChanged()
{
    UpdateData(true);
    // With fewer characters the list stays as it is.
    if (m_strName.size() >= kFilterFrom) {
        FillList();
    }
}

bool CProdajaDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_barcode && event->type() == QEvent::FocusIn) {
        // After the click that brought the focus has placed the caret.
        QTimer::singleShot(0, m_barcode, &QLineEdit::selectAll);
    } else if (watched == m_barcode && event->type() == QEvent::FocusOut) {
        ActionGuard::Run([this] { OnBarcodeLeft(); });
    } else if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        ActionGuard::Run([this] { OnRowDoubleClicked(); });
        return true;
    }
    return CDialog::eventFilter(watched, event);
}

const DatabaseArticle* CProdajaDlg::LookUpBarcode()
{
    const DatabaseArticle* found = ArticleDatabase::FindBarcode(m_model->Articles(), ECRString(m_strBarcode.c_str()));
    if (found != nullptr) {
        m_strName = Bytes(found->name);
    }
    return found;
}

void CProdajaDlg::OnBarcodeLeft()
{
    UpdateData(true);
    if (LookUpBarcode() != nullptr) {
        UpdateData(false);
    }
}

int CProdajaDlg::FirstSelectedRow() const
{
    int first = -1;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

const DatabaseArticle& CProdajaDlg::ArticleAt(int row) const
{
    return m_model->Articles()[static_cast<std::size_t>(m_model->ArticleIndex(row))];
}

const DatabaseArticle* CProdajaDlg::TakeSelectedRow()
{
    const int row = FirstSelectedRow();
    if (row < 0) {
        return nullptr;
    }
    UpdateData(true);
    const DatabaseArticle& article = ArticleAt(row);
    m_strName = article.name.Data();
    m_strBarcode = article.barcode.Data();
    return &article;
}

void CProdajaDlg::OnRowClicked()
{
    if (TakeSelectedRow() != nullptr) {
        UpdateData(false);
        GetDlgItem(IDC_QUANTITY)->setFocus();
    }
}

void CProdajaDlg::OnRowDoubleClicked()
{
    if (const DatabaseArticle* article = TakeSelectedRow()) {
        // A text the register cannot take sends nothing: its message says so.
        if (TextRefused()) {
            return;
        }
        // The row as shown: the price the user saw is the database's.
        SendLine(m_strName, article->price, article->taxRate);
        m_strQuantity.clear();
        UpdateData(false);
    }
}

void CProdajaDlg::OnStorno()
{
    UpdateData(true);
    m_sell->setText(m_bStorno != 0 ? kVoid : kSell);
    UpdateData(false);
}

void CProdajaDlg::SendLine(const std::string& name, std::int32_t price, std::int32_t taxRate)
{
    ECRDevice& device = RegisterServices::Device();
    const std::int32_t quantity = ParseScaled(m_strQuantity.c_str(), 3);
    if (m_bStorno != 0) {
        device.VoidItem(ECRString(name.c_str()), price, quantity);
    } else {
        // The database has no unit: always 0.
        device.SellItem(ECRString(name.c_str()), price, quantity, taxRate, 0);
    }
    // "Storno" holds for one line only.
    m_bStorno = 0;
    m_sell->setText(kSell);
}

void CProdajaDlg::OnSell()
{
    if (!UpdateData(true)) {
        return;
    }
    const DatabaseArticle* article = LookUpBarcode();
    if (article == nullptr) {
        ThermalMessageBox(QStringLiteral("Nepoznat barkod ?"));
        return;
    }
    SendLine(m_strName, article->price, article->taxRate);
    UpdateData(false);
    FocusBarcode();
}

void CProdajaDlg::OnSubtotal()
{
    RegisterServices::Device().ReadSubtotal();
    FocusBarcode();
}

void CProdajaDlg::OnPay()
{
    if (!UpdateData(true)) {
        return;
    }
    RegisterServices::Device().EndTransaction(ParseScaled(m_strCash.c_str(), 2), ParseScaled(m_strCheque.c_str(), 2),
                                              ParseScaled(m_strCard.c_str(), 2));
    m_strName.clear();
    m_strQuantity.clear();
    m_strBarcode.clear();
    UpdateData(false);
    FocusBarcode();
}

void CProdajaDlg::FocusBarcode()
{
    m_barcode->setFocus();
    m_barcode->selectAll();
}
