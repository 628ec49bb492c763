#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>

class QPainter;

namespace zep {

// Bytes as hex and as characters side by side, 16 to a row, read-only.
// It paints only the rows in sight straight from the caller's buffer, so a
// recording of many megabytes costs nothing until it is looked at. The
// buffer must outlive the view.
class HexView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int kBytesPerRow = 16;

    explicit HexView(QWidget *parent = nullptr);

    void setBytes(const QByteArray *bytes);
    // The buffer grew (or was emptied): the scroll range follows, and a view
    // that was at the end stays at the end.
    void bytesChanged();
    qsizetype firstVisibleRow() const;
    int visibleRows() const;
    // The rows as text, for a look without painting (tests, copying).
    QString rowText(qsizetype row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    qsizetype rowCount() const;
    void updateRange();
    void drawControl(QPainter &painter, const QRect &cell, const QString &name) const;

    const QByteArray *m_bytes = nullptr;
    int m_lineHeight = 16;
    int m_charWidth = 8;
};

} // namespace zep
