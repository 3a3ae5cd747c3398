#pragma once

#include <QMutex>
#include <QString>
#include <QThread>

namespace korvel {

struct DeliverySchedule {
    int pollMs = 2000;          // how often the journal is looked at for new rows
    int firstRetryMs = 1000;    // after a failure; doubled at each further one
    int longestRetryMs = 60000; // the longest wait between two attempts
    int batchRuns = 50;         // runs per server transaction
};

class DeliveryWorker;

// Delivers a local journal's rows to a centre's server in the background, for
// as long as it lives; what was delivered is kept in the journal file, so it
// goes on after a restart where it stopped.
//
// It works on a thread of its own with its own connections: Qt's PostgreSQL
// driver blocks in libpq for every connect (up to its timeout when the host
// does not answer) and for every statement, and a connection may only be used
// by the thread that made it. On the interface thread an unreachable server
// would freeze the exam; here it costs the exam nothing.
class JournalSender {
public:
    JournalSender(const QString& journalPath, const QString& server,
                  const DeliverySchedule& schedule = {});
    // Lets the batch in flight finish (bounded by the connect timeout), then
    // stops; what was not delivered waits in the journal.
    ~JournalSender();
    JournalSender(const JournalSender&) = delete;
    JournalSender& operator=(const JournalSender&) = delete;

    // Rows were recorded: deliver them now, unless waiting to retry after a
    // failure. Safe from any thread.
    void wake();
    // Why the last attempt failed; empty after a success.
    QString problem() const;

private:
    friend class DeliveryWorker;
    void setProblem(const QString& problem);
    void setWorker(DeliveryWorker* worker);

    class Thread : public QThread {
    public:
        Thread(JournalSender& sender, QString journalPath, QString server,
               DeliverySchedule schedule);
        void run() override;

    private:
        JournalSender& sender_;
        QString journalPath_;
        QString server_;
        DeliverySchedule schedule_;
    };

    mutable QMutex mutex_;
    QString problem_;
    DeliveryWorker* worker_ = nullptr; // while its thread runs
    Thread thread_;
};

} // namespace korvel
