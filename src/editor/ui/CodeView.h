#pragma once

#include <QPlainTextEdit>

namespace zep {

// One view of the program text: a plain-text editor with the line numbers
// in its left margin. Several views may show the same document.
class CodeView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CodeView(QWidget *parent = nullptr);

    int lineNumberAreaWidth() const;
    void paintLineNumbers(QPaintEvent *event);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateMarginWidth();
    void updateMargin(const QRect &rect, int dy);

    QWidget *m_margin;
};

} // namespace zep
