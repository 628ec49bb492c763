#include "comm/ProgramText.h"

#include "app/CodePage1252.h"

#include <array>

namespace zep {

namespace {

const std::array<QChar, 256> &characterOf()
{
    static const std::array<QChar, 256> table = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = CodePage1252::decode(all);
        std::array<QChar, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = decoded[i];
        return t;
    }();
    return table;
}

} // namespace

bool ProgramText::IsBinary(const QByteArray &text)
{
    static const uchar kValues[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 254, 255};
    bool seen[256] = {};
    for (const char c : text)
        seen[uchar(c)] = true;
    int count = 0;
    for (const uchar v : kValues)
        count += seen[v] ? 1 : 0;
    return count > 2;
}

ProgramText::Shown ProgramText::show(const QByteArray &bytes)
{
    Shown shown;
    shown.binary = IsBinary(bytes);
    const auto &table = characterOf();
    const QString marker = nulMarker();
    const qsizetype n = bytes.size();
    const char *data = bytes.constData();
    const qsizetype nuls = shown.binary ? 0 : bytes.count('\0');
    // Written straight into the text's buffer: a program of many megabytes
    // opens in a fraction of a second.
    shown.text.resize(n + nuls * (marker.size() - 1));
    QChar *out = shown.text.data();
    bool firstEnd = true;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = uchar(data[i]);
        if (b == '\r' || b == '\n') {
            LineEnd end = LineEnd::Lf;
            if (b == '\r') {
                end = (i + 1 < n && data[i + 1] == '\n') ? LineEnd::CrLf : LineEnd::Cr;
                if (end == LineEnd::CrLf)
                    ++i;
            }
            if (firstEnd) {
                shown.usual = end;
                firstEnd = false;
            } else if (end != shown.usual) {
                shown.mixed = true;
            }
            shown.ends.append(end);
            *out++ = QLatin1Char('\n');
        } else if (b == 0) {
            if (shown.binary) {
                *out++ = QChar(kBinaryNul);
            } else {
                for (const QChar c : marker)
                    *out++ = c;
            }
        } else {
            *out++ = table[b];
        }
    }
    shown.text.truncate(out - shown.text.constData());
    return shown;
}

QByteArray ProgramText::lineEndBytes(LineEnd end)
{
    switch (end) {
    case LineEnd::Lf: return QByteArrayLiteral("\n");
    case LineEnd::Cr: return QByteArrayLiteral("\r");
    case LineEnd::CrLf: break;
    }
    return QByteArrayLiteral("\r\n");
}

bool ProgramText::appendLine(QByteArray &out, QStringView line, qsizetype *badColumn)
{
    static const QString marker = nulMarker();
    const qsizetype n = line.size();
    // Each character gives at most one byte: written straight into the
    // buffer, cut to size at the end.
    const qsizetype from = out.size();
    out.resize(from + n);
    char *p = out.data() + from;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = line[i].unicode();
        if (c == u'<' && line.mid(i, marker.size()) == marker) {
            *p++ = '\0';
            i += marker.size() - 1;
        } else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *p++ = char(c);
        } else if (c == kBinaryNul) {
            *p++ = '\0';
        } else {
            const int b = CodePage1252::byteFor(c);
            if (b < 0) {
                out.truncate(p - out.constData());
                if (badColumn)
                    *badColumn = i;
                return false;
            }
            *p++ = char(b);
        }
    }
    out.truncate(p - out.constData());
    return true;
}

bool ProgramText::toBytes(const QString &text, LineEnd end, QByteArray &out, qsizetype *badPosition)
{
    out.clear();
    out.reserve(text.size());
    const QByteArray lineEnd = lineEndBytes(end);
    qsizetype start = 0;
    while (true) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        const QStringView line = QStringView(text).mid(start, (nl < 0 ? text.size() : nl) - start);
        qsizetype bad = 0;
        if (!appendLine(out, line, &bad)) {
            if (badPosition)
                *badPosition = start + bad;
            return false;
        }
        if (nl < 0)
            return true;
        out.append(lineEnd);
        start = nl + 1;
    }
}

std::optional<QByteArray> ProgramText::fromEdited(QStringView edited, const EndOf &endOf, Foreign foreign, Place *bad)
{
    QByteArray out;
    out.reserve(edited.size() + edited.size() / 16);
    const auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n');
    };
    int number = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < edited.size() && !isBreak(edited[end]))
            ++end;
        QStringView line = edited.mid(start, end - start);
        qsizetype done = 0;
        qsizetype column = 0;
        while (!appendLine(out, line, &column)) {
            if (foreign == Foreign::Refuse) {
                if (bad)
                    *bad = {number, done + column};
                return std::nullopt;
            }
            out.append('?');
            done += column + 1;
            line = line.mid(column + 1);
        }
        if (end >= edited.size())
            break;
        out.append(lineEndBytes(endOf(number)));
        ++number;
        start = end + 1;
    }
    return out;
}

} // namespace zep
