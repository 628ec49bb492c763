#include "machines/ui/MachineWizard.h"

#include "app/Prompts.h"
#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "comm/LineChoices.h"
#include "comm/LineDefaults.h"
#include "machines/MachineLists.h"
#include "machines/MachinesService.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zep {

namespace {

QComboBox *listOf(const QStringList &entries, const QString &selected, const QString &name)
{
    auto *box = new QComboBox;
    box->setObjectName(name);
    box->addItems(entries);
    box->setCurrentIndex(qMax(0, entries.indexOf(selected)));
    return box;
}

QLabel *wrapped(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

} // namespace

MachineWizard::MachineWizard(MachinesService &machines, SettingsStore &settings, Prompts &prompts, const Clock &clock,
                     QWidget *parent)
    : QDialog(parent), m_machines(machines), m_settings(settings), m_prompts(prompts), m_clock(clock)
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Maschinen-Assistent"));
    auto *layout = new QVBoxLayout(this);
    m_heading = new QLabel;
    m_heading->setObjectName(QStringLiteral("heading"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_heading->setFont(bold);
    layout->addWidget(m_heading);

    m_pages = new QStackedWidget;
    m_pages->addWidget(buildStartPage());
    m_pages->addWidget(buildDataPage());
    m_pages->addWidget(buildConnectionPage());
    m_pages->addWidget(buildMaintenancePage());
    layout->addWidget(m_pages, 1);

    m_buttons = new QWidget;
    auto *row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    m_back = new QPushButton(QStringLiteral("Zurück"));
    m_back->setObjectName(QStringLiteral("back"));
    m_next = new QPushButton(QStringLiteral("Weiter..."));
    m_next->setObjectName(QStringLiteral("next"));
    m_next->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbruch"));
    cancel->setObjectName(QStringLiteral("cancel"));
    row->addWidget(m_back);
    row->addWidget(m_next);
    row->addWidget(cancel);
    layout->addWidget(m_buttons);
    connect(m_back, &QPushButton::clicked, this, &MachineWizard::back);
    connect(m_next, &QPushButton::clicked, this, &MachineWizard::forward);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const bool skipStart = ProgramSettings::hideWizSide1.read(m_settings);
    showPage(skipStart ? DataPage : StartPage);
    resize(520, 380);
}

QWidget *MachineWizard::buildStartPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    v->addWidget(wrapped(QStringLiteral("Der Maschinen-Assistent hilft Ihnen beim Anlegen einer neuen Maschine.\n\n"
                                        "Er kümmert sich dabei auch um die Zuordnung zu einer RS232-Schnittstelle und "
                                        "deren Parameter. Es werden Werte gewählt, die in den meisten Fällen zu einem "
                                        "schnellen ersten Ergebnis führen.")));
    v->addStretch();
    m_hideStart = new QCheckBox(QStringLiteral("Diese Information nicht wieder zeigen"));
    m_hideStart->setObjectName(QStringLiteral("hideStart"));
    v->addWidget(m_hideStart);
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *startButton = new QPushButton(QStringLiteral("Start"));
    startButton->setObjectName(QStringLiteral("start"));
    auto *cancel = new QPushButton(QStringLiteral("Abbruch"));
    cancel->setObjectName(QStringLiteral("startCancel"));
    row->addWidget(startButton);
    row->addWidget(cancel);
    v->addLayout(row);
    connect(startButton, &QPushButton::clicked, this, &MachineWizard::start);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

QWidget *MachineWizard::buildDataPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    m_bezeichnung = new QLineEdit;
    m_bezeichnung->setObjectName(QStringLiteral("bezeichnung"));
    // The record stores the name as typed; the manager adds one blank.
    m_bezeichnung->setMaxLength(254);
    m_standort = new QLineEdit;
    m_standort->setObjectName(QStringLiteral("standort"));
    m_standort->setMaxLength(254);
    form->addRow(QStringLiteral("Bezeichnung:"), m_bezeichnung);
    form->addRow(QStringLiteral("Standort:"), m_standort);
    form->addRow(QString(), wrapped(QStringLiteral("z.B. Produktionshalle / Platz 23 / Fertigung etc.")));
    m_rs232 = new QCheckBox(QStringLiteral("ZEP soll diese Maschine direkt per RS232 überwachen"));
    m_rs232->setObjectName(QStringLiteral("rs232"));
    form->addRow(m_rs232);
    form->addRow(wrapped(QStringLiteral("(Wählen Sie diesen Haken, wenn Sie die betreffende Maschine mit diesem Rechner "
                                        "verbunden haben und ZEP direkt die Datenübertragung zu dieser Maschine "
                                        "übernehmen soll.)")));
    return page;
}

QWidget *MachineWizard::buildConnectionPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);

    auto *connection = new QGroupBox(QStringLiteral("Verbindung"));
    auto *cf = new QFormLayout(connection);
    const QStringList ports = MachineCreation::freePorts(m_settings);
    m_port = listOf(ports, ports.value(0), QStringLiteral("port"));
    m_port->setToolTip(QStringLiteral("COM-Port auf Ihrem Rechner"));
    cf->addRow(QStringLiteral("Anschluß:"), m_port);
    v->addWidget(connection);

    auto *format = new QGroupBox(QStringLiteral("Übertragungsformat"));
    auto *ff = new QFormLayout(format);
    const LineSettings preselected = LineDefaults::Wizard::line();
    m_speed = listOf(LineChoices::speeds(), preselected.speed(), QStringLiteral("speed"));
    m_speed->setToolTip(QStringLiteral("Übertragungsgeschwindigkeit in Bits/Sekunde"));
    m_dataBits = listOf(LineChoices::dataBits(), preselected.dataBits(), QStringLiteral("dataBits"));
    m_parity = listOf(LineChoices::parities(),
                      LineChoices::parities().value(LineChoices::parityPosition(preselected.parity())),
                      QStringLiteral("parity"));
    m_parity->setToolTip(QStringLiteral("Übertragungsprüfung"));
    m_stopBits = listOf(LineChoices::stopBits(), preselected.stopBits(), QStringLiteral("stopBits"));
    ff->addRow(QStringLiteral("Baudrate:"), m_speed);
    ff->addRow(QStringLiteral("Datenbits:"), m_dataBits);
    ff->addRow(QStringLiteral("Parität:"), m_parity);
    ff->addRow(QStringLiteral("Stopbits:"), m_stopBits);
    v->addWidget(format);

    auto *protocol = new QGroupBox(QStringLiteral("&Protokoll"));
    auto *pv = new QHBoxLayout(protocol);
    m_protocol = new QButtonGroup(this);
    const QStringList toolTips{QStringLiteral("Keine Prüfung"), QStringLiteral("Softwareseitige Prüfung"),
                               QStringLiteral("Hardwareseitige Prüfung"),
                               QStringLiteral("Hard- und Softwareseitige Prüfung")};
    const QStringList &choices = LineChoices::handshakes();
    for (int i = 0; i < choices.size(); ++i) {
        auto *button = new QRadioButton(choices[i]);
        button->setObjectName(QStringLiteral("protocol%1").arg(i));
        button->setToolTip(toolTips.value(i));
        button->setChecked(LineChoices::handshakeAt(i) == preselected.handshake());
        m_protocol->addButton(button, i);
        pv->addWidget(button);
    }
    v->addWidget(protocol);
    v->addWidget(wrapped(QStringLiteral("Bitte gleichen Sie diese Einstellungen mit den Informationen aus Ihrem "
                                        "Steuerungshandbuch und den dortigen Parametern ab")));
    v->addStretch();
    return page;
}

QWidget *MachineWizard::buildMaintenancePage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    m_interval = listOf(MachineLists::intervals(), QStringLiteral("kein"), QStringLiteral("interval"));
    form->addRow(QStringLiteral("Wartungsintervall:"), m_interval);
    v->addLayout(form);
    v->addWidget(new QLabel(QStringLiteral("Durchzuführende Wartungsarbeit")));
    m_note = new QPlainTextEdit;
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setEnabled(false);
    v->addWidget(m_note, 1);
    v->addWidget(wrapped(QStringLiteral("In den einzelnen Maschineneinstellungen können Sie später noch zwei weitere "
                                        "Wartungsintervalle eingeben.")));
    connect(m_interval, &QComboBox::currentIndexChanged, this, [this](int i) { m_note->setEnabled(i != 0); });
    return page;
}

int MachineWizard::page() const
{
    return m_pages->currentIndex();
}

void MachineWizard::showPage(Page page)
{
    static const QStringList headings{QString(), QStringLiteral("Maschinendaten angeben"),
                                      QStringLiteral("Verbindungsparameter"), QStringLiteral("Maschinenwartung")};
    m_pages->setCurrentIndex(page);
    m_heading->setText(headings.at(page));
    m_heading->setVisible(page != StartPage);
    m_buttons->setVisible(page != StartPage);
    m_back->setEnabled(page != StartPage && page != DataPage);
    if (page == DataPage)
        m_bezeichnung->setFocus();
}

void MachineWizard::start()
{
    ProgramSettings::hideWizSide1.write(m_settings, m_hideStart->isChecked());
    showPage(DataPage);
}

void MachineWizard::forward()
{
    switch (page()) {
    case DataPage:
        if (m_bezeichnung->text().trimmed().isEmpty()) {
            m_prompts.message(QStringLiteral("Sie müssen eine Bezeichnung für diese Maschine eingeben!"),
                              QStringLiteral("Bezeichnung?"), PromptIcon::Exclamation);
            m_bezeichnung->setFocus();
            return;
        }
        showPage(m_rs232->isChecked() ? ConnectionPage : MaintenancePage);
        break;
    case ConnectionPage:
        showPage(MaintenancePage);
        break;
    case MaintenancePage:
        create();
        break;
    default:
        break;
    }
}

void MachineWizard::back()
{
    if (page() == ConnectionPage)
        showPage(DataPage);
    else if (page() == MaintenancePage)
        showPage(m_rs232->isChecked() ? ConnectionPage : DataPage);
}

WizardChoices MachineWizard::choices() const
{
    WizardChoices c;
    c.bezeichnung = m_bezeichnung->text();
    c.standort = m_standort->text();
    c.rs232 = m_rs232->isChecked();
    c.port = m_port->currentText();
    c.line = LineSettings(m_speed->currentText(), LineChoices::parityAt(m_parity->currentIndex()),
                          m_dataBits->currentText(), m_stopBits->currentText(),
                          qMax(0, LineChoices::handshakeAt(m_protocol->checkedId())));
    c.interval = m_interval->currentIndex();
    c.note = m_note->toPlainText();
    return c;
}

void MachineWizard::create()
{
    const WizardChoices c = choices();
    const QString question = QStringLiteral("Alle Informationen sind gesammelt.\r\rSoll der Assistent die neue Maschine >>")
                             + c.bezeichnung + QStringLiteral("<< jetzt anlegen?");
    if (m_prompts.message(question, QStringLiteral("ZEP-Assistent"), PromptIcon::Question, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    // The wizard waits for the creation, which does not wait for its boxes:
    // its buttons rest until the record is settled.
    m_back->setEnabled(false);
    m_next->setEnabled(false);
    const QPointer<MachineWizard> self(this);
    m_machines.create(c,[self](const MachineCreation::Result &result) {
                                       if (self)
                                           self->created(result);
                                   });
}

void MachineWizard::created(const MachineCreation::Result &result)
{
    m_back->setEnabled(true);
    m_next->setEnabled(true);
    m_result = result;
    switch (m_result.outcome) {
    case MachineCreation::Outcome::Created:
        m_prompts.message(QStringLiteral("Die Maschine wurde angelegt!"), QStringLiteral("ZEP"), PromptIcon::Information);
        break;
    case MachineCreation::Outcome::CreatedWithErrors:
        m_prompts.message(QStringLiteral("Die Maschine wurde angelegt! Es gab aber einige Fehler. Kontrollieren Sie "
                                         "unbedingt alle vom Assistenten vorgenommenen Einstellungen."),
                          QStringLiteral("ZEP"), PromptIcon::Exclamation);
        break;
    case MachineCreation::Outcome::NotCreated:
        // Nothing was stored: the wizard stays open with what was typed, so
        // it can be tried again or cancelled.
        m_prompts.message(QStringLiteral("Die Maschine wurde nicht angelegt! Es wurde nichts gespeichert."),
                          QStringLiteral("ZEP"), PromptIcon::Exclamation);
        return;
    }
    accept();
}

} // namespace zep
