#include "answer_matrix.h"

namespace korvel {

AnswerMatrix::AnswerMatrix(int tickets, int questionsPerTicket) {
    if (tickets < 1 || questionsPerTicket < 1)
        return;
    tickets_ = tickets;
    questions_ = questionsPerTicket;
    cells_ = QByteArray(qsizetype(tickets) * questionsPerTicket * CellSize, '\0');
}

bool AnswerMatrix::contains(int ticket, int question) const {
    return ticket >= 1 && ticket <= tickets_ && question >= 1 && question <= questions_;
}

qsizetype AnswerMatrix::offset(int ticket, int question) const {
    return (qsizetype(ticket - 1) * questions_ + (question - 1)) * CellSize;
}

bool AnswerMatrix::flag(int ticket, int question, int answer) const {
    if (!contains(ticket, question) || answer < 1 || answer > AnswerCount)
        return false;
    return cells_.at(offset(ticket, question) + answer - 1) != 0;
}

void AnswerMatrix::setFlag(int ticket, int question, int answer, bool on) {
    if (!contains(ticket, question) || answer < 1 || answer > AnswerCount)
        return;
    cells_[offset(ticket, question) + answer - 1] = on ? 1 : 0;
}

void AnswerMatrix::clearCell(int ticket, int question) {
    for (int answer = 1; answer <= AnswerCount; ++answer)
        setFlag(ticket, question, answer, false);
}

QByteArray AnswerMatrix::cell(int ticket, int question) const {
    if (!contains(ticket, question))
        return QByteArray(AnswerCount, '\0');
    return cells_.mid(offset(ticket, question), AnswerCount);
}

bool AnswerMatrix::isAnswered(int ticket, int question) const {
    return cell(ticket, question).count('\0') != AnswerCount;
}

bool isRight(const AnswerMatrix& chosen, const AnswerMatrix& right, int ticket, int question) {
    return chosen.cell(ticket, question) == right.cell(ticket, question);
}

} // namespace korvel
