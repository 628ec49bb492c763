#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace zep {

// The one owner of the main window's status line. Work that takes a while
// holds a busy text for as long as it runs; when the last one ends the line
// says "Bereit" again, so no caller has to know what was shown before it.
// A passing text (a result, an error) stays until the next change.
class StatusLine : public QObject
{
    Q_OBJECT

public:
    // The text of a status line with nothing to do.
    static QString idleText() { return QStringLiteral("Bereit"); }

    // Shows its text while it lives; moving it hands the scope on.
    class Busy {
    public:
        Busy() = default;
        Busy(Busy &&other) noexcept;
        Busy &operator=(Busy &&other) noexcept;
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;
        ~Busy();

        // The next step of the same work (a count, a new phase).
        void setText(const QString &text);
        // Ends the scope now; the line shows what is left, or "Bereit".
        void end();
        // Ends the scope and leaves `text` on the line as a passing text
        // (a failure the user should still read).
        void endWith(const QString &text);
        bool active() const { return m_line && m_id != 0; }

    private:
        friend class StatusLine;
        Busy(StatusLine *line, quint64 id) : m_line(line), m_id(id) {}
        QPointer<StatusLine> m_line;
        quint64 m_id = 0;
    };

    explicit StatusLine(QObject *parent = nullptr);

    [[nodiscard]] Busy busy(const QString &text);
    // A text that stays until the next one (or until a busy scope ends).
    void show(const QString &text);
    // Drops a passing text: the line shows the newest busy text again, or
    // "Bereit" when no work runs.
    void clear() { showNewestBusy(); }
    QString text() const { return m_text; }

Q_SIGNALS:
    void changed(const QString &text);

private:
    struct Entry {
        quint64 id;
        QString text;
    };
    void setBusyText(quint64 id, const QString &text);
    void endBusy(quint64 id);
    void showNewestBusy();
    void display(const QString &text);

    QList<Entry> m_busy; // oldest first
    quint64 m_nextId = 1;
    QString m_text = idleText();
};

} // namespace zep
