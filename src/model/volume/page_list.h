// One of a volume's two page lists (pictures or sounds): index = page number,
// element 0 always empty. It behaves like a list of strings whose length is
// one more than its last index, but stores only the non-empty entries, so a
// single entry for page 2000000000 costs one string, not two billion.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// The page number of a key named "Page<N>" (any case, N decimal without
// leading zeros, 1..INT_MAX), or 0 for any other key: the keys a volume's
// page sections are read by.
int PageKeyNumber(std::string_view key);

class PageList {
public:
    // Number of elements (last index + 1); 0 for an empty list. 64-bit, since
    // the last index may be the largest page number.
    std::int64_t Size() const { return m_size; }
    bool IsEmpty() const { return m_size == 0; }

    // The element at an index; empty for empty elements and indices outside the list.
    std::string_view At(std::int64_t index) const;

    // Stores an entry at index >= 1, growing the list with empty elements to
    // reach it. Index 0 and negative indices are left alone (element 0 stays
    // empty). An empty value empties the element without shrinking the list.
    void Set(std::int32_t index, std::string value);

    void Clear();
    void AppendEmpty() { ++m_size; }

    // Removes empty elements from the end while the list is longer than
    // `minSize`.
    void TrimTrailingEmpty(std::int64_t minSize);

private:
    std::map<std::int32_t, std::string> m_entries; // non-empty elements only
    std::int64_t m_size = 0;
};
