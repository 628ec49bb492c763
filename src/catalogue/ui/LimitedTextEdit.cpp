#include "catalogue/ui/LimitedTextEdit.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include <memory>

namespace zep {

LimitedTextEdit::LimitedTextEdit(QWidget *parent) : QPlainTextEdit(parent) {}

void LimitedTextEdit::setField(RecordFields::Field field)
{
    m_field = field;
    m_limit = RecordFields::entryLimit(field, toPlainText());
}

void LimitedTextEdit::showStored(const QString &stored)
{
    m_limit = RecordFields::entryLimit(m_field, stored);
    setPlainText(RecordFields::toShown(stored));
}

qsizetype LimitedTextEdit::kept() const
{
    const QTextCursor cursor = textCursor();
    // Positions count a line break as one character, as the limit does.
    return toPlainText().size() - (cursor.selectionEnd() - cursor.selectionStart());
}

RecordFields::Entry LimitedTextEdit::fit(const QString &text) const
{
    return RecordFields::fitEntry(m_field, m_limit, kept(), text);
}

bool LimitedTextEdit::enter(const QString &text)
{
    const RecordFields::Entry entry = fit(text);
    // Nothing that fits: the selection stays rather than being replaced by
    // nothing.
    if (!entry.text.isEmpty()) {
        QTextCursor cursor = textCursor();
        cursor.insertText(entry.text);
        setTextCursor(cursor);
        ensureCursorVisible();
    }
    if (entry.leftOut == 0)
        return true;
    Q_EMIT entryCut(entry.leftOut);
    return false;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Ctrl+V and the other commands carry a text too; they are no typing
    // (AltGr, which some systems send as Ctrl+Alt, is).
    const Qt::KeyboardModifiers commands =
        event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
    const bool command = commands != Qt::NoModifier && commands != (Qt::ControlModifier | Qt::AltModifier);
    const bool inserts = !command && !text.isEmpty()
                         && (text.at(0).isPrint() || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    // A key at the limit is refused without a word, as in any limited field.
    if (m_limit > 0 && inserts && !isReadOnly() && fit(text).leftOut > 0) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (m_limit == 0 || event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const RecordFields::Entry entry = fit(event->commitString());
    if (entry.leftOut == 0) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    std::unique_ptr<QInputMethodEvent> cut(event->clone());
    cut->setCommitString(entry.text, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(cut.get());
    Q_EMIT entryCut(entry.leftOut);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    // Paste by key, menu or middle button and every drop come through here.
    if (m_limit == 0 || !source->hasText() || fit(source->text()).leftOut == 0) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    enter(source->text());
}

void LimitedTextEdit::dropEvent(QDropEvent *event)
{
    // A text moved here from another field would be taken there whole and
    // arrive here cut: what does not fit must stay where it came from.
    const bool fromElsewhere = event->source() != this && event->source() != viewport();
    if (m_limit == 0 || !fromElsewhere || event->dropAction() != Qt::MoveAction || !event->mimeData()->hasText()
        || RecordFields::fitEntry(m_field, m_limit, toPlainText().size(), event->mimeData()->text()).leftOut == 0) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    // A source that only lets its text go cannot keep it: no drop then.
    if (!(event->possibleActions() & Qt::CopyAction)) {
        // As if the drag had left: the drop mark goes.
        QDragLeaveEvent leave;
        QPlainTextEdit::dragLeaveEvent(&leave);
        event->ignore();
        Q_EMIT entryCut(RecordFields::shownLength(m_field, event->mimeData()->text()));
        return;
    }
    QDropEvent copy(event->position(), Qt::CopyAction, event->mimeData(), event->buttons(), event->modifiers());
    QPlainTextEdit::dropEvent(&copy);
    if (copy.isAccepted()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace zep
