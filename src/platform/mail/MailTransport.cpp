// Handing a built message to sendmail: started directly with posix_spawn (no shell, no address on
// its command line), the message on its standard input, waited for within a time limit.

#include "platform/mail/MailCore.h"
#include "platform/mail/MailText.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mailcore {
namespace {

using Clock = std::chrono::steady_clock;

struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

int exitStatus(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// The first lines of an error output, cleaned, for an error description.
std::string firstLines(const std::string& text, int lines)
{
    std::string cleaned = cleanBodyText(toUtf8(text, ""));
    std::string out;
    int n = 0;
    size_t start = 0;
    while (start < cleaned.size() && n < lines) {
        size_t end = cleaned.find('\n', start);
        if (end == std::string::npos)
            end = cleaned.size();
        const std::string line = cleaned.substr(start, end - start);
        if (!line.empty()) {
            if (!out.empty())
                out += '\n';
            out += line;
            ++n;
        }
        start = end + 1;
    }
    return out;
}

} // namespace

int runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
               std::chrono::milliseconds timeout, std::string* errorOutput)
{
    const auto deadline = Clock::now() + timeout;
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0)
        throw MailError(Failure, std::string("プログラムを起動できません: ") + std::strerror(errno));
    Fd inParent{sv[0]}, inChild{sv[1]};
    int ep[2];
    if (::pipe2(ep, O_CLOEXEC) != 0)
        throw MailError(Failure, std::string("プログラムを起動できません: ") + std::strerror(errno));
    Fd errParent{ep[0]}, errChild{ep[1]};

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, inChild.fd, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&fa, errChild.fd, 2);
    posix_spawn_file_actions_addclosefrom_np(&fa, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGTERM, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // A process group of its own, so that running out of time ends whatever it started too.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argStore;
    argStore.push_back(program);
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &fa, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        throw MailError(Failure, "プログラムを起動できません: " + program + " (" + std::strerror(rc) + ")");
    inChild.reset();
    errChild.reset();

    Fd pidFd{static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))};
    ::fcntl(inParent.fd, F_SETFL, O_NONBLOCK);
    ::fcntl(errParent.fd, F_SETFL, O_NONBLOCK);
    std::string err;
    size_t written = 0;
    bool exited = false;
    int status = 0;
    if (input.empty())
        inParent.reset();
    while (true) {
        if (!exited && ::waitpid(pid, &status, WNOHANG) == pid)
            exited = true;
        if (exited) {
            // What it wrote before ending is in the pipe; a child it left behind is not waited for.
            char buf[4096];
            ssize_t got = 0;
            while (errParent.fd >= 0 && (got = ::read(errParent.fd, buf, sizeof buf)) > 0)
                if (err.size() < 8192)
                    err.append(buf, static_cast<size_t>(got));
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            if (!exited) {
                ::kill(-pid, SIGKILL);
                ::kill(pid, SIGKILL);
                while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }
            throw MailError(Failure, "プログラムが時間内に終わりませんでした: " + program);
        }
        pollfd fds[3];
        int n = 0;
        int inIx = -1, errIx = -1, pidIx = -1;
        if (inParent.fd >= 0) {
            inIx = n;
            fds[n++] = {inParent.fd, POLLOUT, 0};
        }
        if (errParent.fd >= 0) {
            errIx = n;
            fds[n++] = {errParent.fd, POLLIN, 0};
        }
        if (!exited && pidFd.fd >= 0) {
            pidIx = n;
            fds[n++] = {pidFd.fd, POLLIN, 0};
        }
        // Without a process descriptor the exit is looked for every few milliseconds.
        const int wait = (!exited && pidFd.fd < 0) ? 5 : static_cast<int>(std::min<long long>(left, 1000));
        const int r = ::poll(fds, static_cast<nfds_t>(n), wait);
        if (r < 0 && errno != EINTR)
            throw MailError(Failure, std::string("プログラムとの通信に失敗しました: ") + std::strerror(errno));
        if (r <= 0)
            continue;
        if (inIx >= 0 && fds[inIx].revents) {
            const ssize_t w = ::send(inParent.fd, input.data() + written, input.size() - written, MSG_NOSIGNAL);
            if (w > 0)
                written += static_cast<size_t>(w);
            if ((w < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
                inParent.reset();  // all given, or the program no longer reads
        }
        if (errIx >= 0 && fds[errIx].revents) {
            char buf[4096];
            const ssize_t got = ::read(errParent.fd, buf, sizeof buf);
            if (got > 0) {
                if (err.size() < 8192)
                    err.append(buf, static_cast<size_t>(got));
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                errParent.reset();
            }
        }
        (void)pidIx;
    }
    if (errorOutput)
        *errorOutput = err;
    return exitStatus(status);
}

std::string SendmailTransport::program()
{
    if (const char* s = std::getenv("SENDMAIL"); s && *s)
        return s;
    return "/usr/sbin/sendmail";
}

void SendmailTransport::send(const std::string& bytes)
{
    const std::string prog = program();
    std::string err;
    const int status = runProgram(prog, {"-t", "-oi"}, bytes, timeout_, &err);
    if (status != 0) {
        std::string description = "メールを送信できませんでした（" + prog + " の終了コード " + std::to_string(status) + "）";
        const std::string lines = firstLines(err, 5);
        if (!lines.empty())
            description += "\n" + lines;
        throw MailError(Failure, description);
    }
}

} // namespace mailcore
