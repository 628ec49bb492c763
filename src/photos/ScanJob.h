#pragma once

#include "app/ThreadJob.h"
#include "photos/ImageScanner.h"

namespace zep {

// One picture taken from a scanner or camera off the main thread (a scan
// takes seconds to minutes). A cancel is passed to the device.
class ScanJob : public ThreadJob
{
    Q_OBJECT

public:
    // `device` "" = the first there is. The scanner must outlive the job's work.
    ScanJob(ImageScanner &scanner, QString device, QObject *parent = nullptr);

    // What the device handed over, once finished.
    ImageScanner::Result scan() const;
};

} // namespace zep
