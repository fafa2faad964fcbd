#pragma once
// The image viewer's pictures, decoded off the window's thread and kept while they are wanted.
//
// A request names a file, the size to decode it at (a function of its own size, which is known
// only once it is opened) and what to do with the result; the result arrives on the window's
// thread, or at once when it is kept already. A request cancelled before its result arrives never
// delivers; work that nobody waits for any more stops. A picture not decoded within the time limit,
// counted from its request, is delivered as one that cannot be shown; work given up so that goes
// on (a raster read cannot be stopped) holds back no later request.
//
// Decoded pictures are kept per file (path, length and modification time) and size until the
// window lets them go (keepOnly), so that a return to a picture does not decode it again.

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include "tools/PictureDecoder.h"

#include <functional>
#include <memory>

class QTimer;

namespace tools {

struct DecodedPicture {
    bool ok = false;  // false: the picture cannot be shown
    QSize natural;    // its own size in pixels, when it could be opened
    QImage image;     // at the size asked for
};

// A file as it is now: a change of its length or time makes it another picture.
struct PictureFile {
    QString path;
    qint64 length = -1;
    qint64 modifiedMs = 0;
    friend bool operator==(const PictureFile&, const PictureFile&) = default;
};
size_t qHash(const PictureFile& f, size_t seed = 0);
PictureFile IdentifyPictureFile(const QString& path);

// The size to decode a picture at, from its own size; an invalid size means its own size.
using TargetSize = std::function<QSize(QSize natural)>;

class PictureQueue : public QObject {
    Q_OBJECT
public:
    // The main picture and the thumbnails have workers of their own, so that a page of slow
    // thumbnails never holds up the picture shown large.
    enum class Lane { Main, Thumbnail };
    using Done = std::function<void(const DecodedPicture&)>;
    // Opens a file as Picture::open does.
    using Opener = std::function<Picture(const QString& path, QDeadlineTimer deadline, const Abandoned& abandoned)>;

    explicit PictureQueue(QObject* parent = nullptr);
    ~PictureQueue() override;

    // 0 when done has run already (the picture was kept); else a ticket for cancel.
    quint64 request(const QString& path, Lane lane, TargetSize target, Done done);
    void cancel(quint64 ticket);
    void cancelAll();

    // Lets go of every kept picture whose file is not one of paths.
    void keepOnly(const QStringList& paths);

    // For tests: files of later requests are opened by opener (an empty one: Picture::open).
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    // Requests whose results have not arrived yet.
    int pending() const { return int(pending_.size()); }
    // Openings started since the queue was made: a kept picture starts none.
    int decodesStarted() const { return decodesStarted_; }

signals:
    // The last pending request has delivered or been cancelled.
    void settled();

private:
    struct Shared;
    struct Job;
    struct Pending {
        PictureFile file;
        Done done;
        std::shared_ptr<Job> job;
    };
    struct ImageKey {
        PictureFile file;
        QSize size;
        friend bool operator==(const ImageKey&, const ImageKey&) = default;
    };
    friend size_t qHash(const ImageKey& k, size_t seed) { return qHashMulti(seed, k.file, k.size.width(), k.size.height()); }

    void arrived(quint64 ticket, const DecodedPicture& result, QSize target);
    void deliver(quint64 ticket, const DecodedPicture& result);
    void keep(const PictureFile& file, QSize target, const DecodedPicture& result);
    void watch();

    std::shared_ptr<Shared> shared_;
    QHash<quint64, Pending> pending_;
    QHash<PictureFile, QSize> natural_;  // own sizes; an invalid size: the file cannot be shown
    QHash<ImageKey, QImage> images_;
    QList<ImageKey> keptOrder_;
    qint64 keptBytes_ = 0;
    quint64 nextTicket_ = 1;
    int decodesStarted_ = 0;
    QTimer* watchdog_ = nullptr;
    Opener opener_;
};

} // namespace tools
