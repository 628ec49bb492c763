#include "comm/ui/CompareWindow.h"

#include "app/widgets/WindowPlacement.h"
#include "comm/ui/ProgramDocument.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace zep {

namespace {

QWidget *side(QLabel *title, QPlainTextEdit *editor, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addWidget(editor);
    return box;
}

QPlainTextEdit *programEditor(const QString &name, const QByteArray &text, QWidget *parent)
{
    auto *editor = new QPlainTextEdit(parent);
    editor->setObjectName(name);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    ProgramDocument::fill(*editor->document(), ProgramText::show(text));
    return editor;
}

} // namespace

CompareWindow::CompareWindow(const QString &fileName, const QByteArray &existing, const QByteArray &received,
                             SettingsStore &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_original(received), m_lineEnd(ProgramText::show(received).usual),
      m_heading(new QLabel(fileName.right(25), this)), m_existing(programEditor(QStringLiteral("existing"), existing, this)),
      m_received(programEditor(QStringLiteral("received"), received, this)),
      m_takeOver(new QPushButton(QStringLiteral("Übernehmen"), this)),
      m_cancel(new QPushButton(QStringLiteral("Abbruch"), this))
{
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(fileName.right(25));
    setModal(true);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_existing->setReadOnly(true);
    m_shownOriginal = m_received->document()->toRawText();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(side(m_heading, m_existing, splitter));
    splitter->addWidget(side(new QLabel(QStringLiteral("Empfang"), this), m_received, splitter));
    splitter->setChildrenCollapsible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_takeOver);
    buttons->addWidget(m_cancel);
    // Enter belongs to the editor: a new line, never "take over".
    m_takeOver->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    connect(m_takeOver, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(900, 600);
    RestoreGeometry(*this, m_settings);
    m_received->setFocus();
}

QByteArray CompareWindow::compare(const QString &fileName, const QByteArray &existing, const QByteArray &received,
                                  SettingsStore &settings, QWidget *parent)
{
    CompareWindow window(fileName, existing, received, settings, parent);
    if (window.exec() != QDialog::Accepted)
        return {};
    return window.editedText();
}

QByteArray CompareWindow::editedText() const
{
    const QString raw = m_received->document()->toRawText();
    if (raw == m_shownOriginal)
        return m_original;
    return ProgramDocument::bytes(*m_received->document(), m_lineEnd, ProgramText::Foreign::Question)
        .value_or(QByteArray());
}

void CompareWindow::done(int result)
{
    SaveGeometry(*this, m_settings);
    QDialog::done(result);
}

} // namespace zep
