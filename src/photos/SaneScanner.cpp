#include "photos/SaneScanner.h"

#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <cstring>
#include <sane/sane.h>
#include <sane/saneopts.h>

namespace zep {

namespace {

QMutex &saneLock()
{
    static QMutex lock;
    return lock;
}

QString statusText(SANE_Status status)
{
    return QString::fromUtf8(sane_strstatus(status));
}

// SANE for the length of one call.
class SaneSession {
public:
    SaneSession() : m_locker(&saneLock()) { m_status = sane_init(nullptr, nullptr); }
    ~SaneSession()
    {
        if (m_status == SANE_STATUS_GOOD)
            sane_exit();
    }
    bool ok() const { return m_status == SANE_STATUS_GOOD; }
    SANE_Status status() const { return m_status; }

private:
    QMutexLocker<QMutex> m_locker;
    SANE_Status m_status;
};

class SaneHandle {
public:
    explicit SaneHandle(SANE_Handle handle) : m_handle(handle) {}
    ~SaneHandle()
    {
        if (m_handle) {
            sane_cancel(m_handle);
            sane_close(m_handle);
        }
    }
    SANE_Handle get() const { return m_handle; }

private:
    SANE_Handle m_handle;
};

// Photos are wanted in colour; a device that offers a colour mode is set to
// it, any other keeps its own mode.
void preferColour(SANE_Handle handle)
{
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(handle, i);
        if (!d || !d->name || std::strcmp(d->name, SANE_NAME_SCAN_MODE) != 0 || d->type != SANE_TYPE_STRING
            || d->constraint_type != SANE_CONSTRAINT_STRING_LIST || !SANE_OPTION_IS_SETTABLE(d->cap))
            continue;
        for (const SANE_String_Const *mode = d->constraint.string_list; *mode; ++mode) {
            if (std::strcmp(*mode, SANE_VALUE_SCAN_MODE_COLOR) == 0) {
                QByteArray value(qMax<SANE_Int>(d->size, SANE_Int(std::strlen(*mode) + 1)), '\0');
                std::memcpy(value.data(), *mode, std::strlen(*mode));
                sane_control_option(handle, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
                return;
            }
        }
    }
}

int sample(const uchar *line, int index, int depth)
{
    if (depth == 16) {
        quint16 v;
        std::memcpy(&v, line + 2 * index, 2); // host order, as SANE delivers it
        return v >> 8;
    }
    if (depth == 1)
        return (line[index / 8] & (0x80 >> (index % 8))) ? 0 : 255; // 1 = black
    return line[index];
}

// Lays one frame's bytes into the picture: all three channels, or one.
void placeFrame(QImage &image, const SANE_Parameters &p, const QByteArray &bytes)
{
    const int lines = image.height();
    for (int y = 0; y < lines; ++y) {
        const auto *line = reinterpret_cast<const uchar *>(bytes.constData()) + qsizetype(y) * p.bytes_per_line;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            switch (p.format) {
            case SANE_FRAME_RGB:
                out[x] = qRgb(sample(line, 3 * x, p.depth), sample(line, 3 * x + 1, p.depth),
                              sample(line, 3 * x + 2, p.depth));
                break;
            case SANE_FRAME_RED:
                out[x] = qRgb(sample(line, x, p.depth), qGreen(out[x]), qBlue(out[x]));
                break;
            case SANE_FRAME_GREEN:
                out[x] = qRgb(qRed(out[x]), sample(line, x, p.depth), qBlue(out[x]));
                break;
            case SANE_FRAME_BLUE:
                out[x] = qRgb(qRed(out[x]), qGreen(out[x]), sample(line, x, p.depth));
                break;
            default: {
                const int v = sample(line, x, p.depth);
                out[x] = qRgb(v, v, v);
            }
            }
        }
    }
}

} // namespace

QList<ImageScanner::Source> SaneScanner::sources()
{
    QList<Source> out;
    SaneSession session;
    if (!session.ok())
        return out;
    const SANE_Device **devices = nullptr;
    if (sane_get_devices(&devices, SANE_FALSE) != SANE_STATUS_GOOD || !devices)
        return out;
    for (const SANE_Device **d = devices; *d; ++d) {
        const QString name = QString::fromUtf8((*d)->name);
        const QString text = QString::fromUtf8((*d)->vendor) + QLatin1Char(' ') + QString::fromUtf8((*d)->model)
                             + QStringLiteral(" (") + QString::fromUtf8((*d)->type) + QStringLiteral(") - ") + name;
        out.append({name, text});
    }
    return out;
}

ImageScanner::Result SaneScanner::acquire(const QString &device, const std::atomic<bool> &cancel)
{
    Result result;
    SaneSession session;
    if (!session.ok()) {
        result.error = statusText(session.status());
        return result;
    }
    QByteArray name = device.toUtf8();
    if (name.isEmpty()) {
        const SANE_Device **devices = nullptr;
        if (sane_get_devices(&devices, SANE_FALSE) == SANE_STATUS_GOOD && devices && devices[0])
            name = devices[0]->name;
        if (name.isEmpty()) {
            result.error = QStringLiteral("no device");
            return result;
        }
    }
    SANE_Handle raw = nullptr;
    if (const SANE_Status s = sane_open(name.constData(), &raw); s != SANE_STATUS_GOOD) {
        result.error = statusText(s);
        return result;
    }
    SaneHandle handle(raw);
    preferColour(handle.get());

    QImage image;
    for (;;) {
        if (cancel) {
            result.cancelled = true;
            return result;
        }
        if (const SANE_Status s = sane_start(handle.get()); s != SANE_STATUS_GOOD) {
            result.error = statusText(s);
            result.cancelled = s == SANE_STATUS_CANCELLED;
            return result;
        }
        SANE_Parameters p;
        if (const SANE_Status s = sane_get_parameters(handle.get(), &p); s != SANE_STATUS_GOOD) {
            result.error = statusText(s);
            return result;
        }
        if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 || (p.depth != 1 && p.depth != 8 && p.depth != 16)) {
            result.error = QStringLiteral("unsupported picture format");
            return result;
        }
        QByteArray bytes;
        if (p.lines > 0)
            bytes.reserve(qsizetype(p.lines) * p.bytes_per_line);
        QByteArray chunk(64 * 1024, '\0');
        for (;;) {
            if (cancel) {
                sane_cancel(handle.get());
                result.cancelled = true;
                return result;
            }
            SANE_Int length = 0;
            const SANE_Status s =
                sane_read(handle.get(), reinterpret_cast<SANE_Byte *>(chunk.data()), SANE_Int(chunk.size()), &length);
            if (s == SANE_STATUS_EOF)
                break;
            if (s != SANE_STATUS_GOOD) {
                result.error = statusText(s);
                result.cancelled = s == SANE_STATUS_CANCELLED;
                return result;
            }
            bytes.append(chunk.constData(), length);
        }
        // A hand scanner does not know its length beforehand.
        const int lines = int(bytes.size() / p.bytes_per_line);
        if (lines <= 0) {
            result.error = QStringLiteral("no picture data");
            return result;
        }
        if (image.isNull()) {
            image = QImage(p.pixels_per_line, lines, QImage::Format_RGB32);
            image.fill(Qt::black);
        }
        QImage frame = image.height() == lines ? image : image.copy(0, 0, image.width(), lines);
        placeFrame(frame, p, bytes);
        image = frame;
        if (p.last_frame)
            break;
    }
    result.image = image;
    return result;
}

} // namespace zep
