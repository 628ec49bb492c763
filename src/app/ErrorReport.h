#pragma once

#include "app/ErrorInfo.h"
#include "app/Prompts.h"

#include <QString>
#include <functional>
#include <optional>

namespace zep {

// The two fixed shapes in which handlers tell the user about an unexpected
// error. `place` is the caller's fixed text, word for word: "Aufgetreten in
// Form1.CheckOldDB" for the retry form, " in Form1_FindNewFile" for the
// simple form.

// Retry form: returns true when the user chose Retry.
bool reportErrorRetry(Prompts &prompts, const QString &place, const ErrorInfo &error,
                      const QString &lastStatement = {});

// Builds the retry form's text (exposed for the callers' own tests).
QString retryReportText(const QString &place, const ErrorInfo &error, const QString &lastStatement = {});

void reportErrorSimple(Prompts &prompts, const QString &place, const QString &description);

// Runs `step` until it succeeds or the user cancels the retry report.
// `step` returns the error it met, or nothing on success. Returns true on
// success, false when the user cancelled. `statement`, when given, is shown
// as the last SQL statement.
bool runWithRetry(Prompts &prompts, const QString &place,
                  const std::function<std::optional<ErrorInfo>()> &step,
                  const std::function<QString()> &statement = {});

// The retry form as a question; nobody at the PC cancels it, as a retry
// nobody watches could go on for ever.
Question retryQuestion(const QString &place, const ErrorInfo &error, const QString &lastStatement = {});

} // namespace zep
