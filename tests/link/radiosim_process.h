#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

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

// zrk6-radiosim running in the background on its own pseudo-terminal, reached through a link
// in a temporary directory. Stopped when destroyed.
class RadioSimProcess {
public:
    RadioSimProcess() = default;
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
    QString path(const QString &name) const { return dir_.filePath(name); }
    QByteArray errors() { return process_.readAllStandardError(); }

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
    QTemporaryDir dir_;
    QProcess process_;
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
