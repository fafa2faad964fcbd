#pragma once
// The mail client underneath the mail window, in plain C++ (no Qt, no glib in this header): the
// user's Maildir read as a snapshot, received messages decoded with GMime in reader processes of
// their own (MailReaderProcess.h: the Inbox never parses a message file itself), deleting into the
// Maildir's trash, and outgoing messages built with GMime and handed to sendmail.
// The Qt-facing classes of MailSession.h wrap this; the window uses those.
//
// Every failure throws MailError, which carries a number and a description.

#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace mailcore {

// Error numbers, those of the old mail session, so that reports read as they did.
enum ErrorNumber : int {
    Failure = 32002,                 // unspecified failure (sendmail failed, a file could not be read)
    LoginFailure = 32003,            // no usable Maildir at sign-on
    AttachmentNotFound = 32010,      // an attachment file to send does not exist
    AttachmentOpenFailure = 32011,   // an attachment file to send cannot be read
    AttachmentWriteFailure = 32012,  // a received attachment cannot be written
    InvalidMessage = 32016,          // the message file is gone, or the index chooses no message
    InvalidSession = 32018,          // the session id is not that of a signed-on session
    InvalidRecips = 32024,           // a recipient text holds something that is not a plain address
    MessageDeleted = 32021,          // the message is already deleted ("message in use")
    NoRecipients = 32057,            // the To text holds no address
};

class MailError : public std::runtime_error {
public:
    MailError(int number, std::string description);
    int number() const { return number_; }
    const std::string& description() const { return description_; }
    // "number\ndescription", as the window reports it.
    std::string text() const;

private:
    int number_;
    std::string description_;
};

// ---- Received mail ----

// Bounds of reading a received message: mail comes from anyone.
// A message file larger than this is read for its headers only: no body, no attachments.
constexpr std::int64_t kMaxMessageFileBytes = std::int64_t(64) << 20;
// The body text kept of a message (UTF-8 bytes): the list, the preview, the reply and the CSV
// list take at most this much.
constexpr size_t kMaxBodyTextBytes = size_t(1) << 20;
// The headers of a message must end within this many bytes, else the message is damaged.
constexpr size_t kMaxHeaderBlockBytes = size_t(1) << 20;
// A message of more MIME parts than this in all (at every level), or nesting them deeper
// (multiparts and attached messages), is read for its headers only, as a message too large is.
constexpr size_t kMaxMimeParts = 10000;
constexpr int kMaxMimeDepth = 100;

struct AttachmentInfo {
    std::string name;      // decoded file name, cleaned; "" when the part names none
    std::string fileName;  // the name the saved file gets: the last component, never empty
    std::vector<int> part; // where the part lies in the MIME tree (child indexes from the top)
};

enum class BodyKind { None, Plain, Html };

// One message as a fetch parsed it. All texts are UTF-8; header texts hold no control characters.
struct MessageInfo {
    std::string uniqueName;   // the Maildir name before ":"; finds the file again after a rename
    std::string fileName;     // the file's name at the fetch
    std::string folder;       // "new" or "cur" at the fetch
    bool read = false;        // "S" among the flags of the file name ("new" never is)
    std::string dateReceived; // "yyyy/mm/dd hh:mm" local time; "" when there is no usable date
    std::int64_t receivedTime = 0;  // seconds since the epoch; 0 with no date
    bool hasDate = false;
    std::string displayName;  // the sender's display name ("" when none)
    std::string address;      // the sender's address ("" when none)
    std::string subject;
    BodyKind bodyKind = BodyKind::None;
    std::vector<int> bodyPart;
    std::vector<AttachmentInfo> attachments;
    // The file was larger than kMaxMessageFileBytes: only its headers were read.
    bool tooLarge = false;
    // The message holds more than kMaxMimeParts parts or nests deeper than kMaxMimeDepth: only
    // its headers were read.
    bool tooComplex = false;
    // The file could not be read as a message within the bounds (empty, no headers GMime can
    // read, headers that do not end within kMaxHeaderBlockBytes): listed without headers.
    bool damaged = false;
};

// A body text, and whether it was cut at kMaxBodyTextBytes (or its part was read only so far).
struct BodyText {
    std::string text;
    bool cut = false;
};

// A message file's bytes parsed once: headers and structure (never the body text); headers only
// (tooComplex) when the structure passes kMaxMimeParts or kMaxMimeDepth.
MessageInfo parseMessage(const std::string& bytes);
// The body text of parsed bytes: the first text/plain part, else the text of the HTML part;
// line breaks made LF, tabs kept, other control characters made spaces. "" when there is none.
// At most kMaxBodyTextBytes of it.
std::string readBody(const std::string& bytes, const MessageInfo& info);
// The decoded bytes of attachment j of parsed bytes.
std::string readAttachment(const std::string& bytes, const MessageInfo& info, size_t j);

// A built message read back (tests and the recording transport): recipients, subject, body and
// attachments (name, bytes).
struct SentMessage {
    std::vector<std::string> to, cc;
    std::string subject, body;
    std::vector<std::pair<std::string, std::string>> attachments;
};
SentMessage readBack(const std::string& bytes);

// The received date text of a date header value, local time; "" when it does not parse.
std::string formatReceivedDate(const std::string& headerValue, std::int64_t* seconds = nullptr);

// The Maildir of the environment: $MAILDIR, else $HOME/Maildir. It must hold the folders cur, new
// and tmp; otherwise LoginFailure naming the folder. Creates and changes nothing.
std::string findMaildir();
void checkMaildir(const std::string& folder);

// The default folder for saved attachments: $XDG_CACHE_HOME (else ~/.cache)/<program>/mail-attachments.
std::string defaultAttachmentRoot(const std::string& program);

// A snapshot of the inbox ("new" and "cur"): stable until the next fetch. Indexes never change;
// a deleted entry stays, marked deleted.
class ReaderPool;

class Inbox {
public:
    Inbox() = default;
    // Reads the inbox of the Maildir, sorted by received date and then file name when `sorted`,
    // else "cur" and then "new", each by file name. Reads only: nothing in the Maildir changes.
    // `attachmentRoot` is where attachments are saved when asked (see attachmentPath).
    static Inbox fetch(const std::string& maildir, bool sorted, const std::string& attachmentRoot);

    size_t count() const { return messages_.size(); }
    // The message at the index; InvalidMessage when there is none.
    const MessageInfo& message(size_t index) const;
    bool deleted(size_t index) const;

    // The body text, read from the file found by its unique name in new or cur when first asked
    // and then kept (bodies kept are bounded in all; the oldest are read again when needed).
    // At most kMaxBodyTextBytes; "" for a message too large, too complex or damaged. InvalidMessage naming
    // the file when it is gone.
    const std::string& body(size_t index);
    // Whether body(index) was cut at its bound (reads the body when not read yet).
    bool bodyCut(size_t index);

    // Where attachment j is saved: <root>/<message>/<j>/<name>, the name reduced to its last
    // component. Writes nothing.
    std::string attachmentPath(size_t index, size_t j) const;
    // Writes attachment j to attachmentPath (folders 0700, file 0600) and returns the path.
    // The attachment is decoded from the message file as a stream, whole, never held in memory.
    // An existing file there is replaced. InvalidMessage when the message file is gone.
    std::string saveAttachment(size_t index, size_t j);

    // Moves the message file into .Trash/cur of the Maildir (".Trash" with cur, new and tmp made
    // 0700 when missing); a file from new gets ":2," on its name. Never unlinks, never replaces
    // a file. The entry stays, marked deleted; deleting it again gives MessageDeleted.
    void remove(size_t index);

    const std::string& maildir() const { return maildir_; }

private:
    // The file of the message now: found by its unique name in new or cur. "" when gone.
    std::string locate(size_t index) const;
    // locate, or InvalidMessage naming the file when it is gone.
    std::string locateOrThrow(size_t index) const;
    // The reader processes that read the message files (MailReaderProcess.h).
    ReaderPool& readers();
    // Bodies read, kept within their bound.
    void keepBodies(std::vector<std::pair<size_t, BodyText>> read);

    std::string maildir_;
    std::string attachmentRoot_;
    std::vector<MessageInfo> messages_;
    std::vector<bool> deleted_;
    std::vector<std::unique_ptr<BodyText>> bodies_;
    size_t bodyBytesKept_ = 0;
    std::shared_ptr<ReaderPool> readers_;
    size_t lastBodyAsked_ = size_t(-1);
};

// ---- Outgoing mail ----

struct OutgoingMessage {
    std::string subject;
    std::string body;
    std::string to;   // recipient text: addresses split at ";" and ","
    std::string cc;   // one CC text, split the same way
    std::vector<std::string> attachments;  // paths of the files to attach, in order
};

// The addresses of a recipient text: split at ";" and ",", surrounding spaces trimmed, empty
// parts dropped. Each must be a plain address (local@domain in printable ASCII: no display name,
// no control character, no space, no "<>", no leading "-"), else InvalidRecips naming it.
std::vector<std::string> splitRecipients(const std::string& text);

// The message as bytes (UTF-8 text, RFC 2047 headers, RFC 2231 file names, base64 where needed).
// Checks the recipients first (splitRecipients; a To text without an address gives NoRecipients)
// and the attachment files (AttachmentNotFound, AttachmentOpenFailure). Control characters of the
// subject become spaces.
std::string buildMessage(const OutgoingMessage& message);

// Where built messages go.
class Transport {
public:
    virtual ~Transport() = default;
    // Hands over the bytes of one built message; throws MailError when it fails.
    virtual void send(const std::string& bytes) = 0;
};

// Pipes the message to sendmail: $SENDMAIL, else /usr/sbin/sendmail, read when sending, started
// directly (no shell) with exactly the arguments "-t -oi", so that no address reaches its command
// line. Waits at most `timeout`; a failure to start, a failing exit status (with the first lines
// of its error output) or the time running out is a Failure.
class SendmailTransport : public Transport {
public:
    explicit SendmailTransport(std::chrono::milliseconds timeout = std::chrono::seconds(60)) : timeout_(timeout) {}
    static std::string program();
    void send(const std::string& bytes) override;

private:
    std::chrono::milliseconds timeout_;
};

// Runs a program with the arguments, the input on its standard input, within the time limit:
// the exit status, or throws Failure when it cannot start or runs out of time. `errorOutput`
// receives the start of its error output. The benchmark's baseline uses it too.
int runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
               std::chrono::milliseconds timeout, std::string* errorOutput);

} // namespace mailcore
