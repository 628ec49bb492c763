#pragma once

#include "app/Prompts.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace zep {

// A Prompts that never blocks: tests queue the answers and read back what was
// asked. When nothing is queued, a question gets its most cautious answer
// (Cancel where there is one) so a forgotten answer cannot loop or destroy.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };
    // For an open-file dialog `text` holds the folder it starts in, for a
    // save dialog the path it proposes.

    struct Asked {
        Kind kind = Kind::Message;
        QString text;
        QString title;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        QString filter;
    };

    void queueAnswer(PromptAnswer answer) { m_answers.push_back(answer); }
    void queueInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void queuePath(const QString &path) { m_paths.push_back(path); }

    // Held: ask() keeps each question open, as a box nobody answers yet,
    // until the test answers it with answerHeld(). Otherwise ask() answers
    // at once from the queue, as message() does.
    void holdQuestions(bool hold) { m_holding = hold; }
    QList<Question> heldQuestions() const;
    void answerHeld(int index, PromptAnswer answer);
    // A held input box: the text typed, or no value for Cancel. (answerHeld
    // on one confirms its preset with Ok and cancels it otherwise.)
    void answerHeldText(int index, std::optional<QString> text);

    // Runs while a message is "shown", as a modal box would let events run.
    void onMessage(std::function<void(const Asked &)> hook) { m_onMessage = std::move(hook); }

    const QList<Asked> &asked() const { return m_asked; }
    QStringList messageTexts() const;
    QStringList titles() const;
    bool wasAsked(const QString &textPart) const;
    int beeps() const { return m_beeps; }
    void clear();

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
    void beep() override { ++m_beeps; }

private:
    QString nextPath();

    struct Held {
        Question question;
        AnswerHandler answered;
        TextHandler textAnswered; // set for an input box
        QString defaultText;
    };
    Held takeHeld(int index);

    std::deque<PromptAnswer> m_answers;
    std::deque<Held> m_held;
    bool m_holding = false;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<QString> m_paths;
    QList<Asked> m_asked;
    std::function<void(const Asked &)> m_onMessage;
    int m_beeps = 0;
};

} // namespace zep
