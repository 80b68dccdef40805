#include "dialogs/articles/DatabaseArticleModel.h"

#include "ecr/commands/ScaledAmount.h"
#include "framework/CodePage.h"

#include <algorithm>
#include <string_view>

namespace {

QString FromRegister(const ECRString& text)
{
    return CodePage::ToUnicode(std::string_view(text.Data(), text.Length()));
}

}  // namespace

DatabaseArticleModel::DatabaseArticleModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatabaseArticleModel::SetArticles(std::vector<DatabaseArticle> articles)
{
    beginResetModel();
    m_articles = std::move(articles);
    m_foldedNames.clear();
    m_foldedNames.reserve(m_articles.size());
    for (const DatabaseArticle& article : m_articles) {
        m_foldedNames.push_back(CodePage::ToLower(std::string_view(article.name.Data(), article.name.Length())));
    }
    m_shown.clear();
    endResetModel();
}

void DatabaseArticleModel::SetFilter(const std::string& prefix)
{
    const std::string folded = CodePage::ToLower(prefix);
    beginResetModel();
    m_shown.clear();
    for (std::size_t i = 0; i < m_foldedNames.size(); ++i) {
        if (std::string_view(m_foldedNames[i]).substr(0, folded.size()) == folded) {
            m_shown.push_back(static_cast<int>(i));
        }
    }
    endResetModel();
}

int DatabaseArticleModel::RowOf(int articleIndex) const
{
    const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), articleIndex);
    return it != m_shown.end() && *it == articleIndex ? static_cast<int>(it - m_shown.begin()) : -1;
}

QString DatabaseArticleModel::Text(int row, Column column) const
{
    const DatabaseArticle& article = m_articles[static_cast<std::size_t>(ArticleIndex(row))];
    switch (column) {
    case Name: return FromRegister(article.name);
    case Barcode: return FromRegister(article.barcode);
    case Price: return QString::fromLatin1(FormatScaled(article.price, 2).Data());
    case TaxRate: return QString::number(article.taxRate);
    default:
        // The database has no unit: the column stays empty.
        return {};
    }
}

int DatabaseArticleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int DatabaseArticleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DatabaseArticleModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return Text(index.row(), static_cast<Column>(index.column()));
}

QVariant DatabaseArticleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[] = {"Naziv", "Barkod", "Cena", "Stopa", "Mera"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kHeaders[section]) : QVariant();
}
