#include "app/about_window.h"
#include "app/base_button.h"
#include "app/link_label.h"
#include "app/main_window.h"
#include "platform/message_boxes.h"
#include "platform/sound_output.h"
#include "resources/skin_style.h"
#include "tests/support/test_base_builder.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace korvel;

namespace {

double luminance(const QColor& color) {
    auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// WCAG contrast ratio: 4.5 reads as body text, 3 as a large shape.
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const QColor PageColour(0xe9, 0xee, 0xf3);

} // namespace

// The program as the user sees it: the skin applied, as main() does.
class TestSkinnedShell : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QSettings> settings_;
    ScriptedMessageBoxes boxes_;
    RecordingSoundOutput sound_;
    std::unique_ptr<TForm1> window_;

    void start() {
        ShellEnvironment environment;
        environment.programFolder = folder_->path();
        environment.settings = settings_.get();
        environment.boxes = &boxes_;
        environment.sound = &sound_;
        environment.splashTickMs = 1;
        environment.openUrl = [](const QUrl&) { return true; };
        window_ = std::make_unique<TForm1>(environment);
        window_->show();
    }

private slots:
    void initTestCase() {
        qApp->setStyleSheet(skinStyleSheet());
        folder_ = std::make_unique<QTemporaryDir>();
        QDir(folder_->path()).mkpath("Base");
        settings_ =
            std::make_unique<QSettings>(folder_->filePath("settings.ini"), QSettings::IniFormat);
        // The window's own results journal, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        settings_->setValue("JournalFile", folder_->filePath("journal.sqlite"));
        const QString longName =
            QStringLiteral("Охрана труда и электробезопасность для электротехнического "
                           "персонала с группой допуска III");
        const auto writeBase = [this](const QString& file, const QString& name) {
            TestBaseBuilder base;
            base.setCounts(8, 5, QStringEncoder("windows-1251").encode(name));
            base.write(folder_->filePath(file));
        };
        writeBase(QStringLiteral("Base/a_long.zip"), longName);
        writeBase(QStringLiteral("Base/b_short.zip"), QStringLiteral("Пожарная"));
        start();
    }

    void baseButtonsKeepTheirSizeAndElideLongNames() {
        for (int number : {1, 2}) {
            auto* button =
                window_->findChild<BaseButton*>(QStringLiteral("ButtonOfBase%1").arg(number));
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(209, 17));
            QVERIFY(button->fontMetrics().horizontalAdvance(button->shownText()) <= 209);
        }
        auto* longButton = window_->findChild<BaseButton*>("ButtonOfBase1");
        QVERIFY(longButton->text().startsWith(QStringLiteral("Охрана труда")));
        QVERIFY(longButton->text().endsWith(QStringLiteral("III")));
        QVERIFY2(longButton->shownText().endsWith(QChar(0x2026)),
                 qPrintable(longButton->shownText()));
        QCOMPARE(longButton->toolTip(), QStringLiteral("a_long.zip"));
        auto* shortButton = window_->findChild<BaseButton*>("ButtonOfBase2");
        QCOMPARE(shortButton->shownText(), QStringLiteral("Пожарная"));
    }

    // Maximised or not, everything around the pages is the pages' colour.
    void windowBackgroundIsThePages() {
        for (const QSize& size : {QSize(780, 591), QSize(1600, 1000)}) {
            window_->resize(size);
            QCoreApplication::processEvents();
            const QImage shot = window_->grab().toImage();
            for (const QPoint& point : {QPoint(2, 2), QPoint(shot.width() - 3, shot.height() - 3),
                                        QPoint(shot.width() / 2, shot.height() - 3)})
                QCOMPARE(shot.pixelColor(point), PageColour);
        }
    }

    // A link's tool tip is the same pale tip, in the interface's font.
    void linkToolTipsAreReadable() {
        auto* link = window_->findChild<LinkLabel*>("spSkinButtonLabel2");
        QVERIFY(link);
        QToolTip::showText(link->mapToGlobal(QPoint(4, 4)), link->toolTip(), link);
        QWidget* tip = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QTipLabel") && widget->isVisible())
                tip = widget;
        }
        QVERIFY(tip);
        const QImage shot = tip->grab().toImage();
        QCOMPARE(shot.pixelColor(2, shot.height() / 2), QColor(0xff, 0xfb, 0xea));
        QCOMPARE(tip->font().family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(tip->font().pointSize(), 8);
        QToolTip::hideText();
    }

    // The About window stands out from the page behind it, and its links
    // read on the picture, hovered or not.
    void aboutHasAnEdgeAndReadableLinks() {
        AboutWindow* about = window_->about();
        const QImage shot = about->grab().toImage();
        const QImage picture(QStringLiteral(":/pictures/about.png"));
        for (const QPoint& point :
             {QPoint(0, 88), QPoint(399, 88), QPoint(200, 0), QPoint(200, 175)})
            QVERIFY2(contrast(shot.pixelColor(point), PageColour) >= 3.0,
                     qPrintable(QStringLiteral("%1,%2").arg(point.x()).arg(point.y())));
        for (auto* link : about->findChildren<LinkLabel*>()) {
            for (bool hovered : {false, true}) {
                if (hovered) {
                    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
                    QApplication::sendEvent(link, &enter);
                } else {
                    QEvent leave(QEvent::Leave);
                    QApplication::sendEvent(link, &leave);
                }
                QCOMPARE(link->isHovered(), hovered);
                const QColor text = link->palette().color(link->foregroundRole());
                const QRect area = link->geometry();
                for (const QPoint& point : {area.topLeft(), area.center(), area.bottomRight()}) {
                    const QColor behind = picture.pixelColor(point);
                    QVERIFY2(contrast(text, behind) >= 4.5,
                             qPrintable(link->objectName() + " " + text.name() + " on " +
                                        behind.name()));
                }
            }
        }
    }

    void cleanupTestCase() {
        window_.reset();
        qApp->setStyleSheet({});
    }
};

QTEST_MAIN(TestSkinnedShell)
#include "tst_skinned_shell.moc"
