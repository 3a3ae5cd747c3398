#include "base_check.h"

#include "base_dump.h"
#include "basestore/base_catalogue.h"
#include "basestore/question_record.h"
#include "finding_folder.h"
#include "picture_check.h"
#include "text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace korvel {

namespace {

// Literature pages are small; a huge file is not read whole.
constexpr qint64 MaxPageSize = 16 * 1024 * 1024;

class CheckSink : public DumpSink {
public:
    CheckSink(const QString& path, const QString& helpFolder, FindingFolder& findings)
        : path_(path)
        , helpFolder_(helpFolder)
        , findings_(findings) {}

    void base(const DumpedBase& base) override {
        if (base.error)
            findings_.base(*base.error);
        if (!base.error && base.name.isEmpty())
            findings_.base(
                QStringLiteral("base.dni: Base/Name is missing, the base's button has no caption"));
        for (const QString& entry : base.damagedPictures)
            findings_.base(entry + QStringLiteral(" is damaged, its data does not read"));
        Archiver archiver;
        const OpenedBase opened = openBase(archiver, path_);
        const auto checkPicture = [&](const QByteArray& bytes, PictureFormat format,
                                      const char* name) {
            if (!bytes.isEmpty() && !pictureDecodes(bytes, format))
                findings_.base(QStringLiteral("%1 does not decode as a picture").arg(name));
        };
        checkPicture(opened.mainPicture, PictureFormat::Jpeg, "Skin\\main.jpg");
        checkPicture(opened.goodAnimation, PictureFormat::Gif, "Skin\\good.gif");
        checkPicture(opened.badAnimation, PictureFormat::Gif, "Skin\\bad.gif");
    }

    void question(const DumpedQuestion& question) override {
        QStringList problems;
        questionProblems(question, problems);
        findings_.question(question.ticket, question.question, problems);
    }

    void finish() override { findings_.finish(); }

private:
    void questionProblems(const DumpedQuestion& question, QStringList& problems) {
        const int t = question.ticket;
        const int q = question.question;
        if (!question.textPresent)
            problems << questionTextEntry(t, q) + QStringLiteral(" is missing or damaged");
        else if (question.textBytes == 0)
            problems << questionTextEntry(t, q) + QStringLiteral(" is empty");
        if (question.pictureDamaged)
            problems << questionPictureEntry(t, q) +
                            QStringLiteral(" is damaged, its data does not read");
        else if (question.picture && !pictureDecodes(question.pictureBytes, PictureFormat::Jpeg))
            problems << questionPictureEntry(t, q) +
                            QStringLiteral(" does not decode as a JPEG picture");
        if (question.error) {
            problems << *question.error;
            return;
        }
        const bool anyAnswer = std::any_of(question.answers.begin(), question.answers.end(),
                                           [](const auto& answer) { return answer.has_value(); });
        if (!anyAnswer)
            problems << QStringLiteral("the question has no answers");
        if (question.answerMode > 0 && !question.answers[size_t(question.answerMode - 1)])
            problems << QStringLiteral("the right answer %1 has no text").arg(question.answerMode);
        if (question.answerMode == 0 && anyAnswer && question.right.isEmpty())
            problems << QStringLiteral("a multiple-answer question without a right answer");
        checkLiterature(question, problems);
    }

    void checkLiterature(const DumpedQuestion& question, QStringList& problems) {
        if (question.literatureIndex.isEmpty())
            return;
        if (question.literaturePage.isEmpty()) {
            problems << QStringLiteral("base.dni has no Literature/L%1 for its index")
                            .arg(question.literatureIndex);
            return;
        }
        if (helpFolder_.isEmpty())
            return;
        const QString page = QDir(helpFolder_).filePath(question.literaturePage);
        if (!QFileInfo(page).isFile()) {
            problems << QStringLiteral("literature page %1 is not in %2")
                            .arg(question.literaturePage, helpFolder_);
            return;
        }
        if (!question.literaturePunkt.isEmpty() && !hasAnchor(page, question.literaturePunkt))
            problems << QStringLiteral("literature page %1 has no anchor named %2")
                            .arg(question.literaturePage, question.literaturePunkt);
    }

    // Pages and Punkt values are both Windows-1251, so the bytes are compared.
    static bool hasAnchor(const QString& page, const QString& punkt) {
        QFile file(page);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QString html = QString::fromLatin1(file.read(MaxPageSize));
        const std::optional<QByteArray> name = encodeWindows1251(punkt);
        if (!name)
            return false;
        const QRegularExpression anchor(
            QStringLiteral("<a\\s[^>]*\\b(name|id)\\s*=\\s*([\"']?)%1\\2[\\s>/]")
                .arg(QRegularExpression::escape(QString::fromLatin1(*name))),
            QRegularExpression::CaseInsensitiveOption);
        return anchor.match(html).hasMatch();
    }

    QString path_;
    QString helpFolder_;
    FindingFolder& findings_;
};

} // namespace

qint64 checkBase(const QString& path, const QString& helpFolder,
                 const std::function<void(const QString& line)>& report) {
    FindingFolder findings(report);
    CheckSink sink(path, helpFolder, findings);
    dumpBase(path, sink);
    return findings.count();
}

QStringList checkBase(const QString& path, const QString& helpFolder) {
    QStringList lines;
    checkBase(path, helpFolder, [&lines](const QString& line) { lines << line; });
    return lines;
}

} // namespace korvel
