#include "app/MessageText.h"

namespace zep {

namespace {

constexpr char16_t kZeroWidthSpace = 0x200B;

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\' || c == u'_' || c == u'.' || c == u'-';
}

QString breakWord(QStringView word)
{
    QString out;
    out.reserve(word.size() + word.size() / 4);
    qsizetype run = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        out.append(c);
        ++run;
        const bool last = i + 1 == word.size();
        if (!last && (isSeparator(c) || run >= MessageText::kLongWord)) {
            out.append(QChar(kZeroWidthSpace));
            run = 0;
        }
    }
    return out;
}

} // namespace

QString MessageText::breakLongWords(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        const bool blank = text[start].isSpace();
        while (end < text.size() && text[end].isSpace() == blank)
            ++end;
        const QStringView part = QStringView(text).mid(start, end - start);
        if (!blank && part.size() > kLongWord)
            out += breakWord(part);
        else
            out += part;
        start = end;
    }
    return out;
}

} // namespace zep
