#include "engine/run_window.h"

#include <QTextDocument>

namespace korvel {

QString runPageName(RunPage page) {
    switch (page) {
    case RunPage::MainMenu:
        return QStringLiteral("MainMenu");
    case RunPage::Question:
        return QStringLiteral("Question");
    case RunPage::Results:
        return QStringLiteral("Results");
    case RunPage::Literature:
        return QStringLiteral("Literature");
    }
    return {};
}

void HeadlessRunWindow::showRunPage(RunPage shown) {
    page = shown;
    events.append(QStringLiteral("page ") + runPageName(shown));
}

void HeadlessRunWindow::processPendingMessages() {
    events.append(QStringLiteral("processEvents"));
    if (onProcessEvents)
        onProcessEvents();
}

void HeadlessRunWindow::execTicketChoice() {
    events.append(QStringLiteral("dialog TForm4"));
    if (onTicketChoice)
        onTicketChoice();
}

void HeadlessRunWindow::execExamInfo() {
    events.append(QStringLiteral("dialog TForm2"));
    if (onExamInfo)
        onExamInfo();
}

int HeadlessRunWindow::answerLineCount(int, const QString& text) const {
    int lines = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines += 1 + int(line.size()) / 60;
    if (text.endsWith(QLatin1Char('\n')))
        --lines;
    return lines;
}

QString HeadlessRunWindow::askSaveFileName(const SaveDialogRequest& request) {
    events.append(QStringLiteral("dialog save"));
    lastSaveRequest = request;
    return saveAnswer;
}

QString HeadlessRunWindow::printDocument(QTextDocument& document) {
    events.append(QStringLiteral("dialog print"));
    printedCharacters = document.characterCount();
    return printError;
}

QString HeadlessRunWindow::openLiterature(const QString& path, const QString& anchor) {
    events.append(QStringLiteral("literature"));
    literatureOpened = path + QLatin1Char('#') + anchor;
    return literatureError;
}

} // namespace korvel
