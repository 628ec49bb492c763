#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zep {

// The pattern language of our like(): '%' any run, '_' one character,
// '#' one digit 0-9, [abc] / [a-z] / [!a-z] a character class, and the
// escape character (when given) makes the next character literal. Letters
// are compared case-folded, umlauts included.
class LikeMatcher {
public:
    // `escape` 0 means none.
    LikeMatcher(const std::u32string &pattern, char32_t escape);

    bool matches(const std::u32string &foldedText) const;
    // The same for a UTF-8 text; `scratch` is a buffer the caller keeps.
    bool matchesUtf8(const unsigned char *utf8, int bytes, std::u32string &scratch) const;

    // Simple Unicode case folding of one code point (ASCII on a fast path).
    static char32_t fold(char32_t c);
    // Decodes UTF-8 (a stray byte counts as the Latin-1 character of that
    // value) and folds every code point.
    static void decodeFolded(const unsigned char *utf8, int bytes, std::u32string &out);
    static void decode(const unsigned char *utf8, int bytes, std::u32string &out);
    // Reads one code point at `i` and moves `i` past it.
    static char32_t nextCodePoint(const unsigned char *utf8, int bytes, int &i);

private:
    struct Element {
        enum Kind { Literal, AnyOne, Digit, AnyRun, Class } kind = Literal;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
    };
    bool matchesOne(const Element &e, char32_t c) const;
    // Whether the bytes hold the lower-case ASCII needle, ASCII letters
    // compared without case.
    static bool containsFoldedAscii(const unsigned char *s, size_t n, const std::string &needle);

    std::vector<Element> m_elements;
    std::optional<std::u32string> m_infix; // set for '%literal%'
    std::optional<std::string> m_asciiInfix; // the same when it is all ASCII
    bool m_infixHasKOrS = false;
};

} // namespace zep
