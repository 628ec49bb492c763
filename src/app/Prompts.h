#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

// A question or notice as a value. The core hands it over and goes on with
// everything else; the conversation ends when the answer comes back through
// the handler. `unattended` is what a station with nobody at the PC answers
// (the nightly backup, a service, a box nobody is there to see).
struct Question {
    QString text;
    QString title;
    PromptIcon icon = PromptIcon::Information;
    PromptButtons buttons = PromptButtons::Ok;
    PromptAnswer unattended = PromptAnswer::Ok;
};
using AnswerHandler = std::function<void(PromptAnswer)>;
// The typed text, or no value when the box was cancelled.
using TextHandler = std::function<void(std::optional<QString>)>;

// The answer that can neither loop nor destroy: Cancel where there is one,
// No for a plain yes/no.
inline PromptAnswer cautiousAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;
    }
}

// Every message box, question, input box and file or folder dialog of the
// program goes through this interface, so that tests can answer them and no
// core routine ever needs a window to talk to the user.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows the question and returns at once; `answered` runs when the user
    // (or the policy of an unattended station) has answered. Checks,
    // receptions, sends and timers go on meanwhile. What the core asks goes
    // this way.
    virtual void ask(const Question &question, AnswerHandler answered = {}) = 0;
    // An input box asked the same way. Nobody at the PC cancels it.
    virtual void askText(const QString &text, const QString &title, const QString &defaultText,
                         TextHandler answered) = 0;

    // Waits for the answer in a modal box with its own event loop: only for
    // a window's own command that the user started and that cannot go on
    // without the answer.
    virtual PromptAnswer message(const QString &text, const QString &title, PromptIcon icon,
                                 PromptButtons buttons = PromptButtons::Ok) = 0;

    // Returns no value when the user cancels.
    virtual std::optional<QString> input(const QString &text, const QString &title,
                                         const QString &defaultText = {}) = 0;

    // File filters use the "description|patterns|description|patterns" form.
    // An empty result means the dialog was cancelled.
    virtual QString openFile(const QString &title, const QString &filter, const QString &startDir) = 0;
    virtual QString saveFile(const QString &title, const QString &filter, const QString &startDir,
                             const QString &suggestedName = {}) = 0;
    // What a save dialog proposes: the suggested name inside the start
    // folder, whether or not the folder ends with "/".
    static QString proposedPath(const QString &startDir, const QString &suggestedName);
    virtual QString chooseFolder(const QString &title, const QString &startDir = {}) = 0;

    virtual void beep() = 0;
};

// Keeps one box of a kind on the screen. A noisy line or a disk that stays
// full would otherwise pile a new box on every tick while the first one
// waits to be read; the lamp, the status line and the logbook tell the
// rest. What is asked while the box is open is left out, its handler too.
class OneBoxAtATime {
public:
    // Asks unless a box of this kind is open; true when it asked.
    bool ask(Prompts &prompts, const Question &question, AnswerHandler answered = {});
    bool open() const { return *m_open; }

private:
    // Shared with the pending answer, which may come after this owner has
    // gone.
    std::shared_ptr<bool> m_open = std::make_shared<bool>(false);
};

} // namespace zep
