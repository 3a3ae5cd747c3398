#include "report/report_saving.h"

#include "richtext/rtf_writer.h"

#include <QSaveFile>

namespace korvel {

QString saveReport(const QTextDocument& document, const QString& path) {
    const QByteArray rtf = writeRtf(document);
    QSaveFile file(path);
    const auto failure = [&] {
        const QString reason = file.errorString();
        return reason.isEmpty() ? QStringLiteral("Cannot write %1").arg(path)
                                : QStringLiteral("Cannot write %1: %2").arg(path, reason);
    };
    // Unbuffered, so a short write (a full disk) shows here: a buffered
    // QSaveFile can lose the tail and still commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure();
    for (qint64 written = 0; written < rtf.size();) {
        const qint64 count = file.write(rtf.constData() + written, rtf.size() - written);
        if (count <= 0) {
            const QString error = failure();
            file.cancelWriting();
            return error;
        }
        written += count;
    }
    if (!file.commit())
        return failure();
    return {};
}

} // namespace korvel
