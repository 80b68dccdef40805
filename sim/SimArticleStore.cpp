#include "sim/SimArticleStore.h"

bool SimArticleStore::Write(const std::string& name, std::int64_t price, std::int32_t taxRate,
                            std::int32_t unit)
{
    if (Article* existing = Find(name)) {
        existing->price = price;
        existing->taxRate = taxRate;
        existing->unit = unit;
        return true;
    }
    if (m_articles.size() >= kCapacity) {
        return false;
    }
    m_index.emplace(name, m_articles.size());
    m_articles.push_back(Article{name, price, taxRate, unit, 0, 0});
    return true;
}

bool SimArticleStore::Erase(const std::string& name)
{
    const auto found = m_index.find(name);
    if (found == m_index.end()) {
        return false;
    }
    const std::size_t position = found->second;
    m_index.erase(found);
    m_articles.erase(m_articles.begin() + static_cast<std::ptrdiff_t>(position));
    for (std::size_t i = position; i < m_articles.size(); ++i) {
        m_index[m_articles[i].name] = i;
    }
    return true;
}

void SimArticleStore::Clear()
{
    m_articles.clear();
    m_index.clear();
}

const SimArticleStore::Article* SimArticleStore::Find(const std::string& name) const
{
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_articles[found->second];
}

SimArticleStore::Article* SimArticleStore::Find(const std::string& name)
{
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_articles[found->second];
}

const SimArticleStore::Article* SimArticleStore::First() const
{
    return m_articles.empty() ? nullptr : &m_articles.front();
}

const SimArticleStore::Article* SimArticleStore::Last() const
{
    return m_articles.empty() ? nullptr : &m_articles.back();
}

const SimArticleStore::Article* SimArticleStore::Next(const std::string& name) const
{
    const auto found = m_index.find(name);
    if (found == m_index.end() || found->second + 1 >= m_articles.size()) {
        return nullptr;
    }
    return &m_articles[found->second + 1];
}
