#pragma once

#include <QString>
#include <optional>

namespace zep {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

// Every message box, question, input box and file or folder dialog of the
// program goes through this interface, so that tests can answer them and no
// core routine ever needs a window to talk to the user.
class Prompts {
public:
    virtual ~Prompts() = default;

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

} // namespace zep
