#pragma once

// Disks that fail on purpose: a file size limit (as a full disk looks to one process) and a
// small file system that can be filled up. Both need a Unix system (the small file system
// Linux); elsewhere there is no file size limit and the small file system is never ok().
#include <QtGlobal>

#include <algorithm>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace zrk6::test {

#ifdef Q_OS_UNIX

// Files may not grow beyond a size while it lives, so writes fail as on a full disk (EFBIG;
// the signal that would end the process is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};
#endif

// A tmpfs of a few pages mounted on a temporary folder, where the system allows it (root with
// the right to mount); ok() tells. Unmounted when destroyed.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kibibytes = 64)
    {
#ifdef Q_OS_LINUX
        if (!dir_.isValid() || ::geteuid() != 0)
            return;
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
        mounted_ = ::mount("zrk6-test", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData()) == 0;
#else
        Q_UNUSED(kibibytes);
#endif
    }
    ~SmallFileSystem()
    {
#ifdef Q_OS_LINUX
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
#endif
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool ok() const { return mounted_; }
    QString filePath(const QString &name) const { return dir_.filePath(name); }
    QString path() const { return dir_.path(); }

    // Takes every free block with a filler file, so that the next write finds the disk full;
    // then gives back freePages pages.
    bool fill(int freePages = 0)
    {
        QFile filler(filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray chunk(4096, 'f');
        while (filler.write(chunk) == chunk.size()) {
        }
        // What is left is less than a page; a byte at a time takes that too.
        while (filler.write("f", 1) == 1) {
        }
        return filler.resize(std::max<qint64>(0, filler.size() - 4096LL * freePages));
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace zrk6::test
