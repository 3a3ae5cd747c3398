#pragma once

#include <QApplication>

namespace korvel {

class MessageBoxes;

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
