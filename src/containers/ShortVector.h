#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace talor {

// A vector of at most 65,535 plain values in 12 bytes (a std::vector takes 24): a sheet keeps
// one per row, and a report's sheet has hundreds of thousands of rows. Values are moved as
// bytes, so T must be trivially copyable; new values are made by T's default constructor.
#pragma pack(push, 4)
template <typename T> class ShortVector
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    using iterator = T*;
    using const_iterator = const T*;
    static constexpr size_t MaxSize = 0xFFFF;

    ShortVector() = default;
    // Packed members are copied by value: a reference to one might not be aligned.
    ShortVector(ShortVector&& other) noexcept
        : m_data(other.m_data), m_size(other.m_size), m_capacity(other.m_capacity)
    {
        other.m_data = nullptr;
        other.m_size = other.m_capacity = 0;
    }
    ShortVector& operator=(ShortVector&& other) noexcept
    {
        T* const data = m_data;
        const quint16 size = m_size, capacity = m_capacity;
        m_data = other.m_data;
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        other.m_data = data;
        other.m_size = size;
        other.m_capacity = capacity;
        return *this;
    }
    ShortVector(const ShortVector&) = delete;
    ShortVector& operator=(const ShortVector&) = delete;
    ~ShortVector() { std::free(m_data); }

    T* begin() { return m_data; }
    T* end() { return m_data + m_size; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_size; }
    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }
    T& back() { return m_data[m_size - 1]; }
    const T& back() const { return m_data[m_size - 1]; }

    void reserve(size_t capacity)
    {
        if (capacity > m_capacity)
            reallocate(capacity);
    }
    void shrink_to_fit()
    {
        if (m_size < m_capacity)
            reallocate(m_size);
    }

    T& emplace_back()
    {
        grow();
        return *new (m_data + m_size++) T();
    }
    // A default value inserted before `at`.
    T* emplace(T* at)
    {
        const size_t i = size_t(at - m_data);
        grow();
        std::memmove(static_cast<void*>(m_data + i + 1), m_data + i, (m_size - i) * sizeof(T));
        ++m_size;
        return new (m_data + i) T();
    }
    // Drops [first, last); the values after them move up. Gives where the first of those is.
    T* erase(T* first, T* last)
    {
        if (first == last)
            return first; // an empty vector has no data to move
        std::memmove(static_cast<void*>(first), last, size_t(end() - last) * sizeof(T));
        m_size = quint16(m_size - (last - first));
        return first;
    }
    void pop_back() { --m_size; }

private:
    void grow()
    {
        if (m_size == m_capacity)
            reallocate(std::max<size_t>(4, size_t(m_capacity) * 2));
    }
    void reallocate(size_t capacity)
    {
        if (capacity > MaxSize) {
            if (m_size == MaxSize)
                throw std::length_error("a short vector holds at most 65,535 values");
            capacity = MaxSize;
        }
        if (capacity == 0) {
            std::free(m_data);
            m_data = nullptr;
        } else {
            void* data = std::realloc(static_cast<void*>(m_data), capacity * sizeof(T));
            if (!data)
                throw std::bad_alloc();
            m_data = static_cast<T*>(data);
        }
        m_capacity = quint16(capacity);
    }

    T* m_data = nullptr;
    quint16 m_size = 0;
    quint16 m_capacity = 0;
};
#pragma pack(pop)

} // namespace talor
