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

// Retry form, waiting for the answer in a box with its own loop: only for a
// window's own command. Returns true when the user chose Retry.
bool reportErrorRetry(Prompts &prompts, const QString &place, const ErrorInfo &error,
                      const QString &lastStatement = {});

// Builds the retry form's text (exposed for the callers' own tests).
QString retryReportText(const QString &place, const ErrorInfo &error, const QString &lastStatement = {});

// Simple form: a notice; the caller goes on at once.
void reportErrorSimple(Prompts &prompts, const QString &place, const QString &description);

// Runs `step` until it succeeds or the user cancels the retry report, waiting
// for each answer in a box with its own loop: only for a window's own command.
// `step` returns the error it met, or nothing on success. Returns true on
// success, false when the user cancelled. `statement`, when given, is shown
// as the last SQL statement.
bool runWithRetry(Prompts &prompts, const QString &place,
                  const std::function<std::optional<ErrorInfo>()> &step,
                  const std::function<QString()> &statement = {});

// The retry form as a question; nobody at the PC cancels it, as a retry
// nobody watches could go on for ever.
Question retryQuestion(const QString &place, const ErrorInfo &error, const QString &lastStatement = {});

// Runs `step`; when it fails, asks the retry form without waiting and runs
// `step` again on Retry. `done` gets true once the step has succeeded (at
// once when it does the first time), false when the form was cancelled.
// Whatever the step needs must outlive the question.
using RetryStep = std::function<std::optional<ErrorInfo>()>;
using RetryDone = std::function<void(bool succeeded)>;
void retryUntilDone(Prompts &prompts, const QString &place, RetryStep step, RetryDone done = {},
                    std::function<QString()> statement = {});

} // namespace zep
