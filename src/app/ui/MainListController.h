#pragma once

#include "catalogue/DirectoryCheck.h"
#include "catalogue/MonitoredDirectory.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;

namespace zep {

class PresetKeys;
class RecordCommands;
class RecordListModel;
class RecordListView;
struct MainState;
struct RecordRow;

// The main window's catalogue: search field, machine filter, record list and
// the record commands, over the core's search, file list and commands.
class MainListController : public QObject
{
    Q_OBJECT

public:
    struct Widgets {
        QLineEdit *search;
        QComboBox *machineFilter;
        RecordListView *list;
        QList<QObject *> recordCommands; // the ten that wait for a search result
    };
    struct Hooks {
        std::function<void(const QString &)> status;
        std::function<void(const QString &)> trace;
        std::function<void()> bringToFront;
        std::function<void()> notYetAvailable;
        std::function<void(const std::function<void()> &)> withTimerStopped;
        // Opens the send dialog for a record whose program file is there.
        std::function<void(const RecordRow &row, const QString &path)> sendProgram;
    };

    MainListController(MainState &state, Widgets widgets, Hooks hooks, QObject *parent);
    ~MainListController() override;

    MonitoredDirectory &files() { return *m_files; }
    DirectoryCheck &directoryCheck() { return *m_check; }

    void search();
    void ShowMaschinen();
    void sortBy(int column);
    void rebuildFileList();

    void deleteRecord();
    void importFile();
    void exportFile();
    void editRecord();
    void editProgram();
    void sendProgram();

    const RecordRow *selectedRow() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setRecordCommandsEnabled(bool enabled);
    RecordCommands commands();
    // The program file of the selected record, or empty after telling the
    // user it is missing.
    QString existingProgramFile(const RecordRow &row);
    void focusSearch();

    MainState &m_state;
    Widgets m_widgets;
    Hooks m_hooks;
    RecordListModel *m_model;
    std::unique_ptr<MonitoredDirectory> m_files;
    std::unique_ptr<DirectoryCheck> m_check;
    PresetKeys *m_presets;
};

} // namespace zep
