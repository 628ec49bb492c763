#pragma once

#include "catalogue/RecordFields.h"

#include <QPlainTextEdit>

namespace zep {

// A multi-line record field that never holds more than its limit, however
// the text comes in: typed, pasted (keys, context menu, middle button),
// dropped, from an input method or a preset. What does not fit is left out
// and told through entryCut(); typing at the limit is simply refused. The
// rule itself is RecordFields::fitEntry.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit LimitedTextEdit(QWidget *parent = nullptr);

    // The record field this widget shows; its limit follows from the text
    // shown last through showStored().
    void setField(RecordFields::Field field);
    RecordFields::Field recordField() const { return m_field; }
    // Shows a stored text (CR LF between lines). A stored text longer than
    // the typing limit is shown whole and may be edited at that length.
    void showStored(const QString &stored);
    qsizetype limit() const { return m_limit; }

    // Puts text in place of the selection (or at the caret), as much as the
    // limit lets in, as one step of the undo history. False when something
    // was left out.
    bool enter(const QString &text);

Q_SIGNALS:
    // An entry did not fit whole: `leftOut` characters were not taken.
    void entryCut(qsizetype leftOut);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The characters that stay besides an entry replacing the selection.
    qsizetype kept() const;
    RecordFields::Entry fit(const QString &text) const;

    RecordFields::Field m_field = RecordFields::Bemerkungen;
    qsizetype m_limit = 0;
};

} // namespace zep
