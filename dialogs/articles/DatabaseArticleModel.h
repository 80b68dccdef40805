#pragma once

#include "ecr/articles/DatabaseArticle.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

// The rows of the sale dialog's list: the database's articles in file order,
// only those whose name begins with the filter (letter case ignored by the
// Windows-1250 letters, so "č" finds "Č"). A model over the article vector,
// so that a keystroke refills a list of a large database at once.
class DatabaseArticleModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { Name, Barcode, Price, TaxRate, Unit, ColumnCount };

    explicit DatabaseArticleModel(QObject* parent = nullptr);

    void SetArticles(std::vector<DatabaseArticle> articles);
    const std::vector<DatabaseArticle>& Articles() const { return m_articles; }

    // Shows the articles whose name begins with the prefix (Windows-1250
    // bytes); an empty prefix shows every article. Resets the model.
    void SetFilter(const std::string& prefix);

    // The index in Articles() of a shown row, and the row of an article (-1 when not shown).
    int ArticleIndex(int row) const { return m_shown[static_cast<std::size_t>(row)]; }
    int RowOf(int articleIndex) const;

    // The text of a cell as the list shows it.
    QString Text(int row, Column column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<DatabaseArticle> m_articles;
    std::vector<std::string> m_foldedNames;  // lower case, made once per reading
    std::vector<int> m_shown;                // indices into m_articles, ascending
};
