#pragma once

#include <QString>
#include <functional>

namespace zep {

// Where the connection code writes its diagnostic lines: the main window's
// trace window while its flag is on. Nothing is formatted unless enabled.
class TraceSink {
public:
    std::function<bool()> isOn;
    // One line, put on a line of its own.
    std::function<void(const QString &)> appendLine;
    // Text appended as it is (received data, shown raw).
    std::function<void(const QString &)> appendRaw;

    bool enabled() const { return isOn && isOn() && appendLine; }
    void line(const QString &text) const
    {
        if (enabled())
            appendLine(text);
    }
    void raw(const QString &text) const
    {
        if (!enabled())
            return;
        if (appendRaw)
            appendRaw(text);
        else
            appendLine(text);
    }
};

} // namespace zep
