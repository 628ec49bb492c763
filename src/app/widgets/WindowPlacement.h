#pragma once

#include <QString>

class QTableView;
class QWidget;

namespace zep {

class SettingsStore;

// Window geometry and list column widths, kept in the settings store under
// the window's object name.
void SaveGeometry(const QWidget &window, SettingsStore &settings);
void RestoreGeometry(QWidget &window, const SettingsStore &settings);

void SaveColumns(const QTableView &list, const QString &container, SettingsStore &settings);
void RestoreColumns(QTableView &list, const QString &container, const SettingsStore &settings);

} // namespace zep
