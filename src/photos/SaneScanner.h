#pragma once

#include "photos/ImageScanner.h"

namespace zep {

// Scanners and cameras through SANE. The library is used by one caller at a
// time; each call opens it and closes it again, so a device plugged in
// later is found.
class SaneScanner : public ImageScanner {
public:
    QList<Source> sources() override;
    Result acquire(const QString &device, const std::atomic<bool> &cancel) override;
};

} // namespace zep
