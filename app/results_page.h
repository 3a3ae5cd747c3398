#pragma once

#include "app/description_panel.h"

#include <QByteArray>
#include <QFrame>
#include <memory>

class QBuffer;
class QLabel;
class QMovie;
class QPushButton;

namespace korvel {

class HoverWatcher;
class RunEngine;

// The results page Analiz: result line, the base's text, the animation
// `loser`, the four buttons and their description panels. It shows the run
// engine's results page state; draw() runs at every change.
class ResultsPage final : public QFrame {
    Q_OBJECT
public:
    explicit ResultsPage(QWidget* parent = nullptr);
    ~ResultsPage() override;

    // Shows `engine`'s results from now on; "Главное меню" goes to it.
    void attach(RunEngine& engine);
    void draw();

    QPushButton* button(const QString& name) const;
    QLabel* resultLine() const { return analizStr_; }
    QLabel* baseText() const { return pozdr_; }
    QLabel* loser() const { return loser_; }
    DescriptionPanels& descriptions() { return *descriptions_; }

    // Loads GIF data from memory into `loser`; false (and an empty picture)
    // when the data is no animation. The animation runs once switched on.
    bool loadLoserAnimation(const QByteArray& gif);
    void clearLoser();
    void startLoser();
    const QByteArray& loserData() const { return loserData_; }

signals:
    void buttonEntered(const QString& name);

private:
    RunEngine* engine_ = nullptr;
    int drawnLoserGeneration_ = 0;
    HoverWatcher* hover_ = nullptr;
    std::unique_ptr<DescriptionPanels> descriptions_;
    QLabel* analizStr_ = nullptr;
    QLabel* pozdr_ = nullptr;
    QLabel* loser_ = nullptr;
    QByteArray loserData_;
    QBuffer* loserBuffer_ = nullptr;
    QMovie* loserMovie_ = nullptr;
};

} // namespace korvel
