#include "app/widgets/WindowPlacement.h"

#include "app/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QAbstractItemModel>
#include <QTableView>
#include <QWidget>

namespace zep {

namespace {

QSize screenSize(const QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1280, 800);
}

} // namespace

void SaveGeometry(const QWidget &window, SettingsStore &settings)
{
    // Position of the frame, size of the contents: the pair that restoring
    // with move() and resize() gives back unchanged.
    const QRect inner = window.geometry();
    const QPoint outer = window.pos();
    WindowGeometry::save(settings, window.objectName(), {outer.x(), outer.y(), inner.width(), inner.height()},
                         window.isMinimized());
}

void RestoreGeometry(QWidget &window, const SettingsStore &settings)
{
    const WindowGeometry::Rect r =
        WindowGeometry::restore(settings, window.objectName(), window.size(), screenSize(window));
    window.resize(r.width, r.height);
    window.move(r.x, r.y);
}

void SaveColumns(const QTableView &list, const QString &container, SettingsStore &settings)
{
    QList<int> widths;
    const int columns = list.model() ? list.model()->columnCount() : 0;
    for (int i = 0; i < columns; ++i)
        widths << (list.isColumnHidden(i) ? 0 : list.columnWidth(i));
    WindowGeometry::saveColumns(settings, container, list.objectName(), widths);
}

void RestoreColumns(QTableView &list, const QString &container, const SettingsStore &settings)
{
    const QList<int> widths =
        WindowGeometry::restoreColumns(settings, container, list.objectName(),
                                       list.model() ? list.model()->columnCount() : 0);
    for (int i = 0; i < widths.size(); ++i)
        if (widths[i] > 0) {
            list.setColumnHidden(i, false);
            list.setColumnWidth(i, widths[i]);
        }
}

} // namespace zep
