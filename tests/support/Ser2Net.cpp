#include "support/Ser2Net.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zep::test {

namespace {
const char *const kProgram = "/usr/sbin/ser2net";

bool accepts(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}
} // namespace

Ser2Net::Ser2Net(Mode mode, QString device, QString configDir)
    : m_mode(mode), m_device(std::move(device)), m_config(configDir + "/ser2net.yaml"), m_port(freePort())
{
}

Ser2Net::~Ser2Net()
{
    kill();
}

bool Ser2Net::installed()
{
    return QFileInfo(kProgram).isExecutable();
}

quint16 Ser2Net::freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

QString Ser2Net::address() const
{
    return QString(m_mode == Mode::Raw ? "tcp" : "rfc2217") + "://127.0.0.1:" + QString::number(m_port);
}

bool Ser2Net::start()
{
    if (m_pid > 0)
        return true;
    QFile f(m_config);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString accepter = m_mode == Mode::Raw ? "tcp,127.0.0.1," : "telnet(rfc2217),tcp,127.0.0.1,";
    f.write(("connection: &line\n"
             "  accepter: " + accepter + QString::number(m_port) + "\n"
             "  enable: on\n"
             "  options:\n"
             "    kickolduser: true\n"
             "  connector: serialdev," + m_device + ",9600n81,local\n")
                .toUtf8());
    f.close();
    const QByteArray config = m_config.toLocal8Bit();
    m_pid = ::fork();
    if (m_pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(kProgram, kProgram, "-n", "-d", "-c", config.constData(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 500; ++i) {
        if (accepts(m_port))
            return true;
        QThread::msleep(10);
    }
    return false;
}

void Ser2Net::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace zep::test
