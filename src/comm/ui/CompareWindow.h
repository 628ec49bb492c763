#pragma once

#include "comm/ProgramText.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zep {

class SettingsStore;

// A received program beside the file it is to replace: the file on the
// left, read-only, the received text on the right, for the user to edit
// before it is saved. Modal.
class CompareWindow : public QDialog
{
    Q_OBJECT

public:
    CompareWindow(const QString &fileName, const QByteArray &existing, const QByteArray &received,
                  SettingsStore &settings, QWidget *parent = nullptr);

    // Shows the file's text beside the received one, modally. Returns the
    // received text as the user took it over, or nothing when the user
    // cancelled.
    static QByteArray compare(const QString &fileName, const QByteArray &existing, const QByteArray &received,
                              SettingsStore &settings, QWidget *parent = nullptr);

    // The received text as it stands in the editor, as bytes again. Text the
    // user did not change comes back byte for byte.
    QByteArray editedText() const;

    QLabel *heading() const { return m_heading; }
    QPlainTextEdit *existingView() const { return m_existing; }
    QPlainTextEdit *receivedView() const { return m_received; }
    QPushButton *takeOverButton() const { return m_takeOver; }
    QPushButton *cancelButton() const { return m_cancel; }

    void done(int result) override;

private:
    SettingsStore &m_settings;
    QByteArray m_original;
    QString m_shownOriginal;
    ProgramText::LineEnd m_lineEnd;
    QLabel *m_heading;
    QPlainTextEdit *m_existing;
    QPlainTextEdit *m_received;
    QPushButton *m_takeOver;
    QPushButton *m_cancel;
};

} // namespace zep
