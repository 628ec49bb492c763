#pragma once

#include <QWidget>

class QLabel;

namespace zep {

class SplashScreen : public QWidget
{
    Q_OBJECT

public:
    SplashScreen();

    void setStatusText(const QString &text);
    void setVersionText(const QString &text);
    QString statusText() const;
    QString versionText() const;

private:
    void paintNow();

    QLabel *m_status;
    QLabel *m_version;
};

} // namespace zep
