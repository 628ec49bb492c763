#include "machines/ui/MachineManager.h"

#include "app/widgets/InvalidField.h"

#include "app/Clock.h"
#include "app/Prompts.h"
#include "comm/LineDefaults.h"
#include "machines/MachineFieldRules.h"
#include "machines/MachineLists.h"
#include "machines/MachinesService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QGroupBox>

#include <algorithm>

namespace zep {

namespace {

using namespace MachineFieldRules;

constexpr int kIndexColumnWidth = 45;
constexpr int kUnlimited = 32767;

const QString kTitle = QStringLiteral("ZEP");

// A stored text longer than the field's limit is shown whole; the limit only
// keeps new typing within the column.
void setLimitedText(QLineEdit *field, const QString &text, int limit)
{
    field->setMaxLength(std::max(limit, int(text.size())));
    field->setText(text);
}

bool isEnter(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

using Part = MachineSession::Part;

MachineManager::MachineManager(MachinesService &machines, Prompts &prompts, const Clock &clock,
             StatusLine &status, QWidget *parent)
    : QDialog(parent), m_session(machines.openSession()), m_prompts(prompts), m_clock(clock),
      m_status(status)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Maschinenverwaltung"));
    setModal(true);
    m_ui.build(this);

    m_ui.bezeichnung->setMaxLength(kTypedTextLength);
    m_ui.standort->setMaxLength(kTypedTextLength);
    m_ui.code->setMaxLength(kParamLength);
    m_ui.comString->setMaxLength(kParamLength);
    for (QObject *watched : {static_cast<QObject *>(m_ui.bezeichnung), static_cast<QObject *>(m_ui.standort),
                             static_cast<QObject *>(m_ui.code), static_cast<QObject *>(m_ui.start),
                             static_cast<QObject *>(m_ui.end), static_cast<QObject *>(m_ui.comString)})
        watched->installEventFilter(this);
    for (QPlainTextEdit *note : m_ui.notes)
        note->installEventFilter(this);

    connect(m_session.get(), &MachineSession::listRead, this, &MachineManager::showList);
    connect(m_session.get(), &MachineSession::loaded, this, &MachineManager::showMachine);
    connect(m_session.get(), &MachineSession::created, this, &MachineManager::machineCreated);
    connect(m_session.get(), &MachineSession::deleted, this, [this] {
        RedrawList();
        clearAfterDelete();
    });
    connect(m_session.get(), &MachineSession::stored, this, &MachineManager::partStored);
    connect(m_session.get(), &MachineSession::changedElsewhere, this, &MachineManager::showChangedElsewhere);
    connect(m_session.get(), &MachineSession::deletedElsewhere, this,
            [this](long, const QString &bezeichnung) { showDeletedElsewhere(bezeichnung); });
    // Other stations' changes show here as they come, not at the next opening.
    connect(&machines, &MachinesService::changedElsewhere, this, &MachineManager::followChangesElsewhere);

    connect(m_ui.list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { listChosen(item); });
    connect(m_ui.list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { listChosen(item); });
    connect(m_ui.bezeichnung, &QLineEdit::editingFinished, this, [this] { leaveNameField(m_ui.bezeichnung); });
    connect(m_ui.standort, &QLineEdit::editingFinished, this, [this] { leaveNameField(m_ui.standort); });
    for (QLineEdit *field : {m_ui.code, m_ui.start, m_ui.end, m_ui.comString})
        connect(field, &QLineEdit::editingFinished, this, [this, field] { leaveCommunicationField(field); });
    connect(m_ui.code, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_ui.codeName->setText(MachineLists::endCharacterName(text)); });
    // Each field limits the other; a line edit must not have its own limit
    // changed while it is still handling the keystroke.
    connect(m_ui.start, &QLineEdit::textChanged, this, [this] { limitPairField(m_ui.end, m_ui.start); });
    connect(m_ui.end, &QLineEdit::textChanged, this, [this] { limitPairField(m_ui.start, m_ui.end); });

    connect(m_ui.rs232, &QCheckBox::toggled, this, &MachineManager::rs232Changed);
    connect(m_ui.endBySpecial, &QRadioButton::toggled, this, &MachineManager::endModeChanged);
    connect(m_ui.asciiCode, &QRadioButton::toggled, this, &MachineManager::TrageCNCEin);
    connect(m_ui.speed, &QComboBox::currentIndexChanged, this, &MachineManager::TrageCNCEin);
    for (QComboBox *conversion : m_ui.conversions)
        connect(conversion, &QComboBox::currentIndexChanged, this, &MachineManager::TrageCNCEin);
    for (QCheckBox *box : {m_ui.exon, m_ui.sxon, m_ui.waitXon})
        connect(box, &QCheckBox::toggled, this, &MachineManager::TrageCNCEin);

    for (int task = 0; task < 3; ++task) {
        connect(m_ui.turnus[task], &QComboBox::currentIndexChanged, this, [this, task] {
            applyTurnus(task);
            TrageWartungEin();
        });
        connect(m_ui.dates[task], &QDateTimeEdit::dateTimeChanged, this, &MachineManager::TrageWartungEin);
    }

    connect(m_ui.newMachine, &QPushButton::clicked, this, &MachineManager::newMachine);
    connect(m_ui.deleteMachine, &QPushButton::clicked, this, &MachineManager::deleteMachine);
    connect(m_ui.back, &QPushButton::clicked, this, &QDialog::accept);

    m_busy = m_status.busy(QStringLiteral("Maschinenverwaltung"));
    RedrawList();
    fillLists();
    setMachineEnabled(false);
    resize(860, 560);
    if (QTreeWidgetItem *first = m_ui.list->topLevelItem(0)) {
        const QSignalBlocker blocker(m_ui.list);
        m_ui.list->setCurrentItem(first);
        loadMachine(first->data(0, Qt::UserRole).toLongLong());
    }
}

MachineManager::~MachineManager()
{
    handOverTyping();
    m_session->end();
    // The fields outlive this object's members by a moment: the focused one
    // loses its focus while the base class deletes it, and its signals must
    // not reach handlers whose data is already gone.
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
}

void MachineManager::fillLists()
{
    m_ui.speed->setCurrentIndex(LineDefaults::Manager::kSpeedPosition);
    for (QComboBox *conversion : m_ui.conversions)
        conversion->setCurrentIndex(0);
    m_ui.endBySpecial->setChecked(true);
    m_ui.asciiCode->setChecked(true);
    for (int task = 0; task < 3; ++task) {
        m_ui.turnus[task]->setCurrentIndex(0);
        m_ui.dates[task]->setDateTime(m_clock.now());
        applyTurnus(task);
    }
    applyRs232Enabled();
    applyEndMode();
}

void MachineManager::RedrawList()
{
    m_session->readList();
}

void MachineManager::showList(const QList<MachineListEntry> &entries)
{
    const QSignalBlocker blocker(m_ui.list);
    m_ui.list->clear();
    for (const MachineListEntry &e : entries) {
        auto *item = new QTreeWidgetItem(m_ui.list);
        item->setText(0, QString::number(e.maschinennummer));
        item->setData(0, Qt::UserRole, qlonglong(e.maschinennummer));
        item->setText(1, shownText(e.bezeichnung));
        item->setText(2, shownText(e.standort));
        item->setText(3, MachineLists::rs232Text(e.mitRS232 == 1, e.sonderzeichen == 1));
    }
    if (QTreeWidgetItem *loaded = entryOf(m_session->machine()))
        m_ui.list->setCurrentItem(loaded);
    resizeColumns();
    m_ui.deleteMachine->setEnabled(!entries.isEmpty());
}

void MachineManager::listChosen(QTreeWidgetItem *item)
{
    if (!item || m_session->ended())
        return;
    const long number = item->data(0, Qt::UserRole).toLongLong();
    if (number == 0) {
        m_prompts.beep();
        return;
    }
    if (number == m_session->machine())
        return;
    loadMachine(number);
}

void MachineManager::handOverTyping()
{
    // What the user changed in a field and has not left yet: the session
    // stores it to its machine before it turns to anything else.
    if (!m_session->editing())
        return;
    if (m_ui.bezeichnung->isModified())
        m_session->draftName(Part::Bezeichnung, m_ui.bezeichnung->text());
    if (m_ui.standort->isModified())
        m_session->draftName(Part::Standort, m_ui.standort->text());
    if (m_ui.code->isModified() || m_ui.start->isModified() || m_ui.end->isModified() || m_ui.comString->isModified())
        m_session->draftCommunication(communicationFields());
    if (std::any_of(m_ui.notes.begin(), m_ui.notes.end(),
                    [](QPlainTextEdit *note) { return note->document()->isModified(); }))
        m_session->draftMaintenance(maintenanceFields());
}

void MachineManager::loadMachine(long maschinennummer)
{
    handOverTyping();
    m_session->load(maschinennummer);
    // Not read (the retry report waits or was cancelled): the fields are
    // no machine's until the record comes.
    if (m_session->machine() != maschinennummer)
        setMachineEnabled(false);
}

void MachineManager::showMachine(const MachineRecord &r)
{
    setHint({});
    showName(m_ui.bezeichnung, r.bezeichnung);
    showName(m_ui.standort, r.standort);
    showCommunication(r);
    showMaintenance(r);
    updateListEntry(r.maschinennummer);
    setMachineEnabled(true);
}

void MachineManager::showName(QLineEdit *field, const QString &stored)
{
    setLimitedText(field, shownText(stored), kTypedTextLength);
    field->setModified(false);
}

void MachineManager::showCommunication(const MachineRecord &r)
{
    for (QLineEdit *field : {m_ui.code, m_ui.comString})
        markInvalid(field, false);
    const CommunicationFields f = CommunicationFields::fromRecord(r);
    m_ui.rs232->setChecked(f.mitRS232);
    if (f.sonderzeichen) {
        m_ui.endBySpecial->setChecked(true);
        (f.asciiCode ? m_ui.asciiCode : m_ui.stringPair)->setChecked(true);
        setLimitedText(m_ui.code, f.code, kParamLength);
        // Each limits the other; the limits are set once both hold the
        // record's texts.
        const QSignalBlocker startBlocker(m_ui.start);
        const QSignalBlocker endBlocker(m_ui.end);
        m_ui.start->setMaxLength(kUnlimited);
        m_ui.end->setMaxLength(kUnlimited);
        m_ui.start->setText(f.start);
        m_ui.end->setText(f.end);
    } else {
        m_ui.endByTimeout->setChecked(true);
    }
    const LineConversions &c = f.conversions;
    const std::array<int, 4> codes{c.ecrZu, c.elfZu, c.scrZu, c.slfZu};
    for (int i = 0; i < 4; ++i)
        m_ui.conversions[i]->setCurrentIndex(MachineLists::GetComboIdx(codes[i]));
    m_ui.exon->setChecked(c.exon != 0);
    m_ui.sxon->setChecked(c.sxon != 0);
    // "auf XON warten" has no column; it must not show one machine's click on
    // the next.
    m_ui.waitXon->setChecked(false);
    m_ui.speed->setCurrentIndex(f.line.speedPosition());
    setLimitedText(m_ui.comString, f.line.comString(), kParamLength);
    for (QLineEdit *field : {m_ui.code, m_ui.start, m_ui.end, m_ui.comString})
        field->setModified(false);
    updatePairLimits();
    applyRs232Enabled();
    applyEndMode();
    m_ui.codeName->setText(MachineLists::endCharacterName(m_ui.code->text()));
}

void MachineManager::showMaintenance(const MachineRecord &r)
{
    for (int task = 0; task < 3; ++task) {
        m_ui.turnus[task]->setCurrentIndex(intervalPosition(r.wartungsArt[task]));
        m_ui.dates[task]->setDateTime(r.wartStart[task].isValid() ? r.wartStart[task] : m_clock.now());
        m_ui.notes[task]->setPlainText(r.wartText[task]);
        m_ui.notes[task]->document()->setModified(false);
        applyTurnus(task);
    }
}

void MachineManager::followChangesElsewhere()
{
    if (m_session->ended())
        return;
    // What is typed and not yet left counts as the user's: the session keeps
    // those fields as they are.
    handOverTyping();
    m_session->followChanges();
}

void MachineManager::showChangedElsewhere(const MachineRecord &r, const QList<MachineSession::Part> &shown,
                                          const QList<MachineSession::Part> &kept)
{
    for (Part part : shown) {
        switch (part) {
        case Part::Bezeichnung: showName(m_ui.bezeichnung, r.bezeichnung); break;
        case Part::Standort: showName(m_ui.standort, r.standort); break;
        case Part::Communication: showCommunication(r); break;
        case Part::Maintenance: showMaintenance(r); break;
        }
    }
    setHint(MachineSession::changedElsewhereNotice(shownText(r.bezeichnung), !kept.isEmpty()));
}

void MachineManager::showDeletedElsewhere(const QString &bezeichnung)
{
    // The fields keep what they show, typed or read: they belong to no
    // machine any more, and "Neue Maschine" makes the machine again from
    // them.
    setMachineEnabled(false);
    // Both pages stay to be looked through.
    m_ui.tabs->setEnabled(true);
    setHint(MachineSession::deletedElsewhereNotice(bezeichnung));
}

void MachineManager::setHint(const QString &text)
{
    m_ui.hint->setText(text);
    m_ui.hint->setVisible(!text.isEmpty());
}

void MachineManager::setMachineEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.bezeichnung, m_ui.standort, m_ui.rs232,
                                                       m_ui.communicationPage, m_ui.maintenancePage, m_ui.tabs})
        w->setEnabled(enabled);
}

void MachineManager::newMachine()
{
    handOverTyping();
    m_session->addMachine({m_ui.bezeichnung->text(), m_ui.standort->text(), communicationFields(), maintenanceFields()});
}

void MachineManager::machineCreated(long created)
{
    RedrawList();
    // The new machine is the one to edit next; loading another one here would
    // have the user's first typing land on that machine.
    QTreeWidgetItem *item = entryOf(created);
    if (!item)
        item = m_ui.list->topLevelItem(m_ui.list->topLevelItemCount() - 1);
    if (!item)
        return;
    {
        const QSignalBlocker blocker(m_ui.list);
        m_ui.list->setCurrentItem(item);
    }
    loadMachine(item->data(0, Qt::UserRole).toLongLong());
}

void MachineManager::deleteMachine()
{
    if (!m_session->editing()) {
        m_prompts.beep();
        return;
    }
    handOverTyping();
    m_session->storeDrafts();
    const long number = m_session->machine();
    if (m_prompts.message(QStringLiteral("Wollen Sie die Maschine ") + m_ui.bezeichnung->text() +
                              QStringLiteral(" wirklich löschen?"),
                          QStringLiteral("Wirklich?"), PromptIcon::Question, PromptButtons::YesNo)
            != PromptAnswer::Yes
        || m_session->machine() != number)
        return;
    m_session->deleteMachine();
}

void MachineManager::clearAfterDelete()
{
    m_ui.bezeichnung->clear();
    m_ui.standort->clear();
    for (int task = 0; task < 3; ++task) {
        m_ui.notes[task]->clear();
        m_ui.notes[task]->document()->setModified(false);
        m_ui.dates[task]->setDateTime(m_clock.now());
        m_ui.turnus[task]->setCurrentIndex(0);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.bezeichnung, m_ui.standort, m_ui.rs232,
                                                       m_ui.communicationPage, m_ui.maintenancePage})
        w->setEnabled(false);
}

void MachineManager::leaveNameField(QLineEdit *field)
{
    handOverTyping();
    m_session->leave(field == m_ui.bezeichnung ? Part::Bezeichnung : Part::Standort);
}

void MachineManager::partStored(long maschinennummer, MachineSession::Part part, const QString &text)
{
    const bool shown = maschinennummer == m_session->machine();
    switch (part) {
    case Part::Bezeichnung:
    case Part::Standort: {
        QLineEdit *field = part == Part::Bezeichnung ? m_ui.bezeichnung : m_ui.standort;
        if (shown && field->text() == text)
            field->setModified(false);
        if (QTreeWidgetItem *item = entryOf(maschinennummer)) {
            item->setText(part == Part::Bezeichnung ? 1 : 2, text);
            resizeColumns();
        }
        break;
    }
    case Part::Communication:
        if (!shown)
            break;
        // A refused code or Com-String stays marked as the user's change:
        // it is judged again when the field is left.
        m_ui.start->setModified(false);
        m_ui.end->setModified(false);
        if (isEndCharacterCode(m_ui.code->text()) || !m_ui.endBySpecial->isChecked())
            m_ui.code->setModified(false);
        if (isComString(m_ui.comString->text()))
            m_ui.comString->setModified(false);
        break;
    case Part::Maintenance:
        if (shown)
            for (QPlainTextEdit *note : m_ui.notes)
                note->document()->setModified(false);
        break;
    }
}

void MachineManager::leaveCommunicationField(QLineEdit *field)
{
    if (!m_session->editing())
        return;
    if (field == m_ui.code && refuseInvalid(field, isEndCharacterCode(field->text())))
        return;
    if (field == m_ui.comString && refuseInvalid(field, isComString(field->text())))
        return;
    handOverTyping();
    m_session->leave(Part::Communication);
}

bool MachineManager::refuseInvalid(QLineEdit *field, bool valid)
{
    // A stored value is only judged once the user has changed it, so an old
    // record can still be opened and looked through.
    if (valid || !field->isModified()) {
        markInvalid(field, false);
        return false;
    }
    markInvalid(field, true);
    if (field->property("refusing").toBool())
        return true;
    field->setProperty("refusing", true);
    m_prompts.message(field == m_ui.code ? endCharacterCodeRefusal() : comStringRefusal(), kTitle,
                      PromptIcon::Exclamation);
    field->setProperty("refusing", false);
    field->setFocus();
    field->selectAll();
    return true;
}

void MachineManager::TrageCNCEin()
{
    m_session->storeCommunication(communicationFields());
}

void MachineManager::TrageWartungEin()
{
    m_session->storeMaintenance(maintenanceFields());
}

CommunicationFields MachineManager::communicationFields() const
{
    CommunicationFields f;
    f.mitRS232 = m_ui.rs232->isChecked();
    f.sonderzeichen = m_ui.endBySpecial->isChecked();
    f.asciiCode = m_ui.asciiCode->isChecked();
    f.code = m_ui.code->text();
    f.start = m_ui.start->text();
    f.end = m_ui.end->text();
    f.conversions.ecrZu = m_ui.conversions[0]->currentData().toInt();
    f.conversions.elfZu = m_ui.conversions[1]->currentData().toInt();
    f.conversions.scrZu = m_ui.conversions[2]->currentData().toInt();
    f.conversions.slfZu = m_ui.conversions[3]->currentData().toInt();
    f.conversions.exon = m_ui.exon->isChecked() ? 1 : 0;
    f.conversions.sxon = m_ui.sxon->isChecked() ? 1 : 0;
    f.line = LineSettings::fromMachine(m_ui.speed->currentIndex(), m_ui.comString->text());
    return f;
}

MaintenanceFields MachineManager::maintenanceFields() const
{
    MaintenanceFields f;
    for (int task = 0; task < 3; ++task) {
        f.wartungsArt[task] = m_ui.turnus[task]->currentIndex();
        f.wartStart[task] = m_ui.dates[task]->dateTime();
        f.wartText[task] = m_ui.notes[task]->toPlainText();
    }
    return f;
}

void MachineManager::rs232Changed()
{
    applyRs232Enabled();
    TrageCNCEin();
    updateListEntry(m_session->machine());
}

void MachineManager::endModeChanged()
{
    applyEndMode();
    TrageCNCEin();
    updateListEntry(m_session->machine());
}

void MachineManager::applyRs232Enabled()
{
    const bool on = m_ui.rs232->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.endBySpecial, m_ui.endByTimeout, m_ui.specialFrame,
                                                       m_ui.sxon, m_ui.waitXon, m_ui.speed, m_ui.comString})
        w->setEnabled(on);
    for (QComboBox *conversion : m_ui.conversions)
        conversion->setEnabled(on);
}

void MachineManager::applyEndMode()
{
    m_ui.specialFrame->setVisible(m_ui.endBySpecial->isChecked());
    m_ui.specialFrame->setEnabled(m_ui.rs232->isChecked());
}

void MachineManager::applyTurnus(int task)
{
    const bool on = m_ui.turnus[task]->currentIndex() != 0;
    m_ui.dates[task]->setEnabled(on);
    m_ui.notes[task]->setEnabled(on);
}

void MachineManager::updatePairLimits()
{
    limitPairField(m_ui.start, m_ui.end);
    limitPairField(m_ui.end, m_ui.start);
}

void MachineManager::limitPairField(QLineEdit *field, const QLineEdit *other)
{
    // start + "||" + end must fit Param2; a longer stored pair is kept whole
    // and can only be shortened.
    field->setMaxLength(std::max(int(field->text().size()), pairFieldLimit(other->text().size())));
}

void MachineManager::updateListEntry(long maschinennummer)
{
    if (QTreeWidgetItem *item = entryOf(maschinennummer)) {
        item->setText(3, MachineLists::rs232Text(m_ui.rs232->isChecked(), m_ui.endBySpecial->isChecked()));
        resizeColumns();
    }
}

void MachineManager::resizeColumns()
{
    for (int column = 1; column < m_ui.list->columnCount(); ++column)
        m_ui.list->resizeColumnToContents(column);
    m_ui.list->setColumnWidth(0, kIndexColumnWidth);
}

QTreeWidgetItem *MachineManager::entryOf(long maschinennummer) const
{
    if (maschinennummer == 0)
        return nullptr;
    for (int i = 0; i < m_ui.list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_ui.list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toLongLong() == maschinennummer)
            return item;
    }
    return nullptr;
}

bool MachineManager::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnter(event)) {
        // Enter stores the designation and location at once; in the other
        // fields it is only swallowed, so it can never close the window.
        if (watched == m_ui.bezeichnung || watched == m_ui.standort)
            leaveNameField(static_cast<QLineEdit *>(watched));
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        for (QPlainTextEdit *note : m_ui.notes)
            if (watched == note) {
                handOverTyping();
                m_session->leave(Part::Maintenance);
            }
    }
    return QDialog::eventFilter(watched, event);
}

void MachineManager::done(int result)
{
    if (!m_session->ended()) {
        handOverTyping();
        m_session->end();
        m_busy.end();
    }
    QDialog::done(result);
}

} // namespace zep
