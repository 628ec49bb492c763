#pragma once

#include <QString>
#include <optional>

namespace zep {

class SettingsStore;

// The send dialog's "Senden um ... Sekunden verzögern": what it shows when
// it opens and what "Senden" stores and hands to the send job.
class SendDelay {
public:
    struct Choice {
        bool delayed = false;
        QString field; // the seconds as the field shows them
    };

    // The stored choice, as the dialog opens with it.
    static Choice stored(const SettingsStore &settings);
    // The seconds a field text asks for. A text that is no number counts as
    // 0 (fractions are allowed): the program then goes out at once rather
    // than after an unknown wait.
    static double seconds(const QString &field);
    // "Senden": stores the switch, and with it ticked the seconds as read;
    // returns the countdown for the send order, none when not ticked.
    static std::optional<double> take(SettingsStore &settings, const Choice &choice);
};

} // namespace zep
