#include "app/WindowGeometry.h"


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

} // namespace

WindowGeometry::SizeKeys::SizeKeys(const QString &windowName)
    : width(sizeSection(windowName), QStringLiteral("Width"), -1),
      height(sizeSection(windowName), QStringLiteral("Height"), -1),
      left(sizeSection(windowName), QStringLiteral("Left"), -1),
      top(sizeSection(windowName), QStringLiteral("Top"), -1)
{
}

NumberSetting WindowGeometry::columnKey(const QString &container, const QString &list, int column)
{
    return NumberSetting(columnSection(container, list), QStringLiteral("Col") + QString::number(column), 0);
}

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
    const SizeKeys keys(windowName);
    keys.width.write(settings, geometry.width);
    keys.height.write(settings, geometry.height);
    keys.left.write(settings, geometry.x);
    keys.top.write(settings, geometry.y);
    return true;
}

WindowGeometry::Saved WindowGeometry::read(const SettingsStore &settings, const QString &windowName)
{
    const SizeKeys keys(windowName);
    Saved saved;
    saved.width = keys.width.read(settings);
    saved.height = keys.height.read(settings);
    saved.left = keys.left.read(settings);
    saved.top = keys.top.read(settings);
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
    for (int i = 0; i < widths.size(); ++i)
        columnKey(container, list, i).write(settings, widths.at(i));
}

QList<int> WindowGeometry::restoreColumns(const SettingsStore &settings, const QString &container,
                                          const QString &list, int columnCount)
{
    QList<int> widths;
    for (int i = 0; i < columnCount; ++i)
        widths << std::max(0, columnKey(container, list, i).read(settings));
    return widths;
}

} // namespace zep
