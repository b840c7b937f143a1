// Reads and writes the whole memory against zrk6-radiosim paced at the radio's 9600 baud and
// prints, for each direction, the elapsed time divided by the wire time of every byte exchanged
// (10 bits a byte on an 8N1 line). 1.00 is the wire's own limit. For comparison it also runs the
// same exchange with a minimal blocking client (no Qt, no event loop): its ratio is the floor that
// the virtual radio, the pseudo-terminal and the machine's load set, whatever the program does.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "link/clone_driver.h"
#include "link/time_scale.h"

using namespace zrk6;

namespace {

struct Measure {
    bool ok = false;
    double elapsed = 0; // seconds
    double wire = 0;    // seconds
};

Measure Transfer(CloneMode mode, const QString &port, int baud)
{
    MemoryImage image;
    image.fill(0xFF);
    CloneDriver driver(mode, image, kEnglish, port);
    QObject::connect(&driver, &CloneDriver::retryAsked, &driver, [&driver](const QString &text) {
        std::fprintf(stderr, "link_bench: %s\n", text.toUtf8().constData());
        driver.answerRetry(false);
    });
    Measure m;
    if (const QString reason = driver.open(); !reason.isEmpty()) {
        std::fprintf(stderr, "link_bench: %s: %s\n", qPrintable(port), qPrintable(reason));
        return m;
    }
    QElapsedTimer clock;
    clock.start();
    // The benchmark's own top-level loop, until the transfer ends.
    QEventLoop loop;
    QObject::connect(&driver, &CloneDriver::finished, &loop, &QEventLoop::quit);
    driver.start();
    loop.exec();
    m.ok = driver.result() == TransferResult::Completed;
    m.elapsed = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    m.wire = static_cast<double>(driver.bytesSent() + driver.bytesReceived()) * 10.0 / baud;
    return m;
}

// The exchange of a whole read or write as a plain blocking loop: the least any program can do.
Measure Baseline(CloneMode mode, const QString &port, int baud)
{
    Measure m;
    const int fd = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return m;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    tcflush(fd, TCIOFLUSH);
    long bytes = 0;
    bool ok = true;
    const auto send = [&](std::vector<std::uint8_t> message) {
        ok = ok && ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
        bytes += static_cast<long>(message.size());
    };
    const auto receive = [&](int n) {
        std::uint8_t buffer[16];
        for (int got = 0; ok && got < n;) {
            const ssize_t r = ::read(fd, buffer, static_cast<std::size_t>(n - got));
            ok = r > 0;
            got += static_cast<int>(std::max<ssize_t>(r, 0));
        }
        bytes += n;
    };
    MemoryImage image;
    image.fill(0xFF);
    QElapsedTimer clock;
    clock.start();
    send({0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41});
    receive(1);
    send({0x4D, 0x02});
    receive(8);
    send({0x06});
    receive(1);
    if (mode == CloneMode::Read) {
        for (int k = 0; k < kCloneBlockCount; ++k) {
            send(CloneSession::ReadRequest(k));
            receive(12);
            send({0x06});
            receive(1);
        }
    } else {
        for (int k = 0; k <= kWriteLastFullBlock; ++k) {
            send(CloneSession::WriteRequest(k, image));
            receive(1);
        }
        send(CloneSession::WriteRequest(kWriteShortBlock, image));
        receive(1);
    }
    send({0x45});
    m.elapsed = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    m.wire = static_cast<double>(bytes) * 10.0 / baud;
    m.ok = ok;
    ::close(fd);
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Real time always: a time scale left in the environment would shorten the radio's pace.
    qunsetenv(kTimeScaleVariable);
    const QStringList args = app.arguments();
    const QString sim = args.value(1, QStringLiteral(ZRK6_RADIOSIM));
    const int rounds = args.value(2, QStringLiteral("2")).toInt();
    constexpr int kBaud = 9600;

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("radio"));
    QProcess radio;
    radio.start(sim, {QStringLiteral("--link"), link, QStringLiteral("--pace"), QString::number(kBaud),
                      QStringLiteral("--quiet")});
    if (!radio.waitForStarted(5000) || !radio.waitForReadyRead(5000)) {
        std::fprintf(stderr, "link_bench: cannot start %s\n", qPrintable(sim));
        return 1;
    }

    std::printf("%-6s %5s %10s %10s %8s %8s\n", "", "round", "elapsed s", "wire s", "ratio", "floor");
    bool ok = true;
    double worst[2] = {0, 0};
    double floor[2] = {0, 0};
    for (int round = 1; round <= rounds; ++round) {
        for (CloneMode mode : {CloneMode::Read, CloneMode::Write}) {
            const Measure base = Baseline(mode, link, kBaud);
            const Measure m = Transfer(mode, link, kBaud);
            ok = ok && m.ok;
            const double ratio = m.wire > 0 ? m.elapsed / m.wire : 0;
            const double floorRatio = base.wire > 0 ? base.elapsed / base.wire : 0;
            const int i = static_cast<int>(mode);
            worst[i] = std::max(worst[i], ratio);
            floor[i] = std::max(floor[i], floorRatio);
            std::printf("%-6s %5d %10.3f %10.3f %8.4f %8.4f%s\n", mode == CloneMode::Read ? "read" : "write", round,
                        m.elapsed, m.wire, ratio, floorRatio, m.ok && base.ok ? "" : "  (failed)");
            std::fflush(stdout);
        }
    }
    std::printf("worst ratio: read %.4f, write %.4f (target: at most 1.02); floor on this machine: read %.4f, "
                "write %.4f\n",
                worst[0], worst[1], floor[0], floor[1]);
    radio.terminate();
    radio.waitForFinished(3000);
    return ok ? 0 : 1;
}
