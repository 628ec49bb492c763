#include "comm/ui/Form10.h"

#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "comm/PortSettings.h"
#include "comm/RecoveryFile.h"
#include "comm/WriteTextFile.h"
#include "comm/ui/CompareWindow.h"
#include "app/widgets/WindowPlacement.h"
#include "comm/ui/ProgramTextView.h"
#include "comm/ui/ReceivedProgramTarget.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zep {

namespace {

const QString kPlace = QStringLiteral("Aufgetreten in Form10.Command1_Click");
const QString kInvalidName = QStringLiteral("Ungültiger Name!");
const QString kOriginal = QStringLiteral("Originaldatei?");
constexpr long kPathFileAccessError = 75;
constexpr int kPreviewLength = 150;

QString quoted(const QString &name)
{
    return QStringLiteral("'") + name + QStringLiteral("'");
}

QString existsText(const QString &name)
{
    return QStringLiteral("Die Datei ") + quoted(name) + QStringLiteral(" existiert bereits!");
}

QString ambiguousText(const QString &name)
{
    return QStringLiteral("Der Name ") + quoted(name)
           + QStringLiteral(" passt auf mehrere Dateien oder Verzeichnisse, die sich nur in der "
                            "Groß-/Kleinschreibung unterscheiden. Bitte im überwachten Verzeichnis eine davon "
                            "umbenennen.");
}

} // namespace

Form10::Form10(Form10Context context, int maschinenNummer, const QByteArray &dateiString, QWidget *owner)
    : QDialog(owner), m_context(std::move(context)), m_maschinenNummer(maschinenNummer), m_dateiString(dateiString)
{
    setObjectName(QStringLiteral("Form10"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("neu eingegangenes Programm..."));
    m_ui.build(this);

    m_ui.heading->setText(QStringLiteral("Eingelesenes Programm von Maschine ") + QString::number(maschinenNummer));
    m_ui.preview->setPlainText(ProgramTextView::toDisplay(m_dateiString));
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
    connect(m_ui.takeOver, &QPushButton::clicked, this, &Form10::takeOverName);
    connect(m_ui.compare, &QPushButton::clicked, this, &Form10::compareWithSelection);
    connect(m_ui.save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_ui.discard, &QPushButton::clicked, this, &Form10::discard);

    resize(560, 600);
    RestoreGeometry(*this, m_context.settings);
    m_ui.newName->setFocus();

    m_refresh.setInterval(350);
    connect(&m_refresh, &QTimer::timeout, this, &Form10::refreshSelection);
    m_refresh.start();
    // No refresh yet: the main window is still the active one while it opens
    // the dialog, and the preset name must not give way to its selection.
    m_ui.compare->setEnabled(false);
}

void Form10::showMode()
{
    m_ui.newPanel->setVisible(m_ui.asNewFile->isChecked());
    m_ui.updatePanel->setVisible(m_ui.asUpdate->isChecked());
}

void Form10::refreshSelection()
{
    const std::optional<QStringList> row = m_context.selectedRow ? m_context.selectedRow() : std::nullopt;
    if (row) {
        m_ui.selFile->setText(row->value(0));
        m_ui.selDesignation->setText(row->value(1));
        m_ui.selDrawing->setText(row->value(2));
        m_ui.selOrder->setText(row->value(3));
        m_ui.selMachine->setText(row->value(7));
        if (m_context.mainWindowActive && m_context.mainWindowActive()) {
            m_ui.newName->setText(row->value(0));
            m_ui.newName->selectAll();
        }
    } else {
        for (QLabel *label : {m_ui.selFile, m_ui.selDesignation, m_ui.selDrawing, m_ui.selOrder, m_ui.selMachine})
            label->setText(QStringLiteral("?"));
    }
    m_ui.compare->setEnabled(m_ui.selFile->text().size() >= 2);
}

void Form10::takeOverName()
{
    if (m_ui.selFile->text() != QLatin1String("?"))
        m_ui.targetName->setText(m_ui.selFile->text());
}

void Form10::compareWithSelection()
{
    const QString name = m_ui.selFile->text();
    if (name.size() < 2)
        return;
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(m_context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Ambiguous) {
        m_context.prompts.message(ambiguousText(name), kOriginal, PromptIcon::Exclamation);
        return;
    }
    if (!target.ok()) {
        m_context.prompts.message(QStringLiteral("Die Datei ") + quoted(name)
                                      + QStringLiteral(" wurde im überwachten Verzeichnis nicht gefunden!"),
                                  kOriginal, PromptIcon::Exclamation);
        return;
    }
    const QByteArray edited =
        CompareWindow::compare(name, target.path, m_dateiString, m_context.settings, m_context.prompts, this);
    if (edited.isEmpty() || edited == m_dateiString)
        return;
    m_dateiString = edited;
    m_ui.preview->setPlainText(ProgramTextView::toDisplay(edited.left(kPreviewLength)) + QStringLiteral("..."));
    m_ui.editedMarker->show();
}

bool Form10::save()
{
    return m_ui.asNewFile->isChecked() ? saveAsNewFile() : saveAsUpdate();
}

bool Form10::saveAsNewFile()
{
    const QString name = m_ui.newName->text();
    const ReceivedProgramTarget target = ReceivedProgramTarget::forNewFile(m_context.verzeichnis(), name);
    if (!target.ok())
        return refused(target, name);
    m_context.trace.line(QStringLiteral("Datei ") + quoted(name) + QStringLiteral(" wird gespeichert."));
    if (!writeProgram(target.path))
        return false;
    // By the catalogue's name: the next scan creates the record under it.
    if (m_context.setPendingMachine)
        m_context.setPendingMachine(target.storedName,
                                    PortSettings::load(m_context.settings, m_maschinenNummer - 1).maschinenIndex);
    finish();
    return true;
}

bool Form10::saveAsUpdate()
{
    const QString name = m_ui.targetName->text();
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(m_context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Missing) {
        m_context.prompts.message(
            QStringLiteral("Originaldatei nicht gefunden. Die Datei wäre keinem Datensatz zugeordnet!"), kOriginal,
            PromptIcon::Exclamation);
        m_ui.newName->setText(name);
        return false;
    }
    if (!target.ok())
        return refused(target, name);
    // The file keeps its name, so its catalogue record stays as it is.
    if (!writeProgram(target.path))
        return false;
    finish();
    return true;
}

bool Form10::refused(const ReceivedProgramTarget &target, const QString &name)
{
    using Verdict = ReceivedProgramTarget::Verdict;
    Prompts &prompts = m_context.prompts;
    const QString shown = QStringLiteral("Der Name ") + quoted(name);
    switch (target.verdict) {
    case Verdict::Ok:
        return true;
    case Verdict::Empty:
        prompts.beep();
        break;
    case Verdict::Exists:
        prompts.message(existsText(name), QStringLiteral("ZEP"), PromptIcon::Exclamation);
        break;
    case Verdict::Hidden:
        prompts.message(shown + QStringLiteral(" beginnt mit einem Punkt. Eine solche Datei ist versteckt und würde "
                                               "im überwachten Verzeichnis nie erkannt."),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Unstorable:
        prompts.message(shown + QStringLiteral(" enthält Zeichen, die ZEP nicht speichern kann (Anführungszeichen, "
                                               "Steuerzeichen oder Zeichen außerhalb des Zeichensatzes)."),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Invalid:
        prompts.message(shown + QStringLiteral(" ist kein gültiger Dateiname im überwachten Verzeichnis!"),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::NoDirectory:
        prompts.message(QStringLiteral("Das Verzeichnis für ") + quoted(name)
                            + QStringLiteral(" gibt es im überwachten Verzeichnis nicht!"),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Ambiguous:
        prompts.message(ambiguousText(name), m_ui.asUpdate->isChecked() ? kOriginal : kInvalidName,
                        PromptIcon::Exclamation);
        break;
    case Verdict::Missing:
        break;
    }
    return false;
}

bool Form10::writeProgram(const QString &path)
{
    for (;;) {
        const std::optional<QString> error = WriteTextFile(path, m_dateiString);
        if (!error)
            return true;
        const ErrorInfo info{kPathFileAccessError, QStringLiteral("Die Datei ") + quoted(path)
                                                       + QStringLiteral(" kann nicht geschrieben werden: ") + *error};
        if (!reportErrorRetry(m_context.prompts, kPlace, info))
            return false;
    }
}

void Form10::finish()
{
    m_dateiString.clear();
    close();
}

void Form10::discard()
{
    m_dateiString.clear();
    close();
}

void Form10::reject()
{
    close();
}

void Form10::setVisible(bool visible)
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

bool Form10::keepRecoveryCopy()
{
    const QString machine = QString::number(m_maschinenNummer);
    const RecoveryFile copy = RecoveryFile::write(m_context.programDir, QStringLiteral("Nicht_gespeichert_Maschine"),
                                                  m_maschinenNummer, m_context.clock, m_dateiString);
    if (!copy.error.isEmpty()) {
        m_context.prompts.message(QStringLiteral("Das Programm von Maschine ") + machine
                                      + QStringLiteral(" konnte nicht gesichert werden und bleibt in diesem Fenster:\r")
                                      + copy.error,
                                  QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return false;
    }
    if (const auto error = m_context.logbook.LogbuchSchreiben(
            QStringLiteral("Empfangenes Programm von Maschine ") + machine
            + QStringLiteral(" nicht gespeichert, gesichert als ") + copy.path))
        m_context.prompts.message(error->description + QStringLiteral("\r\rDas Programm von Maschine ") + machine
                                      + QStringLiteral(" wurde gesichert als:\r") + copy.path,
                                  QStringLiteral("Fehler!"), PromptIcon::Exclamation);
    return true;
}

void Form10::closeEvent(QCloseEvent *event)
{
    // Not QDialog's own handling: it would reject(), which closes again.
    if (!m_dateiString.isEmpty() && !keepRecoveryCopy()) {
        event->ignore();
        return;
    }
    m_dateiString.clear();
    m_refresh.stop();
    SaveGeometry(*this, m_context.settings);
    event->accept();
}

void Form10::checkNewName()
{
    const QString name = m_ui.newName->text();
    if (!ReceivedProgramTarget::exists(m_context.verzeichnis(), name))
        return;
    m_context.prompts.message(existsText(name), kInvalidName, PromptIcon::Exclamation);
    m_ui.newName->setFocus();
    m_ui.newName->selectAll();
}

bool Form10::eventFilter(QObject *watched, QEvent *event)
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
