#pragma once

#include <QString>

namespace korvel {

enum class RunKind { Preparation, Exam, WorkOnErrors };

// 100 x right / total, truncated; 0 when there is no question.
int percentage(int right, int total);
// 5 from 81 %, 4 from 61 %, 3 from 51 %, otherwise 2.
int gradeFor(int percent);
inline bool isGoodGrade(int grade) {
    return grade >= 4;
}
// The result line before its digit.
QString resultText(RunKind kind, bool good);

inline constexpr int GoodResultColor = 32768; // green
inline constexpr int BadResultColor = 255;    // red

} // namespace korvel
