#pragma once

#include "platform/lmerror.h"

#include <QHash>
#include <QString>

#include <list>
#include <memory>

// An insertion-ordered map from text keys to values, with O(1) lookup, append and removal. It is
// both the ordered keyed collection of the library (positions 1..count, a duplicate key rejected
// with error 457) and its insertion-ordered dictionaries. Keys compare by character code.
template<typename V>
class OrderedMap
{
    struct Entry
    {
        QString key;
        V value;
    };
    using List = std::list<Entry>;

public:
    class const_iterator
    {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = V;
        using difference_type = std::ptrdiff_t;
        using pointer = const V *;
        using reference = const V &;

        const_iterator() = default;
        explicit const_iterator(typename List::const_iterator it) : m_it(it) {}
        const V &operator*() const { return m_it->value; }
        const V *operator->() const { return &m_it->value; }
        const QString &key() const { return m_it->key; }
        const V &value() const { return m_it->value; }
        const_iterator &operator++()
        {
            ++m_it;
            return *this;
        }
        const_iterator operator++(int)
        {
            auto copy = *this;
            ++m_it;
            return copy;
        }
        const_iterator &operator--()
        {
            --m_it;
            return *this;
        }
        bool operator==(const const_iterator &other) const = default;

    private:
        typename List::const_iterator m_it;
    };

    OrderedMap() = default;
    OrderedMap(const OrderedMap &) = delete;
    OrderedMap &operator=(const OrderedMap &) = delete;
    OrderedMap(OrderedMap &&) noexcept = default;
    OrderedMap &operator=(OrderedMap &&) noexcept = default;

    qsizetype count() const { return qsizetype(m_index.size()); }
    bool isEmpty() const { return m_index.isEmpty(); }
    bool contains(const QString &key) const { return m_index.contains(key); }

    // Appends; a key already held is refused with error 457 and nothing changes.
    void add(const QString &key, V value)
    {
        if (m_index.contains(key))
            throw LmError::standard(LmError::DuplicateKey, key);
        m_entries.push_back(Entry{key, std::move(value)});
        m_index.insert(key, std::prev(m_entries.end()));
    }

    // The value under key; an unknown key throws error 9 (subscript out of range).
    const V &item(const QString &key) const
    {
        auto it = m_index.constFind(key);
        if (it == m_index.cend())
            throw LmError::standard(LmError::SubscriptOutOfRange, key);
        return it.value()->value;
    }
    // Null / empty value when the key is unknown.
    V value(const QString &key) const
    {
        auto it = m_index.constFind(key);
        return it == m_index.cend() ? V{} : it.value()->value;
    }
    // Position 1..count, in order. Linear: prefer iteration.
    const V &at(qsizetype position) const
    {
        if (position < 1 || position > count())
            throw LmError::standard(LmError::SubscriptOutOfRange);
        auto it = m_entries.cbegin();
        std::advance(it, position - 1);
        return it->value;
    }
    const V &first() const { return at(1); }

    // Removes the entry; an unknown key throws error 9 like the collection did.
    V remove(const QString &key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            throw LmError::standard(LmError::SubscriptOutOfRange, key);
        V value = std::move(it.value()->value);
        m_entries.erase(it.value());
        m_index.erase(it);
        return value;
    }
    // Gives the entry under oldKey another key and value in the place it has; an unknown old key
    // throws error 9, a new key already held by another entry error 457.
    void rename(const QString &oldKey, const QString &newKey, V value)
    {
        auto it = m_index.find(oldKey);
        if (it == m_index.end())
            throw LmError::standard(LmError::SubscriptOutOfRange, oldKey);
        if (newKey != oldKey && m_index.contains(newKey))
            throw LmError::standard(LmError::DuplicateKey, newKey);
        const typename List::iterator entry = it.value();
        m_index.erase(it);
        entry->key = newKey;
        entry->value = std::move(value);
        m_index.insert(newKey, entry);
    }
    void clear()
    {
        m_index.clear();
        m_entries.clear();
    }

    QStringList keys() const
    {
        QStringList result;
        result.reserve(count());
        for (const Entry &e : m_entries)
            result.append(e.key);
        return result;
    }

    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

private:
    List m_entries;
    QHash<QString, typename List::iterator> m_index;
};
