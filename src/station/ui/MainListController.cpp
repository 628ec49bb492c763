#include "station/ui/MainListController.h"

#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "station/Station.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/PresetKeys.h"
#include "catalogue/ui/RecordListView.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace zep {

MainListController::MainListController(Station &station, Widgets widgets, QObject *parent)
    : QObject(parent), m_station(station), m_catalogue(station.catalogue()), m_prompts(station.prompts()),
      m_widgets(std::move(widgets)), m_model(m_widgets.list->records())
{
    m_presets = new PresetKeys(station.settings(), this);
    m_presets->watch(m_widgets.search);
    m_widgets.search->installEventFilter(this);
    connect(m_widgets.search, &QLineEdit::returnPressed, this, &MainListController::search);
    connect(m_widgets.machineFilter, qOverload<int>(&QComboBox::activated), this, [this] {
        if (m_widgets.search->isVisible())
            m_widgets.search->setFocus();
    });
    connect(m_widgets.list, &RecordListView::headingClicked, this, &MainListController::sortBy);
    setRecordCommandsEnabled(false);
    // A batch of new files at another station sends many notices in a
    // moment: one search afterwards shows them all.
    m_searchAgain = new QTimer(this);
    m_searchAgain->setSingleShot(true);
    m_searchAgain->setInterval(100);
    connect(m_searchAgain, &QTimer::timeout, this, &MainListController::searchAgain);
    connect(&m_catalogue, &CatalogueService::recordChanged, this, &MainListController::showChangedElsewhere);
    connect(&m_catalogue, &CatalogueService::recordsAddedOrDeleted, m_searchAgain, qOverload<>(&QTimer::start));
}

MainListController::~MainListController() = default;

bool MainListController::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the field selects its text, so typing replaces the last term;
    // after the click that moved the focus has placed the caret.
    if (watched == m_widgets.search && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_widgets.search, &QLineEdit::selectAll);
    return false;
}

void MainListController::setRecordCommandsEnabled(bool enabled)
{
    for (QObject *command : std::as_const(m_widgets.recordCommands)) {
        if (auto *widget = qobject_cast<QWidget *>(command))
            widget->setEnabled(enabled);
        else if (auto *action = qobject_cast<QAction *>(command))
            action->setEnabled(enabled);
    }
}

void MainListController::search()
{
    setRecordCommandsEnabled(false);
    const long machine = m_widgets.machineFilter->currentIndex() > 0
                             ? m_widgets.machineFilter->currentData().toLongLong()
                             : 0;
    StatusLine::Busy busy = m_station.status().busy(QStringLiteral("Suche Dateien..."));
    QString shownStatement;
    std::shared_ptr<RecordSearchPages> result = m_catalogue.listSearch(m_widgets.search->text(), machine, &shownStatement);
    m_lastSearch = std::make_pair(m_widgets.search->text(), machine);
    m_station.trace().line(QStringLiteral("SQL: ") + shownStatement);
    m_widgets.list->setUpdatesEnabled(false);
    m_model->clear();
    if (!result->ok()) {
        m_widgets.list->setUpdatesEnabled(true);
        reportErrorSimple(m_prompts, QStringLiteral(" in Form1.Text1_KeyPress"), result->error().description);
        return;
    }
    if (result->hits() == 0) {
        busy.endWith(QStringLiteral("NIX GEFUNDEN!"));
        m_widgets.search->selectAll();
        m_widgets.list->setUpdatesEnabled(true);
        return;
    }
    busy.setText(QStringLiteral("Eintragen..."));
    m_model->setSearch(std::move(result));
    sortBy(0);
    m_widgets.list->setUpdatesEnabled(true);
    m_widgets.search->selectAll();
    setRecordCommandsEnabled(true);
}

void MainListController::sortBy(int column)
{
    m_model->sortBy(column);
    m_widgets.list->horizontalHeader()->setSortIndicator(column, column == RecordRow::Datum ? Qt::DescendingOrder
                                                                                          : Qt::AscendingOrder);
    if (m_model->rowCount() > 0)
        m_widgets.list->selectRecord(0);
}

void MainListController::ShowMaschinen()
{
    // The machine chosen stays chosen while it exists: the list is read
    // anew whenever any station changes a machine.
    const QVariant chosen = m_widgets.machineFilter->currentIndex() > 0 ? m_widgets.machineFilter->currentData()
                                                                        : QVariant();
    m_widgets.machineFilter->clear();
    for (const MachineChoice &choice : m_catalogue.machineChoices())
        m_widgets.machineFilter->addItem(choice.text, qlonglong(choice.number));
    const int at = chosen.isValid() ? m_widgets.machineFilter->findData(chosen) : -1;
    m_widgets.machineFilter->setCurrentIndex(at > 0 ? at : 0);
}

std::optional<RecordRow> MainListController::selectedRow() const
{
    const int row = m_widgets.list->selectedRecord();
    if (row < 0)
        return std::nullopt;
    return m_model->row(row);
}

void MainListController::refreshRecord(const RecordRow &row)
{
    m_model->refreshRecord(row);
}

void MainListController::showRenamed(long dateiIndex, const QString &storedName)
{
    const int line = m_model->GetGridRow(dateiIndex);
    if (line < 0)
        return;
    RecordRow row = m_model->row(line);
    row.cells[RecordRow::Datei] = storedName;
    m_model->refreshRecord(row);
}

void MainListController::showChangedElsewhere(long dateiIndex)
{
    if (m_model->GetGridRow(dateiIndex) < 0)
        return;
    if (const std::optional<RecordRow> row = m_catalogue.listRow(dateiIndex))
        m_model->refreshRecord(*row);
}

void MainListController::searchAgain()
{
    if (!m_lastSearch)
        return;
    const std::optional<RecordRow> selected = selectedRow();
    // Not readable now: the next notice or search shows the list anew.
    if (!m_model->reload())
        return;
    const int line = selected ? m_model->GetGridRow(selected->dateiIndex()) : -1;
    if (line >= 0)
        m_widgets.list->selectRecord(line);
    setRecordCommandsEnabled(m_model->rowCount() > 0);
}

RecordCommands MainListController::commands()
{
    return m_catalogue.commands();
}

void MainListController::focusSearch()
{
    m_widgets.search->setFocus();
}

void MainListController::deleteRecord()
{
    const std::optional<RecordRow> row = selectedRow();
    const bool inEditor = row && m_recordOpen && m_recordOpen(row->dateiIndex());
    const QPointer<MainListController> self(this);
    commands().deleteRecord(row ? &*row : nullptr, inEditor, [self](RecordCommands::DeleteOutcome outcome) {
        if (!self)
            return;
        self->focusSearch();
        if (outcome != RecordCommands::DeleteOutcome::NothingSelected
            && outcome != RecordCommands::DeleteOutcome::Declined)
            self->search();
    });
}

void MainListController::importFile()
{
    commands().importFile();
}

void MainListController::exportFile()
{
    const std::optional<RecordRow> row = selectedRow();
    commands().exportFile(row ? &*row : nullptr);
}

void MainListController::editRecord()
{
    const std::optional<RecordRow> row = selectedRow();
    if (!row) {
        m_prompts.beep();
        return;
    }
    Q_EMIT recordEditWanted(row->dateiIndex());
}

QString MainListController::existingProgramFile(const RecordRow &row)
{
    const ProgramFile file = m_catalogue.programFile(row[RecordRow::Datei]);
    if (!file.found())
        m_prompts.message(file.notice.text, file.notice.title, file.notice.icon);
    return file.path;
}

void MainListController::editProgram()
{
    const std::optional<RecordRow> row = selectedRow();
    if (!row)
        return;
    const QString path = existingProgramFile(*row);
    if (!path.isEmpty())
        Q_EMIT editWanted(path);
}

void MainListController::sendProgram()
{
    const std::optional<RecordRow> row = selectedRow();
    if (row) {
        const QString path = existingProgramFile(*row);
        if (!path.isEmpty())
            Q_EMIT sendWanted(*row, path);
    }
    focusSearch();
}

} // namespace zep
