#pragma once

#include "app/Prompts.h"

namespace zep {

class Logbook;

// Whether someone is at the PC to answer what the station asks.
enum class Attendance { Attended, Unattended };

// The way the station's questions and notices take to the windows. Each one
// goes into the logbook as a line first, so that what a station told while
// nobody looked can be read afterwards; then on to the windows' prompts, or,
// with nobody at the PC (a service, a headless run), it is answered at once
// with its `unattended` answer. The windows' own dialogs pass unlogged.
class QuestionRelay : public Prompts {
public:
    QuestionRelay(Prompts &windows, Logbook &logbook, Attendance attendance = Attendance::Attended);

    bool unattended() const { return m_attendance == Attendance::Unattended; }

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

    // The logbook's line for a question: "title: text", with the answer
    // given in the user's stead when nobody was there.
    static QString logLine(const QString &title, const QString &text, const QString &answeredInStead = {});
    // The answer as its button reads.
    static QString buttonText(PromptAnswer answer);

private:
    void log(const QString &line);

    Prompts &m_windows;
    Logbook &m_logbook;
    Attendance m_attendance;
};

} // namespace zep
