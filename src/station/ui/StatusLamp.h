#pragma once

#include "comm/LampState.h"

#include <QLabel>

namespace zep {

// One machine connection's lamp in the main window. A click shows its tool
// tip, which says what the connection is doing.
class StatusLamp : public QLabel
{
    Q_OBJECT

public:
    StatusLamp(int index, QWidget *parent);

    void setColor(LampColour color);
    // The connection's colour and the tool tip that says why.
    void show(const LampState &state);
    LampColour color() const { return m_color; }
    int index() const { return m_index; }

Q_SIGNALS:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
    LampColour m_color = LampColour::Grey;
};

} // namespace zep
