#pragma once

#include <QByteArray>

namespace korvel {

// One cell per ticket and question, six bytes a cell: byte n (1..5) is the
// flag of answer n, byte 6 is spare and stays 0. Numbers are 1-based.
class AnswerMatrix {
public:
    static constexpr int CellSize = 6;
    static constexpr int AnswerCount = 5;

    AnswerMatrix() = default;
    // Every byte zero. Counts below 1 give an empty matrix.
    AnswerMatrix(int tickets, int questionsPerTicket);

    int tickets() const { return tickets_; }
    int questionsPerTicket() const { return questions_; }
    bool isEmpty() const { return cells_.isEmpty(); }
    bool contains(int ticket, int question) const;

    // Out-of-range tickets, questions or answers read as clear and are not written.
    bool flag(int ticket, int question, int answer) const;
    void setFlag(int ticket, int question, int answer, bool on);
    void clearCell(int ticket, int question);
    // Flags 1..5 of one cell.
    QByteArray cell(int ticket, int question) const;

    // At least one of flags 1..5 set.
    bool isAnswered(int ticket, int question) const;

    const QByteArray& bytes() const { return cells_; }

private:
    qsizetype offset(int ticket, int question) const;

    int tickets_ = 0;
    int questions_ = 0;
    QByteArray cells_;
};

// A question is right when its flags 1..5 agree in both matrices.
bool isRight(const AnswerMatrix& chosen, const AnswerMatrix& right, int ticket, int question);

} // namespace korvel
