#pragma once

#include "basestore/byte_stream.h"
#include "engine/answer_matrix.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

namespace korvel {

// The values every handler of the question loop shares. Numbers of tickets,
// questions and answers are 1-based, as the user sees them.
struct RunState {
    // The open base.
    QString CurrentBasePath;
    ByteStream BaseDescriptor;
    int TicketCount = 0;
    int QuestionsPerTicket = 0;

    // The cursor: 0 before the first run.
    int CurrentTicket = 0;
    int CurrentQuestion = 0;
    // Of the question last presented: 1..5 the one right answer, 0 several.
    int AnswerMode = 1;
    AnswerMatrix ChosenAnswers;
    AnswerMatrix RightAnswers;
    bool AnalysisFlag = false;
    QString RunMode; // "Test", "Ekz" or empty
    QString LiteratureIndex;
    QString LiteraturePunkt;

    // Run-kind marker: the hint flags of the two start buttons, both on when
    // no run has been started since the main menu.
    bool spSkinButton12ShowHint = true; // on: the preparation shuffle applies
    bool spSkinButton10ShowHint = true; // on: the exam shuffle applies

    // ChosenTickets: the check marks of the ticket list, row i-1 for ticket i.
    QList<bool> ChosenTickets;

    // (ticket, question) of this run whose record could not be read: counted
    // off ButtonRemain once, neither right nor wrong, and not presented again.
    QSet<QPair<int, int>> passedOver;

    // Answered, or passed over: the question steps skip it.
    bool isDone(int ticket, int question) const {
        return ChosenAnswers.isAnswered(ticket, question) ||
               passedOver.contains({ticket, question});
    }

    bool isChosen(int ticket) const {
        return ticket >= 1 && ticket <= ChosenTickets.size() && ChosenTickets.at(ticket - 1);
    }
    int chosenCount() const { return int(ChosenTickets.count(true)); }
    int firstChosen() const { return int(ChosenTickets.indexOf(true)) + 1; } // 0: none
};

// The counters' two-digit form: a "0" before values below 10.
QString twoDigits(int value);

} // namespace korvel
