#pragma once

#include <QString>

namespace zep::test {

// A tmpfs of the given size mounted on a directory for as long as the
// object lives: a full or read-only disk made real. Needs the right to
// mount; `mounted()` says whether that was granted.
class SmallFileSystem {
public:
    SmallFileSystem(const QString &mountPoint, const QString &size);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    bool makeReadOnly();

private:
    QString m_mountPoint;
    bool m_mounted = false;
};

} // namespace zep::test
