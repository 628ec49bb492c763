#include "app/ScriptedPrompts.h"

namespace zep {

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList texts;
    for (const Asked &a : m_asked)
        if (a.kind == Kind::Message)
            texts << a.text;
    return texts;
}

QStringList ScriptedPrompts::titles() const
{
    QStringList result;
    for (const Asked &a : m_asked)
        result << a.title;
    return result;
}

bool ScriptedPrompts::wasAsked(const QString &textPart) const
{
    for (const Asked &a : m_asked)
        if (a.text.contains(textPart))
            return true;
    return false;
}

void ScriptedPrompts::clear()
{
    m_answers.clear();
    m_inputs.clear();
    m_paths.clear();
    m_asked.clear();
    m_beeps = 0;
}

void ScriptedPrompts::ask(const Question &question, AnswerHandler answered)
{
    if (!m_holding) {
        const PromptAnswer answer = message(question.text, question.title, question.icon, question.buttons);
        if (answered)
            answered(answer);
        return;
    }
    Asked asked{Kind::Message, question.text, question.title, question.icon, question.buttons, {}};
    m_asked << asked;
    m_held.push_back(Held{question, std::move(answered)});
}

void ScriptedPrompts::askText(const QString &text, const QString &title, const QString &defaultText,
                              TextHandler answered)
{
    if (!m_holding) {
        std::optional<QString> answer = input(text, title, defaultText);
        if (answered)
            answered(std::move(answer));
        return;
    }
    m_asked << Asked{Kind::Input, text, title, PromptIcon::None, PromptButtons::OkCancel, {}};
    Question question{text, title, PromptIcon::None, PromptButtons::OkCancel, PromptAnswer::Cancel};
    m_held.push_back(Held{question, {}, std::move(answered), defaultText});
}

ScriptedPrompts::Held ScriptedPrompts::takeHeld(int index)
{
    Held held = std::move(m_held.at(index));
    m_held.erase(m_held.begin() + index);
    return held;
}

void ScriptedPrompts::answerHeld(int index, PromptAnswer answer)
{
    Held held = takeHeld(index);
    if (held.textAnswered)
        held.textAnswered(answer == PromptAnswer::Ok ? std::optional<QString>(held.defaultText) : std::nullopt);
    else if (held.answered)
        held.answered(answer);
}

void ScriptedPrompts::answerHeldText(int index, std::optional<QString> text)
{
    Held held = takeHeld(index);
    if (held.textAnswered)
        held.textAnswered(std::move(text));
    else if (held.answered)
        held.answered(text ? PromptAnswer::Ok : PromptAnswer::Cancel);
}

QList<Question> ScriptedPrompts::heldQuestions() const
{
    QList<Question> result;
    for (const Held &held : m_held)
        result << held.question;
    return result;
}

PromptAnswer ScriptedPrompts::message(const QString &text, const QString &title, PromptIcon icon,
                                      PromptButtons buttons)
{
    Asked asked{Kind::Message, text, title, icon, buttons, {}};
    m_asked << asked;
    if (m_onMessage)
        m_onMessage(asked);
    if (m_answers.empty())
        return cautiousAnswer(buttons);
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::input(const QString &text, const QString &title, const QString &)
{
    m_asked << Asked{Kind::Input, text, title, PromptIcon::None, PromptButtons::OkCancel, {}};
    if (m_inputs.empty())
        return std::nullopt;
    auto answer = m_inputs.front();
    m_inputs.pop_front();
    return answer;
}

QString ScriptedPrompts::nextPath()
{
    if (m_paths.empty())
        return {};
    const QString path = m_paths.front();
    m_paths.pop_front();
    return path;
}

QString ScriptedPrompts::openFile(const QString &title, const QString &filter, const QString &startDir)
{
    m_asked << Asked{Kind::OpenFile, startDir, title, PromptIcon::None, PromptButtons::OkCancel, filter};
    return nextPath();
}

QString ScriptedPrompts::saveFile(const QString &title, const QString &filter, const QString &startDir,
                                  const QString &suggestedName)
{
    m_asked << Asked{Kind::SaveFile, proposedPath(startDir, suggestedName), title, PromptIcon::None,
                     PromptButtons::OkCancel, filter};
    return nextPath();
}

QString ScriptedPrompts::chooseFolder(const QString &title, const QString &)
{
    m_asked << Asked{Kind::Folder, {}, title, PromptIcon::None, PromptButtons::OkCancel, {}};
    return nextPath();
}

} // namespace zep
