#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <atomic>

namespace zep {

// A scanner or camera that delivers one picture on request.
class ImageScanner {
public:
    struct Source {
        QString name;        // what the choice stores
        QString description; // what the user reads
    };
    struct Result {
        QImage image;       // null when no picture came
        QString error;      // why, for the logbook and tests
        bool cancelled = false;
    };

    virtual ~ImageScanner() = default;

    // The devices there are now. May take seconds (network devices are asked).
    virtual QList<Source> sources() = 0;
    // Takes one picture from `device` ("" = the first there is). Blocks: it
    // runs off the main thread and reads `cancel` between its steps.
    virtual Result acquire(const QString &device, const std::atomic<bool> &cancel) = 0;
};

} // namespace zep
