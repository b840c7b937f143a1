#include "link/clone_driver.h"
#include "link/port_latency.h"
#include "link/port_names.h"
#include "link/time_scale.h"
#include "text/text_ids.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zrk6 {

namespace {

// Every time-out and pause below, and those the session asks for, run on the time scale
// (link/time_scale.h): real for a user, shortened by the tests.

// The pause between the end byte of a write and the greeting of its read-back.
constexpr int kVerifySettleMs = 200;
// How long the end byte may take to leave before the port closes anyway.
constexpr int kEndByteDrainMs = 200;

// On Linux a serial device usually belongs to a group (dialout); without membership the open
// fails with a permission error that the system's text does not explain.
QString PermissionHint(const QString &portName)
{
#ifdef Q_OS_LINUX
    QString path = portName;
    if (!path.startsWith(QLatin1Char('/')))
        path = QStringLiteral("/dev/") + path;
    const QByteArray native = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    if (native.isEmpty() || ::access(native.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return {};
    struct stat st{};
    if (::stat(native.constData(), &st) != 0)
        return {};
    const QString device = QFile::decodeName(native);
    const struct group *g = ::getgrgid(st.st_gid);
    const bool groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0 && g;
    if (groupMayUse) {
        const QString group = QString::fromLocal8Bit(g->gr_name);
        return QStringLiteral("Your user account may not use %1: it must belong to the group \"%2\" that owns "
                              "the device (sudo usermod -aG %2 $USER, then log out and in again).")
            .arg(device, group);
    }
    return QStringLiteral("Your user account may not use %1: it needs read and write access to the device "
                          "(serial adapters usually belong to the group \"dialout\").")
        .arg(device);
#else
    Q_UNUSED(portName);
    return {};
#endif
}

// The device behind a port name, as the serial port looks for it.
bool DeviceExists(const QString &portName)
{
#ifdef Q_OS_UNIX
    return QFileInfo::exists(portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName);
#else
    Q_UNUSED(portName);
    return true;
#endif
}

constexpr int kTextPortInUse = text_id::kPortInUse;

} // namespace

QString OpenClonePort(QSerialPort &port, const QString &portName, LanguageMode language)
{
    if (port.isOpen())
        port.close();
    port.setPortName(portName);
    if (!port.open(QIODevice::ReadWrite)) {
        QString reason = port.errorString();
        if (port.error() == QSerialPort::PermissionError) {
            const QString hint = PermissionHint(portName);
            if (!hint.isEmpty()) {
                reason += QLatin1Char('\n') + hint;
            } else if (DeviceExists(portName)) {
                // The user may use the device, so the refusal is a lock or an exclusive open by
                // another program ("Permission error while locking the device" says neither).
                const std::string_view inUse = LoadText(kTextPortInUse, language);
                reason = QString::fromUtf8(inUse.data(), static_cast<qsizetype>(inUse.size()));
            }
        }
        return reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
    }
    // 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
    const bool configured = port.setBaudRate(kCloneBaudRate) && port.setDataBits(QSerialPort::Data8) &&
                            port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
                            port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        const QString reason = port.errorString();
        port.close();
        return reason;
    }
    // DTR and RTS raised on every system: Qt's backends leave them differently, and some
    // cables draw their power from them. A line without them (a pseudo-terminal) is fine.
    const bool dtr = port.setDataTerminalReady(true);
    const bool rts = port.setRequestToSend(true);
    if (!dtr || !rts)
        port.clearError();
#ifdef Q_OS_LINUX
    // Each reply out of the adapter at once, not after its latency timer (16 ms on FTDI chips).
    RequestLowLatency(static_cast<int>(port.handle()));
#endif
    port.clear(QSerialPort::AllDirections);
    return {};
}

QString TestClonePort(const QString &portName, LanguageMode language)
{
    QSerialPort port;
    const QString reason = OpenClonePort(port, portName, language);
    if (!reason.isEmpty())
        return reason;
    // Opening is the test; the port is closed at once, without waiting on the caller's thread.
    port.close();
    return {};
}

CloneDriver::CloneDriver(CloneMode mode, const MemoryImage &image, LanguageMode language, const QString &portName,
                         QObject *parent)
    : QObject(parent), portName_(portName), sent_(image),
      session_(std::make_unique<CloneSession>(mode, image, language)), language_(language)
{
    replyTimer_.setSingleShot(true);
    replyTimer_.setTimerType(Qt::PreciseTimer);
    connect(&replyTimer_, &QTimer::timeout, this, &CloneDriver::onTimeout);
    quietTimer_.setSingleShot(true);
    settleLimit_.setSingleShot(true);
    connect(&quietTimer_, &QTimer::timeout, this, &CloneDriver::onLineSettled);
    connect(&settleLimit_, &QTimer::timeout, this, &CloneDriver::onLineSettled);
    drainLimit_.setSingleShot(true);
    connect(&drainLimit_, &QTimer::timeout, this, &CloneDriver::closeAndFinish);
    connect(&port_, &QSerialPort::readyRead, this, &CloneDriver::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &CloneDriver::onPortError);
    connect(&port_, &QSerialPort::bytesWritten, this, &CloneDriver::onBytesWritten);
}

CloneDriver::~CloneDriver()
{
    if (port_.isOpen())
        port_.close();
}

QString CloneDriver::open()
{
    portError_ = OpenClonePort(port_, portName_, language_);
    portLost_ = !portError_.isEmpty();
    return portError_;
}

void CloneDriver::start()
{
    clock_.start();
    perform(session_->Start());
}

TransferResult CloneDriver::result() const
{
    // The write itself completed; how the read-back went is in verifyReport().
    if (verifying_)
        return TransferResult::Completed;
    if (portFailed_)
        return TransferResult::PortFailed;
    switch (session_->outcome()) {
    case CloneOutcome::Completed: return TransferResult::Completed;
    case CloneOutcome::WrongModel: return TransferResult::WrongModel;
    default: return TransferResult::Cancelled;
    }
}

void CloneDriver::cancel()
{
    askPending_ = false;
    perform(session_->Cancel());
}

void CloneDriver::answerRetry(bool retry)
{
    if (!askPending_ || done_)
        return;
    askPending_ = false;
    if (retry && (portLost_ || !port_.isOpen())) {
        // The line was lost (an adapter unplugged, the far end hung up): open it again.
        if (!open().isEmpty()) {
            portFailed_ = true;
            perform(session_->Cancel());
            return;
        }
    }
    perform(retry ? session_->Retry() : session_->Cancel());
}

void CloneDriver::trace(char direction, const QByteArray &bytes)
{
    if (!trace_ || bytes.isEmpty())
        return;
    trace_->write(QStringLiteral("%1 %2 %3\n")
                      .arg(clock_.isValid() ? clock_.elapsed() : 0, 8)
                      .arg(QLatin1Char(direction))
                      .arg(QString::fromLatin1(bytes.toHex(' ').toUpper()))
                      .toLatin1());
}

void CloneDriver::perform(CloneActions actions)
{
    for (CloneAction &action : actions) {
        switch (action.kind) {
        case CloneAction::Kind::Send: {
            if (!port_.isOpen())
                break; // the line is gone; the reply timer reports it
            const QByteArray bytes(reinterpret_cast<const char *>(action.bytes.data()),
                                   static_cast<qsizetype>(action.bytes.size()));
            trace('>', bytes);
            port_.write(bytes);
            // Out now, not at the next turn of the event loop: every turnaround counts at 9600
            // baud. flush() hands what it can to the system and never waits.
            port_.flush();
            bytesSent_ += bytes.size();
            break;
        }
        case CloneAction::Kind::AwaitReply:
            break; // the session collects the reply itself
        case CloneAction::Kind::ArmTimer:
            replyTimer_.start(ScaledMs(action.length, TimeScale()));
            break;
        case CloneAction::Kind::StopTimer:
            replyTimer_.stop();
            break;
        case CloneAction::Kind::SettleLine:
            quietTimer_.start(ScaledMs(action.length, TimeScale()));
            settleLimit_.start(ScaledMs(action.maximum, TimeScale()));
            break;
        case CloneAction::Kind::DiscardPending:
            if (port_.isOpen())
                port_.clear(QSerialPort::AllDirections);
            break;
        case CloneAction::Kind::Progress:
            emit progress(action.value, action.maximum,
                          QString::fromStdString(verifying_ ? VerifyingLabel(action.value, action.maximum, language_)
                                                            : action.text));
            break;
        case CloneAction::Kind::Message:
            // With a read-back due or running, its report replaces the completion messages.
            if (!action.isError && (verifying_ || (verifyAfterWrite_ && session_->mode() == CloneMode::Write)))
                break;
            closing_ = CloneMessage{action.textId, QString::fromStdString(action.text),
                                    QString::fromStdString(action.title), action.isError};
            // An error (the wrong model) says which port's radio it was.
            if (action.isError)
                closing_.text += QLatin1Char('\n') + TriedPortLine(portName_, language_);
            break;
        case CloneAction::Kind::AskRetry: {
            lastError_ = action.error;
            // The last line names the port: with several cables about, the first question is which one.
            lastPrompt_ = QString::fromStdString(action.text) + QLatin1Char('\n') + TriedPortLine(portName_, language_);
            askPending_ = true;
            // Asked once the serial handler has returned, so whatever answers it (a message box,
            // a retry count) never runs inside the port's notification.
            QMetaObject::invokeMethod(
                this,
                [this, text = lastPrompt_, title = QString::fromStdString(action.title), error = action.error] {
                    if (askPending_)
                        emit retryAsked(text, title, error);
                },
                Qt::QueuedConnection);
            break;
        }
        case CloneAction::Kind::Finished:
            replyTimer_.stop();
            quietTimer_.stop();
            settleLimit_.stop();
            if (startVerifyAfter(action.outcome))
                break;
            ending_ = true;
            break;
        }
    }
    if (ending_ && !done_ && !drainLimit_.isActive())
        endWhenSent();
}

// After a completed write with verification on: the same port, a fresh read session for the
// read-back. Returns false when no read-back follows.
bool CloneDriver::startVerifyAfter(CloneOutcome writeOutcome)
{
    if (!verifyAfterWrite_ || verifying_ || session_->mode() != CloneMode::Write ||
        writeOutcome != CloneOutcome::Completed)
        return false;
    verifying_ = true;
    // The identification the radio gave for the write is the one the read-back must match.
    session_ = std::make_unique<CloneSession>(CloneMode::Read, sent_, language_);
    emit verifying();
    // The end byte goes out while the radio leaves clone mode; then it is greeted again.
    QTimer::singleShot(ScaledMs(kVerifySettleMs, TimeScale()), this, [this] {
        if (done_ || ending_)
            return;
        if (port_.isOpen())
            port_.clear(QSerialPort::AllDirections);
        perform(session_->Start());
    });
    return true;
}

// The end byte must leave before the port closes: close once the system has taken every byte
// (bytesWritten), or after a short limit on a line that takes none.
void CloneDriver::endWhenSent()
{
    if (port_.isOpen())
        port_.flush();
    if (!port_.isOpen() || port_.bytesToWrite() == 0) {
        // Still queued, so that nothing a listener does runs inside the serial handler.
        QMetaObject::invokeMethod(this, &CloneDriver::closeAndFinish, Qt::QueuedConnection);
        return;
    }
    drainLimit_.start(ScaledMs(kEndByteDrainMs, TimeScale()));
}

void CloneDriver::onBytesWritten()
{
    // flush() may report the bytes from inside the caller's cancel(): finish from the loop.
    if (ending_ && !done_ && port_.bytesToWrite() == 0) {
        drainLimit_.stop();
        QMetaObject::invokeMethod(this, &CloneDriver::closeAndFinish, Qt::QueuedConnection);
    }
}

void CloneDriver::closeAndFinish()
{
    if (done_)
        return;
    drainLimit_.stop();
    if (port_.isOpen())
        port_.close();
    done_ = true;
    if (verifying_) {
        const bool complete = session_->outcome() == CloneOutcome::Completed && !portFailed_;
        verifyReport_ = CheckWrite(sent_, complete ? &session_->cloneBuffer() : nullptr, language_);
    }
    emit finished();
}

void CloneDriver::onReadyRead()
{
    const QByteArray bytes = port_.readAll();
    if (bytes.isEmpty())
        return;
    trace('<', bytes);
    bytesReceived_ += bytes.size();
    if (quietTimer_.isActive())
        quietTimer_.start(); // not quiet yet
    perform(session_->Receive(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()), static_cast<std::size_t>(bytes.size()))));
}

void CloneDriver::onTimeout()
{
    perform(session_->Timeout());
}

void CloneDriver::onLineSettled()
{
    quietTimer_.stop();
    settleLimit_.stop();
    perform(session_->LineSettled());
}

void CloneDriver::onPortError(QSerialPort::SerialPortError error)
{
    const bool lineLost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                          error == QSerialPort::WriteError;
    if (!lineLost || !port_.isOpen() || portLost_)
        return;
    if (trace_)
        trace_->write(QStringLiteral("%1 ! line lost: %2\n")
                          .arg(clock_.isValid() ? clock_.elapsed() : 0, 8)
                          .arg(port_.errorString())
                          .toUtf8());
    // The device went away (an adapter unplugged, the far end hung up). Close it outside the
    // port's own notification; the reply timer then reports the missing reply, and a Retry
    // opens the port again.
    portLost_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (port_.isOpen())
                port_.close();
        },
        Qt::QueuedConnection);
}

} // namespace zrk6
