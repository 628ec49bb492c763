#include "machines/ui/MachineManagerControls.h"

#include "comm/LineChoices.h"
#include "machines/MachineLists.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zep {

namespace {

template <typename W, typename... Args>
W *named(const char *name, Args &&...args)
{
    auto *w = new W(std::forward<Args>(args)...);
    w->setObjectName(QLatin1String(name));
    return w;
}

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = named<QPushButton>(name, caption);
    // Enter belongs to the fields (it stores them); it must never close the
    // window or create or delete a machine.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QComboBox *fixedList(const char *name, const QStringList &entries)
{
    auto *combo = named<QComboBox>(name);
    combo->addItems(entries);
    combo->setEditable(false);
    return combo;
}

QComboBox *conversionList(const char *name)
{
    auto *combo = named<QComboBox>(name);
    for (const MachineLists::Conversion &c : MachineLists::conversions())
        combo->addItem(c.name, c.code);
    return combo;
}

} // namespace

void MachineManagerControls::build(QDialog *dialog)
{
    list = named<QTreeWidget>("ListView1");
    list->setHeaderLabels({QStringLiteral("Index"), QStringLiteral("Maschine"), QStringLiteral("Standort"),
                           QStringLiteral("RS232")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    list->setMinimumWidth(360);

    auto *machineFrame = named<QGroupBox>("fraMaschine", QStringLiteral("Maschine"));
    bezeichnung = named<QLineEdit>("txtBezeichnung");
    standort = named<QLineEdit>("txtStandort");
    auto *machineForm = new QFormLayout(machineFrame);
    machineForm->addRow(QStringLiteral("Bezeichnung:"), bezeichnung);
    machineForm->addRow(QStringLiteral("Standort:"), standort);

    newMachine = button("Command1", QStringLiteral("Neue Maschine"));
    deleteMachine = button("Command2", QStringLiteral("Maschine löschen"));
    back = button("Command3", QStringLiteral("Zurück"));
    auto *commands = new QHBoxLayout;
    commands->addWidget(newMachine);
    commands->addWidget(deleteMachine);
    commands->addStretch();
    commands->addWidget(back);

    hint = named<QLabel>("lblHinweis");
    hint->setWordWrap(true);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hint->hide();

    auto *right = new QVBoxLayout;
    right->addWidget(machineFrame);
    right->addWidget(hint);
    right->addStretch();
    right->addLayout(commands);
    auto *top = new QHBoxLayout;
    top->addWidget(list, 3);
    top->addLayout(right, 2);

    // "Datenübertragung"
    communicationPage = named<QWidget>("pagDatenuebertragung");
    rs232 = named<QCheckBox>("chkRS232", QStringLiteral("Datenübertragung per RS232 möglich"));

    auto *lineFrame = named<QGroupBox>("fraRS232", QStringLiteral("RS232-Verbindungs-Vorgaben:"));
    speed = fixedList("cboBaudrate", LineChoices::speeds());
    comString = named<QLineEdit>("txtComString");
    comString->setToolTip(QStringLiteral("Schnelleinstellung Bits,Parität,Stopbits"));
    auto *lineForm = new QFormLayout(lineFrame);
    lineForm->addRow(QStringLiteral("Baudrate:"), speed);
    lineForm->addRow(QStringLiteral("Com-String:"), comString);

    auto *conversionFrame = named<QGroupBox>("fraUmwandeln", QStringLiteral("Datei-Sende-Empfang-Optionen:"));
    conversions = {conversionList("cboECRzu"), conversionList("cboELFzu"), conversionList("cboSCRzu"),
                   conversionList("cboSLFzu")};
    auto *conversionGrid = new QGridLayout(conversionFrame);
    conversionGrid->addWidget(new QLabel(QStringLiteral("Empfang:")), 0, 0, 1, 2);
    conversionGrid->addWidget(new QLabel(QStringLiteral("CR zu:")), 1, 0);
    conversionGrid->addWidget(conversions[0], 1, 1);
    conversionGrid->addWidget(new QLabel(QStringLiteral("LF zu:")), 2, 0);
    conversionGrid->addWidget(conversions[1], 2, 1);
    conversionGrid->addWidget(new QLabel(QStringLiteral("Senden:")), 0, 2, 1, 2);
    conversionGrid->addWidget(new QLabel(QStringLiteral("CR zu:")), 1, 2);
    conversionGrid->addWidget(conversions[2], 1, 3);
    conversionGrid->addWidget(new QLabel(QStringLiteral("LF zu:")), 2, 2);
    conversionGrid->addWidget(conversions[3], 2, 3);

    endBySpecial = named<QRadioButton>("optSonderzeichen", QStringLiteral("Endterminiert durch Sonderzeichen"));
    endByTimeout = named<QRadioButton>("optTimeout", QStringLiteral("Ende durch Timeout (Zeitüberschreitung)"));
    auto *endMode = new QButtonGroup(dialog);
    endMode->addButton(endBySpecial);
    endMode->addButton(endByTimeout);

    specialFrame = named<QGroupBox>("fraSonderzeichen", QStringLiteral("Sonderzeichen definieren"));
    asciiCode = named<QRadioButton>("optASCII", QStringLiteral("ASCII-Code:"));
    stringPair = named<QRadioButton>("optZeichenfolge", QStringLiteral("Start- und End-Zeichenfolge:"));
    stringPair->setToolTip(QStringLiteral("Dateianfang und Ende sind durch diese Zeichen definiert"));
    auto *endKind = new QButtonGroup(dialog);
    endKind->addButton(asciiCode);
    endKind->addButton(stringPair);
    code = named<QLineEdit>("txtASCII");
    code->setMaximumWidth(60);
    codeName = named<QLabel>("lblASCIIName");
    codeName->setMinimumWidth(60);
    start = named<QLineEdit>("txtStart");
    start->setToolTip(QStringLiteral("Zeichen für Dateianfang"));
    end = named<QLineEdit>("txtEnde");
    end->setToolTip(QStringLiteral("Zeichen für Dateiende"));
    // The frame is hidden with end by time-out; the page must not jump.
    QSizePolicy keepPlace = specialFrame->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    specialFrame->setSizePolicy(keepPlace);
    auto *specialGrid = new QGridLayout(specialFrame);
    specialGrid->addWidget(asciiCode, 0, 0);
    specialGrid->addWidget(code, 0, 1);
    specialGrid->addWidget(codeName, 0, 2);
    specialGrid->addWidget(stringPair, 1, 0, 1, 3);
    specialGrid->addWidget(start, 2, 0);
    specialGrid->addWidget(end, 2, 1, 1, 2);

    exon = named<QCheckBox>("chkEXON", QStringLiteral("Nullzeichen nicht ausfiltern"));
    exon->setToolTip(QStringLiteral("Wenn aktiviert, werden Nullzeichen (ASCII 0) nicht gefiltert."));
    sxon = named<QCheckBox>("chkSXON", QStringLiteral("XON senden"));
    waitXon = named<QCheckBox>("chkXONWarten", QStringLiteral("auf XON warten"));

    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(lineFrame);
    leftColumn->addWidget(conversionFrame);
    leftColumn->addStretch();
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(endBySpecial);
    rightColumn->addWidget(endByTimeout);
    rightColumn->addWidget(specialFrame);
    rightColumn->addWidget(exon);
    rightColumn->addWidget(sxon);
    rightColumn->addWidget(waitXon);
    rightColumn->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(leftColumn, 1);
    columns->addLayout(rightColumn, 1);
    auto *communication = new QVBoxLayout(communicationPage);
    communication->addWidget(rs232);
    communication->addLayout(columns);

    // "Wartungsplan"
    maintenancePage = named<QWidget>("pagWartungsplan");
    auto *tasks = new QHBoxLayout(maintenancePage);
    for (int i = 0; i < 3; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        taskFrames[i] = named<QGroupBox>(("fraWartung" + n).constData(),
                                         QString::number(i + 1) + QStringLiteral(". Wartungsintervall"));
        turnus[i] = fixedList(("cboTurnus" + n).constData(), MachineLists::intervals());
        dates[i] = named<QDateTimeEdit>(("dtpStart" + n).constData());
        // The stored value is a date and time; only the date is edited, the
        // time of day it carries stays as it was.
        dates[i]->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        dates[i]->setCalendarPopup(true);
        notes[i] = named<QPlainTextEdit>(("txtHinweis" + n).constData());
        notes[i]->setTabChangesFocus(true);
        auto *form = new QFormLayout(taskFrames[i]);
        form->addRow(QStringLiteral("Turnus:"), turnus[i]);
        form->addRow(QStringLiteral("Erstmalig am:"), dates[i]);
        form->addRow(new QLabel(QStringLiteral("Wartungshinweis:")));
        form->addRow(notes[i]);
        tasks->addWidget(taskFrames[i]);
    }

    tabs = named<QTabWidget>("TabStrip1");
    tabs->addTab(communicationPage, QStringLiteral("Datenübertragung"));
    tabs->addTab(maintenancePage, QStringLiteral("Wartungsplan"));

    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(top);
    layout->addWidget(tabs);
}

} // namespace zep
