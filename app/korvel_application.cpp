#include "app/korvel_application.h"

#include "platform/message_boxes.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <exception>

namespace korvel {

bool installQtTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    const QStringList folders = {
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

KorvelApplication::KorvelApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool KorvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        reportFailure(QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        reportFailure(QStringLiteral("Unknown failure"));
    }
    return false;
}

void KorvelApplication::reportFailure(const QString& text) {
    // A failure inside the error box itself must not open another one.
    if (reporting_ || !boxes_) {
        qWarning("%s", qPrintable(text));
        return;
    }
    reporting_ = true;
    try {
        boxes_->error(text);
    } catch (...) {
        qWarning("%s", qPrintable(text));
    }
    reporting_ = false;
}

} // namespace korvel
