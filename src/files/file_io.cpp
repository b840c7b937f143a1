#include "files/file_io.h"
#include "text/text_qstring.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "text/text_table.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

namespace zrk6 {

namespace {

#ifdef Q_OS_UNIX
// Gives the new file the owner and group of the file it replaces (root saving a user's file
// must not take it over). Where the system refuses the owner, the group alone may still pass.
void KeepOwner(int fd, const struct stat &old)
{
    struct stat now{};
    if (::fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
}
#endif

} // namespace

QString SaveFileAtomically(const QString &path, const QByteArray &bytes)
{
    // The rename at the end would put a plain file in place of a pipe or a device node.
    if (IsNonRegularFile(path)) {
        return LoadQText(kTextNotRegularFile, kEnglish);
    }
#ifdef Q_OS_UNIX
    struct stat old{};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode);
#endif
    QSaveFile file(path);
    // Never fall back to writing the target in place: that is what loses the old file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile keeps a small payload in its buffer and ignores a failure to write it out at
    // commit(): flush and check here, so a full disk never replaces the file with a stub.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
#ifdef Q_OS_UNIX
    // Some file systems only find out at this point that the disk is full.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return error;
    }
    if (replacing)
        KeepOwner(file.handle(), old);
#endif
#ifdef Q_OS_WIN
    // The same on Windows: the written data reaches the disk before the file is replaced.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle != INVALID_HANDLE_VALUE && !::FlushFileBuffers(handle)) {
        const QString error = qt_error_string(int(::GetLastError())); // in the system's language
        file.cancelWriting();
        return error;
    }
#endif
    if (!file.commit())
        return file.errorString();
    return {};
}

bool IsNonRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

FileReadResult ReadWholeFile(const QString &path, qint64 maxBytes)
{
    FileReadResult result;
    // A pipe would block the open until a writer comes, a device could be read without end.
    if (IsNonRegularFile(path)) {
        result.notRegular = true;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.size() > maxBytes) {
        result.tooLarge = true;
        return result;
    }
    // One byte more than the size tells a file that grew meanwhile.
    result.bytes = file.read(file.size() + 1);
    if (result.bytes.size() > maxBytes) {
        result.bytes.clear();
        result.tooLarge = true;
        return result;
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.bytes.clear();
    }
    return result;
}

} // namespace zrk6
