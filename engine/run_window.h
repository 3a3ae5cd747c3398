#pragma once

#include "engine/page_state.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QTextDocument;

namespace korvel {

// The save dialog's settings, set each time before it is shown.
struct SaveDialogRequest {
    QString title;
    QString folder;
    // Name and pattern of each entry, in order; "*.*" means every file.
    QList<QPair<QString, QString>> filters;
    int selectedFilter = 0;
    QString proposedName;
};

// What a run needs of the main window. The program's is TForm1; headless
// tests use HeadlessRunWindow.
class RunWindow {
public:
    virtual ~RunWindow() = default;
    // PanelVisible, then the page.
    virtual void showRunPage(RunPage page) = 0;
    // Lets pending window messages be processed: the state is drawn, and
    // timers may fire.
    virtual void processPendingMessages() = 0;
    // Show the dialog modally; return once it is closed.
    virtual void execTicketChoice() = 0;
    virtual void execExamInfo() = 0;
    // FormResize.
    virtual void layoutWindow() = 0;
    virtual void focusQuestionText() = 0;
    // The lines `text` takes in answer box `row` (1..5), word-wrapped at the
    // box's width; an empty last line does not count.
    virtual int answerLineCount(int row, const QString& text) const = 0;
    // The size Image16 shows a picture at; larger pictures are decoded at it.
    virtual QSize pictureArea() const = 0;
    // The save dialog: the full path chosen, or empty when cancelled.
    virtual QString askSaveFileName(const SaveDialogRequest& request) = 0;
    // Loads a literature page into the viewer at the named anchor (its top
    // when the anchor is empty or missing); the viewer reports progress to
    // RunEngine::ViewerProgress. Empty on success, otherwise why it failed.
    virtual QString openLiterature(const QString& path, const QString& anchor) = 0;
    // The print dialog, then one job of the whole document. Empty when printed
    // or cancelled, otherwise the printer's error.
    virtual QString printDocument(QTextDocument& document) = 0;
};

// Test double: records the pages shown, counts lines as one per 60
// characters, and runs the test's own function when a dialog is shown.
class HeadlessRunWindow : public RunWindow {
public:
    QStringList events; // "page Question", "processEvents", "layout", "focus", "dialog TForm4"
    std::function<void()> onTicketChoice;
    std::function<void()> onExamInfo;
    std::function<void()> onProcessEvents;
    RunPage page = RunPage::MainMenu;

    void showRunPage(RunPage shown) override;
    void processPendingMessages() override;
    void execTicketChoice() override;
    void execExamInfo() override;
    void layoutWindow() override { events.append(QStringLiteral("layout")); }
    void focusQuestionText() override { events.append(QStringLiteral("focus")); }
    int answerLineCount(int row, const QString& text) const override;
    QSize pictureArea() const override { return {745, 168}; }
    QString askSaveFileName(const SaveDialogRequest& request) override;
    QString printDocument(QTextDocument& document) override;
    QString openLiterature(const QString& path, const QString& anchor) override;

    // What the save dialog answers (empty: cancel) and the last request.
    QString saveAnswer;
    SaveDialogRequest lastSaveRequest;
    // What printing answers; the pages of the last document printed.
    QString printError;
    int printedCharacters = -1;
    // The last literature page opened ("path#anchor") and what loading answers.
    QString literatureOpened;
    QString literatureError;
};

QString runPageName(RunPage page);

} // namespace korvel
