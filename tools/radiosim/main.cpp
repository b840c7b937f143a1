// zrk6-radiosim: a virtual ZR-K6 radio on a pseudo-terminal, for trying and testing the
// programmer without a radio or a cable.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/data_file.h"
#include "link/time_scale.h"
#include "sample_memory.h"
#include "virtual_radio.h"

using namespace zrk6;
using namespace zrk6::radiosim;

namespace {

constexpr const char *kUsage = R"(Usage: zrk6-radiosim [OPTIONS]

A virtual ZR-K6 radio for the programmer. It opens a pseudo-terminal, prints its device
path on the first line of standard output, and answers the clone protocol (greeting,
identification, reads, writes, end) from its memory, one transfer after another, until
it is stopped with Ctrl+C.

Options:
  --link PATH        also make PATH a symbolic link to the device (replaced if it is a link)
  --image FILE       start from this memory: a ".dat" data file or a raw 4096-byte ".img"
                     (default: a sample memory on 400 - 470 MHz with a dozen channels, tones,
                     a VFO and options; identification bytes FF, so a new image matches)
  --save FILE        after every completed write, store the memory there (".dat" is saved
                     as a data file, any other name as a raw 4096-byte image)
  --fault KIND[:N]   misbehave on purpose:
                       silent          never answer                           -> (Error01)
                       chatter         never answer, but keep sending text
                                       (a GPS on the same adapter)            -> (Error02)
                       bad-greeting    answer the greeting with 15, not 06    -> (Error02)
                       wrong-id        answer the identification wrongly      -> Model type is wrong.
                       bad-ack:N       wrong acknowledgement at block N       -> (Error02)
                       short:N         a reply one byte short at block N      -> (Error03)
                       late:N          the reply 1 s late at block N          -> (Error03)
                       hangup:N        the line goes dead at block N          -> (Error03)
                                       (a new device; --link then points to it)
                       wrong-address:N a read's reply for the next block at block N -> (Error02)
                       corrupt:A       every write stores address A (0..4095, or 0x hex)
                                       with bit 4 flipped  -> a verified write finds it
                     Block faults strike once (the first time block N comes up), so a
                     Retry succeeds; the others last. Blocks are 0..511 (8 bytes each).
  --ignore-first-greeting
                     leave the first greeting unanswered (a radio just switched on) -> one Retry reads
  --greeting-ack-delay MS
                     acknowledge every greeting MS milliseconds late (a slow radio; the
                     program waits 500 ms)
  --latency MS       an adapter's latency timer: bytes for the program leave only at the
                     next MS-millisecond boundary (an FTDI chip holds them 16 ms by default)
  --trickle          replies arrive a byte at a time, 1 ms apart (a slow or busy adapter)
  --cable KIND       the cable between the program and the radio:
                       echo     every byte sent comes straight back, and the radio answers too
                       half-in  the plug is half in the radio's socket: every byte sent comes
                                straight back and the radio hears nothing
  --pace BAUD        hold every byte back by its time on a real 8N1 wire at BAUD
                     (10 bits a byte; 9600 is the radio's rate). Default: no delay.
  --count N          serve N radios at once (1..64), each on its own pseudo-terminal, for
                     programming a fleet: the N device paths come on the first N lines;
                     --link PATH makes PATH1 .. PATHN, --save FILE makes FILE1 .. FILEN
                     (the number before the extension: radio.img -> radio1.img, ...);
                     --image and --fault apply to every radio
  --quiet            log nothing on standard error
  --help             show this text

Examples:
  zrk6-radiosim --link /tmp/zrk6-radio &
  zrk6-cli read --port /tmp/zrk6-radio radio.dat

  zrk6-radiosim --count 3 --link /tmp/radio &
  zrk6-cli fleet plan.dat --port /tmp/radio1 --port /tmp/radio2 --port /tmp/radio3
)";

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

bool g_quiet = false;
std::string g_name = "zrk6-radiosim"; // with the radio's number when several run
void Log(const std::string &line)
{
    if (!g_quiet)
        std::fprintf(stderr, "%s: %s\n", g_name.c_str(), line.c_str());
}

[[noreturn]] void Die(const std::string &message, int status = 1)
{
    std::fprintf(stderr, "zrk6-radiosim: %s\n", message.c_str());
    std::exit(status);
}

using Clock = double; // seconds on the monotonic clock

Clock Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

MemoryImage LoadImage(const std::string &path)
{
    const auto bytes = ReadFile(path);
    if (!bytes)
        Die("cannot read " + path + ": " + std::strerror(errno));
    MemoryImage image;
    if (bytes->size() == static_cast<std::size_t>(kImageSize) && !EndsWith(path, ".dat")) {
        image.assign(*bytes);
        return image;
    }
    const DecodedDataFile decoded = DecodeDataFile(*bytes);
    if (!decoded.ok())
        Die(path + " is neither a data file nor a raw 4096-byte image");
    return decoded.image;
}

// Writes through a temporary file renamed over the target, so a reader never sees half a file.
bool SaveImage(const std::string &path, const MemoryImage &image)
{
    std::vector<std::uint8_t> bytes;
    if (EndsWith(path, ".dat"))
        bytes = EncodeDataFile(image);
    else
        bytes.assign(image.bytes().begin(), image.bytes().end());
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

// The pseudo-terminal: the master that the radio talks through, and a slave descriptor kept open
// so that the program may close and reopen the device between transfers without a hang-up.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;

    void Open()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            Die(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
        const char *name = ptsname(master);
        if (!name)
            Die(std::string("cannot name the pseudo-terminal: ") + std::strerror(errno));
        path = name;
        slave = ::open(name, O_RDWR | O_NOCTTY);
        if (slave < 0)
            Die("cannot open " + path + ": " + std::strerror(errno));
        // Raw from the start: no echo and no line editing before the program sets its own mode.
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(slave, TCSANOW, &tio);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }

    void Close()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
        master = slave = -1;
    }
};

void MakeLink(const std::string &link, const std::string &target)
{
    struct stat st{};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
        Die(link + " exists and is not a symbolic link; not replacing it");
    const std::string temp = link + ".new";
    ::unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || std::rename(temp.c_str(), link.c_str()) != 0)
        Die("cannot make the link " + link + ": " + std::strerror(errno));
}

struct Options {
    std::string link;
    std::string image;
    std::string save;
    RadioFault fault;
    RadioHabits habits;
    int latencyMs = 0;
    bool trickle = false;
    bool echo = false;   // the cable sends every byte straight back
    bool deaf = false;   // and the radio never hears it
    double baud = 0;
    int count = 1;
    // Every delay, gap and byte time below is multiplied by this (1 unless a test shortens time
    // through the environment; see link/time_scale.h), so the radio keeps pace with a program
    // whose time-outs are shortened alike.
    double timeScale = 1;
};

// The name of radio n (1..count) of several: the number goes before the extension of the
// last path element ("radio.img" -> "radio2.img"), or at the end ("/tmp/radio" -> "/tmp/radio2").
std::string Numbered(const std::string &path, int n, int count)
{
    if (count == 1 || path.empty())
        return path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    if (!hasExtension)
        return path + std::to_string(n);
    return path.substr(0, dot) + std::to_string(n) + path.substr(dot);
}

Options ParseOptions(int argc, char **argv)
{
    Options o;
    o.timeScale = TimeScale();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Die(arg + " needs a value (see --help)", 2);
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "--link") {
            o.link = value();
        } else if (arg == "--image") {
            o.image = value();
        } else if (arg == "--save") {
            o.save = value();
        } else if (arg == "--fault") {
            const std::string text = value();
            const auto fault = ParseFault(text);
            if (!fault)
                Die("unknown fault \"" + text + "\" (see --help)", 2);
            o.fault = *fault;
        } else if (arg == "--ignore-first-greeting") {
            o.habits.ignoreFirstGreeting = true;
        } else if (arg == "--greeting-ack-delay" || arg == "--latency") {
            const std::string text = value();
            char *end = nullptr;
            const long ms = std::strtol(text.c_str(), &end, 10);
            if (end == text.c_str() || *end != '\0' || ms < (arg == "--latency" ? 1 : 0) || ms > 10000)
                Die(arg + " needs a number of milliseconds", 2);
            (arg == "--latency" ? o.latencyMs : o.habits.greetingAckDelayMs) = static_cast<int>(ms);
        } else if (arg == "--trickle") {
            o.trickle = true;
        } else if (arg == "--cable") {
            const std::string kind = value();
            if (kind != "echo" && kind != "half-in")
                Die("--cable is echo or half-in", 2);
            o.echo = true;
            o.deaf = kind == "half-in";
        } else if (arg == "--pace") {
            const std::string text = value();
            char *end = nullptr;
            o.baud = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !(o.baud >= 50 && o.baud <= 4000000))
                Die("--pace needs a baud rate such as 9600", 2);
        } else if (arg == "--count") {
            const std::string text = value();
            char *end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (end == text.c_str() || *end != '\0' || n < 1 || n > 64)
                Die("--count needs a number from 1 to 64", 2);
            o.count = static_cast<int>(n);
        } else if (arg == "--quiet") {
            g_quiet = true;
        } else {
            Die("unknown option \"" + arg + "\" (see --help)", 2);
        }
    }
    return o;
}

// A byte on its way, with the moment it is due.
struct Timed {
    Clock due;
    std::uint8_t byte;
};

// Queues a byte in the order of the moments they are due.
void Enqueue(std::deque<Timed> &queue, Timed byte)
{
    const auto at = std::upper_bound(queue.begin(), queue.end(), byte.due,
                                     [](Clock due, const Timed &queued) { return due < queued.due; });
    queue.insert(at, byte);
}

constexpr double kTrickleGap = 0.001;

// Answers the radio's side of the clone protocol on pty until a signal stops it. link is made
// again after a hang-up; save, when set, gets the memory after every completed write.
void Serve(Pty &pty, const std::string &link, const std::string &save, const Options &options,
           const MemoryImage &memory)
{
    VirtualRadio radio(memory, options.fault, options.habits);
    const double scale = options.timeScale;
    const Clock epoch = Now();
    // With a latency timer a byte leaves only at the next boundary after it is due.
    const auto released = [&](Clock due) {
        if (options.latencyMs <= 0)
            return due;
        const double period = options.latencyMs / 1000.0 * scale;
        return epoch + std::ceil((due - epoch) / period) * period;
    };
    Clock nextTrickle = 0;
    const double byteTime = options.baud > 0 ? 10.0 / options.baud * scale : 0.0;
    if (options.deaf)
        Log("the plug is half in: every byte comes back, the radio hears nothing");
    else if (options.echo)
        Log("the cable echoes every byte");
    char scaleText[32] = "";
    if (scale < 1)
        std::snprintf(scaleText, sizeof scaleText, ", time scaled by %g", scale);
    Log("radio on " + pty.path + (link.empty() ? "" : " (linked as " + link + ")") +
        (options.baud > 0 ? ", paced at " + std::to_string(static_cast<long>(options.baud)) + " baud" : "") +
        scaleText);
    Log("try: zrk6-cli read --port " + (link.empty() ? pty.path : link) +
        " radio.dat   (Ctrl+C stops the radio)");

    std::deque<Timed> incoming; // received, complete on the wire at `due`
    std::deque<Timed> outgoing; // to write at `due`
    Clock rxFree = 0;           // the moment the receive wire is free again
    Clock txFree = 0;
    Clock lastByte = Now();
    const double idleGap = 0.2 * scale; // a half message older than this is forgotten
    constexpr double kSpinWindow = 0.0003;
    double lateness = 0; // how late paced bytes left, summed, for the log
    long lateWrites = 0;
    if (byteTime > 0)
        prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    Clock nextChatter = Now();
    std::size_t chatterAt = 0;

    while (!g_stop) {
        const Clock now = Now();
        // Bytes whose wire time has passed reach the radio, one by one: a reply starts when the
        // last byte of its request has crossed the wire, however late this loop woke up.
        bool hangUp = false;
        bool anyArrived = false;
        while (!hangUp && !incoming.empty() && incoming.front().due <= now) {
            const Timed byte = incoming.front();
            incoming.pop_front();
            anyArrived = true;
            for (const RadioReply &reply : radio.Receive(std::span(&byte.byte, 1))) {
                if (reply.hangUp) {
                    hangUp = true;
                    break;
                }
                Clock at = std::max(byte.due + reply.delayMs / 1000.0 * scale, txFree);
                if (byteTime == 0)
                    at = std::max(at, now);
                for (std::uint8_t b : reply.bytes) {
                    at += byteTime;
                    Enqueue(outgoing, {at, b});
                }
                txFree = at;
            }
        }
        if (anyArrived) {
            if (const std::string event = radio.TakeEvent(); !event.empty()) {
                Log(event);
                if (lateWrites > 0 && event.find("ended") != std::string::npos) {
                    Log("paced bytes left on average " + std::to_string(static_cast<long>(lateness / lateWrites * 1e6)) +
                        " us after their time");
                    lateness = 0;
                    lateWrites = 0;
                }
            }
            if (radio.TakeWriteCompleted() && !save.empty()) {
                if (SaveImage(save, radio.memory()))
                    Log("memory saved to " + save);
                else
                    Log("cannot save " + save + ": " + std::strerror(errno));
            }
            if (hangUp) {
                // The line goes dead: this device disappears and a new one takes its place. The
                // link points to the new one before the old one goes, so a program that opens
                // the name again as soon as it sees the loss finds the new device, never the
                // dead one (as a cable plugged back in comes back under its name).
                Pty old = pty;
                pty.Open();
                if (!link.empty())
                    MakeLink(link, pty.path);
                old.Close();
                incoming.clear();
                outgoing.clear();
                radio.Reset();
                Log("hung up " + old.path + "; now on " + pty.path);
                continue;
            }
        } else if (incoming.empty() && now - lastByte > idleGap) {
            radio.LineIdle();
        }

        if (radio.chatters() && now >= nextChatter) {
            outgoing.push_back({now, static_cast<std::uint8_t>(kChatterText[chatterAt])});
            chatterAt = (chatterAt + 1) % kChatterText.size();
            nextChatter = now + kChatterByteMs / 1000.0 * scale;
        }
        while (!outgoing.empty() && released(outgoing.front().due) <= now && now >= nextTrickle) {
            std::vector<std::uint8_t> chunk;
            Clock due = 0;
            while (!outgoing.empty() && released(outgoing.front().due) <= now &&
                   (!options.trickle || chunk.empty())) {
                chunk.push_back(outgoing.front().byte);
                due = outgoing.front().due;
                outgoing.pop_front();
            }
            if (options.trickle)
                nextTrickle = now + kTrickleGap * scale;
            if (::write(pty.master, chunk.data(), chunk.size()) < 0 && errno != EAGAIN)
                Log(std::string("write failed: ") + std::strerror(errno));
            if (byteTime > 0) {
                lateness += Now() - due;
                ++lateWrites;
            }
        }

        Clock next = now + 0.5;
        if (!incoming.empty())
            next = std::min(next, incoming.front().due);
        if (!outgoing.empty())
            next = std::min(next, std::max(released(outgoing.front().due), nextTrickle));
        if (radio.chatters())
            next = std::min(next, nextChatter);
        double wait = std::max(0.0, next - Now());
        // The last fraction of a millisecond is waited out by polling without sleeping, so that
        // paced bytes leave on time rather than when the scheduler wakes us.
        if (byteTime > 0 && wait < kSpinWindow)
            wait = 0;
        timespec timeout{static_cast<time_t>(wait), static_cast<long>((wait - std::floor(wait)) * 1e9)};
        pollfd pfd{pty.master, POLLIN, 0};
        const int ready = ppoll(&pfd, 1, &timeout, nullptr);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            std::uint8_t buffer[512];
            const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
            const Clock at = Now();
            for (ssize_t i = 0; i < n; ++i) {
                // A byte is received once its ten bits have crossed the wire.
                rxFree = std::max(at, rxFree) + byteTime;
                if (options.echo)
                    Enqueue(outgoing, {at, buffer[i]});
                if (!options.deaf)
                    incoming.push_back({rxFree, buffer[i]});
            }
            if (n > 0)
                lastByte = at;
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR))) {
            // Cannot happen while our own slave descriptor is open; avoid spinning if it does.
            usleep(10000);
        }
    }

    pty.Close();
    if (!link.empty())
        ::unlink(link.c_str());
    Log("stopped");
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = ParseOptions(argc, argv);
    const MemoryImage memory = options.image.empty() ? BuildSampleMemory() : LoadImage(options.image);

    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // Every device exists, and is printed in order, before any radio starts.
    std::vector<Pty> ptys(static_cast<std::size_t>(options.count));
    for (int n = 1; n <= options.count; ++n) {
        Pty &pty = ptys[static_cast<std::size_t>(n - 1)];
        pty.Open();
        if (!options.link.empty())
            MakeLink(Numbered(options.link, n, options.count), pty.path);
        std::printf("%s\n", pty.path.c_str());
    }
    std::fflush(stdout);
    if (options.count == 1) {
        Serve(ptys[0], options.link, options.save, options, memory);
        return 0;
    }

    // Several radios: one process each, so one radio's pacing never holds back another's.
    std::vector<pid_t> children;
    for (int n = 1; n <= options.count; ++n) {
        const pid_t pid = fork();
        if (pid < 0)
            Die(std::string("cannot start radio ") + std::to_string(n) + ": " + std::strerror(errno));
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the parent
            if (getppid() == 1)
                std::_Exit(0);
            for (int other = 0; other < options.count; ++other)
                if (other != n - 1)
                    ptys[static_cast<std::size_t>(other)].Close();
            g_name = "zrk6-radiosim " + std::to_string(n);
            Serve(ptys[static_cast<std::size_t>(n - 1)], Numbered(options.link, n, options.count),
                  Numbered(options.save, n, options.count), options, memory);
            std::fflush(stderr);
            std::_Exit(0);
        }
        children.push_back(pid);
    }
    for (Pty &pty : ptys)
        pty.Close();
    std::size_t running = children.size();
    bool stopping = false;
    while (running > 0) {
        if (g_stop && !stopping) {
            stopping = true;
            for (pid_t child : children)
                ::kill(child, SIGTERM);
        }
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, WNOHANG);
        if (ended > 0)
            --running;
        else if (ended < 0 && errno == ECHILD)
            break;
        else if (ended == 0)
            usleep(50000);
    }
    return 0;
}
