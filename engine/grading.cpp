#include "engine/grading.h"

#include "basestore/base_archive.h"
#include "basestore/descriptor.h"
#include "basestore/record_container.h"
#include "engine/run_engine.h"
#include "platform/message_boxes.h"
#include "richtext/base_text.h"

namespace korvel {

void RunEngine::AnalizeEnter() {
    const int total = page_.buttonRemain + page_.greenLabel + page_.redLabel;
    const int grade = gradeFor(percentage(page_.greenLabel, total));
    const bool good = isGoodGrade(grade);
    playEffect(good ? QStringLiteral("AWARDS") : QStringLiteral("BOO"));

    // The kind of run as the page tells it: the report button is off only
    // for work on errors, and only preparation shows the help button.
    const RunKind kind = !results_.showOtchetEnabled ? RunKind::WorkOnErrors
                         : page_.qButtonVisible      ? RunKind::Preparation
                                                     : RunKind::Exam;
    results_.analizStr = resultText(kind, good) + QString::number(grade);
    results_.analizStrColor = good ? GoodResultColor : BadResultColor;
    results_.showOtchetEnabled = true;
    emitChanged();

    Archiver& archiver = *env_.archiver;
    archiver.setFileName(state_.CurrentBasePath);
    try {
        archiver.ArchiveOpen();
    } catch (const ArchiveError& error) {
        env_.boxes->error(QString::fromLocal8Bit(error.what()));
        return;
    }
    struct Close {
        Archiver& archiver;
        ~Close() { archiver.ArchiveClose(); }
    } close{archiver};
    results_.loserGif.clear();
    try {
        ByteStream picture;
        archiver.ArchiveEntryToStream(
            good ? QStringLiteral("Skin\\good.gif") : QStringLiteral("Skin\\bad.gif"), picture);
        results_.loserGif = picture.bytes();
    } catch (const ArchiveError&) {
        results_.loserGif.clear();
    }
    ++results_.loserGeneration;
    try {
        ByteStream descriptor;
        archiver.ArchiveEntryToStream(QStringLiteral("base.dni"), descriptor);
        descriptor.seek(0);
        if (!descriptor.isEmpty()) {
            const QList<QByteArray> lines =
                good ? descriptorPozdr(descriptor) : descriptorIzdevat(descriptor);
            results_.pozdr = lines.isEmpty()
                                 ? QString()
                                 : fromBaseText(lines.at(env_.random(0, int(lines.size()) - 1)));
        }
    } catch (const ArchiveError&) {
    } catch (const RecordConversionError&) {
    }
    emitChanged();
}

} // namespace korvel
