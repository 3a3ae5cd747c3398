#include "engine/grading.h"

namespace korvel {

int percentage(int right, int total) {
    if (total <= 0)
        return 0;
    return int((qint64(100) * right) / total);
}

int gradeFor(int percent) {
    if (percent >= 81)
        return 5;
    if (percent >= 61)
        return 4;
    if (percent >= 51)
        return 3;
    return 2;
}

QString resultText(RunKind kind, bool good) {
    switch (kind) {
    case RunKind::Preparation:
        return good ? QStringLiteral("Отлично отвечаете! Оценка - ")
                    : QStringLiteral("Ужасно отвечаете! Оценка - ");
    case RunKind::Exam:
        return good ? QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -")
                    : QStringLiteral("ВЫ не сдали Экзамен! Оценка - ");
    case RunKind::WorkOnErrors:
        return good ? QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - ")
                    : QStringLiteral("Работа над ошибками прошла ПЛОХО! Оценка - ");
    }
    return {};
}

} // namespace korvel
