#pragma once

#include <QApplication>

namespace korvel {

class MessageBoxes;

// Qt's own texts in Russian, the program's language: the colour, file and
// print dialogs and the standard buttons. Looks for qtbase_ru beside the
// program (translations/) and in Qt's translations folder; false when it is
// in neither. The program's own texts are not translated and stay as written.
bool installQtTranslations(QCoreApplication& application);

// The application object: a failure that no handler catches ends up here and
// is shown in the standard error box instead of ending the program.
class KorvelApplication final : public QApplication {
public:
    KorvelApplication(int& argc, char** argv);

    // Where uncaught failures are shown; none: they are only written to stderr.
    void setFailureBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void reportFailure(const QString& text);

    MessageBoxes* boxes_ = nullptr;
    bool reporting_ = false;
};

} // namespace korvel
