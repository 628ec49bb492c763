#include "station/ui/SettingsDialog.h"

#include "app/widgets/InvalidField.h"

#include "app/Prompts.h"
#include "app/SettingsRules.h"
#include "station/StationSettings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zep {

namespace {


// Shows the check's message, if it has one, without waiting for it to be
// read; true when the check passed.
bool tell(Prompts &prompts, const SettingsRules::Check &check)
{
    if (!check.text.isEmpty())
        prompts.ask({check.text, check.title, check.icon});
    return check.ok;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *owner, StationSettings &settings, Prompts &prompts)
    : QDialog(owner), m_settings(settings), m_prompts(prompts)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setModal(true);

    auto *grid = new QGridLayout;
    int row = 0;
    auto addDirectoryRow = [&](int number, const QString &caption, const QString &tip) {
        QLineEdit *edit = addField(number, tip);
        auto *browse = new QPushButton(QStringLiteral("Durchsuchen..."), this);
        browse->setObjectName(QStringLiteral("Browse%1").arg(number));
        connect(browse, &QPushButton::clicked, this, [this, number] { browseDirectory(number); });
        connect(edit, &QLineEdit::editingFinished, this, [this, number] { leaveDirectoryField(number); });
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        grid->addWidget(browse, row, 3);
        ++row;
    };
    addDirectoryRow(1, QStringLiteral("Überwachtes Verzeichnis:"),
                    QStringLiteral("Das Verzeichnis in welchem die Dateien erkannt und gespeichert werden!"));
    addDirectoryRow(3, QStringLiteral("Foto-Verzeichnis:"),
                    QStringLiteral("In diesem Verzeichnis werden die Bilddateien gespeichert!"));
    addDirectoryRow(6, QStringLiteral("Backup-Sicherungs-Verzeichnis:"),
                    QStringLiteral("In diesem Verzeichnis wird das Backup als ZIP-Dateien gespeichert."));

    QLineEdit *interval = addField(2, QStringLiteral("Alle wieviele Sekunden soll das Überwachungsverzeichnis "
                                                     "geprüft werden (ca. 2 bis 10 Sekunden)."));
    interval->setMaximumWidth(80);
    connect(interval, &QLineEdit::editingFinished, this, &SettingsDialog::leaveIntervalField);
    grid->addWidget(new QLabel(QStringLiteral("Überwachungsintervall:"), this), row, 0);
    grid->addWidget(interval, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sekunden"), this), row++, 2);

    QLineEdit *quality = addField(4, QStringLiteral("Qualität der JPG-Kompression (10%-99% gilt nur für TWAIN-Import)"));
    quality->setMaximumWidth(80);
    connect(quality, &QLineEdit::editingFinished, this, &SettingsDialog::leaveQualityField);
    grid->addWidget(new QLabel(QStringLiteral("JPG-Speicherqualität:"), this), row, 0);
    grid->addWidget(quality, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("%   (Für TWAIN-Import)"), this), row++, 2);

    QLineEdit *password = addField(7, QString());
    password->setEchoMode(QLineEdit::Password);
    QLineEdit *repeat = addField(8, QString());
    repeat->setEchoMode(QLineEdit::Password);
    grid->addWidget(new QLabel(QStringLiteral("Passwort für Einstellungen:"), this), row, 0);
    grid->addWidget(password, row++, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("wiederholen:"), this), row, 0);
    grid->addWidget(repeat, row++, 1, 1, 2);

    QLineEdit *catalogue = addField(
        9, QStringLiteral("Leer: die Datenbank CNCPRG.mdb im Programmverzeichnis.\n"
                          "Mehrere Arbeitsplätze mit einem gemeinsamen Katalog: die Adresse des PostgreSQL-Servers, "
                          "z. B. postgresql://zep@server/zep\n"
                          "Kein Passwort hier eintragen: es steht in ~/.pgpass, in der Dienst-Datei "
                          "(pg_service.conf) oder in PGPASSWORD.\n"
                          "Eine Änderung gilt ab dem nächsten Start."));
    catalogue->setPlaceholderText(QStringLiteral("CNCPRG.mdb im Programmverzeichnis"));
    grid->addWidget(new QLabel(QStringLiteral("Datenbank:"), this), row, 0);
    grid->addWidget(catalogue, row++, 1, 1, 3);

    auto *startFrame = new QGroupBox(QStringLiteral("Ausführen bei Programmstart:"), this);
    auto *startLayout = new QHBoxLayout(startFrame);
    QLineEdit *start = addField(5, QStringLiteral("Diese Datei wird bei Programmstart ebenfalls gestartet (evtl. "
                                                  "CNC-Dateiserver)."));
    auto *startBrowse = new QPushButton(QStringLiteral("Durchsuchen..."), startFrame);
    startBrowse->setObjectName(QStringLiteral("Command5"));
    connect(startBrowse, &QPushButton::clicked, this, &SettingsDialog::browseStartProgram);
    startLayout->addWidget(start, 1);
    startLayout->addWidget(startBrowse);

    auto *apply = new QPushButton(QStringLiteral("Übernehmen"), this);
    apply->setObjectName(QStringLiteral("cmdOK"));
    apply->setToolTip(QStringLiteral("Einstellungen speichern"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &SettingsDialog::pressApply);
    auto *cancel = new QPushButton(QStringLiteral("Abbruch"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setToolTip(QStringLiteral("Änderungen verwerfen"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(startFrame);
    layout->addLayout(buttons);
    resize(640, sizeHint().height());

    showDraft(m_settings.draft());
}

SettingsDraft SettingsDialog::draft() const
{
    return {field(1)->text(), field(2)->text(), field(3)->text(), field(4)->text(),
            field(5)->text(), field(6)->text(), field(7)->text(), field(8)->text(), field(9)->text()};
}

void SettingsDialog::showDraft(const SettingsDraft &draft)
{
    const QString texts[] = {draft.verzeichnis,  draft.intervall, draft.fotoVerzeichnis, draft.jpgQualitaet,
                             draft.startProgram, draft.backupDir, draft.passwort,        draft.passwortWiederholung,
                             draft.datenbank};
    for (int number = 1; number <= 9; ++number)
        if (field(number)->text() != texts[number - 1])
            field(number)->setText(texts[number - 1]);
}

QLineEdit *SettingsDialog::addField(int number, const QString &toolTip)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Text%1").arg(number));
    edit->setToolTip(toolTip);
    m_fields[number] = edit;
    return edit;
}

QLineEdit *SettingsDialog::field(int number) const
{
    return number >= 1 && number <= 9 ? m_fields[number] : nullptr;
}

void SettingsDialog::leaveDirectoryField(int fieldNumber)
{
    field(fieldNumber)->setText(SettingsRules::normaliseDirectory(field(fieldNumber)->text()));
}

void SettingsDialog::leaveIntervalField()
{
    const SettingsRules::Check check = SettingsRules::checkInterval(field(2)->text());
    if (check.replacement)
        field(2)->setText(*check.replacement);
    if (check.beep)
        m_prompts.beep();
    tell(m_prompts, check);
}

bool SettingsDialog::leaveQualityField()
{
    const SettingsRules::Check check = SettingsRules::checkJpgQuality(field(4)->text());
    markInvalid(field(4), !check.ok);
    if (check.ok)
        return true;
    tell(m_prompts, check);
    field(4)->setFocus();
    field(4)->selectAll();
    return false;
}

void SettingsDialog::browseDirectory(int fieldNumber)
{
    static const QMap<int, QString> titles{{1, QStringLiteral("Überwachungs-Verzeichnis wählen...")},
                                           {3, QStringLiteral("Foto-Verzeichnis wählen...")},
                                           {6, QStringLiteral("Backup-Sicherungs-Verzeichnis wählen...")}};
    const QString chosen = m_prompts.chooseFolder(titles.value(fieldNumber), field(fieldNumber)->text());
    if (!chosen.isEmpty())
        field(fieldNumber)->setText(SettingsRules::normaliseDirectory(chosen));
}

void SettingsDialog::browseStartProgram()
{
    const QString chosen = m_prompts.openFile(
        QStringLiteral("ausführbare Datei wählen..."),
        QStringLiteral("ausführbare Dateien (*.bat,*.exe)|*.bat;*.exe;*.com;*.vbs|alle Dateien (*.*)|*.*"),
        field(5)->text());
    if (!chosen.isEmpty())
        field(5)->setText(chosen);
}

void SettingsDialog::pressApply()
{
    const StationSettings::Applied applied = m_settings.apply(draft());
    showDraft(applied.draft);
    markInvalid(field(4), applied.qualityRefused);
    for (const SettingsRules::Check &check : applied.checks) {
        if (check.beep)
            m_prompts.beep();
        tell(m_prompts, check);
    }
    if (applied.qualityRefused) {
        field(4)->setFocus();
        field(4)->selectAll();
    }
    markInvalid(field(9), applied.databaseRefused);
    if (applied.databaseRefused) {
        field(9)->setFocus();
        field(9)->selectAll();
    }
    if (applied.applied)
        accept();
}

bool SettingsDialog::mayClose()
{
    return tell(m_prompts, m_settings.closeCheck());
}

void SettingsDialog::done(int result)
{
    if (!mayClose())
        return;
    QDialog::done(result);
}


} // namespace zep
