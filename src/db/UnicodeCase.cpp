#include "db/UnicodeCase.h"

#include "db/JetDialect.h"
#include "db/LikeMatcher.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace zep {

namespace {

using NextCodePoint = char32_t (*)(const unsigned char *, int, int &);
const NextCodePoint nextCodePoint = &LikeMatcher::nextCodePoint;

int collate(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    return UnicodeCase::compare(a, aBytes, b, bBytes);
}

struct CachedPattern {
    std::string raw;       // the pattern's bytes, to see a change without decoding
    std::string escapeRaw; // the escape's bytes, likewise
    LikeMatcher matcher;
};

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // A NULL argument gives a NULL text pointer: the result is NULL then.
    const auto *patternBytes = sqlite3_value_text(argv[0]);
    const auto *text = sqlite3_value_text(argv[1]);
    const auto *esc = argc == 3 ? sqlite3_value_text(argv[2]) : reinterpret_cast<const unsigned char *>("");
    if (!patternBytes || !text || !esc) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string_view raw(reinterpret_cast<const char *>(patternBytes), size_t(sqlite3_value_bytes(argv[0])));
    const std::string_view escRaw(reinterpret_cast<const char *>(esc),
                                  argc == 3 ? size_t(sqlite3_value_bytes(argv[2])) : 0);

    // The pattern is usually a constant: compile it once per statement.
    auto *cached = static_cast<CachedPattern *>(sqlite3_get_auxdata(ctx, 0));
    if (!cached || cached->raw != raw || cached->escapeRaw != escRaw) {
        char32_t escape = 0;
        if (argc == 3) {
            int end = 0;
            if (!escRaw.empty())
                escape = LikeMatcher::nextCodePoint(esc, int(escRaw.size()), end);
            if (escRaw.empty() || end != int(escRaw.size())) {
                sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
                return;
            }
        }
        std::u32string patternText;
        LikeMatcher::decode(patternBytes, int(raw.size()), patternText);
        cached = new CachedPattern{std::string(raw), std::string(escRaw), LikeMatcher(patternText, escape)};
        sqlite3_set_auxdata(ctx, 0, cached, [](void *p) { delete static_cast<CachedPattern *>(p); });
        cached = static_cast<CachedPattern *>(sqlite3_get_auxdata(ctx, 0));
        if (!cached) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }

    thread_local std::u32string scratch;
    sqlite3_result_int(ctx, cached->matcher.matchesUtf8(text, sqlite3_value_bytes(argv[1]), scratch) ? 1 : 0);
}

void jetPatternFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString jet = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                          sqlite3_value_bytes(argv[0]));
    const QByteArray pattern = JetDialect::likePattern(jet).toUtf8();
    sqlite3_result_text(ctx, pattern.constData(), int(pattern.size()), SQLITE_TRANSIENT);
}

} // namespace

int UnicodeCase::compare(const void *a, int aBytes, const void *b, int bBytes)
{
    const auto *x = static_cast<const unsigned char *>(a);
    const auto *y = static_cast<const unsigned char *>(b);
    int i = 0, j = 0;
    while (i < aBytes && j < bBytes) {
        const char32_t ca = LikeMatcher::fold(nextCodePoint(x, aBytes, i));
        const char32_t cb = LikeMatcher::fold(nextCodePoint(y, bBytes, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < aBytes)
        return 1;
    return j < bBytes ? -1 : 0;
}

bool UnicodeCase::install(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, collate, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr)
                  == SQLITE_OK
           && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr)
                  == SQLITE_OK
           && sqlite3_create_function_v2(db, "jet_pattern", 1, flags, nullptr, jetPatternFunction, nullptr, nullptr,
                                         nullptr)
                  == SQLITE_OK;
}

} // namespace zep
