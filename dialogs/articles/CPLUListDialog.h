#pragma once

#include "ecr/articles/ArticleUpload.h"
#include "ecr/articles/TestArticles.h"
#include "ecr/commands/ECRArticle.h"
#include "framework/CDialog.h"

#include <QIcon>

#include <cstddef>
#include <cstdint>
#include <list>

class ECRDevice;
class QTreeWidget;
class QTreeWidgetItem;

// "PLU Operacije": the register's article table as a whole. Reads every
// article into the list (which shows what the device read, and starts empty
// at every opening), saves that reading to a list file, programs the
// register from an import file or with the generated test articles, and
// deletes one article or all of them. A member of the main window.
class CPLUListDialog : public CDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDC_LIST = 1000,
        IDC_IMPORT = 1001,
        IDC_DELETE = 1014,
        IDC_SAVE = 1071,
        IDC_DELETE_ALL = 1072,
        IDC_SEND_TEST = 1075,
        IDC_READ = 1078,
    };

    // The bar of a reading shows the share of a full table read so far.
    static constexpr std::size_t kTableSize = 15000;

    explicit CPLUListDialog(QWidget* parent = nullptr);

    // "Obrisati sve artikle ?", and on OK every article deleted in the register.
    static void DeleteAllArticles();

    // Builds the four columns anew and shows one row per article, in order.
    void FillList(const std::list<ECRArticle>& articles);

    // The test articles "Posalji 15000 artikala" sends: Artikal<first> to
    // Artikal<last>. Tests narrow the range to save time.
    std::int32_t m_nTestFirst = TestArticles::kFirst;
    std::int32_t m_nTestLast = TestArticles::kLast;

protected:
    bool OnInitDialog() override;

private:
    // The article name of a row as the register's bytes.
    static std::string NameBytes(const QTreeWidgetItem& row);
    void OnRead();
    void OnSave();
    void OnImport();
    void OnSendTest();
    void OnDelete();
    void OnDoubleClick();
    void OnRightClick();

    // Programs the articles with the progress window and its "Prekini"; the
    // end of the run goes to the monitor's debug box, also after a failure.
    void Upload(std::size_t total, ArticleUpload::Source articleAt);
    // Moves the progress bar when the share done has changed; 100 only ends a run.
    void ShowProgress(ECRDevice& device, std::size_t done, std::size_t total);
    QTreeWidgetItem* FirstSelected() const;

    QTreeWidget* m_list = nullptr;
    QIcon m_rowIcon;
};
