#include "app/ErrorReport.h"

#include <memory>

namespace zep {

namespace {
const QString kCrCr = QStringLiteral("\r\r");
}

QString retryReportText(const QString &place, const ErrorInfo &error, const QString &lastStatement)
{
    QString text = error.description + kCrCr + place;
    if (!lastStatement.isEmpty())
        text += kCrCr + QStringLiteral("Letzter SQL-Befehl: ") + lastStatement;
    if (error.numberShown)
        text += kCrCr + QStringLiteral("Fehlernummer: ") + QString::number(error.number);
    return text;
}

Question retryQuestion(const QString &place, const ErrorInfo &error, const QString &lastStatement)
{
    return Question{retryReportText(place, error, lastStatement), QStringLiteral("Error"), PromptIcon::Exclamation,
                    PromptButtons::RetryCancel, PromptAnswer::Cancel};
}

bool reportErrorRetry(Prompts &prompts, const QString &place, const ErrorInfo &error, const QString &lastStatement)
{
    return prompts.message(retryReportText(place, error, lastStatement), QStringLiteral("Error"),
                           PromptIcon::Exclamation, PromptButtons::RetryCancel)
           == PromptAnswer::Retry;
}

void reportErrorSimple(Prompts &prompts, const QString &place, const QString &description)
{
    prompts.ask({description + place, QStringLiteral("Fehler!"), PromptIcon::Exclamation, PromptButtons::Ok});
}

namespace {

// One retry conversation: kept alive by the question it has open.
struct RetryRun : std::enable_shared_from_this<RetryRun> {
    RetryRun(Prompts &p, QString where, RetryStep s, RetryDone d, std::function<QString()> st)
        : prompts(p), place(std::move(where)), step(std::move(s)), done(std::move(d)), statement(std::move(st))
    {
    }

    void attempt()
    {
        const std::optional<ErrorInfo> error = step();
        if (!error) {
            finish(true);
            return;
        }
        prompts.ask(retryQuestion(place, *error, statement ? statement() : QString()),
                    [self = shared_from_this()](PromptAnswer answer) {
                        if (answer == PromptAnswer::Retry)
                            self->attempt();
                        else
                            self->finish(false);
                    });
    }

    void finish(bool succeeded)
    {
        if (done)
            done(succeeded);
    }

    Prompts &prompts;
    QString place;
    RetryStep step;
    RetryDone done;
    std::function<QString()> statement;
};

} // namespace

void retryUntilDone(Prompts &prompts, const QString &place, RetryStep step, RetryDone done,
                    std::function<QString()> statement)
{
    std::make_shared<RetryRun>(prompts, place, std::move(step), std::move(done), std::move(statement))->attempt();
}

bool runWithRetry(Prompts &prompts, const QString &place, const std::function<std::optional<ErrorInfo>()> &step,
                  const std::function<QString()> &statement)
{
    for (;;) {
        const std::optional<ErrorInfo> error = step();
        if (!error)
            return true;
        if (!reportErrorRetry(prompts, place, *error, statement ? statement() : QString()))
            return false;
    }
}

} // namespace zep
