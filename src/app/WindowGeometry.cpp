#include "app/WindowGeometry.h"

#include "app/SettingsStore.h"

#include <algorithm>

namespace zep {

namespace {

// One direction of the restore: the saved extent when larger than designed
// (but no larger than the screen), the saved position when the window then
// fits, else centred. A negative position other than "not saved" would put
// the title bar out of reach, so it is treated as not fitting.
void restoreAxis(int savedExtent, int savedPos, int designed, int screen, int &extent, int &pos)
{
    extent = designed;
    if (savedExtent > designed)
        extent = std::max(designed, std::min(savedExtent, screen));
    if (savedPos >= 0 && savedPos + extent <= screen)
        pos = savedPos;
    else
        pos = std::max(0, (screen - extent) / 2);
}

const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");

} // namespace

bool WindowGeometry::shouldSave(int width, bool minimised)
{
    return !minimised && width > kMinimumSavedWidth;
}

WindowGeometry::Rect WindowGeometry::restore(const Saved &saved, QSize designed, QSize screen)
{
    Rect rect;
    restoreAxis(saved.width, saved.left, designed.width(), screen.width(), rect.width, rect.x);
    restoreAxis(saved.height, saved.top, designed.height(), screen.height(), rect.height, rect.y);
    return rect;
}

bool WindowGeometry::save(SettingsStore &settings, const QString &windowName, const Rect &geometry, bool minimised)
{
    if (!shouldSave(geometry.width, minimised))
        return false;
    const QString section = sizeSection(windowName);
    settings.write(section, kWidth, QString::number(geometry.width));
    settings.write(section, kHeight, QString::number(geometry.height));
    settings.write(section, kLeft, QString::number(geometry.x));
    settings.write(section, kTop, QString::number(geometry.y));
    return true;
}

WindowGeometry::Saved WindowGeometry::read(const SettingsStore &settings, const QString &windowName)
{
    const QString section = sizeSection(windowName);
    Saved saved;
    saved.width = settings.readInt(section, kWidth, -1);
    saved.height = settings.readInt(section, kHeight, -1);
    saved.left = settings.readInt(section, kLeft, -1);
    saved.top = settings.readInt(section, kTop, -1);
    return saved;
}

WindowGeometry::Rect WindowGeometry::restore(const SettingsStore &settings, const QString &windowName,
                                             QSize designed, QSize screen)
{
    return restore(read(settings, windowName), designed, screen);
}

void WindowGeometry::saveColumns(SettingsStore &settings, const QString &container, const QString &list,
                                 const QList<int> &widths)
{
    const QString section = columnSection(container, list);
    for (int i = 0; i < widths.size(); ++i)
        settings.write(section, QStringLiteral("Col") + QString::number(i), QString::number(widths.at(i)));
}

QList<int> WindowGeometry::restoreColumns(const SettingsStore &settings, const QString &container,
                                          const QString &list, int columnCount)
{
    const QString section = columnSection(container, list);
    QList<int> widths;
    for (int i = 0; i < columnCount; ++i)
        widths << std::max(0, settings.readInt(section, QStringLiteral("Col") + QString::number(i), 0));
    return widths;
}

} // namespace zep
