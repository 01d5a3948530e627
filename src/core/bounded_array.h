#pragma once

#include "core/errors.h"

#include <array>
#include <vector>

namespace qel {

// A 1-based (or 0-based) array with the bounds the model declares. An index outside them is
// error 9, never a write past the end, whatever a file or a count says.
template<typename T, int Lo, int Hi> class BoundedArray {
public:
    static constexpr int lower = Lo;
    static constexpr int upper = Hi;

    BoundedArray()
        : m_items(Hi - Lo + 1)
    {
    }

    T &operator()(int i) { return m_items[slot(i)]; }
    const T &operator()(int i) const { return m_items[slot(i)]; }
    static bool inBounds(int i) { return i >= Lo && i <= Hi; }
    void fill(const T &value, int from = Lo) { fillRange(value, from, Hi); }
    void fillRange(const T &value, int from, int to)
    {
        for (int i = from; i <= to; ++i)
            (*this)(i) = value;
    }

private:
    static std::size_t slot(int i)
    {
        if (!inBounds(i))
            raise(ErrSubscript);
        return static_cast<std::size_t>(i - Lo);
    }
    std::vector<T> m_items;
};

// Two-dimensional counterpart, (i, j) with independent bounds.
template<typename T, int Lo1, int Hi1, int Lo2, int Hi2> class BoundedArray2 {
public:
    BoundedArray2()
        : m_items(std::size_t(Hi1 - Lo1 + 1) * std::size_t(Hi2 - Lo2 + 1))
    {
    }

    T &operator()(int i, int j) { return m_items[slot(i, j)]; }
    const T &operator()(int i, int j) const { return m_items[slot(i, j)]; }
    static bool inBounds(int i, int j) { return i >= Lo1 && i <= Hi1 && j >= Lo2 && j <= Hi2; }
    void fillRange(const T &value, int from1, int to1, int from2, int to2)
    {
        for (int i = from1; i <= to1; ++i)
            for (int j = from2; j <= to2; ++j)
                (*this)(i, j) = value;
    }

private:
    static std::size_t slot(int i, int j)
    {
        if (!inBounds(i, j))
            raise(ErrSubscript);
        return std::size_t(i - Lo1) * std::size_t(Hi2 - Lo2 + 1) + std::size_t(j - Lo2);
    }
    std::vector<T> m_items;
};

} // namespace qel
