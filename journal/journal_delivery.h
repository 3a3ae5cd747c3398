#pragma once

#include "journal/server_connection.h"

#include <QSet>
#include <QString>

namespace korvel {

// What one delivery call did.
struct DeliveryProgress {
    int runs = 0;      // runs some rows of which went to the server
    int answers = 0;   // answer rows sent
    bool more = false; // rows are still waiting (the batch was full)
};

// Delivers the rows of a local journal file that the server does not have
// yet, batch by batch: each batch is one transaction on the server, then one
// on the local file that marks it delivered. Rows are inserted with ON
// CONFLICT DO NOTHING and a run's end through the server's end function, so
// a batch sent twice (the program died between the two commits) is stored
// once. Opens its own connections on the thread that calls it and keeps them
// until destroyed; blocking, so the program calls it from a worker thread.
class JournalDelivery {
public:
    JournalDelivery(const QString& journalPath, const QString& server);
    ~JournalDelivery();
    JournalDelivery(const JournalDelivery&) = delete;
    JournalDelivery& operator=(const JournalDelivery&) = delete;

    // One batch of at most `maxRuns` runs. False with a sentence in problem();
    // the rows then keep waiting, and the problem is written to the local
    // file for `korvelbase journal status`.
    bool deliverBatch(int maxRuns, DeliveryProgress& progress);
    // Batches until nothing waits; the totals in `progress`.
    bool deliverAll(int maxRuns, DeliveryProgress& progress);

    QString problem() const { return problem_; }

private:
    struct WaitingRun;
    bool openLocal();
    bool openServer();
    bool readWaiting(int maxRuns, QList<WaitingRun>& runs, bool& more);
    bool readRows(WaitingRun& run);
    bool send(const QList<WaitingRun>& runs, QString& problem, bool& dataProblem);
    bool markDelivered(const QList<WaitingRun>& runs);
    bool deliverRuns(const QList<WaitingRun>& runs, DeliveryProgress& progress);
    bool fail(const QString& problem);
    void noteDelivered();
    void closeServer();

    QString journalPath_;
    ServerConnection server_;
    QString localName_;
    QString serverName_;
    bool localOpen_ = false;
    bool serverOpen_ = false;
    QString problem_;
    QString recordedProblem_;
    QSet<QString> refused_; // runs the server refused alone: skipped from now on
};

} // namespace korvel
