#include "BenchMailBaseline.h"

#include "platform/mail/MailReaderInternal.h"

#include <gmime/gmime.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

// GMime set up as the mail reader sets it up: with the converters of the mail charsets kept
// loaded, without which glibc loads a charset's module again for every encoded header.
void plainInit()
{
    mailcore::ensureGMime();
}

} // namespace

void plainGMimeParse(const std::vector<std::string>& files)
{
    plainInit();
    for (const std::string& f : files) {
        const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        GMimeStream* stream = g_mime_stream_fs_new(fd);
        GMimeParser* parser = g_mime_parser_new_with_stream(stream);
        GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
        if (message)
            g_object_unref(message);
        g_object_unref(parser);
        g_object_unref(stream);
    }
}

std::string plainGMimeBody(const std::string& file)
{
    plainInit();
    std::string text;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    GMimeStream* stream = g_mime_stream_fs_new(fd);
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    if (message) {
        GMimeObject* body = g_mime_message_get_body(message);
        if (body && GMIME_IS_TEXT_PART(body)) {
            char* t = g_mime_text_part_get_text(GMIME_TEXT_PART(body));
            if (t)
                text = t;
            g_free(t);
        }
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return text;
}

int plainSpawn(const std::string& program, const std::vector<std::string>& args, const std::string& input)
{
    int p[2];
    if (::pipe2(p, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, p[0], 0);
    std::vector<std::string> store{program};
    store.insert(store.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : store)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(p[0]);
    if (rc != 0) {
        ::close(p[1]);
        return -1;
    }
    size_t done = 0;
    while (done < input.size()) {
        const ssize_t n = ::write(p[1], input.data() + done, input.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(p[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace bench
