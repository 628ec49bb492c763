#include "catalogue/ui/RecordSheetPrinter.h"

#include "app/AtomicFileWriter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace zep {

namespace {

QFont fontOf(const RecordSheet::Run &run)
{
    QFont font(RecordSheet::fontFamily());
    font.setPointSize(run.pointSize);
    font.setBold(run.bold);
    font.setUnderline(run.underline);
    return font;
}

// Pieces of a text that may end a printed line: each word with the blanks
// after it.
QStringList words(const QString &text)
{
    QStringList out;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        current += text.at(i);
        if (text.at(i) == QLatin1Char(' ') && (i + 1 == text.size() || text.at(i + 1) != QLatin1Char(' '))) {
            out << current;
            current.clear();
        }
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

struct Piece {
    QString text;
    QFont font;
    qreal x = 0;
};

class Flow {
public:
    Flow(const QPaintDevice &device) : m_device(device), m_width(device.width()), m_height(device.height()) {}

    void add(const QString &text, const QFont &font, bool cut)
    {
        const QFontMetricsF fm(font, &m_device);
        note(font);
        if (cut) {
            // A rule is cut at the edge: wrapped it would be a second rule.
            QString fitting = text;
            while (!fitting.isEmpty() && m_x + fm.horizontalAdvance(fitting) > m_width)
                fitting.chop(1);
            put(fitting, font, fm);
            return;
        }
        for (const QString &word : words(text)) {
            qreal w = fm.horizontalAdvance(word.trimmed());
            if (m_x > 0 && m_x + w > m_width)
                breakLine();
            if (w <= m_width) {
                put(word, font, fm);
                continue;
            }
            // A word wider than the page goes on character by character.
            QString part;
            for (const QChar c : word) {
                if (m_x + fm.horizontalAdvance(part + c) > m_width && !part.isEmpty()) {
                    put(part, font, fm);
                    breakLine();
                    part.clear();
                }
                part += c;
            }
            put(part, font, fm);
        }
    }

    void endLine() { breakLine(); }
    QList<RecordSheetPrinter::Page> pages()
    {
        if (!m_page.isEmpty())
            m_pages.append(m_page);
        return m_pages;
    }

private:
    void note(const QFont &font)
    {
        const QFontMetricsF fm(font, &m_device);
        m_ascent = qMax(m_ascent, fm.ascent());
        m_spacing = qMax(m_spacing, fm.lineSpacing());
    }
    void put(const QString &text, const QFont &font, const QFontMetricsF &fm)
    {
        note(font);
        m_line.append({text, font, m_x});
        m_x += fm.horizontalAdvance(text);
    }
    void breakLine()
    {
        if (m_y + m_spacing > m_height && m_y > 0) {
            m_pages.append(m_page);
            m_page.clear();
            m_y = 0;
        }
        for (const Piece &piece : std::as_const(m_line))
            if (!piece.text.isEmpty())
                m_page.append({QPointF(piece.x, m_y + m_ascent), piece.text, piece.font});
        m_y += m_spacing;
        m_line.clear();
        m_x = 0;
        m_ascent = 0;
        m_spacing = 0;
    }

    const QPaintDevice &m_device;
    qreal m_width;
    qreal m_height;
    qreal m_x = 0;
    qreal m_y = 0;
    qreal m_ascent = 0;
    qreal m_spacing = 0;
    QList<Piece> m_line;
    RecordSheetPrinter::Page m_page;
    QList<RecordSheetPrinter::Page> m_pages;
};

} // namespace

bool RecordSheetPrinter::printerAvailable()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QList<RecordSheetPrinter::Page> RecordSheetPrinter::layout(const QList<RecordSheet::Line> &lines,
                                                           const QPaintDevice &device)
{
    Flow flow(device);
    for (const RecordSheet::Line &line : lines) {
        for (const RecordSheet::Run &run : line.runs)
            flow.add(run.text, fontOf(run), line.rule);
        flow.endLine();
    }
    return flow.pages();
}

void RecordSheetPrinter::paint(QPainter &painter, const QList<Page> &pages, const std::function<bool()> &newPage)
{
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0 && !newPage())
            return;
        for (const Placed &placed : pages.at(p)) {
            painter.setFont(placed.font);
            painter.drawText(placed.baseline, placed.text);
        }
    }
}

std::optional<QString> RecordSheetPrinter::print(const QList<RecordSheet::Line> &lines, QPrinter &printer)
{
    const QList<Page> pages = layout(lines, printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("Der Drucker \"") + printer.printerName()
               + QStringLiteral("\" konnte nicht angesprochen werden. Es wurde nichts gedruckt.");
    bool ok = true;
    paint(painter, pages, [&] { return ok = printer.newPage(); });
    if (!ok || printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        return QStringLiteral("Der Druckauftrag ist fehlgeschlagen und wurde abgebrochen.");
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("Der Druckauftrag ist fehlgeschlagen.");
    return std::nullopt;
}

std::optional<QString> RecordSheetPrinter::writePdf(const QList<RecordSheet::Line> &lines, const QString &path,
                                                    const QString &title)
{
    // Made in memory and written whole: a full disk or a refused name
    // leaves the file that was there, never half a PDF.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("ZEP"));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        const QList<Page> pages = layout(lines, pdf);
        QPainter painter;
        if (!painter.begin(&pdf))
            return QStringLiteral("Die PDF-Datei konnte nicht erstellt werden.");
        paint(painter, pages, [&] { return pdf.newPage(); });
        painter.end();
    }
    AtomicFileWriter out;
    // The writer's reasons name the file.
    const QString failed = QStringLiteral("Die PDF-Datei konnte nicht gespeichert werden: ");
    if (auto error = out.open(path))
        return failed + *error;
    if (auto error = out.write(buffer.data()))
        return failed + *error;
    if (auto error = out.commit())
        return failed + *error;
    return std::nullopt;
}

} // namespace zep
