#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

#include "link/clone_session.h"
#include "link/write_verify.h"

class QIODevice;

namespace zrk6 {

// What a driver shows while it runs a transfer: the window's and the command line's side.
class CloneFrontEnd {
public:
    virtual ~CloneFrontEnd() = default;
    virtual void progress(int value, int maximum, const QString &label) = 0;
    // An OK message: completion (information) or the wrong model (error).
    virtual void message(int textId, const QString &text, const QString &title, bool isError) = 0;
    // The Retry/Cancel prompt; true means Retry.
    virtual bool askRetry(const QString &text, const QString &title, CloneError error) = 0;
    // The transfer has ended and the port is closed; a closing message may still follow. After a
    // completed read session.cloneBuffer() holds the radio's memory.
    virtual void ended(CloneOutcome outcome, const CloneSession &session)
    {
        Q_UNUSED(outcome);
        Q_UNUSED(session);
    }
    // A completed write is being read back: the second phase starts, with its own progress.
    virtual void verifying() {}
    // The read-back has ended (the port is closed); shows the closing message in place of
    // "Writing completed!".
    virtual void verified(const VerifyReport &report)
    {
        message(report.outcome == VerifyOutcome::Matched ? 1805 : 1806, QString::fromStdString(report.Text()),
                QString(), report.outcome != VerifyOutcome::Matched);
    }
};

// The outcome of a transfer as the commands see it.
enum class TransferResult {
    Completed,
    WrongModel,
    Cancelled,
    PortFailed, // the port could not be (re)opened; portError() says why
};

// Opens a serial port for the clone protocol: 9600 baud, 8N1, no flow control, pending bytes
// discarded. Returns the system's reason on failure (empty on success); on a Linux permission
// error the reason carries a hint about the group that owns the device, and a port that another
// program holds is named as such (text 1700, in the given language).
QString OpenClonePort(QSerialPort &port, const QString &portName, LanguageMode language = kEnglish);

// The port test of the read and write commands: open, wait 5 ms, close. Returns the reason, or empty.
QString TestClonePort(const QString &portName, LanguageMode language = kEnglish);

// Drives a CloneSession over a QSerialPort with a QTimer for the reply time-out. Run() spins a
// local event loop until the transfer ends, so it can be called from a modal window or main().
class CloneDriver : public QObject {
    Q_OBJECT
public:
    CloneDriver(CloneMode mode, const MemoryImage &image, LanguageMode language, const QString &portName,
                CloneFrontEnd &frontEnd, QObject *parent = nullptr);
    ~CloneDriver() override;

    // After a completed write, read the radio back and compare what the write sent.
    void setVerifyAfterWrite(bool on) { verifyAfterWrite_ = on; }
    // How the read-back went (NotRun unless a write completed with verification on).
    const VerifyReport &verifyReport() const { return verifyReport_; }

    // Every byte in both directions goes here as "elapsed-ms >|< hex" lines when set.
    void setTrace(QIODevice *trace) { trace_ = trace; }

    // Opens the port (returns the reason on failure, empty on success).
    QString open();
    // Starts the transfer on the open port and returns at once; finished() follows.
    void start();
    // Starts the transfer and waits in a local event loop until it ends.
    TransferResult run();
    // How the transfer ended (valid after finished()).
    TransferResult result() const;
    bool isFinished() const { return done_; }
    // Ends a running transfer as if Cancel had been chosen (the window's close button).
    void cancel();

    const CloneSession &session() const { return *session_; }
    QString portError() const { return portError_; }
    // Bytes written and read during the whole run (for the benchmark).
    qint64 bytesSent() const { return bytesSent_; }
    qint64 bytesReceived() const { return bytesReceived_; }

signals:
    void finished();

private:
    void perform(CloneActions actions);
    void onReadyRead();
    void onTimeout();
    void onPortError(QSerialPort::SerialPortError error);
    void onLineSettled();
    void trace(char direction, const QByteArray &bytes);
    void closePort();
    bool startVerifyAfter(CloneOutcome writeOutcome);
    void finishVerify(CloneOutcome readOutcome);

    QString portName_;
    MemoryImage sent_; // the image a write sends, for the read-back to be compared with
    bool verifyAfterWrite_ = false;
    bool verifying_ = false;
    VerifyReport verifyReport_;
    CloneFrontEnd &frontEnd_;
    std::unique_ptr<CloneSession> session_;
    QSerialPort port_;
    QTimer replyTimer_;
    // Before a retry: quietTimer_ restarts with every byte, settleLimit_ ends a wait on a line
    // that never goes quiet.
    QTimer quietTimer_;
    QTimer settleLimit_;
    LanguageMode language_;
    QElapsedTimer clock_;
    QIODevice *trace_ = nullptr;
    QString portError_;
    bool done_ = false;
    bool portLost_ = false;
    bool portFailed_ = false;
    qint64 bytesSent_ = 0;
    qint64 bytesReceived_ = 0;
};

} // namespace zrk6
