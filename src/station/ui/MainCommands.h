#pragma once

#include <QObject>
#include <QString>
#include <array>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolButton;

namespace zep {

// The main window's menus, toolbar and the record list's right-click menu.
// Every command is an action or button named as the rest of the program
// knows it; the window connects them to what they do.
class MainCommands : public QObject
{
    Q_OBJECT

public:
    explicit MainCommands(QMainWindow &window);

    QAction *action(const QString &objectName) const;
    // The toolbar's record commands 1-7 (5 is the backup notice, not a button).
    QToolButton *command(int number) const;
    QMenu *popup() const { return m_popup; }
    QLabel *backupNotice() const { return m_backupNotice; }
    // While a backup runs its command is disabled and the notice shown.
    void showBackupRunning(bool running);
    // The commands that wait for a search result before they work.
    QList<QObject *> recordCommands() const;

Q_SIGNALS:
    // A menu entry without a button of its own was chosen, by its object name.
    void triggered(const QString &objectName);

private:
    void buildMenus();
    void buildToolbar();
    QAction *add(QMenu *menu, const char *name, const char *caption);
    // A menu entry that presses a toolbar button, so both stay one command.
    QAction *press(QMenu *menu, const char *name, const char *caption, int number);

    QMainWindow &m_window;
    std::array<QToolButton *, 8> m_commands{};
    QMenu *m_popup = nullptr;
    QLabel *m_backupNotice = nullptr;
    // The notice's place in the toolbar: a widget there is shown and hidden
    // through it.
    QAction *m_backupNoticeEntry = nullptr;
};

} // namespace zep
