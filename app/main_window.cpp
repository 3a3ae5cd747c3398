#include "app/main_window.h"

#include "app/about_window.h"
#include "app/desktop_opener.h"
#include "app/help_file.h"
#include "app/hint_wrapping.h"
#include "app/journal_session.h"
#include "app/literature_page.h"
#include "app/main_menu_page.h"
#include "app/open_base_page.h"
#include "app/progress_overlay.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "app/right_click_filter.h"
#include "app/run_dialogs.h"
#include "app/settings_page.h"
#include "app/splash_window.h"
#include "app/widget_helpers.h"
#include "basestore/base_catalogue.h"
#include "engine/base_content.h"
#include "engine/run_engine.h"
#include "platform/message_boxes.h"
#include "richtext/base_text.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace korvel {

namespace {
constexpr int FixedPageWidth = 745;
constexpr int FixedPageHeight = 545;

QString withTrailingSlash(const QString& folder) {
    QString path = QDir(folder).absolutePath();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
} // namespace

TForm1::TForm1(const ShellEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , environment_(environment)
    , effects_(*environment.sound, [this] { return live_.soundOn(); }) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Zamtor KorvelTest (Версия 1.2.0)"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));
    setMinimumSize(MinimumOuterSize.width() - FrameWidth, MinimumOuterSize.height() - FrameHeight);
    resize(DesignClientSize.expandedTo(minimumSize()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildPages();

    // Creation steps: the input hooks, the program folder, the default colours.
    rightClickFilter_ = new RightClickFilter(this);
    qApp->installEventFilter(rightClickFilter_);
    ensurePolished();
    hintWrapper_ = new HintWrapper(font(), this);
    qApp->installEventFilter(hintWrapper_);
    programFolder_ = withTrailingSlash(environment_.programFolder);
    live_.applyDefaultColors();

    // The other windows, in their order of creation.
    splash_ = new SplashWindow(
        environment_.splashTickMs, [this] { effects_.PlayEffect(QStringLiteral("VTEST")); }, this);
    ticketChoice_ = new TicketChoiceDialog(this);
    examInfo_ = new ExamInfoDialog(this);
    about_ = new AboutWindow(this);
    connect(about_, &AboutWindow::linkActivated, this, &TForm1::openUrl);

    createRunEngine();
    connectHandlers();

    PanelVisible();
    FormResize();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(rightClickFilter_);
    qApp->removeEventFilter(hintWrapper_);
    // The pages show the engine's document and state: they go first.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void TForm1::buildPages() {
    openBasePanel_ = new OpenBasePage(this);
    mainPanel_ = new MainMenuPage(this);
    questionPanel_ = new QuestionPage(this);
    literaturePanel_ = new LiteraturePage(this);
    resultsPanel_ = new ResultsPage(this);
    settingsPanel_ = new SettingsPage(
        live_, [this]() -> QSettings& { return *environment_.settings; }, *environment_.boxes,
        this);
    settingsPanel_->setObjectName(QStringLiteral("Setting"));
    settingsPanel_->resize(FixedPageWidth, FixedPageHeight);
    mesShow_ = new ProgressOverlay(this);
    mesShow_->raise();
}

void TForm1::connectHandlers() {
    connect(openBasePanel_, &OpenBasePage::baseButtonClicked, this, &TForm1::SampleButtonClick);
    connect(openBasePanel_, &OpenBasePage::baseButtonEntered, this,
            [this] { effects_.PlayEffect(QStringLiteral("EN")); });
    connect(openBasePanel_, &OpenBasePage::linkActivated, this, &TForm1::openUrl);
    connect(openBasePanel_->refreshButton(), &QPushButton::clicked, this,
            &TForm1::spSkinSpeedButton1Click);
    connect(openBasePanel_->okButton(), &QPushButton::clicked, this, &TForm1::spSkinButton2Click);
    connect(openBasePanel_->exitButton(), &QPushButton::clicked, this, &QWidget::close);

    connect(mainPanel_, &MainMenuPage::buttonEntered, this, &TForm1::menuButtonEntered);
    connect(mainPanel_->button(QStringLiteral("reload")), &QPushButton::clicked, this,
            &TForm1::ReloadClick);
    connect(mainPanel_->button(QStringLiteral("Settings")), &QPushButton::clicked, this,
            &TForm1::SettingsClick);
    connect(mainPanel_->button(QStringLiteral("Spravka")), &QPushButton::clicked, this,
            &TForm1::SpravkaClick);
    connect(mainPanel_->button(QStringLiteral("spSkinButton16")), &QPushButton::clicked, this,
            &TForm1::spSkinButton16Click);
    connect(mainPanel_->button(QStringLiteral("spSkinButton17")), &QPushButton::clicked, this,
            &TForm1::spSkinButton17Click);

    connect(mainPanel_->button(QStringLiteral("spSkinButton10")), &QPushButton::clicked,
            engine_.get(), &RunEngine::Frame31spSkinButton1Click);
    connect(mainPanel_->button(QStringLiteral("spSkinButton12")), &QPushButton::clicked,
            engine_.get(), &RunEngine::spSkinButton12Click);

    connect(literaturePanel_->closeButton(), &QToolButton::clicked, this,
            &TForm1::spSkinButton5Click);
    connect(literaturePanel_, &LiteraturePage::externalLinkActivated, this, &TForm1::openUrl);
    connect(resultsPanel_, &ResultsPage::buttonEntered, this, &TForm1::resultsButtonEntered);
    // ButtonTestChoisMouseEnter, shared by the tool-bar buttons.
    connect(questionPanel_, &QuestionPage::toolButtonEntered, this,
            [this] { effects_.PlayEffect(QStringLiteral("EN")); });

    connect(settingsPanel_, &SettingsPage::mainMenuRequested, this,
            [this] { showPage(mainPanel_); });
}

QSize TForm1::outerSize() const {
    return {width() + FrameWidth, height() + FrameHeight};
}

void TForm1::PanelVisible() {
    for (QWidget* page :
         std::initializer_list<QWidget*>{resultsPanel_, questionPanel_, literaturePanel_,
                                         openBasePanel_, mainPanel_, settingsPanel_})
        page->hide();
}

void TForm1::showPage(QWidget* page) {
    PanelVisible();
    page->show();
}

void TForm1::FormResize() {
    const int W = outerSize().width();
    const int H = outerSize().height();

    questionPanel_->move(0, 0);
    questionPanel_->layoutFor(QSize(W - FrameWidth, H - FrameHeight));

    literaturePanel_->setGeometry(0, 0, W - FrameWidth, H - FrameHeight);
    mesShow_->move(W / 2 - mesShow_->width() / 2 - 5, H / 2 - mesShow_->height() / 2 - 16);

    const int x0 = W / 2 - FixedPageWidth / 2 - 5;
    const int y0 = H / 2 - FixedPageHeight / 2 - 16;
    for (QWidget* page :
         std::initializer_list<QWidget*>{openBasePanel_, settingsPanel_, mainPanel_, resultsPanel_})
        page->move(x0, y0);
    update();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (firstShown_)
        return;
    firstShown_ = true;
    firstShowing();
}

void TForm1::firstShowing() {
    spSkinSpeedButton1Click();
    if (!load(live_, *environment_.settings, *environment_.boxes))
        return;
    openJournal();
    showPage(openBasePanel_);
    FormResize();
    splash_->exec();
    tellJournalProblem();
    offerUnfinishedRuns();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (environment_.boxes->confirm(
            QStringLiteral("Вы действительно хотите выйте из Korvel Test?"))) {
        engine_->windowClosing();
        event->accept();
    } else
        event->ignore();
}

void TForm1::spSkinSpeedButton1Click() {
    openBasePanel_->removeBaseButtons();
    const QList<CatalogueEntry> entries =
        buildCatalogue(archiver_, programFolder_ + QStringLiteral("Base"));
    for (const CatalogueEntry& entry : entries) {
        openBasePanel_->scrollToTop();
        openBasePanel_->addBaseButton(fromBaseText(entry.name), entry.fileName);
    }
    if (entries.isEmpty()) {
        environment_.boxes->inform(QStringLiteral(
            "Нет установленных Баз!\n\rВы всегда можете загрузить новые базы тестов с нашего "
            "сайта."));
        openBasePanel_->okButton()->setEnabled(false);
        showBasePicture({});
        setBaseTexts({});
        openBasePanel_->picture()->hide();
        mainPanel_->picture()->hide();
        return;
    }
    openBasePanel_->okButton()->setEnabled(true);
    openBasePanel_->picture()->show();
    mainPanel_->picture()->show();
    showPage(openBasePanel_);
    showBasePicture({});
    setBaseTexts({});
    openBasePanel_->baseButton(1)->setChecked(true);
    SampleButtonClick();
}

void TForm1::SampleButtonClick() {
    QPushButton* pressed = openBasePanel_->pressedBaseButton();
    if (!pressed)
        return;
    const QString archiveName = pressed->property("archive").toString();
    const OpenedBase base =
        openBase(archiver_, programFolder_ + QStringLiteral("Base/") + archiveName);
    if (base.status == OpenedBase::Status::ArchiveUnreadable) {
        // Listed, but gone or damaged since: the base open before stays open.
        environment_.boxes->error(
            QStringLiteral("Не удалось открыть базу \"%1\".\nОткрытой остаётся прежняя база.")
                .arg(pressed->text().isEmpty() ? archiveName : pressed->text()));
        openBasePanel_->pressBaseButton(currentArchiveName_);
        return;
    }
    applyOpenedBase(base, archiveName, pressed->text());
}

void TForm1::applyOpenedBase(const OpenedBase& base, const QString& archiveName,
                             const QString& caption) {
    engine_->setBaseDescriptor(ByteStream());
    openBasePanel_->picture()->show();
    mainPanel_->picture()->show();
    const QPixmap picture = QPixmap::fromImage(decodePicture(base.mainPicture));
    if (picture.isNull()) {
        openBasePanel_->picture()->hide();
        mainPanel_->picture()->hide();
    } else {
        showBasePicture(picture);
    }
    for (const QByteArray& animation : {base.goodAnimation, base.badAnimation}) {
        if (!animation.isEmpty())
            resultsPanel_->loadLoserAnimation(animation);
    }
    if (!base.descriptor.isEmpty())
        setBaseTexts(fromBaseText(base.descript));

    currentArchiveName_ = archiveName;
    switch (base.status) {
    case OpenedBase::Status::Ok:
        engine_->openBase(base.path, base.descriptor, base.counts.tickets,
                          base.counts.questionsPerTicket);
        live_.setTicketCount(base.counts.tickets);
        baseUsable_ = true;
        break;
    case OpenedBase::Status::CountsOutOfRange:
        // The counts and matrices of the base before stay; its path too.
        engine_->setBaseDescriptor(base.descriptor);
        baseUsable_ = false;
        break;
    case OpenedBase::Status::CountsInvalid:
    case OpenedBase::Status::DescriptorMissing:
    case OpenedBase::Status::ArchiveUnreadable:
        engine_->setBasePath(base.path);
        baseUsable_ = false;
        break;
    }
    updateModeButtons();
    if (!baseUsable_) {
        environment_.boxes->warn(
            QStringLiteral("База \"%1\" повреждена: в ней нет верного числа билетов и вопросов "
                           "(от 1 до 1000).\nТестирование по этой базе невозможно, выберите "
                           "другую базу.")
                .arg(caption.isEmpty() ? archiveName : caption));
    }
}

void TForm1::updateModeButtons() {
    // A base whose descriptor failed cannot be confirmed, so no run starts on it.
    openBasePanel_->okButton()->setEnabled(baseUsable_);
    const bool modes = modeButtonsConfirmed_ && baseUsable_;
    mainPanel_->button(QStringLiteral("spSkinButton12"))->setEnabled(modes);
    mainPanel_->button(QStringLiteral("spSkinButton10"))->setEnabled(modes);
}

void TForm1::showBasePicture(const QPixmap& picture) {
    openBasePanel_->picture()->setPixmap(picture);
    mainPanel_->picture()->setPixmap(picture);
}

void TForm1::setBaseTexts(const QString& description) {
    openBasePanel_->description()->setPlainText(description);
    mainPanel_->description()->setPlainText(description);
}

void TForm1::spSkinButton2Click() {
    if (!openBasePanel_->okButton()->isEnabled())
        return;
    showPage(mainPanel_);
    modeButtonsConfirmed_ = true;
    updateModeButtons();
}

void TForm1::ReloadClick() {
    effects_.PlayEffect(QStringLiteral("CLICK"));
    showPage(openBasePanel_);
}

void TForm1::SettingsClick() {
    effects_.PlayEffect(QStringLiteral("CLICK"));
    showPage(settingsPanel_);
}

void TForm1::SpravkaClick() {
    effects_.PlayEffect(QStringLiteral("CLICK"));
    openHelp(programFolder_, [this](const QUrl& url) { return openUrl(url); });
}

void TForm1::spSkinButton16Click() {
    effects_.PlayEffect(QStringLiteral("CLICK"));
    about_->exec();
}

void TForm1::spSkinButton17Click() {
    effects_.PlayEffect(QStringLiteral("CLICK"));
    close();
}

void TForm1::menuButtonEntered(const QString& name) {
    effects_.PlayEffect(QStringLiteral("EN"));
    mainPanel_->descriptions().bringToFrontFor(name);
}

void TForm1::resultsButtonEntered(const QString& name) {
    effects_.PlayEffect(QStringLiteral("EN"));
    resultsPanel_->descriptions().bringToFrontFor(name);
}

bool TForm1::openUrl(const QUrl& url) {
    if (environment_.openUrl)
        return environment_.openUrl(url);
    return openWithDesktop(url);
}

} // namespace korvel
