#include "comm/ui/SaveReceivedDialog.h"

#include "app/SettingsStore.h"
#include "comm/ui/CompareWindow.h"
#include "app/widgets/WindowPlacement.h"
#include "comm/ProgramText.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace zep {

namespace {

constexpr int kPreviewLength = 150;

} // namespace

SaveReceivedDialog::SaveReceivedDialog(SaveReceivedDialogView view, ReceivedProgramIntake intake, QWidget *owner)
    : QDialog(owner), m_view(std::move(view)), m_intake(std::move(intake))
{
    setObjectName(QStringLiteral("Form10"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("neu eingegangenes Programm..."));
    m_ui.build(this);

    m_ui.heading->setText(QStringLiteral("Eingelesenes Programm von Maschine ")
                          + QString::number(m_intake.maschinenNummer()));
    m_ui.preview->setPlainText(ProgramText::show(m_intake.text()).text);
    // The user types the name in front of the extension.
    m_ui.newName->setText(QStringLiteral(".cnc"));
    m_ui.newName->setCursorPosition(0);
    m_ui.newName->deselect();
    m_ui.newName->installEventFilter(this);
    m_ui.asNewFile->setChecked(true);
    showMode();

    connect(m_ui.asNewFile, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_refresh.stop();
        showMode();
    });
    // The timer runs again whenever the update is chosen: labels left over
    // from an earlier selection would let the user take over, and overwrite,
    // a file no longer selected.
    connect(m_ui.asUpdate, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        refreshSelection();
        m_refresh.start();
    });
    connect(m_ui.takeOver, &QPushButton::clicked, this, &SaveReceivedDialog::takeOverName);
    connect(m_ui.compare, &QPushButton::clicked, this, &SaveReceivedDialog::compareWithSelection);
    connect(m_ui.save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_ui.discard, &QPushButton::clicked, this, &SaveReceivedDialog::discard);

    resize(560, 600);
    RestoreGeometry(*this, m_view.settings);
    m_ui.newName->setFocus();

    m_refresh.setInterval(350);
    connect(&m_refresh, &QTimer::timeout, this, &SaveReceivedDialog::refreshSelection);
    m_refresh.start();
    // No refresh yet: the main window is still the active one while it opens
    // the dialog, and the preset name must not give way to its selection.
    m_ui.compare->setEnabled(false);
}

void SaveReceivedDialog::showMode()
{
    m_ui.newPanel->setVisible(m_ui.asNewFile->isChecked());
    m_ui.updatePanel->setVisible(m_ui.asUpdate->isChecked());
}

void SaveReceivedDialog::refreshSelection()
{
    const std::optional<QStringList> row = m_view.selectedRow ? m_view.selectedRow() : std::nullopt;
    if (row) {
        m_ui.selFile->setText(row->value(0));
        m_ui.selDesignation->setText(row->value(1));
        m_ui.selDrawing->setText(row->value(2));
        m_ui.selOrder->setText(row->value(3));
        m_ui.selMachine->setText(row->value(7));
        // A row clicked in the main list offers its name to start from; a
        // name the user typed is theirs and stays.
        const bool typed = m_ui.newName->isModified() && !m_ui.newName->text().isEmpty();
        if (!typed && m_view.mainWindowActive && m_view.mainWindowActive()) {
            m_ui.newName->setText(row->value(0));
            m_ui.newName->selectAll();
        }
    } else {
        for (QLabel *label : {m_ui.selFile, m_ui.selDesignation, m_ui.selDrawing, m_ui.selOrder, m_ui.selMachine})
            label->setText(ReceivedProgramTarget::noSelection());
    }
    m_ui.compare->setEnabled(ReceivedProgramTarget::canCompare(m_ui.selFile->text()));
}

void SaveReceivedDialog::takeOverName()
{
    if (ReceivedProgramTarget::canTakeOver(m_ui.selFile->text()))
        m_ui.targetName->setText(m_ui.selFile->text());
}

void SaveReceivedDialog::compareWithSelection()
{
    const QString name = m_ui.selFile->text();
    if (!ReceivedProgramTarget::canCompare(name))
        return;
    const std::optional<ReceivedProgramIntake::Original> original = m_intake.original(name);
    if (!original)
        return;
    const QByteArray edited = CompareWindow::compare(name, original->text, m_intake.text(), m_view.settings, this);
    if (!m_intake.replaceText(edited))
        return;
    m_ui.preview->setPlainText(ProgramText::show(edited.left(kPreviewLength)).text + QStringLiteral("..."));
    m_ui.editedMarker->show();
}

bool SaveReceivedDialog::save()
{
    const QPointer<SaveReceivedDialog> self(this);
    const auto saved = std::make_shared<bool>(false);
    // At once, or once the question after a failed write is answered.
    auto done = [self, saved](const ReceivedProgramIntake::SaveResult &result) {
        if (!self)
            return;
        if (!result.offeredName.isEmpty()) {
            // The name the user gave for the update, kept as if typed.
            self->m_ui.newName->setText(result.offeredName);
            self->m_ui.newName->setModified(true);
        }
        if (!result.saved())
            return;
        *saved = true;
        self->close();
    };
    if (m_ui.asNewFile->isChecked())
        m_intake.saveAsNew(m_ui.newName->text(), done);
    else
        m_intake.saveAsUpdate(m_ui.targetName->text(), done);
    return *saved;
}

void SaveReceivedDialog::discard()
{
    m_intake.discard();
    close();
}

void SaveReceivedDialog::reject()
{
    close();
}

void SaveReceivedDialog::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // Showing a dialog focuses its field as if tabbed into, which selects
    // the whole preset; the user is to type in front of the extension.
    if (visible && !m_shown) {
        m_shown = true;
        m_ui.newName->deselect();
        m_ui.newName->setCursorPosition(0);
    }
}

void SaveReceivedDialog::closeEvent(QCloseEvent *event)
{
    // Not QDialog's own handling: it would reject(), which closes again.
    // Settled already, or kept now: only a recovery file that could not be
    // written keeps the dialog open.
    if (!m_intake.keepAsRecovery().kept) {
        event->ignore();
        return;
    }
    m_refresh.stop();
    SaveGeometry(*this, m_view.settings);
    event->accept();
}

void SaveReceivedDialog::checkNewName()
{
    if (!m_intake.warnIfTaken(m_ui.newName->text()))
        return;
    m_ui.newName->setFocus();
    m_ui.newName->selectAll();
}

bool SaveReceivedDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui.newName && event->type() == QEvent::FocusOut) {
        // Leaving for another window (the main list) is no leaving of the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        // The field handles its own focus loss first, so taking the focus
        // back afterwards leaves it in a consistent state.
        watched->event(event);
        checkNewName();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zep
