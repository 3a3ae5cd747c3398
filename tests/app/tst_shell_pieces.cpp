#include "app/hint_wrapping.h"
#include "app/korvel_application.h"
#include "app/report_printing.h"
#include "app/right_click_filter.h"
#include "app/skinned_message_boxes.h"
#include "app/splash_window.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <stdexcept>

using namespace korvel;

namespace {

// Presses the button with that text in the message box that is up next.
void pressInNextBox(const QString& buttonText, QString* title = nullptr,
                    QStringList* buttons = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        if (title)
            *title = box->windowTitle();
        for (QAbstractButton* button : box->buttons()) {
            if (buttons)
                buttons->append(button->text());
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == buttonText) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

class Thrower final : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("disk on fire");
        return QObject::event(event);
    }
};

// The smallest left and top edge of any word printed in the PDF file, in
// points, as pdftotext measures them.
QPointF firstWordCorner(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {-1, -1};
    const QString boxes = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)")re"));
    QPointF corner(1e9, 1e9);
    for (auto match = word.globalMatch(boxes); match.hasNext();) {
        const auto found = match.next();
        corner.setX(qMin(corner.x(), found.captured(1).toDouble()));
        corner.setY(qMin(corner.y(), found.captured(2).toDouble()));
    }
    return corner;
}

} // namespace

class ShellPiecesTest : public QObject {
    Q_OBJECT
private slots:
    void shortHintStaysOneLine() {
        const QFont font("Liberation Sans", 8);
        QCOMPARE(spSkinHint1ShowHint(QStringLiteral("Помощь"), font), QStringLiteral("Помощь"));
        QCOMPARE(spSkinHint1ShowHint(QStringLiteral("Помощь\r\n"), font), QStringLiteral("Помощь"));
    }

    void longHintBreaksAtWords() {
        const QFont font("Liberation Sans", 8);
        const QString hint = QStringLiteral(
            "Перед тем как указать ответ, убедитесь в его правильности: второй раз на один "
            "вопрос ответить не получится. Внимательно следите за красной и зеленой лампочками.");
        const QString wrapped = spSkinHint1ShowHint(hint, font);
        const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() >= 2);
        QVERIFY(!wrapped.endsWith(QStringLiteral("\r\n")));
        const QFontMetrics metrics(font);
        for (const QString& line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= hintTextWidth(), qPrintable(line));
            QVERIFY(!line.startsWith(' ') && !line.endsWith(' '));
        }
        // Only breaks were added: the words are the hint's, in order.
        QCOMPARE(lines.join(' '), hint);
        // A narrower memo would give more lines; the 401-pixel one fits most of one.
        QVERIFY(metrics.horizontalAdvance(lines.first()) > hintTextWidth() / 2);
    }

    void explicitBreaksStartNewLines() {
        const QFont font("Liberation Sans", 8);
        QCOMPARE(spSkinHint1ShowHint(QStringLiteral("один\nдва\r\nтри"), font),
                 QStringLiteral("один\r\nдва\r\nтри"));
        QCOMPARE(spSkinHint1ShowHint(QStringLiteral("один\n\nтри"), font),
                 QStringLiteral("один\r\n\r\nтри"));
    }

    void hintWrapperShowsWrappedTips() {
        QWidget widget;
        widget.resize(50, 50);
        widget.setToolTip(QString(60, QLatin1Char('x')).replace(10, 1, " ") +
                          QStringLiteral(" слово слово слово слово слово слово слово слово"));
        widget.show();
        HintWrapper wrapper(QFont("Liberation Sans", 8));
        widget.installEventFilter(&wrapper);
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget.mapToGlobal(QPoint(5, 5)));
        QVERIFY(QApplication::sendEvent(&widget, &help));
        QCOMPARE(wrapper.lastHint(),
                 spSkinHint1ShowHint(widget.toolTip(), QFont("Liberation Sans", 8)));
        QVERIFY(wrapper.lastHint().contains(QStringLiteral("\r\n")));
    }

    void messageBoxesShowKindAndButtons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("confirmation") << int(MessageKind::Confirmation) << "Confirm";
        QTest::newRow("information") << int(MessageKind::Information) << "Information";
        QTest::newRow("error") << int(MessageKind::Error) << "Error";
        QTest::newRow("warning") << int(MessageKind::Warning) << "Warning";
    }
    void messageBoxesShowKindAndButtons() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        SkinnedMessageBoxes boxes;
        QString shownTitle;
        QStringList shownButtons;
        pressInNextBox("&No", &shownTitle, &shownButtons);
        const MessageButton pressed = boxes.ask(
            MessageKind(kind), QStringLiteral("Текст"),
            {MessageButton::Yes, MessageButton::No, MessageButton::Ok, MessageButton::Cancel});
        QCOMPARE(pressed, MessageButton::No);
        QCOMPARE(shownTitle, title);
        shownButtons.sort();
        QStringList expected{"&Yes", "&No", "OK", "Cancel"};
        expected.sort();
        QCOMPARE(shownButtons, expected);
    }

    void confirmationClosedWithoutAnswerIsNotNo() {
        SkinnedMessageBoxes boxes;
        pressInNextBox("none");
        QVERIFY(boxes.confirm(QStringLiteral("Выйти?")));
        pressInNextBox("&No");
        QVERIFY(!boxes.confirm(QStringLiteral("Выйти?")));
    }

    void uncaughtFailuresGoToTheErrorBox() {
        auto* application = static_cast<KorvelApplication*>(qApp);
        ScriptedMessageBoxes boxes;
        application->setFailureBoxes(&boxes);
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&thrower);
        application->setFailureBoxes(nullptr);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().kind, MessageKind::Error);
        QCOMPARE(boxes.shown().first().text, QStringLiteral("disk on fire"));
    }

    void splashClosesOnTheTwentyFirstTick() {
        int shown = 0;
        SplashWindow splash(20, [&] { ++shown; });
        QCOMPARE(splash.size(), QSize(546, 248));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QTimer::singleShot(50, &splash, [&] {
            QTest::keyClick(&splash, Qt::Key_Escape);
            splash.close();
        });
        QElapsedTimer elapsed;
        elapsed.start();
        splash.exec();
        QCOMPARE(splash.ticks(), 21);
        QCOMPARE(splash.counter(), 105);
        QVERIFY(elapsed.elapsed() >= 21 * 20 - 10);
        QVERIFY(!splash.timer().isActive());
        QCOMPARE(shown, 1);
    }

    // A printer without unprintable border still gets 10 mm around the text;
    // a wider border of the printer's own stays as it is.
    void printingKeepsTheTextOffTheEdge_data() {
        QTest::addColumn<QMarginsF>("printerBorder"); // millimetres
        QTest::addColumn<QPointF>("corner");          // millimetres
        QTest::newRow("no border") << QMarginsF(0, 0, 0, 0) << QPointF(10, 10);
        QTest::newRow("narrow border") << QMarginsF(4, 6, 4, 6) << QPointF(10, 10);
        QTest::newRow("wide left border") << QMarginsF(15, 3, 3, 3) << QPointF(15, 10);
    }
    void printingKeepsTheTextOffTheEdge() {
        QFETCH(QMarginsF, printerBorder);
        QFETCH(QPointF, corner);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir folder;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("report.pdf")));
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          printerBorder, QPageLayout::Millimeter, printerBorder));
        QTextDocument document;
        document.setPlainText(QStringLiteral("Уважаемый(ая)  Пользователь\nВаши результаты:"));
        QCOMPARE(printReport(document, printer), QString());

        const QPointF printed = firstWordCorner(printer.outputFileName());
        const qreal pointsPerMm = 72 / 25.4;
        // The text starts at the border, give or take the glyph's own box (a
        // third of a millimetre) and the line's leading.
        QVERIFY2(printed.x() >= corner.x() * pointsPerMm - 1 &&
                     printed.x() <= corner.x() * pointsPerMm + 3,
                 qPrintable(QStringLiteral("left edge at %1 pt").arg(printed.x())));
        QVERIFY2(printed.y() >= corner.y() * pointsPerMm - 1 &&
                     printed.y() <= corner.y() * pointsPerMm + 6,
                 qPrintable(QStringLiteral("top edge at %1 pt").arg(printed.y())));
    }

    void rightClicksAreSwallowedOnlyForBrowserWindows() {
        RightClickFilter filter;
        QPushButton ordinary;
        QPushButton browser;
        browser.setProperty("embeddedBrowser", true);
        ordinary.installEventFilter(&filter);
        browser.installEventFilter(&filter);
        int ordinaryMenus = 0;
        int browserMenus = 0;
        for (auto [button, count] :
             {std::pair{&ordinary, &ordinaryMenus}, std::pair{&browser, &browserMenus}}) {
            button->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(button, &QWidget::customContextMenuRequested, this,
                    [counter = count] { ++*counter; });
            QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(1, 1));
            QApplication::sendEvent(button, &menu);
        }
        QCOMPARE(ordinaryMenus, 1);
        QCOMPARE(browserMenus, 0);
        int clicks = 0;
        connect(&browser, &QPushButton::clicked, this, [&] { ++clicks; });
        browser.show();
        QTest::mouseClick(&browser, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }
};

int main(int argc, char** argv) {
    KorvelApplication application(argc, argv);
    ShellPiecesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell_pieces.moc"
