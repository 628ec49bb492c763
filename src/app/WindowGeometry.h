#pragma once

#include "app/SettingKey.h"

#include <QList>
#include <QSize>
#include <QString>

namespace zep {

class SettingsStore;

// Saved window positions and sizes and record-list column widths, in
// pixels, the one unit used for saving and for restoring.
class WindowGeometry {
public:
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Rect &) const = default;
    };

    // Saved values as read; -1 where nothing was saved.
    struct Saved {
        int width = -1;
        int height = -1;
        int left = -1;
        int top = -1;
    };

    // About 2000 twips: a minimised window is narrower and is not saved.
    static constexpr int kMinimumSavedWidth = 133;

    static bool shouldSave(int width, bool minimised);

    // Width and height only when larger than designed (never beyond the
    // screen, never below designed); a position only when the window then
    // lies wholly on the screen; otherwise centred in that direction.
    static Rect restore(const Saved &saved, QSize designed, QSize screen);

    // Section "SizeOf" + windowName, keys Width, Height, Left, Top.
    // Returns false when nothing was written (minimised or too narrow).
    static bool save(SettingsStore &settings, const QString &windowName, const Rect &geometry, bool minimised);
    static Saved read(const SettingsStore &settings, const QString &windowName);
    static Rect restore(const SettingsStore &settings, const QString &windowName, QSize designed, QSize screen);

    // Section "GridWidth" + container + list, keys "Col" + index.
    static void saveColumns(SettingsStore &settings, const QString &container, const QString &list,
                            const QList<int> &widths);
    // One entry per column; 0 where no width was saved (keep the default).
    static QList<int> restoreColumns(const SettingsStore &settings, const QString &container, const QString &list,
                                     int columnCount);

    // One window's saved place: section "SizeOf" + windowName; -1 when missing.
    struct SizeKeys {
        NumberSetting width;
        NumberSetting height;
        NumberSetting left;
        NumberSetting top;
        explicit SizeKeys(const QString &windowName);
    };
    // One list column's saved width: section "GridWidth" + container + list,
    // key "Col" + index; 0 (keep the default) when missing.
    static NumberSetting columnKey(const QString &container, const QString &list, int column);

    static QString sizeSection(const QString &windowName) { return QStringLiteral("SizeOf") + windowName; }
    static QString columnSection(const QString &container, const QString &list)
    {
        return QStringLiteral("GridWidth") + container + list;
    }
};

} // namespace zep
