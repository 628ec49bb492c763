#pragma once

#include <QString>
#include <functional>

namespace zep {

class SettingsStore;

// The lock in front of the settings, port settings and machine manager.
// `askLogin` shows the login window for the stored password and returns
// whether the user got in; it is not called when no password is set.
bool CheckAccess(const SettingsStore &settings, const std::function<bool(const QString &stored)> &askLogin);

} // namespace zep
