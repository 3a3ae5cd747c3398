#include "app/korvel_application.h"
#include "app/skinned_message_boxes.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {

bool hasCyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

} // namespace

class TestQtTranslations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(korvel::installQtTranslations(*qApp)); }

    void colourDialogSpeaksRussian() {
        QColorDialog dialog;
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                labels.append(label->text());
        }
        QVERIFY(!labels.isEmpty());
        for (const QString& text : labels) {
            // Numbers and the "HTML:" field name stay as they are.
            if (text.contains(QLatin1String("HTML")) ||
                !text.contains(QRegularExpression("[A-Za-z]")))
                continue;
            QVERIFY2(hasCyrillic(text), qPrintable(text));
        }
    }

    // The program's own boxes keep their toolkit's texts.
    void messageBoxesKeepTheirTexts() {
        korvel::SkinnedMessageBoxes boxes;
        QString title;
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            for (QAbstractButton* button : box->buttons())
                buttons.append(button->text());
            box->button(QMessageBox::No) ? box->button(QMessageBox::No)->click()
                                         : box->buttons().last()->click();
        });
        boxes.confirm(QStringLiteral("Вы действительно хотите выйте из Korvel Test?"));
        QCOMPARE(title, QStringLiteral("Confirm"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"&No", "&Yes"}));
    }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_qt_translations.moc"
