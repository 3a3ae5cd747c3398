#pragma once

// The real main window on a copy of the demo base, with every seam pinned:
// scripted boxes, recorded sounds, handed-out random numbers, a fixed time of
// day and dialogs worked by the test.
#include "app/answer_widgets.h"
#include "app/main_window.h"
#include "app/open_base_page.h"
#include "platform/message_boxes.h"
#include "platform/sound_output.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace korvel {

constexpr int RightColor = 13303754;
constexpr int WrongColor = 8421631;
constexpr int ChosenColor = 13303600;
constexpr int MarkedColor = 16772810;
constexpr int CurrentColor = 16508074;
constexpr int WhiteColor = 16777215;

class EventSound final : public SoundOutput {
public:
    QStringList played;
    void stopAll() override {}
    void play(const QString& name) override { played.append(name); }
};

// Typed key by key; QTest::keyClicks takes Latin-1 only.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

template <class W = QWidget>
W* inside(QWidget* parent, const QString& name) {
    W* widget = parent->findChild<W*>(name);
    if (!widget)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(parent->objectName()));
    return widget;
}

// The program folder of a test: a temporary one, or one handed in by the
// process that made it (and removes it).
class TestFolder {
public:
    TestFolder()
        : dir_(std::make_unique<QTemporaryDir>())
        , path_(dir_->path()) {}
    explicit TestFolder(const QString& path)
        : path_(path) {}
    QString path() const { return path_; }
    QString filePath(const QString& name) const { return QDir(path_).filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
};

class WindowFixture {
protected:
    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<ScriptedMessageBoxes> boxes_;
    std::unique_ptr<EventSound> sound_;
    std::unique_ptr<TForm1> window_;
    QList<int> draws_; // the random numbers handed out, in order; then 0
    QTime now_{9, 5};
    QDateTime utc_{QDate(2026, 3, 2), QTime(6, 5), Qt::UTC};
    std::function<void(QDialog&)> dialog_;
    // The save dialog's answer (empty: cancel) and the request it was given.
    QString saveAnswer_;
    SaveDialogRequest saveRequest_;
    // The PDF file the print dialog chooses (empty: cancel), and the job's
    // title as the dialog saw it.
    QString printFile_;
    QString printJob_;
    // What was handed to the desktop.
    QList<QUrl> openedUrls_;

    TForm1& start(const QString& basePath = QStringLiteral(KORVEL_DEMO_BASE)) {
        QDir(folder_->path()).mkpath("Base");
        // A folder handed in may hold the base already, answered on before.
        if (!QFile::exists(folder_->filePath("Base/demo.zip")) &&
            !QFile::copy(basePath, folder_->filePath("Base/demo.zip")))
            qFatal("cannot copy the base %s", qPrintable(basePath));
        // The demo base's literature pages beside it, as the build lays them out.
        QDir(folder_->path()).mkpath("Help");
        const QDir help(QStringLiteral(KORVEL_DEMO_HELP));
        for (const QString& page : help.entryList({QStringLiteral("*.htm")}, QDir::Files))
            QFile::copy(help.filePath(page), folder_->filePath("Help/" + page));
        ShellEnvironment environment;
        environment.programFolder = folder_->path();
        environment.settings = settings_.get();
        environment.boxes = boxes_.get();
        environment.sound = sound_.get();
        environment.splashTickMs = 1;
        environment.openUrl = [this](const QUrl& url) {
            openedUrls_.append(url);
            return true;
        };
        environment.random = [this](int low, int high) {
            const int r = draws_.isEmpty() ? low : draws_.takeFirst();
            return qBound(low, r, high);
        };
        environment.timeOfDay = [this] { return now_; };
        environment.utcNow = [this] { return utc_; };
        environment.saveFileName = [this](const SaveDialogRequest& request) {
            saveRequest_ = request;
            return saveAnswer_;
        };
        environment.choosePrinter = [this](QPrinter& printer) {
            printJob_ = printer.docName();
            if (printFile_.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printFile_);
            return true;
        };
        environment.runDialog = [this](QDialog& dialog) {
            if (dialog_)
                dialog_(dialog);
        };
        window_ = std::make_unique<TForm1>(environment);
        window_->show();
        // Not when the first showing went on with a resumed exam.
        if (window_->openBasePage()->isVisible())
            QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        return *window_;
    }

    template <class W = QWidget>
    W* control(const QString& name) const {
        return inside<W>(window_.get(), name);
    }
    QString text(const QString& label) const { return control<QLabel>(label)->text(); }
    int color(int row) const {
        return control(QStringLiteral("TestMemo%1").arg(row))->property("color").toInt();
    }
    bool lit(const QString& lamp) const { return control(lamp)->property("lit").toBool(); }
    QString counters() const {
        return text("GreenLabel") + "/" + text("RedLabel") + "/" + text("ButtonRemain");
    }
    int rightAnswerOfShownQuestion() const {
        for (int n = 1; n <= 5; ++n) {
            if (window_->rightAnswers().flag(window_->CurrentTicket(), window_->CurrentQuestion(),
                                             n))
                return n;
        }
        return 0;
    }
    // A wrong answer of a single-answer question shown.
    int wrongAnswerOfShownQuestion() const {
        for (int n = 1; n <= 5; ++n) {
            if (!window_->rightAnswers().flag(window_->CurrentTicket(), window_->CurrentQuestion(),
                                              n) &&
                control(QStringLiteral("TestBut%1").arg(n))->isVisible())
                return n;
        }
        return 0;
    }
    void enter(const QString& name) {
        QEvent event(QEvent::Enter);
        QApplication::sendEvent(control(name), &event);
    }
    void leave(const QString& name) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(control(name), &event);
    }
    // The pointer onto an answer button, a click, and off again.
    void clickAnswer(int n) {
        const QString name = QStringLiteral("TestBut%1").arg(n);
        enter(name);
        QTest::mouseClick(control(name), Qt::LeftButton);
        leave(name);
    }

    void click(const QString& name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Answers the question shown, right or wrong, and lets its lamp go off.
    void answer(bool right) {
        const int t = window_->CurrentTicket();
        const int q = window_->CurrentQuestion();
        if (window_->AnswerMode() == 0) {
            for (int n = 1; n <= 5; ++n) {
                const bool isRight = window_->rightAnswers().flag(t, q, n);
                if (control(QStringLiteral("spSkinPanel%1").arg(n + 11))->isVisible() &&
                    isRight == right) {
                    click(QStringLiteral("spSkinSwitch%1").arg(n));
                    if (!right)
                        break;
                }
            }
            click("ButtonTestChois");
        } else {
            clickAnswer(right ? rightAnswerOfShownQuestion() : wrongAnswerOfShownQuestion());
        }
        if (window_->timerRunning(3))
            window_->Timer3Timer();
        else
            window_->Timer2Timer();
    }

    void choosePreparationTickets(const QList<int>& rows) {
        dialog_ = [rows](QDialog& dialog) {
            auto* list = inside<QListWidget>(&dialog, "spSkinListBox1");
            for (int row : rows)
                list->item(row)->setCheckState(Qt::Checked);
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
    }

    QString journalPath() const { return folder_->filePath("journal.sqlite"); }

    // A folder handed in (empty: a temporary one of the test's own).
    void setUpWindow(const QString& folder = {}) {
        folder_ = folder.isEmpty() ? std::make_unique<TestFolder>()
                                   : std::make_unique<TestFolder>(folder);
        settings_ =
            std::make_unique<QSettings>(folder_->filePath("settings.ini"), QSettings::IniFormat);
        // Each window its own results journal, never the user's: an exam one
        // test leaves unfinished must not meet the next as one to resume.
        QStandardPaths::setTestModeEnabled(true);
        settings_->setValue("JournalFile", journalPath());
        boxes_ = std::make_unique<ScriptedMessageBoxes>();
        sound_ = std::make_unique<EventSound>();
        draws_.clear();
        dialog_ = nullptr;
        utc_ = QDateTime(QDate(2026, 3, 2), QTime(6, 5), Qt::UTC);
    }
    void tearDownWindow() {
        window_.reset();
        settings_.reset();
        folder_.reset();
    }
};

} // namespace korvel
