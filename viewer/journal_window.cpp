#include "viewer/journal_window.h"

#include "app/report_dialogs.h"
#include "journal/journal_csv.h"
#include "journal/journal_location.h"
#include "journal/server_connection.h"
#include "platform/message_boxes.h"
#include "settings/journal_settings.h"
#include "viewer/analysis_page.h"
#include "viewer/past_run_page.h"
#include "viewer/runs_model.h"
#include "viewer/runs_page.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QSaveFile>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

namespace korvel {

namespace {

const QString StateGroup = QStringLiteral("JournalWindow");

enum Tab { RunsTab, RunTab, AnalysisTab };

} // namespace

JournalWindow::JournalWindow(const ViewerEnvironment& environment, QWidget* parent)
    : QMainWindow(parent)
    , environment_(environment)
    , bases_(QDir(environment.programFolder).filePath(QStringLiteral("Base")))
    , tabs_(new QTabWidget)
    , runs_(new RunsPage)
    , run_(new PastRunPage(environment, bases_))
    , analysis_(new AnalysisPage)
    , source_(new QLabel) {
    setObjectName(QStringLiteral("JournalWindow"));
    setWindowTitle(QStringLiteral("Журнал результатов - Korvel TEST"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/korveljournal-64.png")));
    tabs_->setObjectName(QStringLiteral("JournalTabs"));
    tabs_->setAccessibleName(QStringLiteral("Разделы журнала"));
    tabs_->addTab(runs_, QStringLiteral("&1 Прохождения"));
    tabs_->addTab(run_, QStringLiteral("&2 Прохождение"));
    tabs_->addTab(analysis_, QStringLiteral("&3 Анализ базы"));
    setCentralWidget(tabs_);
    source_->setObjectName(QStringLiteral("JournalSource"));
    statusBar()->addWidget(source_, 1);
    resize(1100, 700);

    for (int tab = RunsTab; tab <= AnalysisTab; ++tab) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + tab)), this);
        connect(shortcut, &QShortcut::activated, this,
                [this, tab] { tabs_->setCurrentIndex(tab); });
    }
    auto* back = new QShortcut(QKeySequence(Qt::Key_Escape), run_);
    back->setContext(Qt::WidgetWithChildrenShortcut);
    connect(back, &QShortcut::activated, run_, &PastRunPage::backToRuns);

    connect(runs_, &RunsPage::openRun, this, &JournalWindow::openRun);
    connect(runs_, &RunsPage::exportRequested, this, &JournalWindow::exportCsv);
    connect(runs_, &RunsPage::failed, this, &JournalWindow::reportFailure);
    connect(runs_, &RunsPage::filterChanged, this, [this] {
        analysisStale_ = true;
        if (tabs_->currentWidget() == analysis_)
            refreshAnalysis();
    });
    connect(run_, &PastRunPage::backToRuns, this, [this] {
        tabs_->setCurrentWidget(runs_);
        runs_->table()->setFocus();
    });
    connect(analysis_, &AnalysisPage::kindChanged, this, [this] {
        analysisStale_ = true;
        refreshAnalysis();
    });
    connect(analysis_, &AnalysisPage::savePlotRequested, this, &JournalWindow::savePlot);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        if (tabs_->currentWidget() == analysis_ && analysisStale_)
            refreshAnalysis();
    });

    openJournal();
    restoreWindowState();
}

JournalWindow::~JournalWindow() {
    // The models read through the reader: they let go of it first.
    runs_->setJournal(nullptr);
}

void JournalWindow::openJournal() {
    runs_->setJournal(nullptr);
    run_->clear();
    reader_.reset();
    analysisStale_ = true;
    // Journal = 0 only stops the program from recording: what it recorded
    // before stays worth looking at.
    const JournalSettings choice =
        environment_.settings ? loadJournalSettings(*environment_.settings, *environment_.boxes)
                              : JournalSettings{};
    if (!choice.server.isEmpty()) {
        openServerJournal(choice.server);
        return;
    }
    const QString path = choice.file.isEmpty() ? defaultJournalPath() : choice.file;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        source_->setText(QStringLiteral("Журнал не найден: %1").arg(shown));
        environment_.boxes->inform(
            QStringLiteral("Журнал результатов не найден: %1.%2")
                .arg(shown, choice.on ? QStringLiteral(" Он появится, когда в программе пройдут "
                                                       "первую подготовку или экзамен.")
                                      : QStringLiteral(" Запись результатов выключена в настройках "
                                                       "программы.")));
        return;
    }
    QString error;
    reader_ = JournalReader::open(path, error);
    if (!reader_) {
        source_->setText(QStringLiteral("Журнал не открыт: %1").arg(shown));
        environment_.boxes->error(
            QStringLiteral("Не удалось открыть журнал результатов %1: файл поврежден, занят "
                           "другой программой или записан более новой версией.\n(%2)")
                .arg(shown, error));
        return;
    }
    source_->setText(QStringLiteral("Журнал: %1 (только чтение)").arg(shown));
    runs_->setJournal(reader_.get());
}

// The centre's journal holds every station's runs, so it wins over this
// machine's file. Connecting blocks for up to libpq's connect_timeout; the
// window shows nothing worth using until then anyway.
void JournalWindow::openServerJournal(const QString& server) {
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    reader_ = JournalReader::openServer(server, error);
    QGuiApplication::restoreOverrideCursor();
    const QString shown = parseServerConnection(server).shown();
    if (!reader_) {
        source_->setText(QStringLiteral("Журнал центра не открыт: %1").arg(shown));
        environment_.boxes->error(
            QStringLiteral("Не удалось прочитать журнал результатов на сервере центра %1. Нужен "
                           "доступ к серверу и вход с правами чтения журнала (роль "
                           "korvel_viewer).\n(%2)")
                .arg(shown, error));
        return;
    }
    source_->setText(QStringLiteral("Журнал центра: %1 (только чтение)").arg(shown));
    runs_->setJournal(reader_.get());
}

void JournalWindow::reportFailure(const QString& text) {
    environment_.boxes->error(QStringLiteral("Журнал результатов не прочитан: %1").arg(text));
}

void JournalWindow::openRun(const QString& runId) {
    if (!reader_)
        return;
    QString error;
    const std::optional<StoredRun> run = reader_->run(runId, error);
    if (!run) {
        environment_.boxes->error(
            error.isEmpty() ? QStringLiteral("Прохождения %1 больше нет в журнале.").arg(runId)
                            : QStringLiteral("Прохождение не прочитано: %1").arg(error));
        return;
    }
    run_->showRun(*run);
    tabs_->setCurrentWidget(run_);
    run_->findChild<QWidget*>(QStringLiteral("AnswersTable"))->setFocus();
}

void JournalWindow::refreshAnalysis() {
    analysisStale_ = false;
    QString error;
    if (!analysis_->showAnalysis(reader_.get(), runs_->filter(), runs_->chosenBaseSha256(),
                                 runs_->chosenBaseTitle(), error))
        reportFailure(error);
}

QString JournalWindow::askFileName(const QString& title, const QString& filter,
                                   const QString& pattern, const QString& proposed) {
    SaveDialogRequest request;
    request.title = title;
    QString folder;
    if (environment_.settings)
        folder =
            environment_.settings->value(StateGroup + QStringLiteral("/ExportFolder")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    request.folder = folder;
    request.filters = {{filter, pattern},
                       {QStringLiteral(" Any files (*.*)"), QStringLiteral("*.*")}};
    request.proposedName = proposed;
    const QString path = environment_.saveFileName ? environment_.saveFileName(request)
                                                   : askFileNameInDialog(this, request);
    if (!path.isEmpty() && environment_.settings)
        environment_.settings->setValue(StateGroup + QStringLiteral("/ExportFolder"),
                                        QFileInfo(path).absolutePath());
    return path;
}

void JournalWindow::exportCsv(bool answers) {
    if (!reader_)
        return;
    const QString path = askFileName(
        answers ? QStringLiteral("Сохранить ответы") : QStringLiteral("Сохранить прохождения"),
        QStringLiteral("Файл CSV"), QStringLiteral("*.csv"),
        answers ? QStringLiteral("answers.csv") : QStringLiteral("runs.csv"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly))
        error = file.errorString();
    else if (!writeCsv(*reader_, runs_->filter(), answers ? CsvRows::Answers : CsvRows::Runs, file,
                       error))
        file.cancelWriting();
    else if (!file.commit())
        error = file.errorString();
    if (!error.isEmpty()) {
        environment_.boxes->error(
            QStringLiteral("Файл %1 не сохранен: %2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    environment_.boxes->inform(
        QStringLiteral("Сохранено в %1").arg(QDir::toNativeSeparators(path)));
}

void JournalWindow::savePlot() {
    const QImage image = analysis_->currentPlot();
    if (image.isNull())
        return;
    const QString path =
        askFileName(QStringLiteral("Сохранить график"), QStringLiteral("Рисунок PNG"),
                    QStringLiteral("*.png"), analysis_->currentPlotName());
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        environment_.boxes->error(QStringLiteral("Файл %1 не сохранен: %2")
                                      .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    environment_.boxes->inform(
        QStringLiteral("Сохранено в %1").arg(QDir::toNativeSeparators(path)));
}

void JournalWindow::restoreWindowState() {
    if (!environment_.settings)
        return;
    QSettings& settings = *environment_.settings;
    settings.beginGroup(StateGroup);
    const QByteArray geometry = settings.value(QStringLiteral("Geometry")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    runs_->restoreState(settings);
    const int tab = settings.value(QStringLiteral("Tab"), int(RunsTab)).toInt();
    // A run is not kept: the window opens on the list or the analysis.
    tabs_->setCurrentIndex(tab == AnalysisTab ? AnalysisTab : RunsTab);
    settings.endGroup();
}

void JournalWindow::saveWindowState() {
    if (!environment_.settings)
        return;
    QSettings& settings = *environment_.settings;
    settings.beginGroup(StateGroup);
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("Tab"), tabs_->currentIndex());
    runs_->saveState(settings);
    settings.endGroup();
    settings.sync();
}

void JournalWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!restored_) {
        restored_ = true;
        runs_->table()->setFocus();
    }
}

void JournalWindow::closeEvent(QCloseEvent* event) {
    saveWindowState();
    QMainWindow::closeEvent(event);
}

} // namespace korvel
