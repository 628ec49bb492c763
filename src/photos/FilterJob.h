#pragma once

#include "app/ThreadJob.h"

#include <QImage>

namespace zep {

// One of the large photo view's block filters run off the main thread on a
// copy of what the view shows; the percent follows the filter's columns and
// rows. A cancel stops the filter between two of them.
class FilterJob : public ThreadJob
{
    Q_OBJECT

public:
    enum class Filter { DeBlock, DeBlockPlus };

    // `distance` is DeBlock+'s contour distance.
    FilterJob(QImage surface, Filter filter, int distance, QObject *parent = nullptr);

    // The filtered picture once the job has succeeded; null otherwise.
    QImage image() const;
};

} // namespace zep
