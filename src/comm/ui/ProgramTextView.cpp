#include "comm/ui/ProgramTextView.h"

#include "app/CodePage1252.h"

namespace zep {

QString ProgramTextView::toDisplay(const QByteArray &text)
{
    QString shown = CodePage1252::decode(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QByteArray ProgramTextView::lineEndOf(const QByteArray &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '\n')
            return QByteArrayLiteral("\n");
        if (text.at(i) == '\r')
            return i + 1 < text.size() && text.at(i + 1) == '\n' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
    }
    return QByteArrayLiteral("\r\n");
}

QByteArray ProgramTextView::fromEditor(const QString &rawText, const QByteArray &lineEnd)
{
    QString text = rawText;
    // The raw text, not toPlainText(): that turns every no-break space
    // (byte 0xA0) into a blank.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    // Every LF byte is a line break here: the display had turned every
    // line end of the text into one.
    QByteArray bytes = CodePage1252::encode(text);
    if (lineEnd != "\n")
        bytes.replace('\n', lineEnd);
    return bytes;
}

} // namespace zep
