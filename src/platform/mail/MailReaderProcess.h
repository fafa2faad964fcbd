#pragma once
// The mail window's side of the reader processes (kv-mail-reader, MailReaderMain.cpp): received
// mail is read there, never in the window's process, each reader held to a memory limit by the
// operating system and ended here when one message takes it past the time limit. Plain C++.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mailcore {

struct ReaderLimits {
    // The reader's data segment (RLIMIT_DATA: its heap and private mappings).
    std::uint64_t memoryBytes = 0;
    // The longest one message may take, from the reader's start on it to its last answer.
    std::chrono::milliseconds perMessage{0};
};

// What a reader may use, at most: room for any real message within kMaxMessageFileBytes.
constexpr std::uint64_t kReaderMemoryBytes = std::uint64_t(128) << 20;
constexpr std::chrono::milliseconds kReaderTimePerMessage{5000};

// The limits in force: the defaults above, lowered (or raised) by KV_MAIL_READER_MEMORY_MB and
// KV_MAIL_READER_SECONDS in the environment when they hold a positive number.
ReaderLimits readerLimits();

// The reader program: $KV_MAIL_READER, else kv-mail-reader beside the running program, else the
// one this build made.
std::string readerProgram();

// Readers started when first needed, kept for the next requests, started again after one dies.
class ReaderPool {
public:
    explicit ReaderPool(size_t readers);
    ~ReaderPool();
    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;

    // Sends the request frames (MailWire.h) to the readers, several in flight on each, and hands
    // every answer frame's payload to onFrame(request, payload) as it comes. A request whose
    // reader dies, sends a frame that is not one, or passes the time limit gets onFailed(request)
    // (after the frames it did send); that reader is killed and the requests behind it go on in
    // a new one. Throws MailError (Failure) when no reader can be started.
    void run(const std::vector<std::string>& requests, const std::function<void(size_t, const std::string&)>& onFrame,
             const std::function<void(size_t)>& onFailed);

    // How many readers side by side.
    size_t size() const { return processes_.size(); }

private:
    struct Process;
    std::vector<std::unique_ptr<Process>> processes_;
    ReaderLimits limits_;
    std::string program_;
};

} // namespace mailcore
