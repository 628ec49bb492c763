#include "backup/ZipLibrary.h"

#include "backup/ZipResult.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace zep {

namespace {

// The "extended timestamp" extra field: the modification time to the
// second (32 bits, compared as such beyond 2038), where the DOS time of the
// entry has only two-second steps and no time zone. It tells an unchanged file on the next run; unzip restores the
// time from it too.
constexpr zip_uint16_t kTimestampField = 0x5455;
// Files up to this size are read when queued; the whole archive holds at
// most kBufferBudget of such copies before the rest is read when written.
constexpr qint64 kBufferedFileLimit = 8 * 1024 * 1024;
constexpr qint64 kBufferBudget = 256 * 1024 * 1024;

int fromLibzip(int code)
{
    switch (code) {
    case ZIP_ER_OK:
        return ZipResult::Ok;
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_EOF:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_MULTIDISK:
        return ZipResult::Damaged;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
        return ZipResult::OldMethod;
    case ZIP_ER_READ:
        return ZipResult::CannotRead;
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
        return ZipResult::CannotOpen;
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return ZipResult::CannotWrite;
    case ZIP_ER_EXISTS:
        return ZipResult::AlreadyExists;
    case ZIP_ER_REMOVE:
        return ZipResult::CannotDeleteOld;
    case ZIP_ER_RENAME:
        return ZipResult::CannotRename;
    case ZIP_ER_TMPOPEN:
        return ZipResult::CannotCreateTemporary;
    case ZIP_ER_CANCELLED:
        return ZipResult::UserBreak;
    default:
        return ZipResult::Unknown;
    }
}

// A whole file read into memory libzip may take over (malloc'd).
int readWhole(const QByteArray &path, qint64 size, void **data, qint64 *read)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ZipResult::CannotOpen;
    char *buffer = static_cast<char *>(std::malloc(size_t(qMax<qint64>(size, 1))));
    qint64 done = 0;
    int result = ZipResult::Ok;
    while (buffer && done < size) {
        const ssize_t n = ::read(fd, buffer + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result = ZipResult::CannotRead;
            break;
        }
        if (n == 0)
            break; // shrunk since its size was taken: what is there is the file now
        done += n;
    }
    ::close(fd);
    if (!buffer)
        return ZipResult::Unknown;
    if (result != ZipResult::Ok) {
        std::free(buffer);
        return result;
    }
    *data = buffer;
    *read = done;
    return ZipResult::Ok;
}

bool readTimestamp(zip_t *zip, zip_uint64_t index, time_t *mtime)
{
    zip_uint16_t length = 0;
    const zip_uint8_t *field =
        zip_file_extra_field_get_by_id(zip, index, kTimestampField, 0, &length, ZIP_FL_CENTRAL);
    if (!field || length < 5 || !(field[0] & 1))
        return false;
    const quint32 value = quint32(field[1]) | quint32(field[2]) << 8 | quint32(field[3]) << 16 | quint32(field[4]) << 24;
    *mtime = time_t(qint32(value));
    return true;
}

bool writeTimestamp(zip_t *zip, zip_uint64_t index, time_t mtime)
{
    const quint32 value = quint32(qint32(mtime));
    const zip_uint8_t field[5] = {1, zip_uint8_t(value), zip_uint8_t(value >> 8), zip_uint8_t(value >> 16),
                                  zip_uint8_t(value >> 24)};
    zip_file_extra_field_delete_by_id(zip, index, kTimestampField, ZIP_EXTRA_FIELD_ALL, ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
    return zip_file_extra_field_set(zip, index, kTimestampField, ZIP_EXTRA_FIELD_NEW, field, sizeof field,
                                    ZIP_FL_LOCAL | ZIP_FL_CENTRAL)
           == 0;
}

} // namespace

ZipLibrary::ZipLibrary() = default;

ZipLibrary::~ZipLibrary()
{
    zCloseZipFile();
}

int ZipLibrary::open(const QString &archive, int flags)
{
    zCloseZipFile();
    m_kept = m_written = 0;
    m_buffered = 0;
    int error = ZIP_ER_OK;
    m_zip = zip_open(QFile::encodeName(archive).constData(), flags, &error);
    if (!m_zip)
        return fromLibzip(error);
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    m_names.clear();
    m_names.reserve(count);
    for (zip_int64_t i = 0; i < count; ++i)
        if (const char *name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_RAW))
            m_names.insert(QByteArray(name), i);
    return ZipResult::Ok;
}

int ZipLibrary::zOpenZipFile(const QString &archive)
{
    return open(archive, 0);
}

int ZipLibrary::zCreateNewZip(const QString &archive)
{
    // The file itself is made only when the archive is written; a directory
    // that cannot take it is told now, as the archive is created.
    const QFileInfo info(archive);
    if (!info.absoluteDir().exists())
        return ZipResult::NoTargetDirectory;
    if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0)
        return ZipResult::CannotCreate;
    if (info.exists())
        return ZipResult::AlreadyExists;
    return open(archive, ZIP_CREATE | ZIP_EXCL);
}

int ZipLibrary::zOrderFile(const QString &file, const QString &nameInArchive, int flags)
{
    return zOrderFile(QFile::encodeName(file), QFile::encodeName(nameInArchive), flags);
}

int ZipLibrary::zOrderFile(const QByteArray &path, const QByteArray &name, int)
{
    if (!m_zip)
        return ZipResult::RuntimeInfo;
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return ZipResult::CannotOpen;

    const auto known = m_names.constFind(name);
    if (known != m_names.cend()) {
        zip_stat_t entry;
        time_t stored = 0;
        if (zip_stat_index(m_zip, zip_uint64_t(*known), 0, &entry) == 0 && (entry.valid & ZIP_STAT_SIZE)
            && entry.size == zip_uint64_t(st.st_size) && readTimestamp(m_zip, zip_uint64_t(*known), &stored)
            && quint32(stored) == quint32(st.st_mtime)) {
            ++m_kept;
            return ZipResult::Ok;
        }
    }

    zip_source_t *source = nullptr;
    if (st.st_size <= kBufferedFileLimit && m_buffered + st.st_size <= kBufferBudget) {
        void *data = nullptr;
        qint64 read = 0;
        if (const int result = readWhole(path, st.st_size, &data, &read); result != ZipResult::Ok)
            return result;
        source = zip_source_buffer(m_zip, data, zip_uint64_t(read), 1);
        if (!source)
            std::free(data);
        else
            m_buffered += read;
    } else {
        if (::access(path.constData(), R_OK) != 0)
            return ZipResult::CannotOpen;
        source = zip_source_file(m_zip, path.constData(), 0, -1);
    }
    if (!source)
        return fromLibzip(zip_error_code_zip(zip_get_error(m_zip)));

    zip_int64_t index = -1;
    if (known != m_names.cend()) {
        index = *known;
        if (zip_file_replace(m_zip, zip_uint64_t(index), source, 0) != 0) {
            zip_source_free(source);
            return fromLibzip(zip_error_code_zip(zip_get_error(m_zip)));
        }
    } else {
        // A name that is no UTF-8 goes in as its bytes, without the UTF-8
        // mark: the code page of the program that wrote it, as in any ZIP
        // made on DOS or Windows.
        index = zip_file_add(m_zip, name.constData(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(source);
            return fromLibzip(zip_error_code_zip(zip_get_error(m_zip)));
        }
        m_names.insert(name, index);
    }
    zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 6);
    zip_file_set_mtime(m_zip, zip_uint64_t(index), st.st_mtime, 0);
    if (!writeTimestamp(m_zip, zip_uint64_t(index), st.st_mtime))
        return fromLibzip(zip_error_code_zip(zip_get_error(m_zip)));
    ++m_written;
    return ZipResult::Ok;
}

int ZipLibrary::zCompressFiles()
{
    if (!m_zip)
        return ZipResult::RuntimeInfo;
    if (zip_close(m_zip) == 0) {
        m_zip = nullptr;
        m_names.clear();
        return ZipResult::Ok;
    }
    const int result = fromLibzip(zip_error_code_zip(zip_get_error(m_zip)));
    // The old archive is still whole; the half-made temporary is gone.
    zip_discard(m_zip);
    m_zip = nullptr;
    m_names.clear();
    return result == ZipResult::Ok ? ZipResult::Unknown : result;
}

void ZipLibrary::zCloseZipFile()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    m_names.clear();
}

} // namespace zep
