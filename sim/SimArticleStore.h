#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The register's article (PLU) database: articles in the order they were
// first stored, keyed by name. Besides what the client writes, each article
// carries the quantity and amount sold on closed receipts.
class SimArticleStore {
public:
    struct Article {
        std::string name;
        std::int64_t price = 0;         // hundredths
        std::int32_t taxRate = 0;       // rate index 0..8
        std::int32_t unit = 0;          // unit of measure index
        std::int64_t soldQuantity = 0;  // thousandths, sent as the first further value
        std::int64_t soldAmount = 0;    // hundredths, sent as the second further value
    };

    static constexpr std::size_t kCapacity = 15000;

    // Adds a new article at the end or updates the one with that name in place
    // (its sales stay); false when the store is full.
    bool Write(const std::string& name, std::int64_t price, std::int32_t taxRate, std::int32_t unit);
    bool Erase(const std::string& name);
    void Clear();

    const Article* Find(const std::string& name) const;
    Article* Find(const std::string& name);
    const Article* First() const;
    const Article* Last() const;
    // The article stored after the named one; nothing for the last or an unknown name.
    const Article* Next(const std::string& name) const;

    std::size_t Size() const { return m_articles.size(); }
    const std::vector<Article>& All() const { return m_articles; }

private:
    std::vector<Article> m_articles;
    std::unordered_map<std::string, std::size_t> m_index;
};
