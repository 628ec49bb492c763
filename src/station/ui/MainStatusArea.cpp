#include "station/ui/MainStatusArea.h"

#include "app/StatusLine.h"
#include "station/ui/StatusLamp.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace zep {

MainStatusArea::MainStatusArea(QStatusBar &bar) : QObject(&bar)
{
    m_status = new QLabel(StatusLine::idleText(), &bar);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    bar.addWidget(m_status, 1);
    m_progress = new QProgressBar(&bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    bar.addPermanentWidget(m_progress);
    m_progress->setVisible(false); // shown while a transfer runs
    for (int i = 0; i < 5; ++i) {
        auto *lamp = new StatusLamp(i, &bar);
        connect(lamp, &StatusLamp::clicked, this, &MainStatusArea::lampClicked);
        bar.addPermanentWidget(lamp);
        m_lamps[i] = lamp;
    }
    m_clock = new QLabel(QStringLiteral("HH:MM"), &bar);
    m_clock->setObjectName(QStringLiteral("lblUhr"));
    m_clock->setMinimumWidth(48);
    m_clock->setAlignment(Qt::AlignCenter);
    bar.addPermanentWidget(m_clock);
}

void MainStatusArea::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString MainStatusArea::statusText() const
{
    return m_status->text();
}

void MainStatusArea::setClock(const QString &hhmm)
{
    m_clock->setText(hhmm);
}

void MainStatusArea::showProgress(int percent)
{
    m_progress->setVisible(percent >= 0);
    if (percent >= 0) {
        m_progress->setRange(0, 100);
        m_progress->setValue(percent);
    }
}

void MainStatusArea::showLamp(int connection, const LampState &lamp)
{
    if (connection >= 0 && connection < int(m_lamps.size()))
        m_lamps[connection]->show(lamp);
}

} // namespace zep
