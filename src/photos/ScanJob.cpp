#include "photos/ScanJob.h"

namespace zep {

ScanJob::ScanJob(ImageScanner &scanner, QString device, QObject *parent)
    : ThreadJob([&scanner, device = std::move(device)](Control &control) {
          const ImageScanner::Result result = scanner.acquire(device, control.cancelFlag());
          if (result.image.isNull() && !result.cancelled)
              control.fail(result.error);
          return QVariant::fromValue(result);
      },
                parent)
{
}

ImageScanner::Result ScanJob::scan() const
{
    return value().value<ImageScanner::Result>();
}

} // namespace zep
