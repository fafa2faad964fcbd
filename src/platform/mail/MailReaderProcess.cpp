// Reader processes started without a shell over a socket pair, their answers read as a stream.

#include "platform/mail/MailReaderProcess.h"

#include "platform/mail/MailCore.h"
#include "platform/mail/MailWire.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mailcore {

namespace {

using Clock = std::chrono::steady_clock;

// Requests in flight on one reader: enough to keep it busy, few enough that the ones behind a
// message that stalls it wait little.
constexpr size_t kInFlight = 16;

bool executable(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

double positiveNumber(const char* name)
{
    const char* v = std::getenv(name);
    if (!v || !*v)
        return 0;
    char* end = nullptr;
    const double d = std::strtod(v, &end);
    return end && *end == '\0' && d > 0 ? d : 0;
}

bool isFinal(char kind)
{
    return kind != 'H';
}

} // namespace

ReaderLimits readerLimits()
{
    ReaderLimits l;
    l.memoryBytes = kReaderMemoryBytes;
    l.perMessage = kReaderTimePerMessage;
    if (const double mb = positiveNumber("KV_MAIL_READER_MEMORY_MB"))
        l.memoryBytes = static_cast<std::uint64_t>(mb * 1048576.0);
    if (const double s = positiveNumber("KV_MAIL_READER_SECONDS"))
        l.perMessage = std::chrono::milliseconds(std::max<long long>(1, static_cast<long long>(s * 1000.0)));
    return l;
}

std::string readerProgram()
{
    if (const char* p = std::getenv("KV_MAIL_READER"); p && *p)
        return p;
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string beside(self, static_cast<size_t>(n));
        beside = beside.substr(0, beside.find_last_of('/') + 1) + "kv-mail-reader";
        if (executable(beside))
            return beside;
    }
#ifdef KV_MAIL_READER_BUILT
    return KV_MAIL_READER_BUILT;
#else
    return "kv-mail-reader";
#endif
}

struct ReaderPool::Process {
    pid_t pid = -1;
    int fd = -1;
    std::string out;      // request bytes not sent yet
    size_t outSent = 0;
    std::string in;       // answer bytes not handled yet
    std::deque<size_t> inFlight;
    Clock::time_point headStart;  // when the reader started on inFlight.front()

    ~Process() { end(); }

    bool running() const { return pid > 0; }

    // A reader kept from an earlier run may have ended since (killed from outside): it is not
    // handed requests that would then count as lost on it.
    void forgetIfEnded()
    {
        if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            end();
        }
    }

    void start(const std::string& program, const ReaderLimits& limits)
    {
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0)
            throw MailError(Failure, std::string("メールを読むプログラムを起動できません: ") + std::strerror(errno));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
        posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
        // GMime's allocator reports running out of memory there before it aborts: a reader
        // ending on a message is expected, not news for the terminal the program runs in.
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const std::string memory = std::to_string(limits.memoryBytes);
        std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--memory"),
                                const_cast<char*>(memory.c_str()), nullptr};
        pid_t child = -1;
        const int e = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(sv[1]);
        if (e != 0) {
            ::close(sv[0]);
            throw MailError(Failure, "メールを読むプログラムを起動できません: " + program + " (" + std::strerror(e) + ")");
        }
        ::fcntl(sv[0], F_SETFL, ::fcntl(sv[0], F_GETFL) | O_NONBLOCK);
        pid = child;
        fd = sv[0];
        out.clear();
        outSent = 0;
        in.clear();
        inFlight.clear();
    }

    void end()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        pid = -1;
    }

    // Sends what the socket takes now; false when the reader is gone.
    bool flush()
    {
        while (outSent < out.size()) {
            const ssize_t n = ::send(fd, out.data() + outSent, out.size() - outSent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                break;
            if (n <= 0)
                return false;
            outSent += static_cast<size_t>(n);
        }
        if (outSent == out.size()) {
            out.clear();
            outSent = 0;
        }
        return true;
    }

    // Reads what has come; false when the reader closed its end or failed.
    bool receive()
    {
        char buffer[65536];
        while (true) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            if (n <= 0)
                return false;
            in.append(buffer, static_cast<size_t>(n));
        }
    }
};

ReaderPool::ReaderPool(size_t readers) : limits_(readerLimits()), program_(readerProgram())
{
    for (size_t i = 0; i < std::max<size_t>(1, readers); ++i)
        processes_.push_back(std::make_unique<Process>());
}

ReaderPool::~ReaderPool() = default;

void ReaderPool::run(const std::vector<std::string>& requests, const std::function<void(size_t, const std::string&)>& onFrame,
                     const std::function<void(size_t)>& onFailed)
{
    std::deque<size_t> waiting;
    for (size_t i = 0; i < requests.size(); ++i)
        waiting.push_back(i);
    for (auto& p : processes_)
        p->forgetIfEnded();
    // Requests in flight on a reader that is ended go back to the front, in order.
    const auto fail = [&](Process& p) {
        if (!p.inFlight.empty()) {
            const size_t failed = p.inFlight.front();
            p.inFlight.pop_front();
            waiting.insert(waiting.begin(), p.inFlight.begin(), p.inFlight.end());
            p.inFlight.clear();
            p.end();
            onFailed(failed);
        } else {
            p.end();
        }
    };
    std::vector<pollfd> fds;
    while (true) {
        // Requests dealt out one a reader at a time, so that a few go to as many readers.
        for (bool dealt = true; dealt && !waiting.empty();) {
            dealt = false;
            for (auto& pp : processes_) {
                Process& p = *pp;
                if (waiting.empty() || p.inFlight.size() >= kInFlight)
                    continue;
                if (!p.running())
                    p.start(program_, limits_);
                if (p.inFlight.empty())
                    p.headStart = Clock::now();
                p.inFlight.push_back(waiting.front());
                p.out += requests[waiting.front()];
                waiting.pop_front();
                dealt = true;
            }
        }
        bool busy = false;
        for (auto& pp : processes_) {
            Process& p = *pp;
            if (p.running() && !p.flush())
                fail(p);
            busy = busy || !p.inFlight.empty();
        }
        if (!busy) {
            if (waiting.empty())
                return;
            continue;
        }
        fds.clear();
        Clock::time_point deadline = Clock::time_point::max();
        for (auto& pp : processes_) {
            Process& p = *pp;
            short events = 0;
            if (!p.inFlight.empty()) {
                events = POLLIN;
                deadline = std::min(deadline, p.headStart + limits_.perMessage);
            }
            if (!p.out.empty())
                events |= POLLOUT;
            fds.push_back({p.running() ? p.fd : -1, events, 0});
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count() + 1;
        const int r = ::poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(left, 0, 60000)));
        if (r < 0 && errno != EINTR)
            throw MailError(Failure, std::string("メールを読むプログラムと通信できません: ") + std::strerror(errno));
        for (size_t k = 0; k < processes_.size(); ++k) {
            Process& p = *processes_[k];
            if (!p.running())
                continue;
            bool alive = true;
            if (fds[k].revents & (POLLIN | POLLHUP | POLLERR))
                alive = p.receive();
            // The frames that have come are handled even when the reader ended after them.
            size_t at = 0;
            bool bad = false;
            while (!p.inFlight.empty()) {
                bool tooLong = false;
                const size_t n = wire::completeFrame(p.in, at, &tooLong);
                if (tooLong || (n > 0 && n < 5)) {
                    bad = true;
                    break;
                }
                if (n == 0)
                    break;
                const std::string payload = p.in.substr(at + 4, n - 4);
                at += n;
                onFrame(p.inFlight.front(), payload);
                if (isFinal(payload[0])) {
                    p.inFlight.pop_front();
                    p.headStart = Clock::now();
                }
            }
            p.in.erase(0, at);
            if (bad || !alive || (!p.inFlight.empty() && Clock::now() >= p.headStart + limits_.perMessage))
                fail(p);
            else if (p.inFlight.empty() && !p.in.empty())
                fail(p);  // answers nobody asked for
        }
    }
}

} // namespace mailcore
