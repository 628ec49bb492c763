#include "comm/ui/SaveReceivedDialogControls.h"

#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zep {

namespace {

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *selectionValue(QWidget *parent, const char *name)
{
    auto *label = named(new QLabel(QStringLiteral("?"), parent), name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(220);
    return label;
}

// Buttons that must not fire on Enter in a name field.
QPushButton *button(QPushButton *b)
{
    b->setAutoDefault(false);
    return b;
}

} // namespace

void SaveReceivedDialogControls::build(QDialog *dialog)
{
    QStyle *style = dialog->style();

    heading = named(new QLabel(dialog), "heading");
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.2);
    heading->setFont(headingFont);

    asNewFile = named(new QRadioButton(QStringLiteral("Als &neue Datei"), dialog), "asNewFile");
    asNewFile->setToolTip(QStringLiteral("Programm mit neuem Namen speichern"));
    asUpdate = named(new QRadioButton(QStringLiteral("Als &Aktualisierung"), dialog), "asUpdate");
    asUpdate->setToolTip(QStringLiteral("Programm als Aktualisierung speichern"));
    auto *options = new QHBoxLayout;
    options->addWidget(asNewFile);
    options->addWidget(asUpdate);
    options->addStretch(1);

    newPanel = named(new QWidget(dialog), "newPanel");
    newName = named(new QLineEdit(newPanel), "newName");
    auto *newLayout = new QVBoxLayout(newPanel);
    newLayout->setContentsMargins(0, 0, 0, 0);
    newLayout->addWidget(new QLabel(QStringLiteral("Neuer Dateiname:"), newPanel));
    newLayout->addWidget(newName);
    newLayout->addStretch(1);

    updatePanel = named(new QWidget(dialog), "updatePanel");
    selFile = selectionValue(updatePanel, "selFile");
    selDrawing = selectionValue(updatePanel, "selDrawing");
    selOrder = selectionValue(updatePanel, "selOrder");
    selDesignation = selectionValue(updatePanel, "selDesignation");
    selMachine = selectionValue(updatePanel, "selMachine");
    takeOver = button(named(new QPushButton(updatePanel), "takeOver"));
    takeOver->setIcon(style->standardIcon(QStyle::SP_ArrowDown));
    takeOver->setToolTip(QStringLiteral("übernimmt den Dateinamen in's Feld"));
    targetName = named(new QLineEdit(updatePanel), "targetName");
    compare = button(named(new QPushButton(updatePanel), "compare"));
    compare->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    compare->setToolTip(
        QStringLiteral("Stellt den Empfang und die gewählte Datei gegenüber (mit Editiermöglichkeit für Empfang)"));

    auto *selection = new QGridLayout;
    const std::pair<const char *, QLabel *> rows[] = {{"Datei:", selFile},
                                                      {"Zeich.No.:", selDrawing},
                                                      {"Auft.No.:", selOrder},
                                                      {"Bezeichn.:", selDesignation},
                                                      {"Maschine:", selMachine}};
    int row = 0;
    for (const auto &[caption, value] : rows) {
        selection->addWidget(new QLabel(QString::fromUtf8(caption), updatePanel), row, 0);
        selection->addWidget(value, row, 1);
        ++row;
    }
    selection->setColumnStretch(1, 1);
    // The arrow stands between the selection and the field it fills.
    auto *overwrite = new QHBoxLayout;
    overwrite->addWidget(new QLabel(QStringLiteral("Folgende Datei überschreiben:"), updatePanel));
    overwrite->addStretch(1);
    overwrite->addWidget(takeOver);
    auto *target = new QHBoxLayout;
    target->addWidget(targetName, 1);
    target->addWidget(compare);

    auto *updateLayout = new QVBoxLayout(updatePanel);
    updateLayout->setContentsMargins(0, 0, 0, 0);
    updateLayout->addWidget(new QLabel(QStringLiteral("Aktuelle Auswahl in der Liste des Hauptprogramms:"), updatePanel));
    updateLayout->addLayout(selection);
    updateLayout->addLayout(overwrite);
    updateLayout->addLayout(target);

    previewBox = named(new QGroupBox(QStringLiteral("Vorschau"), dialog), "previewBox");
    preview = named(new QPlainTextEdit(previewBox), "preview");
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editedMarker = named(new QLabel(previewBox), "editedMarker");
    editedMarker->setPixmap(style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    editedMarker->setToolTip(QStringLiteral("Datei wurde durch Editor verändert"));
    editedMarker->hide();
    auto *previewLayout = new QHBoxLayout(previewBox);
    previewLayout->addWidget(preview, 1);
    previewLayout->addWidget(editedMarker, 0, Qt::AlignTop);

    save = button(named(new QPushButton(QStringLiteral("&Speichern"), dialog), "save"));
    save->setToolTip(QStringLiteral("Datei in ZEP speichern"));
    discard = button(named(new QPushButton(QStringLiteral("&Verwerfen"), dialog), "discard"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(discard);

    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(heading);
    layout->addLayout(options);
    layout->addWidget(newPanel);
    layout->addWidget(updatePanel);
    layout->addWidget(previewBox, 1);
    layout->addLayout(buttons);
}

} // namespace zep
