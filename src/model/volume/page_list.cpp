#include "model/volume/page_list.h"

#include "platform/text_util.h"

#include <algorithm>
#include <climits>

std::string_view PageList::At(std::int64_t index) const {
    if (index < 0 || index >= m_size || index > INT32_MAX)
        return {};
    auto it = m_entries.find(static_cast<std::int32_t>(index));
    return it == m_entries.end() ? std::string_view{} : std::string_view(it->second);
}

void PageList::Set(std::int32_t index, std::string value) {
    if (index <= 0)
        return;
    if (value.empty())
        m_entries.erase(index);
    else
        m_entries[index] = std::move(value);
    m_size = std::max<std::int64_t>(m_size, std::int64_t{index} + 1);
}

void PageList::Clear() {
    m_entries.clear();
    m_size = 0;
}

void PageList::TrimTrailingEmpty(std::int64_t minSize) {
    std::int64_t lastEntry = m_entries.empty() ? 0 : m_entries.rbegin()->first;
    std::int64_t wanted = std::max(lastEntry + 1, minSize);
    m_size = std::min(m_size, wanted);
}

int PageKeyNumber(std::string_view key) {
    if (key.size() < 5 || !EqualsNoCase(key.substr(0, 4), "page") || key[4] == '0')
        return 0;
    long long n = 0;
    for (char c : key.substr(4)) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
        if (n > INT_MAX)
            return 0;
    }
    return static_cast<int>(n);
}
