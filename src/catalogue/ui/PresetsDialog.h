#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QLineEdit;

namespace zep {

class SettingsStore;

// "Tastenvorgaben definieren": the eight texts Shift+F1 to Shift+F8 insert.
// "Speichern" stores all eight, "Abbruch" and the close box store nothing.
class PresetsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PresetsDialog(SettingsStore &settings, QWidget *parent = nullptr);

    QLineEdit *line(int n) const { return m_lines.at(size_t(n - 1)); }
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SettingsStore &m_settings;
    std::array<QLineEdit *, 8> m_lines{};
};

} // namespace zep
