#include "app/StatusLine.h"

namespace zep {

StatusLine::Busy::Busy(Busy &&other) noexcept : m_line(std::move(other.m_line)), m_id(other.m_id)
{
    other.m_line = nullptr;
    other.m_id = 0;
}

StatusLine::Busy &StatusLine::Busy::operator=(Busy &&other) noexcept
{
    if (this != &other) {
        end();
        m_line = std::move(other.m_line);
        m_id = other.m_id;
        other.m_line = nullptr;
        other.m_id = 0;
    }
    return *this;
}

StatusLine::Busy::~Busy()
{
    end();
}

void StatusLine::Busy::setText(const QString &text)
{
    if (active())
        m_line->setBusyText(m_id, text);
}

void StatusLine::Busy::end()
{
    if (active())
        m_line->endBusy(m_id);
    m_line = nullptr;
    m_id = 0;
}

void StatusLine::Busy::endWith(const QString &text)
{
    QPointer<StatusLine> line = m_line;
    end();
    if (line)
        line->show(text);
}

StatusLine::StatusLine(QObject *parent) : QObject(parent) {}

StatusLine::Busy StatusLine::busy(const QString &text)
{
    const quint64 id = m_nextId++;
    m_busy.append({id, text});
    display(text);
    return Busy(this, id);
}

void StatusLine::show(const QString &text)
{
    display(text);
}

void StatusLine::setBusyText(quint64 id, const QString &text)
{
    for (Entry &entry : m_busy)
        if (entry.id == id) {
            entry.text = text;
            // An older scope's step stays in the background until the newer
            // work ends.
            if (entry.id == m_busy.last().id)
                display(text);
            return;
        }
}

void StatusLine::endBusy(quint64 id)
{
    m_busy.removeIf([id](const Entry &entry) { return entry.id == id; });
    showNewestBusy();
}

void StatusLine::showNewestBusy()
{
    display(m_busy.isEmpty() ? idleText() : m_busy.last().text);
}

void StatusLine::display(const QString &text)
{
    m_text = text;
    Q_EMIT changed(text);
}

} // namespace zep
