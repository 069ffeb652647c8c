#pragma once

#include <QHash>
#include <QString>
#include <type_traits>
#include <utility>
#include <vector>

namespace talor::grid {

// Values that many cells hold, each kept once however many cells hold it, and named by a slot
// of 4 bytes: a report writes the same few names and codes, as shared strings, into thousands
// of cells, and copies the same few formulas down thousands of rows. A value is found by the
// key `KeyOf` gives it, the address of its shared data, so finding it costs no hashing of its
// contents; a value held here keeps its data alive, so that address cannot be reused for
// another value while it is found by it. A slot is reused once nothing holds its value.
template <typename T, typename KeyOf> class SlotPool
{
public:
    // The slot of `value`, held once more.
    quint32 hold(const T& value)
    {
        const auto key = KeyOf()(value);
        if (const auto it = m_slots.constFind(key); it != m_slots.cend()) {
            ++m_entries[it.value()].holders;
            return it.value();
        }
        quint32 slot = 0;
        if (m_free.empty()) {
            slot = quint32(m_entries.size());
            m_entries.push_back(Entry{value, 1});
        } else {
            slot = m_free.back();
            m_free.pop_back();
            m_entries[slot] = Entry{value, 1};
        }
        m_slots.insert(key, slot);
        return slot;
    }

    // Lets go of one hold of the value in `slot`; the last one frees the slot.
    void release(quint32 slot)
    {
        Entry& entry = m_entries[slot];
        if (--entry.holders > 0)
            return;
        m_slots.remove(KeyOf()(entry.value));
        entry.value = T();
        m_free.push_back(slot);
    }

    const T& at(quint32 slot) const { return m_entries[slot].value; }

private:
    struct Entry
    {
        T value;
        quint32 holders = 0;
    };
    std::vector<Entry> m_entries;
    std::vector<quint32> m_free;
    QHash<std::invoke_result_t<KeyOf, const T&>, quint32> m_slots;
};

// A text by its characters' address and length (two texts sharing data may differ in length).
struct TextData
{
    std::pair<const QChar*, qsizetype> operator()(const QString& text) const
    {
        return {text.constData(), text.size()};
    }
};

using TextPool = SlotPool<QString, TextData>;

} // namespace talor::grid
