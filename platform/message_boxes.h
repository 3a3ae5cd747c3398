#pragma once

#include <QList>
#include <QString>

namespace korvel {

// The kind gives the title: "Confirm", "Information", "Error", "Warning".
enum class MessageKind { Confirmation, Information, Error, Warning };

// Buttons read "&Yes", "&No", "OK", "Cancel". None: the box was closed
// without pressing a button.
enum class MessageButton { None, Yes, No, Ok, Cancel };

QString messageTitle(MessageKind kind);
QString messageButtonText(MessageButton button);

// Every message of the program goes through one of these, so the engine and
// the pages run headless in tests with scripted answers.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A modal skinned box; gives the pressed button.
    virtual MessageButton ask(MessageKind kind, const QString& text,
                              const QList<MessageButton>& buttons) = 0;
    // The platform's plain box with one "OK".
    virtual void plain(const QString& text) = 0;

    void inform(const QString& text) { ask(MessageKind::Information, text, {MessageButton::Ok}); }
    void error(const QString& text) { ask(MessageKind::Error, text, {MessageButton::Ok}); }
    void warn(const QString& text) { ask(MessageKind::Warning, text, {MessageButton::Ok}); }
    bool confirm(const QString& text) {
        return ask(MessageKind::Confirmation, text, {MessageButton::Yes, MessageButton::No}) !=
               MessageButton::No;
    }
};

// Test double: records every box and answers from a queue of next answers
// (the first button offered when the queue is empty).
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        QList<MessageButton> buttons;
        bool plain = false;
    };

    void setNextAnswer(MessageButton button) { answers_.append(button); }
    const QList<Shown>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

    MessageButton ask(MessageKind kind, const QString& text,
                      const QList<MessageButton>& buttons) override {
        shown_.append({kind, text, buttons, false});
        if (!answers_.isEmpty())
            return answers_.takeFirst();
        return buttons.isEmpty() ? MessageButton::None : buttons.first();
    }
    void plain(const QString& text) override {
        shown_.append({MessageKind::Error, text, {MessageButton::Ok}, true});
    }

private:
    QList<MessageButton> answers_;
    QList<Shown> shown_;
};

} // namespace korvel
