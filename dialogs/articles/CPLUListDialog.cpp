#include "dialogs/articles/CPLUListDialog.h"

#include "dialogs/articles/CTransactDlg.h"
#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/ArticleListFile.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRAtoi.h"
#include "framework/ActionGuard.h"
#include "framework/CodePage.h"
#include "framework/FileFaultText.h"
#include "framework/RegisterServices.h"
#include "framework/SansSerifFont.h"
#include "framework/StoppableRun.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

const QStringList kColumns = {QStringLiteral("Naziv"), QStringLiteral("Cena"), QStringLiteral("Stopa"),
                              QStringLiteral("Mera")};

}  // namespace

CPLUListDialog::CPLUListDialog(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("PLU Operacije"));
    SetDialogFont(SansSerifFont());
    SetDialogSize(336, 214);

    m_list = AddListView(IDC_LIST, {6, 6, 236, 202}, kColumns);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_rowIcon = style()->standardIcon(QStyle::SP_FileIcon);

    AddButton(IDC_READ, QStringLiteral("Procitaj sa kase"), {248, 6, 82, 14});
    AddButton(IDC_SAVE, QStringLiteral("Snimi listu"), {248, 24, 82, 14});
    AddButton(IDC_IMPORT, QStringLiteral("Ucitaj Iz fajla"), {248, 50, 82, 14});
    AddButton(IDC_SEND_TEST, QStringLiteral("Posalji 15000 artikala"), {248, 68, 82, 14});
    AddButton(IDC_DELETE_ALL, QStringLiteral("Obrisi sve sa kase "), {248, 94, 82, 14});
    AddButton(IDC_DELETE, QStringLiteral("Brisi artikal"), {248, 112, 82, 14});

    OnCommand(IDC_READ, [this] { OnRead(); });
    OnCommand(IDC_SAVE, [this] { OnSave(); });
    OnCommand(IDC_IMPORT, [this] { OnImport(); });
    OnCommand(IDC_SEND_TEST, [this] { OnSendTest(); });
    OnCommand(IDC_DELETE_ALL, [] { DeleteAllArticles(); });
    OnCommand(IDC_DELETE, [this] { OnDelete(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { ActionGuard::Run([this] { OnDoubleClick(); }); });
    connect(m_list, &QTreeWidget::customContextMenuRequested, this,
            [this] { ActionGuard::Run([this] { OnRightClick(); }); });
}

bool CPLUListDialog::OnInitDialog()
{
    // The list shows a reading of this opening only.
    m_list->clear();
    // A quarter each of the room inside the frame.
    SetColumnWidths(m_list, {4, 4, 4, 4});
    EnableItem(IDC_SAVE, false);
    return CDialog::OnInitDialog();
}

std::string CPLUListDialog::NameBytes(const QTreeWidgetItem& row)
{
    return row.data(0, Qt::UserRole).toByteArray().toStdString();
}

void CPLUListDialog::FillList(const std::list<ECRArticle>& articles)
{
    // The columns stay as they are, with what widths the user gave them.
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(articles.size()));
    for (const ECRArticle& article : articles) {
        auto* row = new QTreeWidgetItem(
            QStringList{CodePage::ToUnicode(std::string_view(article.name.Data(), article.name.Length())),
                        QString::number(article.price), QString::number(article.taxRate),
                        QString::number(article.unit)});
        // The register's own bytes, so that a delete or a sale names the article exactly.
        row->setData(0, Qt::UserRole, QByteArray(article.name.Data(), article.name.Length()));
        row->setIcon(0, m_rowIcon);
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
}

void CPLUListDialog::ShowProgress(ECRDevice& device, std::size_t done, std::size_t total)
{
    const int percent = total == 0 ? 0 : static_cast<int>(std::min<std::size_t>(99, done * 100 / total));
    device.ReportProgress(percent);
}

void CPLUListDialog::OnRead()
{
    m_list->clear();
    // What a failed reading left in the device is no list to save.
    EnableItem(IDC_SAVE, false);
    ECRDevice& device = RegisterServices::Device();
    device.ReportProgress(-1);
    device.ReadAllArticles([&](std::size_t read) { ShowProgress(device, read, kTableSize); });
    device.ReportProgress(100);
    FillList(device.Articles());
    EnableItem(IDC_SAVE, true);
}

void CPLUListDialog::OnSave()
{
    const QString path = UiPrompts::Instance().AskSaveFileName(this);
    if (path.isEmpty()) {
        return;
    }
    // Written whole or not at all: an earlier file survives a failed save.
    FileFault fault;
    if (!ArticleListFile::Write(LocalFileName(path), RegisterServices::Device().Articles(), fault)) {
        ShowFileFault(fault);
    }
}

void CPLUListDialog::OnImport()
{
    const QString path = UiPrompts::Instance().AskOpenFileName(this);
    if (path.isEmpty()) {
        return;
    }
    // The whole file is read and converted before the first article is sent.
    std::vector<ECRArticle> articles;
    FileFault fault;
    if (!ArticleImportFile::Read(LocalFileName(path), articles, fault)) {
        ShowFileFault(fault);
        return;
    }
    Upload(articles.size(), [&articles](std::size_t i) { return articles[i]; });
}

void CPLUListDialog::OnSendTest()
{
    const std::int64_t count = std::int64_t{m_nTestLast} - m_nTestFirst + 1;
    const std::int32_t first = m_nTestFirst;
    Upload(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)),
           [first](std::size_t i) { return TestArticles::Make(first + static_cast<std::int32_t>(i)); });
}

void CPLUListDialog::Upload(std::size_t total, ArticleUpload::Source articleAt)
{
    ECRDevice& device = RegisterServices::Device();
    ArticleUpload upload(device, total, std::move(articleAt));
    const auto report = [&upload] {
        RegisterServices& services = RegisterServices::Instance();
        if (upload.Refused() != 0) {
            services.ShowDebugMessage("Kasa je odbila " + std::to_string(upload.Refused()) + " artikala");
        }
        // Sent, but whether the register took them is unknown: never counted as done.
        if (upload.Unconfirmed() != 0) {
            services.ShowDebugMessage("Kasa nije potvrdila " + std::to_string(upload.Unconfirmed()) +
                                      " artikala (neispravan odgovor)");
        }
        services.ShowDebugMessage("Poslato " + std::to_string(upload.Sent()) + " od " + std::to_string(upload.Total()) +
                                  " artikala");
    };
    StoppableRun run;
    device.ReportProgress(-1);
    try {
        upload.Run([&](std::size_t sent) { ShowProgress(device, sent, total); },
                   [&run] { return run.StopRequested(); });
    } catch (...) {
        report();
        throw;
    }
    device.ReportProgress(100);
    report();
}

void CPLUListDialog::DeleteAllArticles()
{
    // One misplaced click must not wipe the register's article table.
    if (ThermalMessageBox(QStringLiteral("Obrisati sve artikle ?"), MessageButtons::OkCancel) == IDOK) {
        RegisterServices::Device().DeleteAllArticles();
    }
}

QTreeWidgetItem* CPLUListDialog::FirstSelected() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void CPLUListDialog::OnDelete()
{
    QTreeWidgetItem* row = FirstSelected();
    if (row == nullptr) {
        return;
    }
    const QString name = row->text(0);
    if (ThermalMessageBox(QStringLiteral("Obrisati artikal: ") + name + QStringLiteral(" ?"),
                          MessageButtons::OkCancel) == IDOK) {
        // The row stays until the next reading.
        RegisterServices::Device().DeleteArticle(ECRString(NameBytes(*row).c_str()));
    }
}

void CPLUListDialog::OnDoubleClick()
{
    if (QTreeWidgetItem* row = FirstSelected()) {
        ThermalMessageBox(row->text(0));
    }
}

void CPLUListDialog::OnRightClick()
{
    QTreeWidgetItem* row = FirstSelected();
    if (row == nullptr) {
        return;
    }
    // A fresh sale dialog for the row: the price text is the whole hundredths
    // as shown, so 1234 arrives as 1234.00.
    CTransactDlg sale(this);
    sale.m_strName = NameBytes(*row);
    sale.m_strPrice = row->text(1).toStdString();
    sale.m_nTaxRate = ECRAtoi(row->text(2).toStdString().c_str());
    sale.m_nUnit = ECRAtoi(row->text(3).toStdString().c_str());
    sale.DoModal();
}
