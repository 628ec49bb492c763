#pragma once

#include <QLabel>

namespace zep {

enum class LampColor { Grey, Green, Yellow, Red };

// One machine connection's lamp in the main window. A click shows its tool
// tip, which says what the connection is doing.
class StatusLamp : public QLabel
{
    Q_OBJECT

public:
    StatusLamp(int index, QWidget *parent);

    void setColor(LampColor color);
    LampColor color() const { return m_color; }
    int index() const { return m_index; }

Q_SIGNALS:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
    LampColor m_color = LampColor::Grey;
};

} // namespace zep
