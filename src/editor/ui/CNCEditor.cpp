#include "editor/ui/CNCEditor.h"

#include "app/ProgramSettings.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "app/widgets/WindowPlacement.h"
#include "comm/ui/ProgramDocument.h"
#include "editor/ui/CodeView.h"
#include "editor/ui/ProgramHighlighter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextDocumentLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zep {

namespace {

QFont programFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(10);
    return font;
}

} // namespace

CNCEditor::CNCEditor(SettingsStore &settings, Prompts &prompts, const QString &path, QWidget *parent)
    : QMainWindow(parent), m_settings(settings), m_prompts(prompts), m_file(path)
{
    setObjectName(QStringLiteral("CNCEditor"));
    setWindowTitle(EditorFile::title() + QStringLiteral("[*]"));
    resize(900, 600);
    m_choosePrinter = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Programmtext ausdrucken"));
        return dialog.exec() == QDialog::Accepted;
    };
    buildViews();
    buildCommands();
}

CNCEditor::~CNCEditor() = default;

void CNCEditor::buildViews()
{
    m_document = new QTextDocument(this);
    m_document->setDocumentLayout(new QPlainTextDocumentLayout(m_document));
    m_document->setDefaultFont(programFont());

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    m_fileLine = new QLabel(QStringLiteral("Datei nicht angegeben?"), central);
    m_fileLine->setObjectName(QStringLiteral("lblDatei"));
    m_fileLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_fileLine);

    m_splitH = new QSplitter(Qt::Vertical, central);
    m_splitH->setObjectName(QStringLiteral("EditSplitterH"));
    m_splitV = new QSplitter(Qt::Horizontal, m_splitH);
    m_splitV->setObjectName(QStringLiteral("EditSplitterV"));
    for (int i = 0; i < 3; ++i) {
        auto *view = new CodeView(i < 2 ? static_cast<QWidget *>(m_splitV) : m_splitH);
        view->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        view->setDocument(m_document);
        view->setFont(programFont());
        view->installEventFilter(this);
        connect(view, &QPlainTextEdit::cursorPositionChanged, this, [this, view] {
            if (view != m_active)
                return;
            const QTextCursor c = view->textCursor();
            m_position->setText(QStringLiteral("Zeile %1, Spalte %2")
                                    .arg(c.blockNumber() + 1)
                                    .arg(c.positionInBlock() + 1));
        });
        m_views[i] = view;
        (i < 2 ? m_splitV : m_splitH)->addWidget(view);
    }
    m_active = m_views[0];
    // The second and third views start closed; dragging a splitter from the
    // window's edge opens them.
    m_splitV->setSizes({1, 0});
    m_splitH->setSizes({1, 0});
    layout->addWidget(m_splitH, 1);
    m_findBar = buildFindBar();
    layout->addWidget(m_findBar);
    setCentralWidget(central);

    m_position = new QLabel(statusBar());
    statusBar()->addPermanentWidget(m_position);
    connect(m_document, &QTextDocument::modificationChanged, this, &QWidget::setWindowModified);
}

QWidget *CNCEditor::buildFindBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("findBar"));
    auto *grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    m_findText = new QLineEdit(bar);
    m_findText->setObjectName(QStringLiteral("findText"));
    m_replaceText = new QLineEdit(bar);
    m_replaceText->setObjectName(QStringLiteral("replaceText"));
    auto *next = new QPushButton(QStringLiteral("Weitersuchen"), bar);
    auto *replace = new QPushButton(QStringLiteral("Ersetzen"), bar);
    auto *all = new QPushButton(QStringLiteral("Alle ersetzen"), bar);
    auto *hide = new QToolButton(bar);
    hide->setText(QStringLiteral("×"));
    hide->setToolTip(QStringLiteral("Suchleiste schließen (Esc)"));
    m_findNote = new QLabel(bar);
    grid->addWidget(new QLabel(QStringLiteral("Suchen:"), bar), 0, 0);
    grid->addWidget(m_findText, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(m_findNote, 0, 3);
    grid->addWidget(hide, 0, 5);
    m_replaceRow = new QWidget(bar);
    auto *row = new QHBoxLayout(m_replaceRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Ersetzen durch:"), m_replaceRow));
    row->addWidget(m_replaceText, 1);
    row->addWidget(replace);
    row->addWidget(all);
    grid->addWidget(m_replaceRow, 1, 0, 1, 6);
    grid->setColumnStretch(1, 1);
    connect(m_findText, &QLineEdit::returnPressed, this, &CNCEditor::findNext);
    connect(next, &QPushButton::clicked, this, &CNCEditor::findNext);
    connect(replace, &QPushButton::clicked, this, &CNCEditor::replaceOne);
    connect(all, &QPushButton::clicked, this, &CNCEditor::replaceAll);
    connect(hide, &QToolButton::clicked, this, [this] {
        m_findBar->hide();
        focusText();
    });
    bar->hide();
    return bar;
}

void CNCEditor::buildCommands()
{
    auto *fileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    auto *editMenu = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    auto *tools = addToolBar(QStringLiteral("Befehle"));
    tools->setObjectName(QStringLiteral("Befehle"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->setMovable(false);
    auto add = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &keys,
                      const std::function<void()> &work) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, work);
        menu->addAction(a);
        addAction(a);
        return a;
    };
    QAction *save = add(fileMenu, "mnuSpeichern", QStringLiteral("Änderung übernehmen"), QKeySequence::Save,
                        [this] { acceptChanges(); });
    QAction *print = add(fileMenu, "mnuDrucken", QStringLiteral("Programmtext ausdrucken"), QKeySequence::Print,
                         [this] { printText(); });
    fileMenu->addSeparator();
    QAction *discard = add(fileMenu, "mnuVerwerfen", QStringLiteral("Änderung verwerfen"), QKeySequence(),
                           [this] { discardChanges(); });
    QAction *undo = add(editMenu, "mnuRueckgaengig", QStringLiteral("Rückgängig"), QKeySequence::Undo,
                        [this] { m_document->undo(); });
    QAction *redo = add(editMenu, "mnuWiederholen", QStringLiteral("Wiederholen"), QKeySequence::Redo,
                        [this] { m_document->redo(); });
    editMenu->addSeparator();
    QAction *copy = add(editMenu, "mnuKopieren", QStringLiteral("Auswahl kopieren"), QKeySequence::Copy,
                        [this] { copySelection(); });
    QAction *pasteAction = add(editMenu, "mnuEinfuegen", QStringLiteral("Einfügen"), QKeySequence::Paste,
                               [this] { paste(); });
    QAction *remove = add(editMenu, "mnuLoeschen", QStringLiteral("Auswahl löschen"), QKeySequence::Delete,
                          [this] { deleteSelection(); });
    editMenu->addSeparator();
    add(editMenu, "mnuSuchen", QStringLiteral("Suchen..."), QKeySequence(Qt::CTRL | Qt::Key_F),
        [this] { showFind(false); });
    add(editMenu, "mnuErsetzen", QStringLiteral("Ersetzen..."), QKeySequence(Qt::CTRL | Qt::Key_H),
        [this] { showFind(true); });
    add(editMenu, "mnuWeitersuchen", QStringLiteral("Weitersuchen"), QKeySequence::FindNext, [this] { findNext(); });
    // The views' own Delete and Ctrl+C/V keep working as a text field's do;
    // the window's shortcuts would otherwise take those keys from them.
    for (QAction *a : {copy, pasteAction, remove, undo, redo})
        a->setShortcutContext(Qt::WidgetShortcut);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_document, &QTextDocument::undoAvailable, undo, &QAction::setEnabled);
    connect(m_document, &QTextDocument::redoAvailable, redo, &QAction::setEnabled);
    for (QAction *a : {save, discard, print})
        tools->addAction(a);
    tools->addSeparator();
    for (QAction *a : {copy, pasteAction, remove})
        tools->addAction(a);
    tools->addSeparator();
    tools->addAction(undo);
    tools->addAction(redo);
}

QString CNCEditor::fileLine() const
{
    return m_fileLine->text();
}

QAction *CNCEditor::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void CNCEditor::load()
{
    RestoreGeometry(*this, m_settings);
    m_fileLine->setText(QStringLiteral("Datei nicht angegeben?"));
    m_readable = false;
    if (m_file.hasPath()) {
        const EditorFile::Opened opened = m_file.open();
        m_fileLine->setText(QStringLiteral("Datei: ") + QDir::toNativeSeparators(m_file.path()));
        if (!opened.error.isEmpty()) {
            // An unreadable file is not an empty program: saving is off, so
            // the file cannot be replaced by nothing.
            m_prompts.message(opened.error, EditorFile::title(), PromptIcon::Exclamation);
        } else {
            m_readable = true;
            const ProgramText::Shown shown = ProgramText::show(opened.bytes);
            if (shown.binary)
                m_prompts.message(QStringLiteral("Diese Datei scheint nicht nur Zeichen zu enthalten (Binärformat).") +
                                      QStringLiteral("\r\rIm Zweifelsfall bitte nicht speichern!"),
                                  QStringLiteral("ACHTUNG!"), PromptIcon::Exclamation);
            m_usualEnd = shown.usual;
            if (shown.text.size() <= kHighlightLimit && !m_highlighter)
                m_highlighter = new ProgramHighlighter(m_document);
            ProgramDocument::fill(*m_document, shown);
        }
    }
    m_document->setModified(false);
    m_document->clearUndoRedoStacks();
    setWindowModified(false);
    action(QStringLiteral("mnuSpeichern"))->setEnabled(m_readable);
    for (CodeView *view : m_views)
        view->setReadOnly(!m_readable && m_file.hasPath());
    m_views[0]->moveCursor(QTextCursor::Start);
}

void CNCEditor::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_splittersApplied) {
        m_splittersApplied = true;
        applySplitters();
    }
}

void CNCEditor::applySplitters()
{
    // A splitter at -1 keeps its default (the extra view closed).
    auto apply = [](QSplitter *splitter, int position) {
        if (position == -1)
            return;
        const int total = qMax(0, (splitter->orientation() == Qt::Vertical ? splitter->height() : splitter->width()) -
                                      splitter->handleWidth());
        const int first = qBound(0, position, total);
        splitter->setSizes({first, total - first});
    };
    apply(m_splitH, ProgramSettings::editSplitterH.read(m_settings));
    apply(m_splitV, ProgramSettings::editSplitterV.read(m_settings));
}

void CNCEditor::storeLayout()
{
    ProgramSettings::editSplitterH.write(m_settings, m_splitH->sizes().value(0));
    ProgramSettings::editSplitterV.write(m_settings, m_splitV->sizes().value(0));
    SaveGeometry(*this, m_settings);
}

bool CNCEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        for (CodeView *view : m_views)
            if (watched == view)
                m_active = view;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        m_findBar->isVisible()) {
        m_findBar->hide();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CNCEditor::focusText()
{
    m_active->setFocus();
}

void CNCEditor::copySelection()
{
    if (!m_active->textCursor().hasSelection()) {
        m_prompts.beep();
    } else {
        m_active->copy();
        if (QApplication::clipboard()->text() != m_active->textCursor().selection().toPlainText())
            m_prompts.beep();
    }
    focusText();
}

void CNCEditor::paste()
{
    m_active->paste();
    focusText();
}

void CNCEditor::deleteSelection()
{
    m_active->textCursor().removeSelectedText();
    focusText();
}

void CNCEditor::printText()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(m_file.path()).fileName());
    if (m_choosePrinter(printer)) {
        // The page carries the program as it stands, without the colours.
        QTextDocument page;
        page.setDocumentLayout(new QPlainTextDocumentLayout(&page));
        page.setDefaultFont(programFont());
        page.setPlainText(m_document->toRawText());
        page.print(&printer);
    }
    focusText();
}

std::optional<QByteArray> CNCEditor::currentBytes(int *badBlock, qsizetype *badColumn) const
{
    ProgramText::Place bad;
    std::optional<QByteArray> bytes =
        ProgramDocument::bytes(*m_document, m_usualEnd, ProgramText::Foreign::Refuse, &bad);
    if (!bytes) {
        if (badBlock)
            *badBlock = bad.line;
        if (badColumn)
            *badColumn = bad.column;
    }
    return bytes;
}

bool CNCEditor::acceptChanges()
{
    if (!m_readable)
        return false;
    int line = 0;
    qsizetype column = 0;
    const std::optional<QByteArray> bytes = currentBytes(&line, &column);
    if (!bytes) {
        // Written as '?' it would silently change the program.
        const QTextBlock block = m_document->findBlockByNumber(line);
        QTextCursor at(block);
        at.setPosition(block.position() + int(column));
        at.setPosition(block.position() + int(column) + 1, QTextCursor::KeepAnchor);
        m_prompts.message(QStringLiteral("Das Zeichen '") + at.selectedText() + QStringLiteral("' in Zeile ") +
                              QString::number(line + 1) +
                              QStringLiteral(" kann in einer Programmdatei nicht gespeichert werden.\r\r"
                                             "Bitte ersetzen Sie es, bevor Sie die Änderung übernehmen."),
                          EditorFile::title(), PromptIcon::Exclamation);
        m_active->setTextCursor(at);
        focusText();
        return false;
    }
    // The answer to "überschrieben?" may come later; saving goes on then.
    const auto closed = std::make_shared<bool>(false);
    const QPointer<CNCEditor> self(this);
    m_file.save(*bytes, m_prompts, [self, closed](EditorFile::SaveOutcome outcome) {
        if (!self)
            return;
        if (outcome != EditorFile::SaveOutcome::Saved) {
            self->focusText();
            return;
        }
        self->m_document->setModified(false);
        self->close();
        *closed = true;
    });
    return *closed;
}

void CNCEditor::discardChanges()
{
    close();
}

void CNCEditor::followRename(const QString &oldPath, const QString &newPath)
{
    if (m_file.followMove(oldPath, newPath))
        m_fileLine->setText(QStringLiteral("Datei: ") + QDir::toNativeSeparators(m_file.path()));
}

void CNCEditor::closeEvent(QCloseEvent *event)
{
    if (m_document->isModified()) {
        const PromptAnswer answer =
            m_prompts.message(QStringLiteral("Der Programmtext wurde geändert.\r\rSollen die Änderungen verworfen werden?"),
                              EditorFile::title(), PromptIcon::Question, PromptButtons::YesNo);
        if (answer != PromptAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    storeLayout();
    event->accept();
}

void CNCEditor::showFind(bool withReplace)
{
    m_findBar->show();
    m_replaceRow->setVisible(withReplace);
    const QString selected = m_active->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_findText->setText(selected);
    m_findText->setFocus();
    m_findText->selectAll();
    m_findNote->clear();
}

bool CNCEditor::findNext()
{
    const QString what = m_findText->text();
    if (what.isEmpty())
        return false;
    QTextCursor found = m_document->find(what, m_active->textCursor());
    if (found.isNull())
        found = m_document->find(what, 0);
    if (found.isNull()) {
        m_findNote->setText(QStringLiteral("Nicht gefunden"));
        m_prompts.beep();
        return false;
    }
    m_findNote->clear();
    m_active->setTextCursor(found);
    return true;
}

bool CNCEditor::replaceOne()
{
    const QString what = m_findText->text();
    QTextCursor c = m_active->textCursor();
    if (!what.isEmpty() && c.hasSelection() && c.selectedText().compare(what, Qt::CaseInsensitive) == 0) {
        c.insertText(m_replaceText->text());
        m_active->setTextCursor(c);
    }
    return findNext();
}

int CNCEditor::replaceAll()
{
    const QString what = m_findText->text();
    if (what.isEmpty())
        return 0;
    int count = 0;
    QTextCursor edit(m_document);
    // One step for undo, however many places.
    edit.beginEditBlock();
    QTextCursor found = m_document->find(what, 0);
    while (!found.isNull()) {
        found.insertText(m_replaceText->text());
        ++count;
        found = m_document->find(what, found);
    }
    edit.endEditBlock();
    m_findNote->setText(QString::number(count) + QStringLiteral(" ersetzt"));
    return count;
}

} // namespace zep
