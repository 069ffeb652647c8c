#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace talor {

// Things worked out once per distinct value, kept by the value's byte key
// (Recordset::appendValueKey). Keys of up to 16 bytes (numbers, times, dates and codes: nearly
// every key of a report) are held as two words in an open-addressed table, so that a look-up
// hashes and compares two words instead of a string; longer keys go into a hash map. A kept
// thing stays where it is until clear().
template <typename T> class KeptByValue
{
public:
    KeptByValue() = default;
    // m_lastLong points into its own table: a copy starts without it, a move takes it along.
    KeptByValue(const KeptByValue& other)
        : m_slots(other.m_slots), m_values(other.m_values), m_long(other.m_long), m_last(other.m_last)
    {}
    KeptByValue(KeptByValue&& other) noexcept
        : m_slots(std::move(other.m_slots)), m_values(std::move(other.m_values)),
          m_long(std::move(other.m_long)), m_lastLong(std::exchange(other.m_lastLong, nullptr)),
          m_last(std::exchange(other.m_last, 0))
    {}
    KeptByValue& operator=(KeptByValue other) noexcept
    {
        m_slots.swap(other.m_slots);
        m_values.swap(other.m_values);
        m_long.swap(other.m_long);
        std::swap(m_lastLong, other.m_lastLong);
        std::swap(m_last, other.m_last);
        return *this;
    }

    // What is kept under `key`; nullptr when nothing is.
    const T* find(const std::string& key)
    {
        if (key.size() > ShortSize) {
            // Rows in order show the same team or group on many rows in a row: the key found
            // last is compared first, without hashing.
            if (m_lastLong && key == m_lastLong->first)
                return &m_lastLong->second;
            const auto it = m_long.find(key);
            if (it == m_long.end())
                return nullptr;
            m_lastLong = &*it;
            return &it->second;
        }
        if (m_slots.empty())
            return nullptr;
        const Slot wanted = slotOf(key);
        // Neighbouring rows often show the same value: the slot found last is tried first.
        if (m_slots[m_last].same(wanted))
            return &m_values[size_t(m_slots[m_last].index)];
        for (size_t i = hashOf(wanted) & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[i];
            if (slot.index < 0)
                return nullptr;
            if (slot.same(wanted)) {
                m_last = i;
                return &m_values[size_t(slot.index)];
            }
        }
    }

    // Keeps `value` under `key`, which find() did not find.
    const T& add(const std::string& key, T value)
    {
        if (key.size() > ShortSize) {
            m_lastLong = &*m_long.emplace(key, std::move(value)).first;
            return m_lastLong->second;
        }
        if ((m_values.size() + 1) * 2 > m_slots.size())
            grow();
        Slot slot = slotOf(key);
        slot.index = int(m_values.size());
        m_values.push_back(std::move(value));
        place(slot);
        return m_values.back();
    }

    void clear()
    {
        m_slots.clear();
        m_values.clear();
        m_long.clear();
        m_lastLong = nullptr;
        m_last = 0;
    }

private:
    static constexpr size_t ShortSize = 16;

    struct Slot
    {
        // The key's bytes: with its size, they tell every byte (see slotOf).
        quint64 low = 0, high = 0;
        quint32 size = 0;
        int index = -1; // into m_values; -1: a free slot
        bool same(const Slot& other) const
        {
            return index >= 0 && low == other.low && high == other.high && size == other.size;
        }
    };

    template <typename Word> static Word load(const char* at)
    {
        Word word;
        std::memcpy(&word, at, sizeof word);
        return word;
    }

    // The first and the last eight bytes (four for a key of four to seven, three single bytes
    // below): overlapping words of fixed sizes, which cover every byte of a key of that size.
    static Slot slotOf(const std::string& key)
    {
        Slot slot;
        const char* bytes = key.data();
        const size_t size = key.size();
        if (size >= 8) {
            slot.low = load<quint64>(bytes);
            slot.high = load<quint64>(bytes + size - 8);
        } else if (size >= 4) {
            slot.low = load<quint32>(bytes) | (quint64(load<quint32>(bytes + size - 4)) << 32);
        } else if (size > 0) {
            slot.low = quint8(bytes[0]) | (quint64(quint8(bytes[size / 2])) << 8) |
                       (quint64(quint8(bytes[size - 1])) << 16);
        }
        slot.size = quint32(size);
        return slot;
    }

    static size_t hashOf(const Slot& slot)
    {
        quint64 h = (slot.low ^ (quint64(slot.size) << 56)) * 0x9E3779B97F4A7C15ull;
        h ^= (slot.high + (h >> 29)) * 0xBF58476D1CE4E5B9ull;
        return size_t(h ^ (h >> 32));
    }

    void place(const Slot& slot)
    {
        size_t i = hashOf(slot) & (m_slots.size() - 1);
        while (m_slots[i].index >= 0)
            i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = slot;
        m_last = i;
    }

    void grow()
    {
        std::vector<Slot> old =
            std::exchange(m_slots, std::vector<Slot>(std::max<size_t>(16, m_slots.size() * 2)));
        for (const Slot& slot : old)
            if (slot.index >= 0)
                place(slot);
        m_last = 0;
    }

    std::vector<Slot> m_slots; // a power of two of them, at most half in use
    std::deque<T> m_values;
    std::unordered_map<std::string, T> m_long; // its entries stay put until clear()
    const std::pair<const std::string, T>* m_lastLong = nullptr;
    size_t m_last = 0;
};

} // namespace talor
