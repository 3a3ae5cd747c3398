#pragma once

#include "interchange/html_content.h"
#include "interchange/question_admission.h"
#include "interchange/question_bank.h"

#include <QStringList>

namespace korvel {

// A bank in one line per question, for tables of expected results:
// category|name|text|S or M|answers, the right ones marked *, and
// "|picture" when it has one. HTML texts are shown as their plain text
// after "html:".
inline QString describeBank(const QuestionBank& bank) {
    QStringList lines;
    for (const BankQuestion& question : bank.questions) {
        const QList<int> right = rightAnswers(question);
        QStringList answers;
        for (qsizetype k = 0; k < question.answers.size(); ++k)
            answers << question.answers[k].text + (right.contains(int(k + 1)) ? "*" : "");
        QString line =
            QStringList{question.category, question.name,
                        question.html ? "html:" + htmlToPlainText(question.text) : question.text,
                        question.single ? "S" : "M", answers.join(u',')}
                .join(u'|');
        if (!question.picture.isEmpty())
            line += "|picture";
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace korvel
