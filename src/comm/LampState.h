#pragma once

#include <QMetaType>
#include <QString>

namespace zep {

enum class LampColour { Grey, Green, Yellow, Red };

// What a connection's status lamp shows; the main window maps it onto its
// lamp widget.
struct LampState {
    LampColour colour = LampColour::Grey;
    QString toolTip;
};

} // namespace zep

// Carried by queued signals as well.
Q_DECLARE_METATYPE(zep::LampState)
