#pragma once

#include "editor/EditorFile.h"
#include "comm/ProgramText.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class QSplitter;
class QTextBlock;
class QTextDocument;
class QWidget;

namespace zep {

class CodeView;
class ProgramHighlighter;
class Prompts;
class SettingsStore;

// The "CNC-Editor": one program file as text, saved back byte for byte.
// Three views of the one text (left and right of the vertical splitter,
// below the horizontal one) let the user look at two places while editing a
// third. What the text holds is what is written: line numbers, colours and
// the find bar are display only.
class CNCEditor : public QMainWindow
{
    Q_OBJECT

public:
    // Texts above this size are not coloured: colouring runs over the whole
    // text at once and would hold the window.
    static constexpr qsizetype kHighlightLimit = 2 * 1024 * 1024;

    CNCEditor(SettingsStore &settings, Prompts &prompts, const QString &path, QWidget *parent = nullptr);
    ~CNCEditor() override;

    // Reads the file and fills the views (the opener calls it before show).
    void load();

    // The print dialog; tests hand in one that sets up a PDF file.
    void setPrinterChooser(std::function<bool(QPrinter &)> chooser) { m_choosePrinter = std::move(chooser); }

    // The commands.
    void copySelection();
    void paste();
    void deleteSelection();
    void printText();
    // "Änderung übernehmen": saves and closes; stays open when not saved.
    // True when saved and closed by the time it returns; a question about a
    // file changed meanwhile is answered later, and the save goes on then.
    bool acceptChanges();
    // "Änderung verwerfen".
    void discardChanges();
    // A program file was renamed: when it is this editor's, the editor goes
    // with it (file line, later saves).
    void followRename(const QString &oldPath, const QString &newPath);
    void showFind(bool withReplace);
    bool findNext();
    bool replaceOne();
    int replaceAll();

    // The text as it would be saved; no value when a character cannot be
    // written (its place in *badBlock and *badColumn).
    std::optional<QByteArray> currentBytes(int *badBlock = nullptr, qsizetype *badColumn = nullptr) const;

    QString fileLine() const;
    QTextDocument *document() const { return m_document; }
    CodeView *view(int i) const { return m_views[i]; }
    CodeView *activeView() const { return m_active; }
    QSplitter *splitterH() const { return m_splitH; }
    QSplitter *splitterV() const { return m_splitV; }
    bool highlighted() const { return m_highlighter != nullptr; }
    QLineEdit *findField() const { return m_findText; }
    QLineEdit *replaceField() const { return m_replaceText; }
    QAction *action(const QString &objectName) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildViews();
    void buildCommands();
    QWidget *buildFindBar();
    void applySplitters();
    void storeLayout();
    void focusText();

    SettingsStore &m_settings;
    Prompts &m_prompts;
    EditorFile m_file;
    bool m_readable = false;
    bool m_splittersApplied = false;
    // New lines get it; lines of the file that ended otherwise keep theirs
    // (ProgramDocument).
    ProgramText::LineEnd m_usualEnd = ProgramText::LineEnd::CrLf;
    QTextDocument *m_document = nullptr;
    ProgramHighlighter *m_highlighter = nullptr;
    CodeView *m_views[3] = {};
    CodeView *m_active = nullptr;
    QSplitter *m_splitH = nullptr;
    QSplitter *m_splitV = nullptr;
    QLabel *m_fileLine = nullptr;
    QLabel *m_position = nullptr;
    QWidget *m_findBar = nullptr;
    QWidget *m_replaceRow = nullptr;
    QLineEdit *m_findText = nullptr;
    QLineEdit *m_replaceText = nullptr;
    QLabel *m_findNote = nullptr;
    std::function<bool(QPrinter &)> m_choosePrinter;
};

} // namespace zep
