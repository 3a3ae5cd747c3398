#include "app/results_page.h"

#include "app/hover_watcher.h"
#include "app/widget_helpers.h"
#include "engine/run_engine.h"
#include "settings/color_ref.h"

#include <QBuffer>
#include <QLabel>
#include <QMovie>
#include <QPushButton>

namespace korvel {

ResultsPage::ResultsPage(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("Analiz"));
    setProperty("page", true);
    resize(745, 545);
    hover_ = new HoverWatcher(this);
    connect(hover_, &HoverWatcher::entered, this, &ResultsPage::buttonEntered);

    analizStr_ = placed<QLabel>(this, QStringLiteral("AnalizStr"), 184, 8, 553, 25);
    analizStr_->setAlignment(Qt::AlignCenter);
    analizStr_->setWordWrap(true);
    analizStr_->setTextFormat(Qt::PlainText);
    analizStr_->setProperty("resultLine", true);
    pozdr_ = placed<QLabel>(this, QStringLiteral("Pozdr"), 184, 40, 553, 105, QStringLiteral("1"));
    pozdr_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    pozdr_->setWordWrap(true);
    pozdr_->setTextFormat(Qt::PlainText);
    pozdr_->setStyleSheet(QStringLiteral("font-size: 10pt;"));
    loser_ = placed<QLabel>(this, QStringLiteral("loser"), 16, 8, 161, 129);
    loser_->setAlignment(Qt::AlignCenter);
    loser_->setScaledContents(true);

    addMenuButton(this, *hover_, QStringLiteral("spSkinButton14"), 144, 169,
                  QStringLiteral("Режим Анализа"), QStringLiteral("Включить Режим анализа"));
    addMenuButton(this, *hover_, QStringLiteral("ShowOtchet"), 184, 169,
                  QStringLiteral("Показать Отчет"), QStringLiteral("Показать Отчет"));
    addMenuButton(this, *hover_, QStringLiteral("WorkError"), 224, 169,
                  QStringLiteral("Работа над ошибками"), QStringLiteral("Работа над ошибками"));
    addMenuButton(this, *hover_, QStringLiteral("spSkinButton15"), 504, 169,
                  QStringLiteral("Главное меню"), QStringLiteral("Перейти в Главное меню"));

    descriptions_ =
        std::make_unique<DescriptionPanels>(resultsDescriptions(), QRect(184, 144, 545, 217),
                                            QRect(8, 8, 260, 201), QRect(280, 8, 253, 201), this);

    loserBuffer_ = new QBuffer(&loserData_, this);
    loserMovie_ = new QMovie(this);
}

ResultsPage::~ResultsPage() = default;

void ResultsPage::attach(RunEngine& engine) {
    engine_ = &engine;
    drawnLoserGeneration_ = engine.results().loserGeneration;
    connect(engine_, &RunEngine::changed, this, &ResultsPage::draw);
    connect(button(QStringLiteral("spSkinButton15")), &QPushButton::clicked, engine_,
            &RunEngine::spSkinButton15Click);
    connect(button(QStringLiteral("spSkinButton14")), &QPushButton::clicked, engine_,
            &RunEngine::Frame61spSkinButton1Click);
    connect(button(QStringLiteral("WorkError")), &QPushButton::clicked, engine_,
            &RunEngine::WorkErrorClick);
    connect(button(QStringLiteral("ShowOtchet")), &QPushButton::clicked, engine_,
            &RunEngine::ShowOtchetClick);
    draw();
}

void ResultsPage::draw() {
    if (!engine_)
        return;
    const ResultsPageState& results = engine_->results();
    if (analizStr_->text() != results.analizStr)
        analizStr_->setText(results.analizStr);
    if (analizStr_->property("color").toInt() != results.analizStrColor ||
        analizStr_->styleSheet().isEmpty()) {
        const ColorRgb rgb = colorRefToRgb(results.analizStrColor);
        analizStr_->setProperty("color", results.analizStrColor);
        analizStr_->setStyleSheet(
            QStringLiteral("color: rgb(%1, %2, %3);").arg(rgb.red).arg(rgb.green).arg(rgb.blue));
    }
    if (pozdr_->text() != results.pozdr)
        pozdr_->setText(results.pozdr);
    if (drawnLoserGeneration_ != results.loserGeneration) {
        drawnLoserGeneration_ = results.loserGeneration;
        if (results.loserGif.isEmpty() || !loadLoserAnimation(results.loserGif))
            clearLoser();
        else
            startLoser();
    }
    button(QStringLiteral("ShowOtchet"))->setEnabled(results.showOtchetEnabled);
}

QPushButton* ResultsPage::button(const QString& name) const {
    return findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

void ResultsPage::clearLoser() {
    loserMovie_->stop();
    loser_->setMovie(nullptr);
    loser_->clear();
    loserMovie_->setDevice(nullptr);
    loserBuffer_->close();
    loserData_.clear();
}

bool ResultsPage::loadLoserAnimation(const QByteArray& gif) {
    clearLoser();
    loserData_ = gif;
    loserBuffer_->setBuffer(&loserData_);
    loserBuffer_->open(QIODevice::ReadOnly);
    loserMovie_->setFormat("gif");
    loserMovie_->setDevice(loserBuffer_);
    if (!loserMovie_->isValid() || !loserMovie_->jumpToFrame(0)) {
        clearLoser();
        return false;
    }
    loser_->setMovie(loserMovie_);
    return true;
}

void ResultsPage::startLoser() {
    if (loser_->movie())
        loserMovie_->start();
}

} // namespace korvel
