// kv-mail-reader --memory BYTES
// The process that reads received mail for the mail window: every GMime read of a Maildir file
// happens here, within a memory limit the operating system holds it to, so that a message built
// to exhaust memory ends this process and not the window's. Requests come on standard input and
// answers go to standard output (MailWire.h); the window's side kills it past its time limit.

#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderInternal.h"
#include "platform/mail/MailWire.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void writeAll(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(1, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::_Exit(1);  // the window is gone
        done += static_cast<size_t>(n);
    }
}

void answerError(const mailcore::MailError& e)
{
    mailcore::wire::Writer w('E');
    w.u64(static_cast<std::uint64_t>(e.number()));
    w.str(e.description());
    writeAll(w.frame());
}

// Tests make a reader stall or die on a chosen message: "hang:TEXT" or "kill:TEXT" in
// KV_MAIL_READER_TEST acts on a file whose path holds TEXT when its headers are answered, or
// before its answer when they are not answered first.
struct TestHook {
    bool hang = false;
    std::string text;
    void load()
    {
        const char* v = std::getenv("KV_MAIL_READER_TEST");
        if (!v)
            return;
        const std::string s = v;
        if (s.rfind("hang:", 0) == 0 || s.rfind("kill:", 0) == 0) {
            hang = s[0] == 'h';
            text = s.substr(5);
        }
    }
    void act(const std::string& path) const
    {
        if (text.empty() || path.find(text) == std::string::npos)
            return;
        if (hang)
            while (true)
                ::pause();
        ::raise(SIGKILL);
    }
};

void serve(const std::string& payload, const TestHook& hook)
{
    mailcore::wire::Reader r(payload.data(), payload.size());
    const char kind = r.kind();
    const std::string path = r.str();
    if (kind == 'F') {
        bool ok = false;
        const mailcore::MessageInfo info = mailcore::parseMessageFile(path, &ok, [&](const mailcore::MessageInfo& headers) {
            mailcore::wire::Writer h('H');
            h.info(headers);
            writeAll(h.frame());
            hook.act(path);
        });
        hook.act(path);
        mailcore::wire::Writer w('M');
        w.u8(ok ? 1 : 0);
        w.info(info);
        writeAll(w.frame());
        return;
    }
    if (kind == 'h') {
        bool ok = false;
        const mailcore::MessageInfo info = mailcore::parseMessageHeaders(path, &ok);
        mailcore::wire::Writer w('M');
        w.u8(ok ? 1 : 0);
        w.info(info);
        writeAll(w.frame());
        return;
    }
    const mailcore::MessageInfo info = r.info();
    try {
        if (kind == 'B') {
            const std::uint64_t limit = r.u64();
            if (!r.ok())
                std::_Exit(2);
            const mailcore::BodyText body = mailcore::readBodyFile(path, info, static_cast<size_t>(limit));
            mailcore::wire::Writer w('T');
            w.str(body.text);
            w.u8(body.cut ? 1 : 0);
            writeAll(w.frame());
        } else if (kind == 'A') {
            const std::uint64_t j = r.u64();
            const std::string target = r.str();
            const std::string name = r.str();
            if (!r.ok())
                std::_Exit(2);
            const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0)
                throw mailcore::MailError(mailcore::AttachmentWriteFailure,
                                          "添付ファイルを書き込めません: " + name + " (" + std::strerror(errno) + ")");
            try {
                mailcore::writeAttachmentFile(path, info, static_cast<size_t>(j), fd, name);
            } catch (...) {
                ::close(fd);
                throw;
            }
            if (::close(fd) != 0)
                throw mailcore::MailError(mailcore::AttachmentWriteFailure,
                                          "添付ファイルを書き込めません: " + name + " (" + std::strerror(errno) + ")");
            writeAll(mailcore::wire::Writer('K').frame());
        } else {
            std::_Exit(2);
        }
    } catch (const mailcore::MailError& e) {
        answerError(e);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // The limit first, before anything is allocated for a message; hard as well as soft, so
    // nothing in this process can raise it again.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--memory") == 0) {
            const unsigned long long bytes = std::strtoull(argv[i + 1], nullptr, 10);
            const rlimit limit{bytes, bytes};
#if defined(__SANITIZE_ADDRESS__)
            // AddressSanitizer maps terabytes of shadow memory: a sanitized build's reader runs
            // without the limit (its tests of the limit are skipped).
            (void)limit;
#else
            if (bytes == 0 || ::setrlimit(RLIMIT_DATA, &limit) != 0)
                return 3;
#endif
        }
    }
    // The buffers of one message (a body of megabytes, GMime's objects) are taken from the heap
    // and kept there for the next, not mapped and unmapped for each: a page fault costs much
    // more than the bytes it brings. The limit above holds the heap all the same.
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);  // a reader that dies on a message leaves nothing behind
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() == 1)
        return 0;
    TestHook hook;
    hook.load();

    std::string in;
    size_t at = 0;
    char buffer[65536];
    while (true) {
        bool tooLong = false;
        const size_t n = mailcore::wire::completeFrame(in, at, &tooLong);
        if (tooLong)
            return 2;
        if (n > 0) {
            const std::string payload = in.substr(at + 4, n - 4);
            at += n;
            try {
                serve(payload, hook);
            } catch (const std::exception&) {
                std::abort();  // out of memory in the reader's own code: as GMime's allocator does
            }
            continue;
        }
        if (at > 0) {
            in.erase(0, at);
            at = 0;
        }
        const long got = mailcore::readRetrying(0, buffer, sizeof buffer);
        if (got <= 0)
            return 0;  // the window closed its end
        in.append(buffer, static_cast<size_t>(got));
    }
}
