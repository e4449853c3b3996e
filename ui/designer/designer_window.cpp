// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_window.h"
#include "adjust_panel.h"
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "full_wave_check.h"
#include "match_drawing.h"
#include "nec_checks_help.h"
#include "notice_bar.h"
#include "ratings_panel.h"
#include "results_panel.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"
#include "tuning_panel.h"
#include "window_placement.h"

#include "sha256.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vostrel::designer {

namespace {
// After the last edit, before nec2c starts: typing a number is several edits.
constexpr std::chrono::milliseconds kNecPause{400};
} // namespace

DesignerWindow::DesignerWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Gamma Match Designer"));
    setAcceptDrops(true);
    setCentralWidget(buildLayout());

    m_fullWave = new FullWaveCheck(this);
    if (const QString program = qEnvironmentVariable("VOSTREL_NEC2C"); !program.isEmpty()) {
        nec::RunOptions run = m_session.runOptions();
        run.program = program.toStdString();
        m_session.setRunOptions(run);
    }
    {
        nec::RunOptions run = m_session.runOptions();
        run.timeout = settings::readNecTimeLimit(settings::userSettings());
        m_session.setRunOptions(run);
    }
    connect(m_fullWave, &FullWaveCheck::finished, this, &DesignerWindow::showFullWave);
    connect(m_fullWave, &FullWaveCheck::busyChanged, this, &DesignerWindow::showNecBusy);
    m_necBusy = new QProgressBar;
    m_necBusy->setRange(0, 0); // busy, no end known
    m_necBusy->setMaximumWidth(120);
    m_necBusy->setFormat(QString());
    m_necBusy->setAccessibleName(tr("NEC-2 running"));
    m_necBusy->setToolTip(tr("NEC-2 is checking the match"));

    buildMenus();
    statusBar()->addPermanentWidget(m_necBusy);
    m_necBusy->hide();
    m_notice->echoIn(statusBar());

    m_geometryTimer = new QTimer(this);
    m_geometryTimer->setSingleShot(true);
    m_geometryTimer->setInterval(500);
    connect(m_geometryTimer, &QTimer::timeout, this, &DesignerWindow::rememberSize);

    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::recompute);
    connect(m_results, &ResultsPanel::useNecFeedImpedance, this, &DesignerWindow::useFeedImpedance);
    connect(m_results, &ResultsPanel::explainNecChecks, this, [this] {
        // Beside the window, not over it: the column stays readable.
        auto* help = findChild<QMessageBox*>(QLatin1String(names::necChecksHelp));
        if (help == nullptr) {
            help = new QMessageBox(
                QMessageBox::Information, tr("The NEC-2 checks"), necChecksExplanation(), QMessageBox::Close, this);
            help->setObjectName(names::necChecksHelp);
            help->setModal(false);
        }
        help->show();
        help->raise();
    });
    connect(m_tuning, &TuningPanel::tuningChanged, this, &DesignerWindow::retune);

    setInputs(settings::readInputs(settings::userSettings(), QLocale()));
    // The size the user last gave it, else the size that shows everything
    // side by side.
    placeOnScreen(*this, settings::readWindowSize(settings::userSettings()).value_or(QSize(1320, 900)));
    // Written as they change: a window ended by a signal or a crash
    // loses nothing.
    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::saveSettings);
    // Typing goes to the frequency from the start; a field reached by its
    // mnemonic (or Tab) is scrolled into view first.
    m_form->field(design::Field::Frequency)->setFocus();
    m_scrollToFocus = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QScrollArea* scroll : std::as_const(m_scrolls)) {
            if (now != nullptr && scroll->widget()->isAncestorOf(now)) {
                scroll->ensureWidgetVisible(now);
            }
        }
    });
}

DesignerWindow::~DesignerWindow()
{
    disconnect(m_scrollToFocus); // children going move the focus, scroll areas gone or not
}

QWidget* DesignerWindow::buildLayout()
{
    m_form = new DesignInputsForm;
    m_results = new ResultsPanel;
    m_ratings = new RatingsPanel;
    m_tuning = new TuningPanel;
    m_plots = new PlotsPage;
    m_drawing = new MatchDrawing;
    m_adjust = new AdjustPanel;
    m_drawing->setObjectName(names::drawing);

    // Down to a 1024 x 768 screen, and at twice the scale, every control
    // stays reachable: the inputs scroll, the plots and the drawing share
    // tabs, and a splitter gives either side the room.
    auto* inputs = new QWidget;
    auto* left = new QVBoxLayout(inputs);
    left->addWidget(m_form);
    left->addWidget(m_results);
    left->addWidget(m_ratings);
    left->addStretch(1);
    auto scrolled = [](QWidget* page) {
        auto* scroll = new QScrollArea;
        scroll->setWidget(page);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        return scroll;
    };
    auto* inputsScroll = scrolled(inputs);
    m_scrolls = {inputsScroll};
    m_pictures = new QTabWidget;
    m_pictures->setDocumentMode(true);
    m_pictures->addTab(m_plots, tr("P&lots"));
    m_pictures->addTab(m_drawing, tr("&Drawing"));
    m_pictures->addTab(m_adjust, tr("Ad&just"));

    auto* tuningAndPictures = new QWidget;
    auto* right = new QVBoxLayout(tuningAndPictures);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(m_tuning);
    right->addWidget(m_pictures, 1);
    auto* rightScroll = scrolled(tuningAndPictures);
    m_scrolls.append(rightScroll);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(inputsScroll);
    splitter->addWidget(rightScroll);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    m_form->setFixedWidth(m_form->sizeHint().width() + 40);
    m_results->setFixedWidth(m_form->width());
    m_ratings->setFixedWidth(m_form->width());
    // Both sides fit the narrowest window (320 wide) and scroll from there.
    inputsScroll->setMinimumWidth(140);
    rightScroll->setMinimumWidth(140);
    // The inputs' own width and their scroll bar's: no sideways scrolling.
    splitter->setSizes({inputs->sizeHint().width() + inputsScroll->verticalScrollBar()->sizeHint().width(), 1000});

    // Where File > Open, Export and the settings speak.
    m_notice = new NoticeBar;
    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(4, 4, 4, 0);
    rows->addWidget(m_notice);
    rows->addWidget(splitter, 1);
    return central;
}

void DesignerWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible()) {
        m_geometryTimer->start(); // once the user lets go
    }
}

void DesignerWindow::rememberSize()
{
    if (isMaximized() || isFullScreen()) {
        return; // the size to come back to is the normal one
    }
    QSettings store = settings::userSettings();
    settings::writeWindowSize(store, size());
}

void DesignerWindow::chooseAndOpen(FileKind kind)
{
    const bool measurement = kind == FileKind::Measurement;
    const QString path = QFileDialog::getOpenFileName(this,
        measurement ? tr("Open a measurement") : tr("Open an antenna model"), QString(),
        measurement ? tr("Touchstone one-port (*.s1p *.S1P);;All files (*)")
                    : tr("Antenna model (*.nec *.NEC *.maa *.MAA);;All files (*)"));
    if (!path.isEmpty()) {
        openFile(path, kind);
    }
}

void DesignerWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("Open d&esign…"), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open a design"), QString(), tr("Design (*.vostrel);;All files (*)"));
        if (!path.isEmpty()) {
            openDesign(path);
        }
    });
    QAction* save = file->addAction(tr("&Save design…"), this, &DesignerWindow::chooseAndSaveDesign);
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* open = file->addAction(tr("&Open measurement…"), this, [this] { chooseAndOpen(FileKind::Measurement); });
    open->setShortcut(QKeySequence::Open);
    m_forget = file->addAction(tr("&Forget measurement"), this, &DesignerWindow::forgetMeasurement);
    m_forget->setEnabled(false);
    file->addSeparator();
    file->addAction(tr("Open &antenna model (NEC-2)…"), this, [this] { chooseAndOpen(FileKind::AntennaModel); });
    m_forgetModel = file->addAction(tr("Forget antenna &model"), this, &DesignerWindow::forgetAntennaModel);
    m_forgetModel->setEnabled(false);
    file->addAction(tr("Save matched antenna model as &NEC-2…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, tr("Save the matched antenna model"), QStringLiteral("matched.nec"), tr("NEC-2 deck (*.nec)"));
        if (!path.isEmpty()) {
            saveMatchedModel(path);
        }
    });
    file->addSeparator();
    file->addAction(tr("Export sweeps as &CSV…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, tr("Export the sweeps"), QStringLiteral("gamma-match-sweeps.csv"), tr("CSV (*.csv)"));
        if (!path.isEmpty()) {
            exportCsv(path);
        }
    });
    file->addAction(tr("Export &plots as PNG or SVG…"), this, [this] {
        const QString png = tr("PNG picture (*.png)");
        const QString svg = tr("SVG drawing (*.svg)");
        QString chosen = png;
        const QString path = QFileDialog::getSaveFileName(this, tr("Export the plots"),
            QStringLiteral("gamma-match-plots.png"), png + QStringLiteral(";;") + svg, &chosen);
        if (!path.isEmpty()) {
            exportPlots(path, chosen == svg ? ExportFormat::Svg : ExportFormat::Png);
        }
    });
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* copy = edit->addAction(tr("&Copy results"), this, &DesignerWindow::copyResults);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));

    edit->addAction(tr("NEC-2 &time limit per run…"), this, [this] {
        bool given = false;
        const int seconds = QInputDialog::getInt(this, tr("NEC-2 time limit"),
            tr("Seconds each nec2c run may take before it is stopped (%1 unless changed here):")
                .arg(settings::kDefaultNecTimeLimit),
            static_cast<int>(necTimeLimit().count()), 1, settings::kMaxNecTimeLimit, 1, &given);
        if (given) {
            setNecTimeLimit(std::chrono::seconds(seconds));
        }
    });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About"), this, [this] {
        QMessageBox::about(this, tr("About Gamma Match Designer"),
            tr("<p><b>Gamma Match Designer</b> %1</p><p>Designs a gamma match from the element's feed impedance "
               "and shows how the match moves as the strap and the capacitor are tuned.</p>")
                .arg(QApplication::applicationVersion()));
    });
}

void DesignerWindow::recompute()
{
    const DesignerSession::Update update = m_session.update(m_form->texts(), QLocale());
    if (update.measured) {
        m_form->setMeasured(update.measured->resistance, update.measured->reactance, update.measured->note);
    }
    if (update.modelElement) {
        m_form->setAntennaModel(update.modelElement->diameter, update.modelElement->note);
    }
    if (!update.errors.isEmpty()) {
        m_form->showErrors(update.errors);
        m_results->setStale(m_session.hasStudy());
        m_ratings->setStale(true);
        setPicturesStale(m_session.hasStudy());
        statusBar()->showMessage(update.errors.front().message);
        m_tuning->setAvailable(false); // the study is of the last good inputs
        stopFullWave();
        m_results->showFullWaveHeld();
        return;
    }
    m_form->showErrors({});
    m_results->setStale(false);
    setPicturesStale(false);
    statusBar()->clearMessage();
    const MatchStudy& study = m_session.study();
    m_results->showStudy(study);
    m_ratings->setStale(false);
    m_plots->setLengthUnit(study.inputs().unit);
    showFullWaveStep(update);
    showBuilt();
}

void DesignerWindow::showBuilt()
{
    const MatchStudy& study = m_session.study();
    const auto& built = m_session.built();
    m_results->showBuilt(built ? &*built : nullptr, study.inputs().unit, study.inputs().tubeInnerDiameter.has_value());
    m_ratings->showRated(m_session.rated());
    m_drawing->showStudy(study, built ? &*built : nullptr);
    m_adjust->showStudy(study, built ? &*built : nullptr);
    if (!built) {
        m_tuning->setAvailable(false);
        m_plots->clear();
        return;
    }
    m_tuning->setDesign(built->design, study.inputs().unit, built->fromNec());
    m_tuning->setAvailable(true);
    showPlots();
}

void DesignerWindow::showFullWaveStep(const DesignerSession::Update& update)
{
    const study::Inputs& inputs = m_session.study().inputs();
    switch (update.nec) {
    case DesignerSession::NecAction::Hold:
        break;
    case DesignerSession::NecAction::Hide:
        stopFullWave();
        updateFrequencyTitle();
        m_results->hideFullWave();
        break;
    case DesignerSession::NecAction::Reshow:
        // The answer shown, or on its way, still holds: shown again in the
        // unit chosen and against the R and X typed now.
        if (const auto& answer = m_session.fullWave(); answer && !m_session.fullWavePending()) {
            m_results->showFullWave(
                answer->refined, inputs.unit, inputs.design.feedImpedance, m_session.lineWithoutTube());
        }
        break;
    case DesignerSession::NecAction::Start:
        updateFrequencyTitle();
        m_results->showFullWaveBusy();
        m_fullWave->schedule(*update.necJob, kNecPause);
        showNecBusy();
        break;
    }
}

void DesignerWindow::setPicturesStale(bool stale)
{
    // Faded while they show the last good inputs, as the results are greyed.
    m_plots->setStale(stale);
    setFaded(m_drawing, stale);
}

bool DesignerWindow::picturesStale() const
{
    return m_plots->isStale() && isFaded(m_drawing);
}

void DesignerWindow::showPlots()
{
    const BuiltMatch& built = *m_session.built();
    m_plots->showBuilt(m_session.study(), built);
    m_tuning->showTunedSwr(built.swrTuned);
}

void DesignerWindow::stopFullWave()
{
    m_fullWave->cancel();
    showNecBusy();
}

void DesignerWindow::showFullWave(const FullWaveResult& result)
{
    if (!m_session.fullWaveFinished(result)) {
        return; // an earlier job's, still ending when it was replaced
    }
    const study::Inputs& inputs = m_session.study().inputs();
    m_results->showFullWave(result.refined, inputs.unit, inputs.design.feedImpedance, m_session.lineWithoutTube());
    updateFrequencyTitle();
    // NEC-2's refined match, when it found one, is now the one to build.
    showBuilt();
    showNecTimeout(result);
    showNecBusy();
}

std::chrono::seconds DesignerWindow::necTimeLimit() const
{
    return std::chrono::duration_cast<std::chrono::seconds>(m_session.runOptions().timeout);
}

void DesignerWindow::setNecTimeLimit(std::chrono::seconds limit)
{
    QSettings store = settings::userSettings();
    settings::writeNecTimeLimit(store, limit);
    nec::RunOptions run = m_session.runOptions();
    run.timeout = settings::readNecTimeLimit(store); // the same limit, within its range
    m_session.setRunOptions(run);
    recompute(); // the limit is part of the job: it runs again
}

void DesignerWindow::showNecTimeout(const FullWaveResult& result)
{
    const auto* failed = std::get_if<nec::NecFailure>(&result.refined);
    const bool refineTimedOut = failed != nullptr && failed->kind == nec::NecFailure::Kind::Timeout;
    const bool sweepTimedOut = result.sweepFailure && result.sweepFailure->kind == nec::NecFailure::Kind::Timeout;
    if (!refineTimedOut && !sweepTimedOut) {
        return;
    }
    const QString limit = tr("%1 s").arg(necTimeLimit().count());
    m_notice->showNotice(refineTimedOut
            ? tr("A nec2c run took longer than the time limit of %1 and was stopped: there is no NEC-2 answer. A "
                 "model of many segments needs more time: raise the limit in Edit > NEC-2 time limit per run.")
                  .arg(limit)
            : tr("NEC-2's sweep of the refined match took longer than the time limit of %1 and was stopped: the "
                 "frequency plot keeps R and X fixed. Raise the limit in Edit > NEC-2 time limit per run.")
                  .arg(limit),
        true);
}

void DesignerWindow::showNecBusy()
{
    m_necBusy->setVisible(m_fullWave->isWaiting());
}

void DesignerWindow::updateFrequencyTitle()
{
    m_plots->showFrequencySource(frequencyPlotFromNec(), m_session.hasMeasurement());
}

std::optional<QString> DesignerWindow::openFile(const QString& path, FileKind kind)
{
    const auto contents = readWholeFile(path);
    const auto* cannot = std::get_if<QString>(&contents);
    const QString name = QFileInfo(path).fileName();
    std::optional<QString> problem;
    if (cannot != nullptr) {
        problem = *cannot;
    } else {
        const auto& bytes = std::get<QByteArray>(contents);
        problem = kind == FileKind::Measurement ? m_session.openMeasurement(bytes, name)
                                                : m_session.openAntennaModel(bytes, name);
    }
    if (problem) {
        m_notice->showNotice(*problem, true);
        return problem;
    }
    (kind == FileKind::Measurement ? m_forget : m_forgetModel)->setEnabled(true);
    if (kind == FileKind::AntennaModel) {
        const auto& bytes = std::get<QByteArray>(contents);
        m_antennaModelPath = QFileInfo(path).absoluteFilePath();
        m_antennaModelSha256 = QString::fromStdString(
            sha256Hex(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
        rememberAntennaModel();
    }
    closeNotice();
    recompute();
    return std::nullopt;
}

void DesignerWindow::forgetMeasurement()
{
    m_session.forgetMeasurement();
    m_forget->setEnabled(false);
    m_form->clearMeasured();
    recompute();
}

void DesignerWindow::forgetAntennaModel()
{
    m_session.forgetAntennaModel();
    m_antennaModelPath.clear();
    m_antennaModelSha256.clear();
    rememberAntennaModel();
    m_forgetModel->setEnabled(false);
    m_form->clearAntennaModel();
    recompute();
}

void DesignerWindow::useFeedImpedance(std::complex<double> feed)
{
    if (m_session.hasMeasurement()) {
        forgetMeasurement(); // asked for NEC-2's instead of the file's
    }
    const QLocale locale;
    InputTexts texts = m_form->texts();
    texts.resistance = formatNumber(feed.real(), locale, 2);
    texts.reactance = formatNumber(feed.imag(), locale, 2);
    m_form->setTexts(texts); // NEC-2's inputs are the same: no new run
}

QString DesignerWindow::summary() const
{
    if (m_session.isStale() || !m_session.hasStudy()) {
        QString text = tr("Gamma match design: the inputs have a problem\n\n");
        for (const QString& line : m_form->problems()) {
            text += QStringLiteral("  ") + line + QLatin1Char('\n');
        }
        return text;
    }
    const auto& built = m_session.built();
    // The clipboard's text writes "ohm", as the rest of the summary does.
    QString text = summaryText(m_session.study(), m_session.measurementName(), built ? &*built : nullptr)
        + m_results->fullWaveSummary(m_fullWave->isWaiting()).replace(QStringLiteral(" Ω"), QStringLiteral(" ohm"));
    if (const auto& rated = m_session.rated()) {
        text += ratingsSummaryText(rated->input, rated->answer);
    }
    return text;
}

void DesignerWindow::copyResults()
{
    QGuiApplication::clipboard()->setText(summary());
    statusBar()->showMessage(tr("Results copied"), 3000);
}

bool DesignerWindow::exportCsv(const QString& path)
{
    const QString named = withExtension(path, ExportFormat::Csv);
    std::optional<QString> problem;
    if (!m_session.hasBuilt()) {
        problem = tr("Nothing to export to %1: there is no design for the inputs.").arg(named);
    } else {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        // Numbers with ".", as in the rows.
        const QStringList caption
            = exportCaption(m_session.study(), *m_session.built(), m_session.exportSource(), QLocale::c());
        writeSweepsCsv(m_session.study(), *m_session.built(), caption, buffer);
        problem = writeWholeFile(named, buffer.data());
    }
    m_notice->showNotice(problem ? *problem : tr("Wrote %1").arg(named), problem.has_value());
    return !problem;
}

bool DesignerWindow::exportPlots(const QString& path, ExportFormat format)
{
    if (const auto named = formatOf(path); named == ExportFormat::Png || named == ExportFormat::Svg) {
        format = *named;
    }
    const QString target = withExtension(path, format);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QStringList caption;
    if (m_session.hasBuilt()) {
        caption = exportCaption(m_session.study(), *m_session.built(), m_session.exportSource(), QLocale());
    }
    const bool drawn
        = format == ExportFormat::Svg ? m_plots->writeSvg(buffer, caption) : m_plots->writePng(buffer, caption);
    const std::optional<QString> problem
        = drawn ? writeWholeFile(target, buffer.data()) : tr("Could not draw the plots for %1.").arg(target);
    m_notice->showNotice(problem ? *problem : tr("Wrote %1").arg(target), problem.has_value());
    return !problem;
}

void DesignerWindow::saveSettings()
{
    rememberAntennaModel(); // the model open now, or none: never one the inputs no longer go with
    QSettings store = settings::userSettings();
    if (!settings::writeInputs(store, m_form->typedTexts(), QLocale()) && !m_settingsProblemReported) {
        m_settingsProblemReported = true; // once a run: the next edit would only say it again
        m_notice->showNotice(tr("The inputs cannot be saved in %1: it cannot be written. They will not come back "
                                "at the next start.")
                                 .arg(QDir::toNativeSeparators(store.fileName())),
            true);
    }
}

void DesignerWindow::rememberAntennaModel()
{
    QSettings store = settings::userSettings();
    settings::writeAntennaModel(store,
        m_antennaModelPath.isEmpty()
            ? std::nullopt
            : std::optional(settings::RememberedModel{m_antennaModelPath, m_antennaModelSha256}));
}

std::optional<QString> DesignerWindow::restoreAntennaModel(const settings::RememberedModel& model)
{
    return restoreAntennaModel(model, tr("The last session's antenna model"));
}

std::optional<QString> DesignerWindow::restoreAntennaModel(const settings::RememberedModel& model, const QString& whose)
{
    const QString shown = QDir::toNativeSeparators(model.path);
    const auto contents = readWholeFile(model.path);
    std::optional<QString> problem;
    if (const auto* cannot = std::get_if<QString>(&contents)) {
        problem = tr("%1 %2 cannot be read now (%3): it is forgotten, and so is the element length.")
                      .arg(whose, shown, *cannot);
    } else {
        const auto& bytes = std::get<QByteArray>(contents);
        if (sha256Hex(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
            != model.sha256.toStdString()) {
            problem = tr("%1 %2 has changed since: it is forgotten, and so is the element length. Open it again to "
                         "use it as it is now.")
                          .arg(whose, shown);
        } else if (const auto unusable = openFile(model.path, FileKind::AntennaModel)) {
            problem = tr("%1 %2 no longer opens (%3): it is forgotten, and so is the element length.")
                          .arg(whose, shown, *unusable);
        }
    }
    if (problem) {
        forgetAntennaModel();
        InputTexts texts = m_form->texts();
        texts.elementLength.clear();
        setInputs(texts);
        m_notice->showNotice(*problem, true);
    }
    return problem;
}

bool DesignerWindow::saveMatchedModel(const QString& path)
{
    const auto deck = m_session.matchedDeck();
    std::optional<QString> problem;
    if (!m_antennaModelPath.isEmpty() && QFileInfo::exists(path)
        && QFileInfo(path).canonicalFilePath() == QFileInfo(m_antennaModelPath).canonicalFilePath()) {
        problem = tr("%1 is the antenna model open: the matched model is written to another file, never over it.")
                      .arg(QDir::toNativeSeparators(path));
    } else if (const auto* none = std::get_if<QString>(&deck)) {
        problem = *none;
    } else {
        problem = writeWholeFile(path, QByteArray::fromStdString(std::get<std::string>(deck)));
    }
    m_notice->showNotice(problem ? *problem : tr("Wrote %1").arg(QDir::toNativeSeparators(path)), problem.has_value());
    return !problem;
}

DesignDocument DesignerWindow::document() const
{
    DesignDocument document{m_form->typedTexts(), m_antennaModelPath, m_antennaModelSha256, std::nullopt};
    if (m_session.hasCurrentDesign()) {
        document.built = m_tuning->tuning();
    }
    return document;
}

void DesignerWindow::chooseAndSaveDesign()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save the design"), QStringLiteral("gamma-match.vostrel"), tr("Design (*.vostrel)"));
    if (!path.isEmpty()) {
        saveDesign(path);
    }
}

bool DesignerWindow::saveDesign(const QString& path)
{
    const auto written = writeDesignDocument(document(), QLocale());
    std::optional<QString> problem;
    if (const auto* refused = std::get_if<QString>(&written)) {
        problem = tr("The design is not saved: %1").arg(*refused);
    } else {
        problem = writeWholeFile(path, std::get<QByteArray>(written));
    }
    m_notice->showNotice(problem ? *problem : tr("Wrote %1").arg(path), problem.has_value());
    return !problem;
}

std::optional<QString> DesignerWindow::openDesign(const QString& path)
{
    const auto contents = readWholeFile(path);
    std::optional<QString> problem;
    if (const auto* cannot = std::get_if<QString>(&contents)) {
        problem = *cannot;
    } else {
        const auto read = readDesignDocument(std::get<QByteArray>(contents), path, QLocale());
        if (const auto* refused = std::get_if<QString>(&read)) {
            problem = *refused;
        } else {
            if (showDocument(std::get<DesignDocument>(read))) {
                m_notice->showNotice(tr("Opened the design %1").arg(QDir::toNativeSeparators(path)), false);
            }
            return std::nullopt;
        }
    }
    m_notice->showNotice(*problem, true);
    return problem;
}

bool DesignerWindow::showDocument(const DesignDocument& document)
{
    forgetMeasurement();
    if (hasAntennaModel()) {
        forgetAntennaModel();
    }
    setInputs(document.texts);
    if (!document.antennaModel.isEmpty()) {
        if (restoreAntennaModel(
                {document.antennaModel, document.antennaModelSha256}, tr("The design's antenna model"))) {
            return false; // its notice says why the design came without it
        }
    }
    if (document.built && m_session.hasCurrentDesign()) {
        // The sliders' steps nearest the saved strap and capacitor.
        const Tuning design = m_session.study().designTuning();
        const auto steps = [](double built, double designed, double step) {
            const double nearest = std::round((built / designed - 1) / step);
            return std::isfinite(nearest)
                ? static_cast<int>(std::clamp(nearest, -1.0 * study::kTuningSteps, 1.0 * study::kTuningSteps))
                : 0;
        };
        findChild<QSlider*>(QLatin1String(names::strapSlider))
            ->setValue(steps(document.built->rodLength, design.rodLength, study::kStrapStep));
        findChild<QSlider*>(QLatin1String(names::capacitorSlider))
            ->setValue(steps(document.built->capacitancePf, design.capacitancePf, study::kCapacitorStep));
    }
    return true;
}

void DesignerWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void DesignerWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        const QString path = urls.front().toLocalFile();
        const bool deck = path.endsWith(QLatin1String(".nec"), Qt::CaseInsensitive)
            || path.endsWith(QLatin1String(".maa"), Qt::CaseInsensitive);
        openFile(path, deck ? FileKind::AntennaModel : FileKind::Measurement);
        event->acceptProposedAction();
    }
}

} // namespace vostrel::designer
