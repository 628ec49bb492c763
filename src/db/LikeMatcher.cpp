#include "db/LikeMatcher.h"

#include <cstring>

#include <QChar>

#include <string_view>

namespace zep {

char32_t LikeMatcher::fold(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

char32_t LikeMatcher::nextCodePoint(const unsigned char *s, int n, int &i)
{
    const unsigned char b = s[i];
    if (b < 0x80) {
        ++i;
        return b;
    }
    auto cont = [&](int k) { return i + k < n && (s[i + k] & 0xC0) == 0x80; };
    char32_t cp = b;
    int len = 1;
    if (b >= 0xC0 && b < 0xE0 && cont(1)) {
        cp = char32_t(b & 0x1F) << 6 | (s[i + 1] & 0x3F);
        len = 2;
    } else if (b >= 0xE0 && b < 0xF0 && cont(1) && cont(2)) {
        cp = char32_t(b & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
        len = 3;
    } else if (b >= 0xF0 && b < 0xF8 && cont(1) && cont(2) && cont(3)) {
        cp = char32_t(b & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12 | char32_t(s[i + 2] & 0x3F) << 6
             | (s[i + 3] & 0x3F);
        len = 4;
    }
    i += len;
    return cp;
}

void LikeMatcher::decode(const unsigned char *s, int n, std::u32string &out)
{
    out.clear();
    int i = 0;
    while (i < n)
        out.push_back(nextCodePoint(s, n, i));
}

void LikeMatcher::decodeFolded(const unsigned char *s, int n, std::u32string &out)
{
    // Called for every compared value of every row: written straight into
    // the buffer, ASCII without a call.
    out.resize(size_t(n));
    size_t k = 0;
    int i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out[k++] = (b >= 'A' && b <= 'Z') ? char32_t(b + 32) : char32_t(b);
            ++i;
        } else {
            out[k++] = fold(nextCodePoint(s, n, i));
        }
    }
    out.resize(k);
}

LikeMatcher::LikeMatcher(const std::u32string &p, char32_t escape)
{
    for (size_t i = 0; i < p.size(); ++i) {
        Element e;
        const char32_t c = p[i];
        if (escape && c == escape && i + 1 < p.size()) {
            e.ch = fold(p[++i]);
        } else if (c == U'%') {
            if (!m_elements.empty() && m_elements.back().kind == Element::AnyRun)
                continue;
            e.kind = Element::AnyRun;
        } else if (c == U'_') {
            e.kind = Element::AnyOne;
        } else if (c == U'#') {
            e.kind = Element::Digit;
        } else if (c == U'[' && p.find(U']', i + 2) != std::u32string::npos) {
            const size_t close = p.find(U']', i + 2);
            e.kind = Element::Class;
            size_t k = i + 1;
            if (p[k] == U'!') {
                e.negated = true;
                ++k;
            }
            for (; k < close; ++k) {
                const char32_t lo = fold(p[k]);
                if (k + 2 < close && p[k + 1] == U'-') {
                    e.ranges.emplace_back(lo, fold(p[k + 2]));
                    k += 2;
                } else {
                    e.ranges.emplace_back(lo, lo);
                }
            }
            i = close;
        } else {
            e.ch = fold(c);
        }
        m_elements.push_back(std::move(e));
    }
    // '%text%' is what a search asks for nearly always: a plain substring
    // search then.
    const size_t n = m_elements.size();
    bool infix = n >= 2 && m_elements.front().kind == Element::AnyRun && m_elements.back().kind == Element::AnyRun;
    for (size_t k = 1; infix && k + 1 < n; ++k)
        infix = m_elements[k].kind == Element::Literal;
    if (infix) {
        m_infix.emplace();
        bool ascii = true;
        for (size_t k = 1; k + 1 < n; ++k) {
            m_infix->push_back(m_elements[k].ch);
            ascii = ascii && m_elements[k].ch < 0x80;
        }
        if (ascii) {
            m_asciiInfix = std::string(m_infix->begin(), m_infix->end());
            m_infixHasKOrS = m_asciiInfix->find_first_of("ks") != std::string::npos;
        }
    }
}

bool LikeMatcher::containsFoldedAscii(const unsigned char *s, size_t n, const std::string &needle)
{
    const size_t m = needle.size();
    if (m == 0)
        return true;
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c; };
    const unsigned char first = (unsigned char)needle[0];
    const unsigned char firstUpper = (first >= 'a' && first <= 'z') ? (unsigned char)(first - 32) : first;
    for (size_t i = 0; i + m <= n; ++i) {
        if (s[i] != first && s[i] != firstUpper)
            continue;
        size_t k = 1;
        while (k < m && lower(s[i + k]) == (unsigned char)needle[k])
            ++k;
        if (k == m)
            return true;
    }
    return false;
}

bool LikeMatcher::matchesUtf8(const unsigned char *s, int n, std::u32string &scratch) const
{
    if (m_asciiInfix) {
        // An ASCII needle is searched in the bytes, ASCII letters folded on
        // the way: the bytes of any other character are 0x80 and above and
        // never match. Only two characters fold to ASCII letters, the Kelvin
        // sign (E2 84 AA) to k and the long s (C5 BF) to s; a text that may
        // hold one takes the full path when the needle has a k or an s.
        if (!m_infixHasKOrS || (!std::memchr(s, 0xC5, size_t(n)) && !std::memchr(s, 0xE2, size_t(n))))
            return containsFoldedAscii(s, size_t(n), *m_asciiInfix);
    }
    decodeFolded(s, n, scratch);
    return matches(scratch);
}

bool LikeMatcher::matchesOne(const Element &e, char32_t c) const
{
    switch (e.kind) {
    case Element::Literal:
        return c == e.ch;
    case Element::AnyOne:
        return true;
    case Element::Digit:
        return c >= U'0' && c <= U'9';
    case Element::Class: {
        bool in = false;
        for (const auto &[lo, hi] : e.ranges)
            in = in || (c >= lo && c <= hi);
        return in != e.negated;
    }
    case Element::AnyRun:
        break;
    }
    return false;
}

bool LikeMatcher::matches(const std::u32string &s) const
{
    if (m_infix)
        return s.find(*m_infix) != std::u32string::npos;
    // Every element but '%' takes exactly one character, so one remembered
    // '%' position is enough to backtrack: linear in practice, no recursion.
    size_t p = 0, i = 0;
    size_t starP = std::u32string::npos, starI = 0;
    const size_t n = m_elements.size();
    while (i < s.size()) {
        if (p < n && m_elements[p].kind == Element::AnyRun) {
            starP = p++;
            starI = i;
        } else if (p < n && matchesOne(m_elements[p], s[i])) {
            ++p;
            ++i;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (p < n && m_elements[p].kind == Element::AnyRun)
        ++p;
    return p == n;
}

} // namespace zep
