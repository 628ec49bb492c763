#include "catalogue/ui/PresetsDialog.h"

#include "catalogue/Presets.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zep {

PresetsDialog::PresetsDialog(SettingsStore &settings, QWidget *parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("frmVorgaben"));
    setWindowTitle(QStringLiteral("Tastenvorgaben definieren"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    for (int n = 1; n <= Presets::kCount; ++n) {
        auto *line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("Text") + QString::number(n));
        line->setMinimumWidth(360);
        line->setText(Presets::text(m_settings, n));
        line->installEventFilter(this);
        form->addRow(QStringLiteral("F") + QString::number(n) + QStringLiteral(":"), line);
        m_lines[size_t(n - 1)] = line;
    }
    layout->addLayout(form);
    auto *hint = new QLabel(QStringLiteral("Um die F-Tasten zu benutzen müssen Sie die Shift-Taste mitdrücken!"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *store = buttons->addButton(QStringLiteral("Speichern"), QDialogButtonBox::AcceptRole);
    store->setObjectName(QStringLiteral("cmdSpeichern"));
    QPushButton *cancel = buttons->addButton(QStringLiteral("Abbruch"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdAbbruch"));
    connect(store, &QPushButton::clicked, this, [this] {
        save();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PresetsDialog::save()
{
    for (int n = 1; n <= Presets::kCount; ++n)
        Presets::store(m_settings, n, line(n)->text());
}

bool PresetsDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Entering a line selects its text, after the click has placed the caret.
    if (event->type() == QEvent::FocusIn)
        if (auto *line = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, line, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

} // namespace zep
