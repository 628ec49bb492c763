#include "catalogue/FoldedOrder.h"

#include <QChar>

#include <algorithm>
#include <cstring>

namespace zep {

namespace {
constexpr size_t kPrefixBytes = sizeof(unsigned __int128);
}

void FoldedOrder::reserve(size_t texts)
{
    m_keys.reserve(texts);
    m_bytes.reserve(texts * 40);
}

void FoldedOrder::unit(char16_t u)
{
    m_bytes.push_back(char(u >> 8));
    m_bytes.push_back(char(u & 0xff));
}

void FoldedOrder::close(size_t start)
{
    Key key{0, quint32(start), quint32(m_bytes.size() - start), int(m_keys.size())};
    unsigned char first[kPrefixBytes] = {};
    std::memcpy(first, m_bytes.data() + start, std::min(size_t(key.length), kPrefixBytes));
    for (const unsigned char b : first)
        key.prefix = key.prefix << 8 | b;
    m_keys.push_back(key);
}

bool FoldedOrder::addAscii(QByteArrayView bytes)
{
    const size_t start = m_bytes.size();
    m_bytes.resize(start + 2 * size_t(bytes.size()));
    char *out = m_bytes.data() + start;
    for (const char b : bytes) {
        if (uchar(b) >= 0x80 || b == '\r') {
            m_bytes.resize(start);
            return false;
        }
        *out++ = '\0';
        *out++ = b >= 'A' && b <= 'Z' ? char(b + 32) : b;
    }
    close(start);
    return true;
}

void FoldedOrder::add(QStringView text)
{
    const size_t start = m_bytes.size();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        unit(u < 0x80 ? (u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u) : QChar(u).toCaseFolded().unicode());
    }
    close(start);
}

std::vector<int> FoldedOrder::order() const
{
    std::vector<Key> keys = m_keys;
    const char *bytes = m_bytes.data();
    auto before = [bytes](const Key &x, const Key &y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        // Equal first units: the rest decides, then the length, then the
        // order they came in.
        const size_t from = std::min({size_t(x.length), size_t(y.length), kPrefixBytes});
        const size_t common = std::min(x.length, y.length) - from;
        const int order = std::memcmp(bytes + x.start + from, bytes + y.start + from, common);
        if (order != 0)
            return order < 0;
        return x.length != y.length ? x.length < y.length : x.number < y.number;
    };
    if (!std::is_sorted(keys.begin(), keys.end(), before))
        std::sort(keys.begin(), keys.end(), before);
    std::vector<int> numbers(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        numbers[i] = keys[i].number;
    return numbers;
}

} // namespace zep
