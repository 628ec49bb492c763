#include "app/ErrorReport.h"

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
    prompts.message(description + place, QStringLiteral("Fehler!"), PromptIcon::Exclamation, PromptButtons::Ok);
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
