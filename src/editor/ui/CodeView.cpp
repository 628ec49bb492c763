#include "editor/ui/CodeView.h"

#include <QPainter>
#include <QTextBlock>

namespace zep {

namespace {

class LineNumberMargin : public QWidget
{
public:
    explicit LineNumberMargin(CodeView *view) : QWidget(view), m_view(view) {}
    QSize sizeHint() const override { return {m_view->lineNumberAreaWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_view->paintLineNumbers(event); }

private:
    CodeView *m_view;
};

} // namespace

CodeView::CodeView(QWidget *parent) : QPlainTextEdit(parent), m_margin(new LineNumberMargin(this))
{
    // Program lines are never wrapped: a block is one line of the file.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeView::updateMarginWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeView::updateMargin);
    updateMarginWidth();
}

int CodeView::lineNumberAreaWidth() const
{
    int digits = 1;
    for (int max = qMax(1, blockCount()); max >= 10; max /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * qMax(3, digits);
}

void CodeView::updateMarginWidth()
{
    setViewportMargins(lineNumberAreaWidth(), 0, 0, 0);
}

void CodeView::updateMargin(const QRect &rect, int dy)
{
    if (dy)
        m_margin->scroll(0, dy);
    else
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateMarginWidth();
}

void CodeView::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    m_margin->setGeometry(QRect(r.left(), r.top(), lineNumberAreaWidth(), r.height()));
}

void CodeView::paintLineNumbers(QPaintEvent *event)
{
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase).darker(105));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int number = block.blockNumber();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + qRound(blockBoundingRect(block).height());
    const int width = m_margin->width() - 4;
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top())
            painter.drawText(0, top, width, fontMetrics().height(), Qt::AlignRight, QString::number(number + 1));
        block = block.next();
        top = bottom;
        bottom = top + qRound(blockBoundingRect(block).height());
        ++number;
    }
}

} // namespace zep
