#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "catalogue/RecordRow.h"

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QTimer;

namespace zep {

class CatalogueService;
class PresetKeys;
class Prompts;
class RecordCommands;
class RecordListModel;
class RecordListView;
class Station;
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
    MainListController(Station &station, Widgets widgets, QObject *parent);
    ~MainListController() override;


    void search();
    void ShowMaschinen();
    void sortBy(int column);

    void deleteRecord();
    void importFile();
    void exportFile();
    void editRecord();
    void editProgram();
    void sendProgram();

    std::optional<RecordRow> selectedRow() const;
    // Whether a record editor has the record open (the delete warns first).
    void setRecordOpenCheck(std::function<bool(long dateiIndex)> isOpen) { m_recordOpen = std::move(isOpen); }
    // The record editor wrote a record, or renamed its file: its line in
    // the list (when the list shows it) shows the new values.
    void refreshRecord(const RecordRow &row);
    void showRenamed(long dateiIndex, const QString &storedName);
    // Another station changed a record: its line (when the list shows it)
    // is read anew.
    void showChangedElsewhere(long dateiIndex);
    // Other stations added or deleted records: the last search runs again,
    // keeping the order and the selected record.
    void searchAgain();

Q_SIGNALS:
    // The user asked to send the selected record's program, whose file is
    // there.
    void sendWanted(const zep::RecordRow &row, const QString &path);
    // The user asked to edit the selected record.
    void recordEditWanted(long dateiIndex);
    // The user asked to edit the selected record's program, whose file is
    // there.
    void editWanted(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setRecordCommandsEnabled(bool enabled);
    RecordCommands commands();
    // The program file of the selected record, or empty after telling the
    // user it is missing.
    QString existingProgramFile(const RecordRow &row);
    void focusSearch();

    Station &m_station;
    CatalogueService &m_catalogue;
    Prompts &m_prompts;
    Widgets m_widgets;
    RecordListModel *m_model;
    PresetKeys *m_presets;
    std::function<bool(long)> m_recordOpen;
    // The last search, for running it again.
    std::optional<std::pair<QString, long>> m_lastSearch;
    QTimer *m_searchAgain = nullptr;
};

} // namespace zep
