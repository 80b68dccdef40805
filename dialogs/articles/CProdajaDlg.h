#pragma once

#include "framework/CDialog.h"

#include <string>

class DatabaseArticleModel;
class QLineEdit;
class QPushButton;
class QTreeView;
struct DatabaseArticle;

// "Prodaja iz baze": sales rung up from the article database
// "./Baza/Baza.txt" (relative to the current folder), read at every opening:
// a barcode scanned or typed, or an article picked from the list filtered by
// its name; each line sold (or voided) at once, then the subtotal and the
// payment. Built anew for every opening.
class CProdajaDlg : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_CASH = 1009,
        IDC_CARD = 1010,
        IDC_CHEQUE = 1011,
        IDC_SUBTOTAL = 1081,
        IDC_LIST = 1090,
        IDC_PAY = 1091,
        IDC_BARCODE = 1092,
        IDC_NAME = 1093,
        IDC_QUANTITY = 1094,
        IDC_SELL = 1095,
        IDC_STORNO = 1096,
    };

    explicit CProdajaDlg(QWidget* parent = nullptr);
    ~CProdajaDlg() override;

    // Windows-1250 bytes as typed; amounts are read with ParseScaled.
    std::string m_strName;
    std::string m_strBarcode;
    std::string m_strQuantity;
    int m_bStorno = 0;
    std::string m_strCash;
    std::string m_strCard;
    std::string m_strCheque;

    // The database as read and the rows the list shows.
    const DatabaseArticleModel& Model() const { return *m_model; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadDatabase();
    void FillList();
    void OnNameChanged();
    void OnBarcodeLeft();
    void OnRowClicked();
    void OnRowDoubleClicked();
    void OnStorno();
    void OnSell();
    void OnSubtotal();
    void OnPay();

    // The first article with the "Barkod:" text as its barcode, its name
    // then put into "Naziv:"; null when there is none.
    const DatabaseArticle* LookUpBarcode();
    // Sells the line, or voids it when "Storno" is checked; then "Storno" is
    // cleared again.
    void SendLine(const std::string& name, std::int32_t price, std::int32_t taxRate);
    void FocusBarcode();
    int FirstSelectedRow() const;
    const DatabaseArticle& ArticleAt(int row) const;
    // The selected row's name and barcode into the fields (the controls read
    // first); its article, or null when no row is selected.
    const DatabaseArticle* TakeSelectedRow();

    DatabaseArticleModel* m_model = nullptr;
    QTreeView* m_list = nullptr;
    QLineEdit* m_barcode = nullptr;
    QPushButton* m_sell = nullptr;
};
