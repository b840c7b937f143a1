#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "link/time_scale.h"
#include "model/memory_image.h"

namespace zrk6::test {

// The tests run the serial link and the virtual radio at a fifth of real time (link/time_scale.h):
// every time-out, delay and byte time shrinks alike, so each fault still meets the same
// time-out. zrk6-radiosim and zrk6-cli take the factor from the environment they start in.
inline constexpr const char *kShortTimeScale = "0.2";

// From initTestCase(): every driver made and every program started afterwards runs on short time.
// A sanitizer build runs every program several times slower: its tests name a milder scale in
// ZRK6_TEST_SHORT_TIME_SCALE, so the shortened time-outs keep their margin.
inline void UseShortTime()
{
    const QByteArray scale = qgetenv("ZRK6_TEST_SHORT_TIME_SCALE");
    qputenv(kTimeScaleVariable, scale.isEmpty() ? QByteArray(kShortTimeScale) : scale);
}

// A pause of the test's own that stands beside the link's time-outs (the time a user takes to
// answer a prompt), on the time the link runs on now.
inline int OnLinkTime(int realMs)
{
    return ScaledMs(realMs, TimeScale());
}

// Another time scale while it lives, real time unless given one: the drivers made and radios
// started meanwhile run on it. For the tests that keep the radio's 9600-baud pace and the real
// time-outs, and for those whose margins would shrink below what a busy machine's scheduler takes.
class TimeScaleScope {
public:
    explicit TimeScaleScope(const char *scale = nullptr) : saved_(qgetenv(kTimeScaleVariable))
    {
        if (scale)
            qputenv(kTimeScaleVariable, scale);
        else
            qunsetenv(kTimeScaleVariable);
    }
    ~TimeScaleScope()
    {
        if (saved_.isEmpty())
            qunsetenv(kTimeScaleVariable);
        else
            qputenv(kTimeScaleVariable, saved_);
    }
    TimeScaleScope(const TimeScaleScope &) = delete;
    TimeScaleScope &operator=(const TimeScaleScope &) = delete;

private:
    QByteArray saved_;
};

#ifdef Q_OS_WIN
// Wine, not Windows: where the two differ in what a test can see.
inline bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

// zrk6-radiosim running in the background on its own pseudo-terminal, reached through a link
// in a temporary directory. Stopped when destroyed.
//
// The Windows build's tests run under Wine, where the virtual radio (a Linux program) is started
// for them by scripts/wine-radio-broker.sh: this asks for a radio by a file in the broker's
// folder (ZRK6_WINE_RADIO_BROKER) and is answered with the COM port that reaches it. The
// temporary directory lies in that folder, which the broker removes after the test.
class RadioSimProcess {
public:
    RadioSimProcess() = default;
#ifndef Q_OS_WIN
    // Starts the radio; false when it did not come up. Unless quiet, its log collects in errors().
    bool start(const QStringList &arguments = {}, bool quiet = true)
    {
        process_.setProgram(QStringLiteral(ZRK6_RADIOSIM));
        process_.setArguments(QStringList{QStringLiteral("--link"), link()} +
                              (quiet ? QStringList{QStringLiteral("--quiet")} : QStringList{}) + arguments);
        process_.start();
        // The first line of its output is the device path; the link exists by then.
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        return ok();
    }
    ~RadioSimProcess()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }

    bool ok() const { return !device_.isEmpty() && QFile::exists(link()); }
    QString link() const { return dir_.filePath(QStringLiteral("radio")); }
    QString device() const { return device_; }
    QByteArray errors() { return process_.readAllStandardError(); }
#else
    static QString brokerFolder() { return qEnvironmentVariable("ZRK6_WINE_RADIO_BROKER"); }

    bool start(const QStringList &arguments = {}, bool quiet = true)
    {
        if (brokerFolder().isEmpty()) {
            qWarning("no virtual radio: under Wine, scripts/windows.sh starts one for the tests");
            return false;
        }
        if (!dir_.isValid())
            return false;
        static int started = 0;
        request_ = QDir(brokerFolder()).filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                                                     .arg(++started));
        QStringList lines = quiet ? QStringList{QStringLiteral("--quiet")} : QStringList{};
        lines += arguments; // the broker finds the files that Windows paths name
        {
            QFile file(request_ + QStringLiteral(".tmp"));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        }
        if (!QFile::rename(request_ + QStringLiteral(".tmp"), request_ + QStringLiteral(".args")))
            return false;
        // The answer: the COM port, then the device (or nothing when the radio did not start).
        const QStringList answer = QString::fromUtf8(WaitForFile(QStringLiteral(".port"), 10000))
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (answer.size() == 2) {
            port_ = answer[0];
            device_ = answer[1];
        }
        return ok();
    }
    ~RadioSimProcess()
    {
        if (request_.isEmpty())
            return;
        QFile(request_ + QStringLiteral(".stop")).open(QIODevice::WriteOnly);
        WaitForFile(QStringLiteral(".done"), 5000);
    }

    bool ok() const { return !port_.isEmpty(); }
    QString link() const { return port_; }
    QString device() const { return port_; }
    QByteArray errors()
    {
        QFile file(request_ + QStringLiteral(".err"));
        if (!file.open(QIODevice::ReadOnly) || !file.seek(errorsRead_))
            return {};
        const QByteArray text = file.readAll();
        errorsRead_ += text.size();
        return text;
    }
#endif
    QString path(const QString &name) const { return dir_.filePath(name); }

    // Writes an image as a raw .img file in the directory and returns its path.
    QString writeImage(const QString &name, const MemoryImage &image) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char *>(image.bytes().data()), kImageSize);
        return file.fileName();
    }

    static MemoryImage readImage(const QString &fileName)
    {
        MemoryImage image;
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (bytes.size() == kImageSize)
                image.assign(std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()), kImageSize));
        }
        return image;
    }

private:
#ifndef Q_OS_WIN
    QTemporaryDir dir_;
    QProcess process_;
#else
    QByteArray WaitForFile(const QString &suffix, int ms) const
    {
        QFile file(request_ + suffix);
        QDeadlineTimer deadline(ms);
        while (!file.exists() && !deadline.hasExpired())
            QThread::msleep(10);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_{QDir(brokerFolder()).filePath(QStringLiteral("files-XXXXXX"))};
    QString request_;
    QString port_;
    qint64 errorsRead_ = 0;
#endif
    QString device_;
};

// A radio memory where every block differs, with the identification of a new image (all FF).
inline MemoryImage PatternMemory(int seed)
{
    MemoryImage image;
    for (int a = 0; a < kImageSize; ++a)
        image.set(a, static_cast<std::uint8_t>((a * 13 + seed * 7 + (a >> 7)) & 0xFF));
    image.fill(addr::kRadioId, 8, 0xFF);
    return image;
}

} // namespace zrk6::test
