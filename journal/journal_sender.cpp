#include "journal/journal_sender.h"

#include "journal/journal_delivery.h"

#include <QMutexLocker>
#include <QTimer>
#include <algorithm>

namespace korvel {

// Lives on the sender's thread: one batch per timer shot, so that a stop
// request is seen between two batches.
class DeliveryWorker : public QObject {
public:
    DeliveryWorker(JournalSender& sender, const QString& journalPath, const QString& server,
                   const DeliverySchedule& schedule)
        : sender_(sender)
        , delivery_(journalPath, server)
        , schedule_(schedule) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { deliver(); });
        timer_.start(0);
    }

    void wake() {
        if (retryMs_ == 0)
            timer_.start(0);
    }

private:
    void deliver() {
        DeliveryProgress progress;
        if (delivery_.deliverBatch(schedule_.batchRuns, progress)) {
            retryMs_ = 0;
            timer_.start(progress.more ? 0 : schedule_.pollMs);
        } else {
            retryMs_ = retryMs_ == 0 ? schedule_.firstRetryMs
                                     : std::min(retryMs_ * 2, schedule_.longestRetryMs);
            timer_.start(retryMs_);
        }
        sender_.setProblem(delivery_.problem());
    }

    JournalSender& sender_;
    JournalDelivery delivery_;
    DeliverySchedule schedule_;
    QTimer timer_;
    int retryMs_ = 0;
};

JournalSender::Thread::Thread(JournalSender& sender, QString journalPath, QString server,
                              DeliverySchedule schedule)
    : sender_(sender)
    , journalPath_(std::move(journalPath))
    , server_(std::move(server))
    , schedule_(schedule) {}

void JournalSender::Thread::run() {
    // Made and destroyed here: its database connections belong to this thread.
    DeliveryWorker worker(sender_, journalPath_, server_, schedule_);
    sender_.setWorker(&worker);
    exec();
    sender_.setWorker(nullptr);
}

JournalSender::JournalSender(const QString& journalPath, const QString& server,
                             const DeliverySchedule& schedule)
    : thread_(*this, journalPath, server, schedule) {
    thread_.setObjectName(QStringLiteral("journal delivery"));
    thread_.start(QThread::LowPriority);
}

JournalSender::~JournalSender() {
    thread_.quit();
    thread_.wait();
}

void JournalSender::wake() {
    QMutexLocker lock(&mutex_);
    if (worker_)
        QMetaObject::invokeMethod(
            worker_, [worker = worker_] { worker->wake(); }, Qt::QueuedConnection);
}

QString JournalSender::problem() const {
    QMutexLocker lock(&mutex_);
    return problem_;
}

void JournalSender::setProblem(const QString& problem) {
    QMutexLocker lock(&mutex_);
    problem_ = problem;
}

void JournalSender::setWorker(DeliveryWorker* worker) {
    QMutexLocker lock(&mutex_);
    worker_ = worker;
}

} // namespace korvel
