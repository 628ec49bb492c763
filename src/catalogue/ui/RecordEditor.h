#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/RecordFields.h"
#include "catalogue/RecordRow.h"
#include "catalogue/RecordSession.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace Ui {
class RecordEditor;
}

namespace zep {

class CatalogueService;
class PhotoArea;
class PresetKeys;
class Prompts;
class SettingsStore;

// The record editor: one catalogue record's descriptive fields, its machine,
// and the commands rename, copy, paste and print. It shows the record and
// hands the user's edits to the core; only "Änderung übernehmen" writes.
class RecordEditor : public QWidget
{
    Q_OBJECT

public:
    struct Context {
        // Hands out the record's session: reading, storing, renaming.
        CatalogueService &catalogue;
        Prompts &prompts;
        SettingsStore &settings;
        // Runs the print dialog (tests answer it).
        std::function<int(QDialog &)> runModal;
    };

    RecordEditor(Context context, long dateiIndex, QWidget *parent = nullptr);
    ~RecordEditor() override;

    long dateiIndex() const { return m_dateiIndex; }
    // Form_Load: fills the window from the record. False when the record
    // was not found (the window then stays empty) or its reading waits for
    // a retry answer (the window fills when the answer brings the record).
    bool load();
    // The reading waits for the answer to its retry report.
    bool loadPending() const { return m_waitingForRetry; }

    // The commands, as their buttons run them.
    // DatensatzSchreiben, then close; an error keeps the window and every
    // edit, with the field at fault marked.
    bool uebernehmen();
    void verwerfen();
    void startRename();
    void copyRecord();
    void pasteRecord();
    void printSheet();
    void saveSheetAsPdf();

    // The fields as the user sees them now (unsaved edits included).
    RecordFields currentFields() const;
    void showFields(const RecordFields &fields);
    QString machineText() const;
    QStringList machineChoices() const;
    // The machines were changed in the machine manager: the list shows them
    // as they are now.
    void refreshMachines();
    std::optional<long> selectedMachine() const;

    QLineEdit *fileNameField() const;
    QLineEdit *dateField() const;
    QWidget *field(RecordFields::Field field) const;
    bool fileMissingShown() const;
    bool pasteEnabled() const;
    bool fileNameLocked() const;
    // The hint line under the fields (a paste that was cut); empty when
    // there is nothing to tell.
    QString hintText() const;
    PhotoArea *photos() const { return m_photos; }

Q_SIGNALS:
    // For the main window's status line.
    void statusChanged(const QString &text);
    // The record was stored: the main list shows its line anew.
    void recordWritten(const zep::RecordRow &row);
    // The rename has moved file and photos and stored the new name.
    void renamed(long dateiIndex, const QString &storedName);
    void closed(long dateiIndex);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void addPhotoArea();
    void ShowMaschinen();
    void DatensatzEintragen(const RecordFields &fields);
    void renameEnded(RecordSession::Renamed outcome);
    // A save has been settled: true when the edits are stored.
    bool saveEnded(const RecordSession::SaveOutcome &out, const RecordFields &fields);
    // The record went while it was edited: its edits become the record of
    // its file again if the user wants and the file is there.
    bool keepVanished(const RecordFields &fields);
    void leaveMultiLine(QPlainTextEdit *edit);
    void leaveDate();
    void leaveFileName();
    void lockFileName(bool locked);
    void markField(QWidget *widget);
    void showHint(const QString &text);
    void updatePasteCommand();
    void updateFileMissing();
    QString text(RecordFields::Field field) const;

    Context m_ctx;
    long m_dateiIndex;
    std::unique_ptr<Ui::RecordEditor> m_ui;
    PresetKeys *m_presets = nullptr;
    PhotoArea *m_photos = nullptr;
    QTimer *m_hintTimer = nullptr;
    std::unique_ptr<RecordSession> m_session;
    bool m_loaded = false;
    bool m_loadPending = false;    // inside load()
    bool m_waitingForRetry = false; // load() returned before the record was read
};

} // namespace zep
