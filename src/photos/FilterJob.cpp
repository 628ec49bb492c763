#include "photos/FilterJob.h"

#include "photos/BlockFilters.h"

namespace zep {

namespace {

QVariant runFilter(const QImage &surface, FilterJob::Filter filter, int distance, ThreadJob::Control &control)
{
    QImage view = surface.copy();
    const FilterProgress progress{
        [&control](int value, int maximum) { control.setPercent(int(qint64(value) * 100 / qMax(1, maximum))); },
        &control.cancelFlag()};
    const bool done = filter == FilterJob::Filter::DeBlock ? BlockFilters::DeBlock(view, progress)
                                                           : BlockFilters::DeBlockPlus(view, distance, progress);
    return done ? QVariant(view) : QVariant();
}

} // namespace

FilterJob::FilterJob(QImage surface, Filter filter, int distance, QObject *parent)
    : ThreadJob([surface = std::move(surface), filter, distance](Control &control) {
          return runFilter(surface, filter, distance, control);
      },
                parent)
{
}

QImage FilterJob::image() const
{
    return result() == Result::Succeeded ? value().value<QImage>() : QImage();
}

} // namespace zep
