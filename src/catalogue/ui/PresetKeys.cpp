#include "catalogue/ui/PresetKeys.h"

#include "catalogue/Presets.h"
#include "catalogue/ui/LimitedTextEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace zep {

PresetKeys::PresetKeys(const SettingsStore &settings, QObject *parent) : QObject(parent), m_settings(settings) {}

void PresetKeys::watch(QObject *field)
{
    field->installEventFilter(this);
}

int PresetKeys::presetNumber(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers relevant = modifiers & ~Qt::KeypadModifier;
    if (relevant != Qt::ShiftModifier || key < Qt::Key_F1 || key > Qt::Key_F8)
        return 0;
    return key - Qt::Key_F1 + 1;
}

bool PresetKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyRelease && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int n = presetNumber(key->key(), key->modifiers());
    if (n == 0)
        return false;
    // The text goes in on release, as the field's users know it; the press
    // is swallowed so that no other handler acts on the key. A held key
    // repeats press and release: only the key's real release inserts.
    if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) {
        const QString text = Presets::text(m_settings, n);
        if (auto *line = qobject_cast<QLineEdit *>(watched))
            line->insert(text);
        // A limited field takes what fits and tells what it left out.
        else if (auto *limited = qobject_cast<LimitedTextEdit *>(watched))
            limited->enter(text);
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(watched))
            plain->insertPlainText(text);
        else if (auto *rich = qobject_cast<QTextEdit *>(watched))
            rich->insertPlainText(text);
    }
    return true;
}

} // namespace zep
