#include "catalogue/ui/RecordEditor.h"

#include "ui_RecordEditor.h"

#include "app/StatusLine.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "app/widgets/InvalidField.h"
#include "app/widgets/WindowPlacement.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/DateCompletion.h"
#include "catalogue/RecordClipboard.h"
#include "catalogue/RecordSession.h"
#include "catalogue/RecordSheet.h"
#include "catalogue/ui/LimitedTextEdit.h"
#include "catalogue/ui/PhotoArea.h"
#include "catalogue/ui/PresetKeys.h"
#include "catalogue/ui/RecordSheetPrinter.h"
#include "machines/MachineList.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>
#include <QStyle>
#include <QTimer>

namespace zep {

namespace {

const QString kLocked = QStringLiteral("background-color: rgb(255, 255, 192);");
// Long enough to be read, short enough not to be taken for the state of
// the record later.
constexpr int kHintMsecs = 10000;

// Focus that leaves because another window came up (a message box, the
// user switching windows) is no "leaving the field".
bool leftByUser(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

RecordEditor::RecordEditor(Context context, long dateiIndex, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ctx(std::move(context)), m_dateiIndex(dateiIndex),
      m_ui(std::make_unique<Ui::RecordEditor>()), m_session(m_ctx.catalogue.openRecord(dateiIndex))
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->imgDateiFehlt->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(20, 20));
    m_ui->imgDateiFehlt->hide();
    lockFileName(true);
    addPhotoArea();

    m_presets = new PresetKeys(m_ctx.settings, this);
    for (RecordFields::Field f : {RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer,
                                  RecordFields::Auftragsnummer, RecordFields::Kunde, RecordFields::Aufspannung,
                                  RecordFields::Werkzeuge, RecordFields::Ersteller, RecordFields::Bemerkungen})
        m_presets->watch(field(f));
    for (RecordFields::Field f : {RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer,
                                  RecordFields::Aufspannung, RecordFields::Werkzeuge, RecordFields::Bemerkungen})
        field(f)->installEventFilter(this);
    m_ui->txtDatum->installEventFilter(this);
    m_ui->Text1->installEventFilter(this);
    m_ui->txtBezeichnung->setField(RecordFields::Bezeichnung);
    m_ui->txtZeichnungsnummer->setField(RecordFields::Zeichnungsnummer);
    m_hintTimer = new QTimer(this);
    m_hintTimer->setSingleShot(true);
    m_hintTimer->setInterval(kHintMsecs);
    connect(m_hintTimer, &QTimer::timeout, m_ui->lblHinweis, &QLabel::clear);
    for (LimitedTextEdit *limited : {m_ui->txtBezeichnung, m_ui->txtZeichnungsnummer})
        connect(limited, &LimitedTextEdit::entryCut, this, [this, limited](qsizetype leftOut) {
            showHint(RecordFields::leftOutText(limited->recordField(), limited->limit(), leftOut));
        });

    auto *printMenu = new QMenu(m_ui->cmdDrucken);
    printMenu->setObjectName(QStringLiteral("mnuDrucken"));
    printMenu->addAction(QStringLiteral("Drucken..."), this, &RecordEditor::printSheet);
    printMenu->addAction(QStringLiteral("als PDF speichern..."), this, &RecordEditor::saveSheetAsPdf);
    m_ui->cmdDrucken->setMenu(printMenu);
    m_ui->cmdDrucken->setPopupMode(QToolButton::MenuButtonPopup);

    connect(m_ui->cmdUebernehmen, &QPushButton::clicked, this, &RecordEditor::uebernehmen);
    connect(m_ui->cmdVerwerfen, &QPushButton::clicked, this, &RecordEditor::verwerfen);
    connect(m_ui->cmdUmbenennen, &QToolButton::clicked, this, &RecordEditor::startRename);
    connect(m_ui->cmdKopieren, &QPushButton::clicked, this, &RecordEditor::copyRecord);
    connect(m_ui->cmdEinfuegen, &QPushButton::clicked, this, &RecordEditor::pasteRecord);
    connect(m_ui->cmdDrucken, &QToolButton::clicked, this, &RecordEditor::printSheet);
    // The clipboard tells of each change; the command follows it at once.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &RecordEditor::updatePasteCommand);
    updatePasteCommand();
}

RecordEditor::~RecordEditor() = default;

void RecordEditor::addPhotoArea()
{
    m_photos = new PhotoArea({m_ctx.prompts, m_ctx.settings, m_session->fotoVerzeichnis(), m_ctx.runModal}, this);
    // The photos stand beside the fields.
    auto *row = new QHBoxLayout;
    m_ui->mainLayout->removeItem(m_ui->fieldGrid);
    row->addLayout(m_ui->fieldGrid, 1);
    row->addWidget(m_photos, 0, Qt::AlignTop);
    m_ui->mainLayout->insertLayout(0, row);
    resize(width() + m_photos->sizeHint().width(), height());
}

QWidget *RecordEditor::field(RecordFields::Field f) const
{
    switch (f) {
    case RecordFields::Dateiname: return m_ui->Text1;
    case RecordFields::Bezeichnung: return m_ui->txtBezeichnung;
    case RecordFields::Zeichnungsnummer: return m_ui->txtZeichnungsnummer;
    case RecordFields::Auftragsnummer: return m_ui->txtAuftragsnummer;
    case RecordFields::Kunde: return m_ui->txtKunde;
    case RecordFields::Datum: return m_ui->txtDatum;
    case RecordFields::Aufspannung: return m_ui->txtAufspannung;
    case RecordFields::Werkzeuge: return m_ui->txtWerkzeuge;
    case RecordFields::Laufzeit: return m_ui->txtLaufzeit;
    case RecordFields::Ersteller: return m_ui->txtErsteller;
    case RecordFields::Bemerkungen: return m_ui->txtBemerkungen;
    case RecordFields::FieldCount: break;
    }
    return nullptr;
}

QLineEdit *RecordEditor::fileNameField() const
{
    return m_ui->Text1;
}

QLineEdit *RecordEditor::dateField() const
{
    return m_ui->txtDatum;
}

bool RecordEditor::fileMissingShown() const
{
    return !m_ui->imgDateiFehlt->isHidden();
}

bool RecordEditor::pasteEnabled() const
{
    return m_ui->cmdEinfuegen->isEnabled();
}

bool RecordEditor::fileNameLocked() const
{
    return m_ui->Text1->isReadOnly();
}

QString RecordEditor::text(RecordFields::Field f) const
{
    QWidget *w = field(f);
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return line->text();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
        return RecordFields::toStored(plain->toPlainText());
    return {};
}

RecordFields RecordEditor::currentFields() const
{
    RecordFields fields;
    for (int f = 0; f < RecordFields::FieldCount; ++f)
        fields.text(RecordFields::Field(f)) = text(RecordFields::Field(f));
    fields.maschinenIndex = selectedMachine().value_or(0);
    return fields;
}

void RecordEditor::showFields(const RecordFields &fields)
{
    for (int i = 0; i < RecordFields::FieldCount; ++i) {
        const auto f = RecordFields::Field(i);
        const QString &value = fields.text(f);
        QWidget *w = field(f);
        if (auto *line = qobject_cast<QLineEdit *>(w)) {
            if (line->text() == value)
                continue;
            // A stored text longer than the typing limit is shown whole:
            // cutting it here would cut it in the record on the next write.
            if (f == RecordFields::Kunde)
                line->setMaxLength(qMax(RecordFields::typingLimit(f), int(value.size())));
            line->setText(value);
        } else if (auto *limited = qobject_cast<LimitedTextEdit *>(w)) {
            if (RecordFields::toStored(limited->toPlainText()) != value)
                limited->showStored(value);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
            if (RecordFields::toStored(plain->toPlainText()) != value)
                plain->setPlainText(RecordFields::toShown(value));
        }
    }
}

std::optional<long> RecordEditor::selectedMachine() const
{
    if (m_ui->cboMaschine->currentIndex() < 0)
        return std::nullopt;
    return long(m_ui->cboMaschine->currentData().toLongLong());
}

QString RecordEditor::machineText() const
{
    return m_ui->cboMaschine->currentText();
}

void RecordEditor::ShowMaschinen()
{
    m_ui->cboMaschine->clear();
    for (const MachineChoice &choice : m_session->machineChoices())
        m_ui->cboMaschine->addItem(choice.text, qlonglong(choice.number));
    m_ui->cboMaschine->setCurrentIndex(0);
}

void RecordEditor::refreshMachines()
{
    // The choice stays. A chosen machine that was deleted meanwhile stays in
    // the list too: saving then asks about it as for any record whose
    // machine is gone, instead of dropping it unasked.
    const QVariant chosen = m_ui->cboMaschine->currentData();
    const QString chosenText = m_ui->cboMaschine->currentText();
    ShowMaschinen();
    if (!chosen.isValid())
        return;
    int at = m_ui->cboMaschine->findData(chosen);
    if (at < 0) {
        m_ui->cboMaschine->addItem(chosenText, chosen);
        at = m_ui->cboMaschine->count() - 1;
    }
    m_ui->cboMaschine->setCurrentIndex(at);
}

QStringList RecordEditor::machineChoices() const
{
    QStringList texts;
    for (int i = 0; i < m_ui->cboMaschine->count(); ++i)
        texts << m_ui->cboMaschine->itemText(i);
    return texts;
}

bool RecordEditor::load()
{
    if (m_dateiIndex == 0)
        return false;
    RestoreGeometry(*this, m_ctx.settings);
    ShowMaschinen();
    const QPointer<RecordEditor> self(this);
    m_loadPending = true;
    m_session->load([this, self](RecordSession::Loaded loaded, const RecordFields &fields) {
        if (!self)
            return;
        // load() has returned already: RecordEditors kept the window for
        // this answer.
        const bool late = m_waitingForRetry;
        m_loadPending = false;
        m_waitingForRetry = false;
        if (loaded == RecordSession::Loaded::GivenUp) {
            // Given up after a retry answer that came later: the window
            // was never shown, and its place is free.
            if (late) {
                Q_EMIT closed(m_dateiIndex);
                deleteLater();
            }
            return;
        }
        show();
        if (loaded == RecordSession::Loaded::NotFound)
            return;
        DatensatzEintragen(fields);
        m_photos->FotosEintragen(m_session->storedName());
        updateFileMissing();
        m_loaded = true;
        Q_EMIT statusChanged(QStringLiteral("Editieren"));
    });
    if (m_loadPending) {
        m_loadPending = false;
        m_waitingForRetry = true;
    }
    return m_loaded;
}

void RecordEditor::DatensatzEintragen(const RecordFields &fields)
{
    showFields(fields);
    // A machine that is no longer there shows as "keine Auswahl"; the
    // session asks whether the record should drop it.
    const int at = m_ui->cboMaschine->findData(qlonglong(fields.maschinenIndex));
    m_ui->cboMaschine->setCurrentIndex(at >= 0 ? at : 0);
}

void RecordEditor::updateFileMissing()
{
    m_ui->imgDateiFehlt->setVisible(m_session->fileMissing());
}

void RecordEditor::markField(QWidget *widget)
{
    if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        markInvalid(line, true);
        // After the focus change under way (a click elsewhere) has ended.
        QTimer::singleShot(0, line, [line] {
            line->setFocus(Qt::OtherFocusReason);
            line->selectAll();
        });
    }
}

bool RecordEditor::uebernehmen()
{
    // What leaving the fields would do, in case the command came without
    // the focus leaving one (a shortcut).
    for (RecordFields::Field f : {RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer,
                                  RecordFields::Aufspannung, RecordFields::Werkzeuge, RecordFields::Bemerkungen})
        leaveMultiLine(static_cast<QPlainTextEdit *>(field(f)));
    leaveDate();
    RecordFields fields = currentFields();
    fields.dateiname = m_session->storedName();
    // Settled at once unless the record was changed elsewhere meanwhile;
    // then the answer to the question with both versions settles it.
    auto written = std::make_shared<bool>(false);
    const QPointer<RecordEditor> self(this);
    m_session->save(fields, selectedMachine(), [this, self, fields, written](const RecordSession::SaveOutcome &out) {
        if (!self)
            return;
        *written = saveEnded(out, fields);
    });
    return *written;
}

bool RecordEditor::saveEnded(const RecordSession::SaveOutcome &out, const RecordFields &fields)
{
    switch (out.saved) {
    case RecordSession::Saved::Gone:
        return keepVanished(fields);
    case RecordSession::Saved::Failed:
        // The window stays with every edit; the user mends and writes again.
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form3_DatensatzSchreiben"), out.written.error.description);
        if (out.written.field != RecordFields::FieldCount)
            markField(field(out.written.field));
        return false;
    case RecordSession::Saved::TookTheirs:
        DatensatzEintragen(out.theirs);
        m_ui->Text1->setText(m_session->storedName());
        return false;
    case RecordSession::Saved::BackToEditing:
        return false;
    case RecordSession::Saved::Stored:
        break;
    }
    const long machine = selectedMachine().value_or(fields.maschinenIndex);
    Q_EMIT recordWritten(CatalogueRecord::listRow(m_dateiIndex, fields, machine, machineText()));
    close();
    return true;
}

bool RecordEditor::keepVanished(const RecordFields &fields)
{
    const CatalogueRecord::Vanished vanished = m_session->vanished();
    if (vanished.file != CatalogueRecord::Vanished::File::There) {
        // Nothing to store the edits in: they stay on screen.
        m_ctx.prompts.message(vanished.text, vanished.title, PromptIcon::Exclamation);
        updateFileMissing();
        return false;
    }
    if (m_ctx.prompts.message(vanished.text, vanished.title, PromptIcon::Question, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return false;
    const CatalogueRecord::Kept kept = m_session->keepAsRecordOfFile(vanished.dateiIndex, fields, selectedMachine());
    if (!kept.written.ok) {
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form3_DatensatzSchreiben"), kept.written.error.description);
        return false;
    }
    const long machine = selectedMachine().value_or(fields.maschinenIndex);
    Q_EMIT recordWritten(CatalogueRecord::listRow(kept.dateiIndex, fields, machine, machineText()));
    close();
    return true;
}

void RecordEditor::verwerfen()
{
    // Over the large photo view the command closes only the view.
    if (m_photos->closeLargeView())
        return;
    close();
}

void RecordEditor::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous() && m_photos->closeLargeView()) {
        event->ignore();
        return;
    }
    m_photos->unload();
    SaveGeometry(*this, m_ctx.settings);
    Q_EMIT statusChanged(StatusLine::idleText());
    event->accept();
    Q_EMIT closed(m_dateiIndex);
}

bool RecordEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && leftByUser(static_cast<QFocusEvent *>(event))) {
        if (watched == m_ui->txtDatum)
            leaveDate();
        else if (watched == m_ui->Text1)
            leaveFileName();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(watched))
            leaveMultiLine(plain);
    }
    return QWidget::eventFilter(watched, event);
}

void RecordEditor::leaveMultiLine(QPlainTextEdit *edit)
{
    const QString stored = RecordFields::toStored(edit->toPlainText());
    const QString trimmed = RecordFields::trimMultiLine(stored);
    if (trimmed != stored)
        edit->setPlainText(RecordFields::toShown(trimmed));
}

void RecordEditor::showHint(const QString &text)
{
    m_ui->lblHinweis->setText(text);
    m_hintTimer->start();
}

QString RecordEditor::hintText() const
{
    return m_ui->lblHinweis->text();
}

void RecordEditor::leaveDate()
{
    QLineEdit *date = m_ui->txtDatum;
    const QString completed = DateCompletion::complete(date->text());
    if (completed != date->text())
        date->setText(completed);
    if (DateCompletion::hasMarks(completed))
        markField(date);
    else
        markInvalid(date, false);
}

void RecordEditor::lockFileName(bool locked)
{
    m_ui->Text1->setReadOnly(locked);
    m_ui->Text1->setStyleSheet(locked ? kLocked : QString());
}

void RecordEditor::startRename()
{
    if (fileMissingShown()) {
        m_ctx.prompts.message(QStringLiteral("Wenn die Datei fehlt, kann Sie nicht umbenannt werden!"),
                              QStringLiteral("Geht nicht!"), PromptIcon::Exclamation);
        return;
    }
    lockFileName(false);
    m_ctx.prompts.message(QStringLiteral("Sie können nun den Dateinamen verändern! Sobald Sie das Eingabefeld "
                                         "verlassen werden auch die Foto-Namen umgeändert!"),
                          QStringLiteral("HINWEIS!"), PromptIcon::Information);
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
}

void RecordEditor::leaveFileName()
{
    // While a failed rename waits for its retry answer, leaving the field
    // again starts nothing: the rename under way still has the typed name.
    if (m_ui->Text1->isReadOnly() || !m_loaded || m_session->renaming())
        return;
    const QPointer<RecordEditor> self(this);
    m_session->rename(m_ui->Text1->text(), [this, self](RecordSession::Renamed outcome) {
        if (self)
            renameEnded(outcome);
    });
}

void RecordEditor::renameEnded(RecordSession::Renamed outcome)
{
    switch (outcome) {
    case RecordSession::Renamed::Unchanged:
        m_ui->Text1->setStyleSheet(kLocked);
        return;
    case RecordSession::Renamed::Refused:
        m_ui->Text1->setText(m_session->storedName());
        lockFileName(true);
        return;
    case RecordSession::Renamed::SourceMissing:
        return;
    case RecordSession::Renamed::Done:
        break;
    }
    m_ui->Text1->setText(m_session->storedName());
    m_ui->Text1->setStyleSheet(kLocked);
    updateFileMissing();
    m_photos->FotosEintragen(m_session->storedName());
    Q_EMIT renamed(m_dateiIndex, m_session->storedName());
}

void RecordEditor::copyRecord()
{
    const RecordFields fields = currentFields();
    const QList<RecordFields::Field> unsafe = RecordClipboard::unsafeFields(fields);
    if (!unsafe.isEmpty()) {
        // The format has no escape: such a copy would put later texts into
        // the wrong fields of the record it is pasted into.
        QStringList labels;
        for (RecordFields::Field f : unsafe)
            labels << RecordFields::label(f);
        m_ctx.prompts.message(QStringLiteral("Dieser Datensatz kann nicht kopiert werden: ") + labels.join(", ")
                                  + QStringLiteral(" enthält \"||\" oder endet mit \"|\". Beim Einfügen würden die "
                                                   "Angaben in falsche Felder geraten. Bitte das Zeichen | dort "
                                                   "ändern und erneut kopieren."),
                              QStringLiteral("Kopieren nicht möglich!"), PromptIcon::Exclamation);
        return;
    }
    QGuiApplication::clipboard()->setText(RecordClipboard::format(fields));
    updatePasteCommand();
}

void RecordEditor::pasteRecord()
{
    RecordFields fields = currentFields();
    const RecordClipboard::Pasted pasted = RecordClipboard::paste(QGuiApplication::clipboard()->text(), fields);
    if (!pasted.ok()) {
        m_ctx.prompts.message(RecordClipboard::refusalText(pasted), QStringLiteral("Sorry!"), PromptIcon::Information);
        return;
    }
    showFields(fields);
    if (!pasted.shortened.isEmpty())
        m_ctx.prompts.message(RecordClipboard::shortenedText(pasted), QStringLiteral("Gekürzt!"),
                              PromptIcon::Information);
}

void RecordEditor::updatePasteCommand()
{
    m_ui->cmdEinfuegen->setEnabled(RecordClipboard::isRecordCopy(QGuiApplication::clipboard()->text()));
}

void RecordEditor::printSheet()
{
    if (!RecordSheetPrinter::printerAvailable()) {
        m_ctx.prompts.message(QStringLiteral("Es ist kein Drucker eingerichtet. Das Blatt kann über den Pfeil neben "
                                             "\"Drucken\" als PDF gespeichert werden."),
                              QStringLiteral("Kein Drucker!"), PromptIcon::Exclamation);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_session->storedName());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    const int accepted = m_ctx.runModal ? m_ctx.runModal(dialog) : dialog.exec();
    if (accepted != QDialog::Accepted)
        return;
    const RecordFields fields = currentFields();
    if (const auto error = RecordSheetPrinter::print(RecordSheet::lines(fields, machineText()), printer))
        m_ctx.prompts.message(*error, QStringLiteral("Druckfehler!"), PromptIcon::Exclamation);
}

void RecordEditor::saveSheetAsPdf()
{
    const QString suggested = QString(m_session->storedName()).replace(QLatin1Char('\\'), QLatin1Char('-')) + QStringLiteral(".pdf");
    QString path = m_ctx.prompts.saveFile(QStringLiteral("als PDF speichern"), QStringLiteral("PDF-Dateien (*.pdf)|*.pdf"),
                                          QDir::homePath(), suggested);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const RecordFields fields = currentFields();
    if (const auto error =
            RecordSheetPrinter::writePdf(RecordSheet::lines(fields, machineText()), path, m_session->storedName()))
        m_ctx.prompts.message(*error, QStringLiteral("Druckfehler!"), PromptIcon::Exclamation);
}

} // namespace zep
