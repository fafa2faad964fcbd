// The user's Maildir: finding it, the inbox snapshot, saving attachments and deleting into the
// trash folder. Plain C++ over POSIX calls.

#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderProcess.h"
#include "platform/mail/MailWire.h"

#include <algorithm>
#include <thread>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mailcore {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string uniquePart(const std::string& name)
{
    return name.substr(0, name.find(':'));
}

bool readFlag(const std::string& name)
{
    const size_t info = name.find(":2,");
    return info != std::string::npos && name.find('S', info + 3) != std::string::npos;
}

// The names of the regular files of a folder, hidden ones left out, in byte order.
std::vector<std::string> filesOf(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type != DT_REG && e->d_type != DT_UNKNOWN)
            continue;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::stat((folder + "/" + e->d_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names.emplace_back(e->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string errorText(int e)
{
    return std::strerror(e);
}

// A folder (and its parents) made 0700 where missing; an existing one must be a folder, not a link.
void makeFolder(const std::string& path)
{
    if (path.empty())
        return;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            throw MailError(AttachmentWriteFailure, "フォルダを作成できません: " + path);
        return;
    }
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        makeFolder(path.substr(0, slash));
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw MailError(AttachmentWriteFailure, "フォルダを作成できません: " + path + " (" + errorText(errno) + ")");
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw MailError(AttachmentWriteFailure, "フォルダを作成できません: " + path);
}

// A folder name for a message: its unique name with anything but letters, digits and ".,_=+-"
// replaced, and then a hash of the original so that two names never meet.
std::string messageFolderName(const std::string& unique)
{
    std::string safe;
    bool changed = false;
    for (char c : unique) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '.' || c == ',' || c == '_' || c == '=' || c == '+' || c == '-')
            safe += c;
        else {
            safe += '_';
            changed = true;
        }
    }
    if (safe.empty() || safe[0] == '.' || safe.size() > 120) {
        safe = "m" + safe.substr(0, 120);
        changed = true;
    }
    if (changed) {
        std::uint64_t h = 1469598103934665603ULL;
        for (char c : unique)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
        safe += "-";
        safe += hex;
    }
    return safe;
}

void ensureTrashFolder(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            throw MailError(Failure, "ごみ箱のフォルダを作成できません: " + path);
        return;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw MailError(Failure, "ごみ箱のフォルダを作成できません: " + path + " (" + errorText(errno) + ")");
}

void withoutContent(MessageInfo& info)
{
    info.bodyKind = BodyKind::None;
    info.bodyPart.clear();
    info.attachments.clear();
}

} // namespace

void checkMaildir(const std::string& folder)
{
    if (!isDirectory(folder))
        throw MailError(LoginFailure, "メールボックスが見つかりません: " + folder);
    for (const char* sub : {"cur", "new", "tmp"})
        if (!isDirectory(folder + "/" + sub))
            throw MailError(LoginFailure, "メールボックスに " + std::string(sub) + " フォルダがありません: " + folder);
}

std::string findMaildir()
{
    std::string folder;
    if (const char* m = std::getenv("MAILDIR"); m && *m) {
        folder = m;
    } else {
        std::string home;
        if (const char* h = std::getenv("HOME"); h && *h)
            home = h;
        else if (const passwd* pw = ::getpwuid(::getuid()))
            home = pw->pw_dir;
        if (home.empty())
            throw MailError(LoginFailure, "ホームフォルダが分かりません");
        folder = home + "/Maildir";
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    checkMaildir(folder);
    return folder;
}

std::string defaultAttachmentRoot(const std::string& program)
{
    std::string cache;
    if (const char* c = std::getenv("XDG_CACHE_HOME"); c && *c == '/')
        cache = c;
    else if (const char* h = std::getenv("HOME"); h && *h)
        cache = std::string(h) + "/.cache";
    else
        cache = "/tmp";
    return cache + "/" + program + "/mail-attachments";
}

Inbox Inbox::fetch(const std::string& maildir, bool sorted, const std::string& attachmentRoot)
{
    try {
        checkMaildir(maildir);
    } catch (const MailError& e) {
        throw MailError(Failure, e.description());
    }
    Inbox inbox;
    inbox.maildir_ = maildir;
    inbox.attachmentRoot_ = attachmentRoot;
    struct Entry {
        const char* folder;
        std::string name;
    };
    std::vector<Entry> entries;
    for (const char* folder : {"cur", "new"})
        for (std::string& name : filesOf(maildir + "/" + folder))
            entries.push_back({folder, std::move(name)});

    // Messages are read by reader processes, a few side by side, each sent its files as a
    // stream of requests. A message whose reader dies or runs out of time is listed by its
    // headers alone, as too complex: those the reader gave first (a large file), else those a
    // reader reads again on their own; one whose headers cannot be read that way is damaged.
    std::vector<std::string> requests(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        wire::Writer w('F');
        w.str(maildir + "/" + entries[i].folder + "/" + entries[i].name);
        requests[i] = w.frame();
    }
    std::vector<MessageInfo> parsed(entries.size());
    std::vector<char> found(entries.size(), 0);
    std::vector<char> headed(entries.size(), 0);
    std::vector<size_t> again;
    const auto failed = [&](size_t i) {
        if (headed[i]) {
            found[i] = 1;
            withoutContent(parsed[i]);
            parsed[i].tooComplex = true;
        } else {
            again.push_back(i);
        }
    };
    const size_t readers = std::min<size_t>({4, std::max(1u, std::thread::hardware_concurrency()), entries.size() / 32 + 1});
    inbox.readers_ = std::make_shared<ReaderPool>(readers);
    inbox.readers_->run(
        requests,
        [&](size_t i, const std::string& payload) {
            wire::Reader r(payload.data(), payload.size());
            const char kind = r.kind();
            if (kind == 'H') {
                MessageInfo headers = r.info();
                if (r.ok()) {
                    parsed[i] = std::move(headers);
                    headed[i] = 1;
                }
                return;
            }
            const bool ok = r.u8() != 0;
            MessageInfo info = r.info();
            if (kind != 'M' || !r.ok())
                return failed(i);
            found[i] = ok;
            parsed[i] = std::move(info);
        },
        failed);
    if (!again.empty()) {
        std::vector<std::string> headerRequests;
        for (size_t i : again) {
            wire::Writer w('h');
            w.str(maildir + "/" + entries[i].folder + "/" + entries[i].name);
            headerRequests.push_back(w.frame());
        }
        const auto damaged = [&](size_t k) {
            found[again[k]] = 1;
            parsed[again[k]] = MessageInfo();
            parsed[again[k]].damaged = true;
        };
        inbox.readers_->run(
            headerRequests,
            [&](size_t k, const std::string& payload) {
                wire::Reader r(payload.data(), payload.size());
                const char kind = r.kind();
                const bool ok = r.u8() != 0;
                MessageInfo info = r.info();
                if (kind != 'M' || !r.ok())
                    return damaged(k);
                found[again[k]] = ok;
                parsed[again[k]] = std::move(info);
                parsed[again[k]].tooComplex = !parsed[again[k]].damaged;
            },
            damaged);
    }
    // The readers stay for the bodies and attachments asked for later.

    for (size_t i = 0; i < entries.size(); ++i) {
        if (!found[i])
            continue;  // gone since the listing
        MessageInfo& info = parsed[i];
        info.fileName = entries[i].name;
        info.uniqueName = uniquePart(info.fileName);
        info.folder = entries[i].folder;
        info.read = info.folder == "cur" && readFlag(info.fileName);
        inbox.messages_.push_back(std::move(info));
    }
    if (sorted) {
        std::stable_sort(inbox.messages_.begin(), inbox.messages_.end(), [](const MessageInfo& a, const MessageInfo& b) {
            const std::int64_t ta = a.hasDate ? a.receivedTime : LLONG_MIN;
            const std::int64_t tb = b.hasDate ? b.receivedTime : LLONG_MIN;
            if (ta != tb)
                return ta < tb;
            return a.fileName < b.fileName;
        });
    }
    inbox.deleted_.assign(inbox.messages_.size(), false);
    inbox.bodies_.resize(inbox.messages_.size());
    return inbox;
}

const MessageInfo& Inbox::message(size_t index) const
{
    if (index >= messages_.size())
        throw MailError(InvalidMessage, "メールの番号が正しくありません: " + std::to_string(index));
    return messages_[index];
}

bool Inbox::deleted(size_t index) const
{
    message(index);
    return deleted_[index];
}

std::string Inbox::locate(size_t index) const
{
    const MessageInfo& m = message(index);
    const std::string first = maildir_ + "/" + m.folder + "/" + m.fileName;
    if (exists(first))
        return first;
    for (const char* folder : {"new", "cur"}) {
        const std::string dir = maildir_ + "/" + folder;
        DIR* d = ::opendir(dir.c_str());
        if (!d)
            continue;
        std::string found;
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.' && uniquePart(e->d_name) == m.uniqueName) {
                found = dir + "/" + e->d_name;
                break;
            }
        }
        ::closedir(d);
        if (!found.empty())
            return found;
    }
    return {};
}

std::string Inbox::locateOrThrow(size_t index) const
{
    const std::string path = locate(index);
    if (path.empty())
        throw MailError(InvalidMessage, "メールのファイルが見つかりません: " + message(index).fileName);
    return path;
}

ReaderPool& Inbox::readers()
{
    if (!readers_)
        readers_ = std::make_shared<ReaderPool>(1);
    return *readers_;
}

const std::string& Inbox::body(size_t index)
{
    const MessageInfo& m = message(index);
    const bool sequential = index > 0 && lastBodyAsked_ == index - 1;
    lastBodyAsked_ = index;
    if (bodies_[index])
        return bodies_[index]->text;
    const auto readable = [&](size_t i) {
        const MessageInfo& info = messages_[i];
        return info.bodyKind != BodyKind::None && !info.tooLarge && !info.tooComplex && !info.damaged;
    };
    if (!readable(index)) {
        keepBodies({{index, BodyText()}});
        return bodies_[index]->text;
    }
    // Bodies asked for one after another (the CSV list) are read ahead on every reader, so that
    // the next are read while this one is used. Only this one's failures count: a message read
    // ahead that fails is left to be asked for itself.
    std::vector<size_t> wanted{index};
    std::vector<std::string> requests;
    const auto request = [&](size_t i) {
        wire::Writer w('B');
        w.str(locateOrThrow(i));
        w.info(messages_[i]);
        w.u64(kMaxBodyTextBytes);
        requests.push_back(w.frame());
    };
    request(index);
    if (sequential) {
        for (size_t i = index + 1; i < messages_.size() && wanted.size() < 2 * readers().size(); ++i) {
            if (bodies_[i] || !readable(i) || locate(i).empty())
                continue;
            wanted.push_back(i);
            request(i);
        }
    }
    std::vector<std::pair<size_t, BodyText>> read(wanted.size());
    std::vector<char> answered(wanted.size(), 0);
    int errorNumber = 0;
    std::string errorDescription;
    readers().run(
        requests,
        [&](size_t k, const std::string& payload) {
            wire::Reader r(payload.data(), payload.size());
            const char kind = r.kind();
            if (kind == 'T') {
                read[k].second.text = r.str();
                read[k].second.cut = r.u8() != 0;
            } else if (kind == 'E' && k == 0) {
                errorNumber = static_cast<int>(r.u64());
                errorDescription = r.str();
            }
            answered[k] = r.ok() && kind == 'T';
        },
        [](size_t) {});
    if (errorNumber != 0)
        throw MailError(errorNumber, errorDescription);
    std::vector<std::pair<size_t, BodyText>> kept;
    if (!answered[0]) {
        // Past the reader's bounds now: from here on the message is one too complex.
        withoutContent(messages_[index]);
        messages_[index].tooComplex = true;
        kept.emplace_back(index, BodyText());
    }
    for (size_t k = 0; k < wanted.size(); ++k)
        if (answered[k])
            kept.emplace_back(wanted[k], std::move(read[k].second));
    keepBodies(std::move(kept));
    return bodies_[index]->text;
}

void Inbox::keepBodies(std::vector<std::pair<size_t, BodyText>> read)
{
    // The bodies kept stay bounded however many are read (the CSV list reads them all).
    constexpr size_t kKeptBodyBytes = size_t(64) << 20;
    size_t bytes = 0;
    for (const auto& r : read)
        bytes += r.second.text.size();
    if (bodyBytesKept_ + bytes > kKeptBodyBytes) {
        for (auto& kept : bodies_)
            kept.reset();
        bodyBytesKept_ = 0;
    }
    for (auto& r : read) {
        bodyBytesKept_ += r.second.text.size();
        bodies_[r.first] = std::make_unique<BodyText>(std::move(r.second));
    }
}

bool Inbox::bodyCut(size_t index)
{
    body(index);
    return bodies_[index]->cut;
}

std::string Inbox::attachmentPath(size_t index, size_t j) const
{
    const MessageInfo& m = message(index);
    if (j >= m.attachments.size())
        throw MailError(InvalidMessage, "添付ファイルの番号が正しくありません: " + std::to_string(j));
    return attachmentRoot_ + "/" + messageFolderName(m.uniqueName) + "/" + std::to_string(j) + "/" + m.attachments[j].fileName;
}

std::string Inbox::saveAttachment(size_t index, size_t j)
{
    const std::string path = attachmentPath(index, j);
    const MessageInfo& m = message(index);
    const std::string source = locateOrThrow(index);
    const std::string folder = path.substr(0, path.find_last_of('/'));
    makeFolder(folder);
    std::string temp = folder + "/.part-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // 0600
    if (fd < 0)
        throw MailError(AttachmentWriteFailure, "添付ファイルを書き込めません: " + path + " (" + errorText(errno) + ")");
    // The reader decodes the part into the file made here (0600), by its name.
    wire::Writer w('A');
    w.str(source);
    w.info(m);
    w.u64(j);
    w.str(temp);
    w.str(path);
    int errorNumber = 0;
    std::string errorDescription;
    bool failed = false;
    try {
        readers().run(
            {w.frame()},
            [&](size_t, const std::string& payload) {
                wire::Reader r(payload.data(), payload.size());
                const char kind = r.kind();
                if (kind == 'E') {
                    errorNumber = static_cast<int>(r.u64());
                    errorDescription = r.str();
                }
                failed = !r.ok() || (kind != 'K' && kind != 'E');
            },
            [&](size_t) { failed = true; });
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (failed || errorNumber != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        if (failed)
            throw MailError(InvalidMessage, "メールの構成が複雑すぎるため添付ファイルを読めません: " + m.fileName);
        throw MailError(errorNumber, errorDescription);
    }
    bool ok = ::fchmod(fd, 0600) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        throw MailError(AttachmentWriteFailure, "添付ファイルを書き込めません: " + path + " (" + errorText(e) + ")");
    }
    return path;
}

void Inbox::remove(size_t index)
{
    const MessageInfo& m = message(index);
    if (deleted_[index])
        throw MailError(MessageDeleted, "このメールは削除済みです: " + m.fileName);
    const std::string source = locate(index);
    if (source.empty())
        throw MailError(InvalidMessage, "メールのファイルが見つかりません: " + m.fileName);
    const std::string trash = maildir_ + "/.Trash";
    ensureTrashFolder(trash);
    for (const char* sub : {"cur", "new", "tmp"})
        ensureTrashFolder(trash + "/" + sub);
    std::string name = source.substr(source.find_last_of('/') + 1);
    const bool fromNew = source.compare(maildir_.size() + 1, 4, "new/") == 0;
    if (fromNew && name.find(":2,") == std::string::npos)
        name += ":2,";
    const std::string target = trash + "/cur/" + name;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        int e = errno;
        if (e == EINVAL || e == ENOSYS) {
            // A file system without the no-replace rename: a second name (refused when taken),
            // then the old name removed; the message itself never goes away.
            if (::link(source.c_str(), target.c_str()) == 0) {
                ::unlink(source.c_str());
                e = 0;
            } else {
                e = errno;
            }
        }
        if (e == EEXIST)
            throw MailError(Failure, "ごみ箱に同じ名前のファイルがあります: " + name);
        if (e != 0)
            throw MailError(Failure, "メールをごみ箱へ移せません: " + m.fileName + " (" + errorText(e) + ")");
    }
    deleted_[index] = true;
}

} // namespace mailcore
