#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <string>
#include <vector>

namespace zep {

// The case-blind A-to-Z order of many texts, as the list sorts a column:
// each text case-folded once, then compared as plain runs of code units.
class FoldedOrder {
public:
    void reserve(size_t texts);
    // Plain ASCII without line breaks is taken as it is; otherwise nothing is
    // added and the caller adds the shown text.
    bool addAscii(QByteArrayView bytes);
    void add(QStringView text);

    // The texts' numbers (in the order added) sorted A to Z; equal texts keep
    // the order they were added in.
    std::vector<int> order() const;

private:
    void unit(char16_t u);
    void close(size_t start);

    struct Key {
        unsigned __int128 prefix; // the first eight code units decide most comparisons
        quint32 start;
        quint32 length;
        int number;
    };
    // Code units stored big-endian: byte order is code unit order, so a
    // comparison is one memcmp.
    std::string m_bytes;
    std::vector<Key> m_keys;
};

} // namespace zep
