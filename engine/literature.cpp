#include "basestore/descriptor.h"
#include "basestore/record_container.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "richtext/base_text.h"

#include <QFileInfo>

namespace korvel {

QString RunEngine::literaturePagePath() const {
    ByteStream descriptor = state_.BaseDescriptor;
    descriptor.seek(0);
    QByteArray pageFile;
    try {
        pageFile = literaturePage(descriptor, literatureIndexBytes_);
    } catch (const RecordConversionError&) {
        return {};
    }
    if (pageFile.isEmpty())
        return {};
    const QString path = env_.programFolder + QStringLiteral("Help/") +
                         fromBaseText(pageFile).replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(path).isFile() ? path : QString();
}

void RunEngine::infoButtonClick() {
    playEffect(QStringLiteral("CLICK"));
    const QString path = literaturePagePath();
    if (path.isEmpty())
        return;
    busy_.gauge = 0;
    busy_.gaugeMaximum = 100;
    busy_.windowEnabled = false;
    emitChanged();
    const QString error = env_.window->openLiterature(path, state_.LiteraturePunkt);
    busy_.windowEnabled = true;
    busy_.overlayVisible = false;
    emitChanged();
    if (!error.isEmpty()) {
        env_.boxes->error(error);
        return;
    }
    env_.window->showRunPage(RunPage::Literature);
}

void RunEngine::ViewerProgress(ViewerStage stage, int percent) {
    busy_.gauge = qBound(0, percent, 100);
    if (stage == ViewerStage::Starting)
        busy_.overlayVisible = true;
    else if (stage == ViewerStage::Ending)
        busy_.overlayVisible = false;
    letMessagesBeProcessed();
}

void RunEngine::Image16Click() {
    page_.pictureStretched = !page_.pictureStretched;
    emitChanged();
}

} // namespace korvel
