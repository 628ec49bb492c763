#include "editor/ui/HexView.h"

#include "editor/ByteGlyphs.h"

#include <QPainter>
#include <QScrollBar>

namespace zep {

HexView::HexView(QWidget *parent) : QAbstractScrollArea(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    m_lineHeight = fontMetrics().height();
    m_charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    viewport()->setBackgroundRole(QPalette::Base);
    // Offset, 16 hex pairs, the characters in cells of two.
    setMinimumWidth(m_charWidth * (10 + 3 * kBytesPerRow + 1 + 2 * kBytesPerRow) + 40);
}

void HexView::setBytes(const QByteArray *bytes)
{
    m_bytes = bytes;
    bytesChanged();
}

qsizetype HexView::rowCount() const
{
    return m_bytes ? (m_bytes->size() + kBytesPerRow - 1) / kBytesPerRow : 0;
}

int HexView::visibleRows() const
{
    return qMax(1, viewport()->height() / qMax(1, m_lineHeight));
}

qsizetype HexView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

void HexView::updateRange()
{
    // Rows past int's range are not reachable by the bar; a recording that
    // large is looked at in the saved file.
    const qsizetype max = qMax<qsizetype>(0, rowCount() - visibleRows());
    verticalScrollBar()->setRange(0, int(qMin<qsizetype>(max, INT_MAX)));
    verticalScrollBar()->setPageStep(visibleRows());
}

void HexView::bytesChanged()
{
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    updateRange();
    if (atEnd)
        bar->setValue(bar->maximum());
    viewport()->update();
}

void HexView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
}

QString HexView::rowText(qsizetype row) const
{
    if (!m_bytes || row < 0 || row >= rowCount())
        return {};
    return ByteGlyphs::row(*m_bytes, row * kBytesPerRow, kBytesPerRow);
}

void HexView::drawControl(QPainter &painter, const QRect &cell, const QString &name) const
{
    // Drawn as a small name, in two lines when it is longer than two
    // letters, as Unicode's control pictures look: few fonts on a shop PC
    // have those pictures.
    const QFont normal = painter.font();
    QFont small = normal;
    small.setPixelSize(qMax(6, name.size() <= 2 ? m_lineHeight * 3 / 5 : m_lineHeight / 2));
    small.setStretch(QFont::SemiCondensed);
    painter.setFont(small);
    if (name.size() <= 2) {
        painter.drawText(cell, Qt::AlignCenter, name);
    } else {
        const int half = (name.size() + 1) / 2;
        const QRect top(cell.left(), cell.top(), cell.width(), cell.height() / 2 + 1);
        const QRect bottom(cell.left(), cell.top() + cell.height() / 2, cell.width(), cell.height() / 2);
        painter.drawText(top, Qt::AlignCenter, name.left(half));
        painter.drawText(bottom, Qt::AlignCenter, name.mid(half));
    }
    painter.setFont(normal);
}

void HexView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    if (!m_bytes)
        return;
    const QColor text = palette().color(QPalette::Text);
    const QColor dim = palette().color(QPalette::PlaceholderText);
    const QColor control(0, 90, 200);
    const QColor high(150, 60, 0);
    const int ascent = fontMetrics().ascent();
    const int hexLeft = 4 + m_charWidth * 10;
    const int glyphLeft = hexLeft + m_charWidth * (3 * kBytesPerRow + 1);
    const qsizetype first = firstVisibleRow();
    const qsizetype last = qMin(rowCount(), first + visibleRows() + 1);
    static const char kHex[] = "0123456789ABCDEF";
    for (qsizetype row = first; row < last; ++row) {
        const int y = int(row - first) * m_lineHeight + ascent;
        const qsizetype offset = row * kBytesPerRow;
        painter.setPen(dim);
        painter.drawText(4, y, QStringLiteral("%1").arg(offset, 8, 16, QLatin1Char('0')).toUpper());
        const qsizetype end = qMin(m_bytes->size(), offset + kBytesPerRow);
        for (qsizetype i = offset; i < end; ++i) {
            const auto b = uchar(m_bytes->at(i));
            const int column = int(i - offset);
            const QColor colour = ByteGlyphs::isControl(b) ? control : b >= 0x80 ? high : text;
            painter.setPen(colour);
            const char pair[3] = {kHex[b >> 4], kHex[b & 15], 0};
            painter.drawText(hexLeft + column * 3 * m_charWidth, y, QString::fromLatin1(pair));
            // Each byte gets a cell two characters wide, so that a control
            // byte's name can be read.
            const QRect cell(glyphLeft + column * 2 * m_charWidth, y - ascent, 2 * m_charWidth, m_lineHeight);
            if (ByteGlyphs::isControl(b))
                drawControl(painter, cell, ByteGlyphs::controlName(b));
            else
                painter.drawText(cell, Qt::AlignCenter, QString(ByteGlyphs::glyph(b)));
        }
    }
}

} // namespace zep
