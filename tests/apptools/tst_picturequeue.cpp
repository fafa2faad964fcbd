// The picture queue's time limit, counted from each request: a stand-in opener plays raster reads
// that cannot be stopped and hold their threads past the limit, and the pictures asked for
// beside or after them are still answered within the limit of their own request.

#include "ViewerFixture.h"
#include "tools/PictureDecoder.h"
#include "tools/PictureDecoderQueue.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QWaitCondition>

#include <memory>

using namespace viewerfixture;
using Lane = tools::PictureQueue::Lane;

namespace {

// The time limit of these tests, and what an answer may take beyond it to come through the
// watchdog and the event loop of a busy machine.
constexpr int kLimit = 1000;
constexpr int kLate = 1000;

// Opens files named stuck* only when released, whatever the deadline or the abandonment say, as
// a raster read does; other files at once.
class StuckReads {
public:
    tools::Picture open(const QString& path, QDeadlineTimer deadline, const tools::Abandoned& abandoned)
    {
        if (QFileInfo(path).fileName().startsWith(QLatin1String("stuck"))) {
            QMutexLocker l(&lock_);
            most_ = qMax(most_, ++running_);
            const QDeadlineTimer safety(60000);  // never outlives a test run that went wrong
            while (!released_ && !safety.hasExpired())
                changed_.wait(&lock_, safety);
            --running_;
            changed_.wakeAll();
        }
        return tools::Picture::open(path, deadline, abandoned);
    }
    void release()
    {
        QMutexLocker l(&lock_);
        released_ = true;
        changed_.wakeAll();
    }
    bool waitUntilIdle()
    {
        QMutexLocker l(&lock_);
        const QDeadlineTimer wait(10000);
        while (running_ > 0 && !wait.hasExpired())
            changed_.wait(&lock_, wait);
        return running_ == 0;
    }
    int running()
    {
        QMutexLocker l(&lock_);
        return running_;
    }
    // The most stuck reads that ran at once.
    int most()
    {
        QMutexLocker l(&lock_);
        return most_;
    }

private:
    QMutex lock_;
    QWaitCondition changed_;
    bool released_ = false;
    int running_ = 0;
    int most_ = 0;
};

struct Answer {
    bool arrived = false;
    bool ok = false;
    qint64 afterMs = -1;  // from the request
};

} // namespace

class TestPictureQueue : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<StuckReads> stuck;
    std::unique_ptr<tools::PictureQueue> queue;

    QString file(const QString& name) const { return dir->filePath(name); }

    // Asks for a picture at 40 x 30; the answer is filled in when it arrives.
    std::shared_ptr<Answer> ask(const QString& name, Lane lane)
    {
        auto answer = std::make_shared<Answer>();
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        queue->request(file(name), lane, [](QSize) { return QSize(40, 30); },
                       [answer, clock](const tools::DecodedPicture& p) {
                           answer->arrived = true;
                           answer->ok = p.ok && !p.image.isNull();
                           answer->afterMs = clock->elapsed();
                       });
        return answer;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < 10; ++i)
            writePicture(file(QStringLiteral("stuck%1.png").arg(i)), 40, 30, Qt::red);
        writePicture(file(QStringLiteral("next.png")), 40, 30, Qt::blue);
        tools::SetPictureTimeLimit(kLimit);
        stuck = std::make_shared<StuckReads>();
        queue = std::make_unique<tools::PictureQueue>();
        queue->setOpener([s = stuck](const QString& path, QDeadlineTimer deadline, const tools::Abandoned& abandoned) {
            return s->open(path, deadline, abandoned);
        });
    }
    void cleanup()
    {
        queue.reset();
        stuck->release();
        QVERIFY(stuck->waitUntilIdle());
        QTest::qWait(50);  // the freed workers end their work and give lent threads back
        tools::SetPictureTimeLimit(tools::kPictureMilliseconds);
        dir.reset();
    }

    // Both threads of a lane held by reads past the limit, and again by the next two on the
    // threads lent for them, and so on; the next picture is asked for beside the last two or
    // once they were given up.
    void nextPictureAnsweredWithinItsLimit_data()
    {
        QTest::addColumn<Lane>("lane");
        QTest::addColumn<int>("stuckPairs");
        QTest::addColumn<bool>("afterGivingUp");
        // Shown, refused ("表示できません"), or either: beside the stuck reads it is shown when
        // they are given up before its own limit is over.
        QTest::addColumn<QString>("answer");
        for (const Lane lane : {Lane::Main, Lane::Thumbnail}) {
            const char* l = lane == Lane::Main ? "main" : "thumbnails";
            QTest::addRow("%s: asked after two stuck reads were given up: shown", l) << lane << 1 << true << "shown";
            QTest::addRow("%s: asked beside two stuck reads: answered", l) << lane << 1 << false << "either";
            QTest::addRow("%s: asked after two more stuck reads on the lent threads: shown", l) << lane << 2 << true << "shown";
            // Lent threads are few: past them the next picture waits, and its limit answers it.
            QTest::addRow("%s: asked after three pairs of stuck reads: refused", l) << lane << 3 << true << "refused";
        }
    }
    void nextPictureAnsweredWithinItsLimit()
    {
        QFETCH(Lane, lane);
        QFETCH(int, stuckPairs);
        QFETCH(bool, afterGivingUp);
        QFETCH(QString, answer);
        QList<std::shared_ptr<Answer>> stuckAnswers;
        for (int pair = 0; pair < stuckPairs; ++pair) {
            const QList<std::shared_ptr<Answer>> these{ask(QStringLiteral("stuck%1.png").arg(2 * pair), lane),
                                                       ask(QStringLiteral("stuck%1.png").arg(2 * pair + 1), lane)};
            stuckAnswers << these;
            QTRY_VERIFY(stuck->running() >= 2 * pair + 2);  // on the threads lent for the ones before
            if (pair + 1 < stuckPairs || afterGivingUp) {
                for (const auto& a : these)
                    QTRY_VERIFY_WITH_TIMEOUT(a->arrived, kLimit + kLate);
            }
        }
        QVERIFY(stuck->running() >= 2);  // the reads go on after they were given up
        const auto next = ask(QStringLiteral("next.png"), lane);
        QTRY_VERIFY_WITH_TIMEOUT(next->arrived, kLimit + kLate);
        QVERIFY2(next->afterMs <= kLimit + kLate, qPrintable(QString::number(next->afterMs)));
        if (answer != QLatin1String("either"))
            QCOMPARE(next->ok, answer == QLatin1String("shown"));
        for (const auto& a : std::as_const(stuckAnswers)) {
            QTRY_VERIFY_WITH_TIMEOUT(a->arrived, kLimit + kLate);
            QVERIFY(!a->ok);
            QVERIFY2(a->afterMs <= kLimit + kLate, qPrintable(QString::number(a->afterMs)));
        }
        QCOMPARE(stuck->running(), 2 * stuckPairs);
        // A picture that only waited for a thread is not taken for one that cannot be shown: asked
        // again once a thread is free, it is decoded.
        if (!next->ok) {
            stuck->release();
            QVERIFY(stuck->waitUntilIdle());
            const auto again = ask(QStringLiteral("next.png"), lane);
            QTRY_VERIFY_WITH_TIMEOUT(again->arrived, kLimit + kLate);
            QVERIFY(again->ok);
        }
    }
};

QTEST_MAIN(TestPictureQueue)
#include "tst_picturequeue.moc"
