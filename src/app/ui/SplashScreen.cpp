#include "app/ui/SplashScreen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace zep {

SplashScreen::SplashScreen()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_status(new QLabel(this)), m_version(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(420, 220);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(28, 62, 110));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto *title = new QLabel(QStringLiteral("ZEP"), this);
    QFont big = title->font();
    big.setPointSize(36);
    big.setBold(true);
    title->setFont(big);
    auto *subtitle = new QLabel(QStringLiteral("CNC-Programmverwaltung und DNC-Station"), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_status->setObjectName(QStringLiteral("lblStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addStretch();
    layout->addWidget(m_version);
    layout->addWidget(m_status);

    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashScreen::paintNow()
{
    // Painted at once, without turning the event loop: the start-up goes on
    // in answers and timers, which must not run inside a step of it.
    repaint();
}

void SplashScreen::setStatusText(const QString &text)
{
    m_status->setText(text);
    paintNow();
}

void SplashScreen::setVersionText(const QString &text)
{
    m_version->setText(text);
    paintNow();
}

QString SplashScreen::statusText() const
{
    return m_status->text();
}

QString SplashScreen::versionText() const
{
    return m_version->text();
}

} // namespace zep
