#include "support/KilledWriter.h"

#include "app/AtomicFileWriter.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace zep::test {

QString killWriterMidWrite(const QString &target, const QByteArray &partial)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child < 0)
        return {};
    if (child == 0) {
        ::close(channel[0]);
        AtomicFileWriter out;
        if (!out.open(target) && !out.write(partial)) {
            const QByteArray path = out.temporaryPath().toUtf8();
            if (::write(channel[1], path.constData(), size_t(path.size())) < 0)
                ::_exit(1);
        }
        ::close(channel[1]);
        // No destructor, no cancel: the temporary file stays as it is.
        ::raise(SIGKILL);
        ::_exit(1);
    }
    ::close(channel[1]);
    QByteArray path;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        path.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL)
        return {};
    return QString::fromUtf8(path);
}

} // namespace zep::test
