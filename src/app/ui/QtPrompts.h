#pragma once

#include "app/Prompts.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QMessageBox;

namespace zep {

// The real prompts: Qt's message boxes and dialogs, owned by the window that
// is in front at the moment.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget *owner) { m_owner = owner; }

    void ask(const Question &question, AnswerHandler answered = {}) override;
    void askText(const QString &text, const QString &title, const QString &defaultText,
                 TextHandler answered) override;
    PromptAnswer message(const QString &text, const QString &title, PromptIcon icon,
                         PromptButtons buttons = PromptButtons::Ok) override;
    std::optional<QString> input(const QString &text, const QString &title,
                                 const QString &defaultText = {}) override;
    QString openFile(const QString &title, const QString &filter, const QString &startDir) override;
    QString saveFile(const QString &title, const QString &filter, const QString &startDir,
                     const QString &suggestedName = {}) override;
    QString chooseFolder(const QString &title, const QString &startDir = {}) override;
    void beep() override;

    // "desc|*.a;*.b|desc|*.*" → Qt's "desc (*.a *.b);;desc (*)".
    static QString toQtFilter(const QString &filter);
    // The program's texts break lines with CR; a label wants LF.
    static QString toDisplayText(const QString &text);
    // The box message() shows, not shown yet.
    static std::unique_ptr<QMessageBox> messageBox(const QString &text, const QString &title, PromptIcon icon,
                                                   PromptButtons buttons, QWidget *owner);

private:
    QWidget *owner() const;

    QPointer<QWidget> m_owner;
};

} // namespace zep
