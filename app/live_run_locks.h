#pragma once

#include <QString>
#include <map>
#include <memory>

class QLockFile;

namespace korvel {

// The runs this copy of the program is sitting, each marked by a lock file
// beside the journal while it goes on. A second copy started on the same
// station and account then does not take a live run for one a crash left
// unfinished; the lock of a killed program is stale and does not count.
class LiveRunLocks {
public:
    explicit LiveRunLocks(QString journalPath);
    ~LiveRunLocks();

    void hold(const QString& runId);
    void release(const QString& runId);
    // Another running program holds the run's lock.
    bool heldElsewhere(const QString& runId) const;

private:
    QString lockPath(const QString& runId) const;

    QString journalPath_;
    std::map<QString, std::unique_ptr<QLockFile>> held_;
};

} // namespace korvel
