#include "station/QuestionRelay.h"

#include "app/Logbook.h"

namespace zep {

QuestionRelay::QuestionRelay(Prompts &windows, Logbook &logbook, Attendance attendance)
    : m_windows(windows), m_logbook(logbook), m_attendance(attendance)
{
}

QString QuestionRelay::buttonText(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::Ok: return QStringLiteral("OK");
    case PromptAnswer::Cancel: return QStringLiteral("Abbrechen");
    case PromptAnswer::Yes: return QStringLiteral("Ja");
    case PromptAnswer::No: return QStringLiteral("Nein");
    case PromptAnswer::Retry: return QStringLiteral("Wiederholen");
    }
    return {};
}

QString QuestionRelay::logLine(const QString &title, const QString &text, const QString &answeredInStead)
{
    QString line = (title.isEmpty() ? QStringLiteral("ZEP") : title) + QStringLiteral(": ") + text;
    if (!answeredInStead.isEmpty())
        line += QStringLiteral(" - ohne Bediener beantwortet: ") + answeredInStead;
    return line;
}

void QuestionRelay::log(const QString &line)
{
    // A logbook that cannot be written is no reason to hold the question
    // back; telling of it would be one more question.
    m_logbook.LogbuchSchreiben(line);
}

void QuestionRelay::ask(const Question &question, AnswerHandler answered)
{
    if (unattended()) {
        // A plain notice needs no answer in the line; a real choice does.
        log(logLine(question.title, question.text,
                    question.buttons == PromptButtons::Ok ? QString() : buttonText(question.unattended)));
        if (answered)
            answered(question.unattended);
        return;
    }
    log(logLine(question.title, question.text));
    m_windows.ask(question, std::move(answered));
}

void QuestionRelay::askText(const QString &text, const QString &title, const QString &defaultText,
                            TextHandler answered)
{
    if (unattended()) {
        log(logLine(title, text, buttonText(PromptAnswer::Cancel)));
        if (answered)
            answered(std::nullopt);
        return;
    }
    log(logLine(title, text));
    m_windows.askText(text, title, defaultText, std::move(answered));
}

PromptAnswer QuestionRelay::message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    if (unattended()) {
        // Nothing may wait here; the answer that can neither loop nor destroy.
        const PromptAnswer answer = cautiousAnswer(buttons);
        log(logLine(title, text, buttons == PromptButtons::Ok ? QString() : buttonText(answer)));
        return answer;
    }
    return m_windows.message(text, title, icon, buttons);
}

std::optional<QString> QuestionRelay::input(const QString &text, const QString &title, const QString &defaultText)
{
    if (unattended()) {
        log(logLine(title, text, buttonText(PromptAnswer::Cancel)));
        return std::nullopt;
    }
    return m_windows.input(text, title, defaultText);
}

QString QuestionRelay::openFile(const QString &title, const QString &filter, const QString &startDir)
{
    return unattended() ? QString() : m_windows.openFile(title, filter, startDir);
}

QString QuestionRelay::saveFile(const QString &title, const QString &filter, const QString &startDir,
                                const QString &suggestedName)
{
    return unattended() ? QString() : m_windows.saveFile(title, filter, startDir, suggestedName);
}

QString QuestionRelay::chooseFolder(const QString &title, const QString &startDir)
{
    return unattended() ? QString() : m_windows.chooseFolder(title, startDir);
}

void QuestionRelay::beep()
{
    if (!unattended())
        m_windows.beep();
}

} // namespace zep
