#include "tools/PictureDecoderQueue.h"

#include "tools/PictureDecoder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QScopeGuard>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <QWaitCondition>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace tools {

namespace {

// Decoded pictures kept at most, in bytes; the oldest go first.
constexpr qint64 kKeptBytes = 512ll * 1024 * 1024;
// How often the time limit of running work is looked at.
constexpr int kWatchMilliseconds = 100;
// Threads of each lane for pictures that are wanted.
constexpr int kLaneThreads = 2;
// Work given up at its limit may go on (a raster read cannot be stopped); while it runs its lane
// gets a thread more, so that it holds back no new request. At most this many such threads in
// all: past them, requests wait, and the limit still answers them.
constexpr int kMostLentThreads = 4;

qint64 SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A lane's workers: its own threads and those lent to it for work given up that still runs.
struct LanePool {
    QThreadPool* pool = nullptr;
    int lent = 0;
};

QMutex lendLock;  // guards every LanePool's lent and the lent total
int lentTotal = 0;

QThreadPool* MakePool(int threads)
{
    // Owned by the application: at its end the pools wait for work under way, which the time
    // limit bounds.
    auto* pool = new QThreadPool(QCoreApplication::instance());
    pool->setMaxThreadCount(threads);
    return pool;
}

LanePool& PoolFor(PictureQueue::Lane lane)
{
    static LanePool main{MakePool(kLaneThreads)};
    static LanePool thumbnails{MakePool(kLaneThreads)};
    return lane == PictureQueue::Lane::Main ? main : thumbnails;
}

} // namespace

size_t qHash(const PictureFile& f, size_t seed)
{
    return qHashMulti(seed, f.path, f.length, f.modifiedMs);
}

PictureFile IdentifyPictureFile(const QString& path)
{
    PictureFile f;
    f.path = path;
    const QFileInfo info(path);
    if (info.isFile()) {
        f.length = info.size();
        f.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    }
    return f;
}

struct PictureQueue::Job {
    enum State { Waiting, Running, RunningGivenUp, Over };
    std::atomic<bool> cancelled{false};
    std::atomic<qint64> startedMs{-1};
    std::atomic<int> state{Waiting};
    QDeadlineTimer deadline;  // counted from the request
    qint64 requestedMs = 0;
    int limit = 0;
    LanePool* lane = nullptr;

    // Given up while it runs: the lane gets a thread more until the work is over.
    void lendThread()
    {
        QMutexLocker l(&lendLock);
        int running = Running;
        if (lentTotal >= kMostLentThreads || !state.compare_exchange_strong(running, RunningGivenUp))
            return;
        ++lentTotal;
        lane->pool->setMaxThreadCount(kLaneThreads + ++lane->lent);
    }
    // On the worker, as its work ends: a thread lent for it goes back.
    void over()
    {
        QMutexLocker l(&lendLock);
        if (state.exchange(Over) != RunningGivenUp)
            return;
        --lentTotal;
        lane->pool->setMaxThreadCount(kLaneThreads + --lane->lent);
    }
};

namespace {

// One opening of a file (a metafile's conversion), shared by the requests under way for it.
struct Opening {
    QMutex lock;
    QWaitCondition finished;
    bool done = false;
    bool gaveUp = false;  // stopped because nobody waited for it any more
    Picture picture;
    QList<std::shared_ptr<std::atomic<bool>>> interested;

    bool abandoned()
    {
        QMutexLocker l(&lock);
        for (const auto& flag : std::as_const(interested))
            if (!flag->load())
                return false;
        return true;
    }
};

} // namespace

struct PictureQueue::Shared {
    QMutex lock;
    PictureQueue* receiver = nullptr;  // null once the queue is gone
    QHash<PictureFile, std::shared_ptr<Opening>> openings;
};

PictureQueue::PictureQueue(QObject* parent) : QObject(parent), shared_(std::make_shared<Shared>())
{
    shared_->receiver = this;
    watchdog_ = new QTimer(this);
    watchdog_->setInterval(kWatchMilliseconds);
    connect(watchdog_, &QTimer::timeout, this, &PictureQueue::watch);
}

PictureQueue::~PictureQueue()
{
    {
        QMutexLocker l(&shared_->lock);
        shared_->receiver = nullptr;
    }
    for (const Pending& p : std::as_const(pending_))
        p.job->cancelled = true;
}

quint64 PictureQueue::request(const QString& path, Lane lane, TargetSize target, Done done)
{
    const PictureFile file = IdentifyPictureFile(path);
    if (const auto n = natural_.constFind(file); n != natural_.constEnd()) {
        if (!n->isValid()) {
            done(DecodedPicture{});
            return 0;
        }
        const QSize size = target(*n);
        if (const auto kept = images_.constFind(ImageKey{file, size}); kept != images_.constEnd()) {
            DecodedPicture d;
            d.natural = *n;
            d.image = *kept;
            d.ok = !kept->isNull();
            done(d);
            return 0;
        }
    }
    const quint64 ticket = nextTicket_++;
    auto job = std::make_shared<Job>();
    job->limit = PictureTimeLimit();
    job->deadline = QDeadlineTimer(job->limit);
    job->requestedMs = SteadyMs();
    job->lane = &PoolFor(lane);
    pending_.insert(ticket, Pending{file, std::move(done), job});
    ++decodesStarted_;
    const std::shared_ptr<Shared> shared = shared_;
    const Opener openFile = opener_ ? opener_ : Opener(&Picture::open);
    auto flag = std::shared_ptr<std::atomic<bool>>(job, &job->cancelled);
    job->lane->pool->start(
        [shared, job, flag, ticket, file, target = std::move(target), openFile] {
            int waiting = Job::Waiting;
            if (!job->state.compare_exchange_strong(waiting, Job::Running))
                return;
            const auto over = qScopeGuard([&job] { job->over(); });
            if (job->cancelled)
                return;
            job->startedMs = SteadyMs();
            const QDeadlineTimer deadline = job->deadline;
            Picture picture;
            for (bool opened = false; !opened && !job->cancelled;) {
                std::shared_ptr<Opening> opening;
                bool mine = false;
                {
                    QMutexLocker l(&shared->lock);
                    opening = shared->openings.value(file);
                    if (!opening) {
                        opening = std::make_shared<Opening>();
                        shared->openings.insert(file, opening);
                        mine = true;
                    }
                    QMutexLocker o(&opening->lock);
                    opening->interested << flag;
                }
                if (mine) {
                    const Picture p = openFile(file.path, deadline, [opening] { return opening->abandoned(); });
                    {
                        QMutexLocker l(&shared->lock);
                        if (shared->openings.value(file) == opening)
                            shared->openings.remove(file);
                    }
                    QMutexLocker o(&opening->lock);
                    opening->picture = p;
                    opening->gaveUp = !p.isValid() && std::all_of(opening->interested.cbegin(), opening->interested.cend(),
                                                                  [](const auto& f) { return f->load(); });
                    opening->done = true;
                    opening->finished.wakeAll();
                }
                QMutexLocker o(&opening->lock);
                while (!opening->done && !job->cancelled)
                    opening->finished.wait(&opening->lock, kWatchMilliseconds);
                if (!opening->done)
                    return;
                // An opening given up for want of takers is tried again by one that came late.
                opened = !opening->gaveUp;
                picture = opening->picture;
            }
            if (job->cancelled)
                return;
            DecodedPicture result;
            result.natural = picture.size();
            QSize size;
            if (picture.isValid() && !deadline.hasExpired()) {
                size = target(picture.size());
                result.image = picture.decode(size, [&job] { return job->cancelled.load(); });
                result.ok = !result.image.isNull() && !deadline.hasExpired();
                if (!result.ok)
                    result.image = QImage();
            }
            if (job->cancelled)
                return;
            QMutexLocker l(&shared->lock);
            if (PictureQueue* q = shared->receiver)
                QMetaObject::invokeMethod(q, [q, ticket, result, size] { q->arrived(ticket, result, size); }, Qt::QueuedConnection);
        },
        lane == Lane::Main ? 1 : 0);
    if (!watchdog_->isActive())
        watchdog_->start();
    return ticket;
}

void PictureQueue::arrived(quint64 ticket, const DecodedPicture& result, QSize target)
{
    const auto it = pending_.constFind(ticket);
    if (it == pending_.constEnd())
        return;  // cancelled, or past its time limit
    keep(it->file, target, result);
    deliver(ticket, result);
}

void PictureQueue::deliver(quint64 ticket, const DecodedPicture& result)
{
    const auto it = pending_.find(ticket);
    if (it == pending_.end())
        return;
    const Done done = std::move(it->done);
    pending_.erase(it);
    if (pending_.isEmpty())
        watchdog_->stop();
    done(result);
    if (pending_.isEmpty())
        emit settled();
}

void PictureQueue::keep(const PictureFile& file, QSize target, const DecodedPicture& result)
{
    natural_.insert(file, result.natural);
    if (!result.natural.isValid())
        return;
    // A size that failed is kept as a null image: it fails again without decoding.
    const ImageKey key{file, target};
    const qint64 bytes = result.image.sizeInBytes();
    if (bytes > kKeptBytes || images_.contains(key))
        return;
    images_.insert(key, result.image);
    keptOrder_ << key;
    keptBytes_ += bytes;
    while (keptBytes_ > kKeptBytes && !keptOrder_.isEmpty()) {
        const ImageKey oldest = keptOrder_.takeFirst();
        keptBytes_ -= images_.take(oldest).sizeInBytes();
    }
}

void PictureQueue::keepOnly(const QStringList& paths)
{
    const QSet<QString> wanted(paths.cbegin(), paths.cend());
    for (auto it = natural_.begin(); it != natural_.end();)
        it = wanted.contains(it.key().path) ? std::next(it) : natural_.erase(it);
    QList<ImageKey> order;
    keptBytes_ = 0;
    for (const ImageKey& key : std::as_const(keptOrder_)) {
        if (wanted.contains(key.file.path)) {
            order << key;
            keptBytes_ += images_.value(key).sizeInBytes();
        } else {
            images_.remove(key);
        }
    }
    keptOrder_ = std::move(order);
}

void PictureQueue::cancel(quint64 ticket)
{
    const auto it = pending_.find(ticket);
    if (it == pending_.end())
        return;
    it->job->cancelled = true;
    pending_.erase(it);
    if (pending_.isEmpty()) {
        watchdog_->stop();
        emit settled();
    }
}

void PictureQueue::cancelAll()
{
    const QList<quint64> tickets = pending_.keys();
    for (quint64 t : tickets)
        cancel(t);
}

void PictureQueue::watch()
{
    QList<quint64> late;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        if (it->job->deadline.hasExpired())
            late << it.key();
    for (quint64 ticket : std::as_const(late)) {
        const auto it = pending_.find(ticket);
        if (it == pending_.end())
            continue;
        const std::shared_ptr<Job> job = it->job;
        job->cancelled = true;
        // Too slow: the picture cannot be shown, now and when it comes back, when its own work
        // had most of the limit. One that spent its time waiting for a thread is tried anew.
        const qint64 started = job->startedMs.load();
        if (started >= 0 && started - job->requestedMs <= job->limit / 2)
            natural_.insert(it->file, QSize());
        job->lendThread();
        deliver(ticket, DecodedPicture{});
    }
}

} // namespace tools
