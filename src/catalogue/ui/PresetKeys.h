#pragma once

#include <QObject>

namespace zep {

class SettingsStore;

// Shift+F1 to Shift+F8 in a text field put the stored preset there: in
// place of the selection, or at the caret. Other keys and other modifier
// combinations pass through untouched.
class PresetKeys : public QObject
{
    Q_OBJECT

public:
    PresetKeys(const SettingsStore &settings, QObject *parent);

    // Works for line and multi-line fields.
    void watch(QObject *field);

    // 1 to 8 for Shift+F1..F8, else 0.
    static int presetNumber(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const SettingsStore &m_settings;
};

} // namespace zep
