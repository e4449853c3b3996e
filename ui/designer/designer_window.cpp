#include "designer_window.h"
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "full_wave_check.h"
#include "match_drawing.h"
#include "notice_bar.h"
#include "results_panel.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"
#include "tuning_panel.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vostrel::designer {

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
    m_necTimer = new QTimer(this);
    m_necTimer->setSingleShot(true);
    m_necTimer->setInterval(400); // typing a number is several edits: one run at the end
    connect(m_necTimer, &QTimer::timeout, this, [this] {
        if (m_pendingJob) {
            m_fullWave->start(*m_pendingJob);
        }
    });
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
    connect(m_notice, &NoticeBar::closed, statusBar(), &QStatusBar::clearMessage);

    m_geometryTimer = new QTimer(this);
    m_geometryTimer->setSingleShot(true);
    m_geometryTimer->setInterval(500);
    connect(m_geometryTimer, &QTimer::timeout, this, &DesignerWindow::rememberSize);

    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::recompute);
    connect(m_results, &ResultsPanel::useNecFeedImpedance, this, &DesignerWindow::useFeedImpedance);
    connect(m_tuning, &TuningPanel::tuningChanged, this, &DesignerWindow::retune);

    setInputs(settings::readInputs(settings::userSettings(), QLocale()));
    placeOnScreen();
    // Written as they change: a window ended by a signal or a crash
    // loses nothing.
    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::saveSettings);
}

DesignerWindow::~DesignerWindow() = default;

QWidget* DesignerWindow::buildLayout()
{
    m_form = new DesignInputsForm;
    m_results = new ResultsPanel;
    m_tuning = new TuningPanel;
    m_plots = new PlotsPage;
    m_drawing = new MatchDrawing;
    m_drawing->setObjectName(names::drawing);

    // Down to a 1024 x 768 screen, and at twice the scale, every control
    // stays reachable: the inputs scroll, the plots and the drawing share
    // tabs, and a splitter gives either side the room.
    auto* inputs = new QWidget;
    auto* left = new QVBoxLayout(inputs);
    left->addWidget(m_form);
    left->addWidget(m_results);
    left->addStretch(1);
    auto* inputsScroll = new QScrollArea;
    inputsScroll->setWidget(inputs);
    inputsScroll->setWidgetResizable(true);
    inputsScroll->setFrameShape(QFrame::NoFrame);
    inputsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto scrolled = [](QWidget* page) {
        auto* scroll = new QScrollArea;
        scroll->setWidget(page);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        return scroll;
    };
    m_pictures = new QTabWidget;
    m_pictures->setDocumentMode(true);
    m_pictures->addTab(m_plots, tr("P&lots"));
    m_pictures->addTab(m_drawing, tr("&Drawing"));

    auto* tuningAndPictures = new QWidget;
    auto* right = new QVBoxLayout(tuningAndPictures);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(m_tuning);
    right->addWidget(m_pictures, 1);
    auto* rightScroll = scrolled(tuningAndPictures);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(inputsScroll);
    splitter->addWidget(rightScroll);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    m_form->setFixedWidth(m_form->sizeHint().width() + 40);
    m_results->setFixedWidth(m_form->width());
    // Both sides fit the narrowest window (320 wide) and scroll from there.
    inputsScroll->setMinimumWidth(140);
    rightScroll->setMinimumWidth(140);
    splitter->setSizes({m_form->width() + 30, 1000});

    // Where File > Open, Export and the settings speak.
    m_notice = new NoticeBar;
    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(4, 4, 4, 0);
    rows->addWidget(m_notice);
    rows->addWidget(splitter, 1);
    return central;
}

void DesignerWindow::placeOnScreen()
{
    // The size the user last gave it, else the size that shows everything
    // side by side; never more than the screen's available area (the
    // desktop's panels left out).
    QSize wanted = settings::readWindowSize(settings::userSettings()).value_or(QSize(1320, 900));
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds: unknown until shown, guessed.
    const QSize frame(16, 40);
    const QSize room = (available.size() - frame).expandedTo(minimumSizeHint().boundedTo(QSize(320, 240)));
    wanted = wanted.boundedTo(room);
    setMinimumSize(QSize(320, 240).boundedTo(room));
    resize(wanted);
    const QPoint topLeft = available.topLeft()
        + QPoint(std::max(0, (available.width() - wanted.width() - frame.width()) / 2),
            std::max(0, (available.height() - wanted.height() - frame.height()) / 2));
    move(topLeft);
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

void DesignerWindow::showNotice(const QString& text, bool problem)
{
    m_notice->showNotice(text, problem);
    statusBar()->showMessage(text, problem ? 0 : 5000);
}

void DesignerWindow::closeNotice()
{
    m_notice->closeNotice();
}

QString DesignerWindow::noticeText() const
{
    return m_notice->text();
}

bool DesignerWindow::noticeIsProblem() const
{
    return m_notice->isProblem();
}

void DesignerWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open measurement…"), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open a measurement"), QString(), tr("Touchstone one-port (*.s1p *.S1P);;All files (*)"));
        if (!path.isEmpty()) {
            openMeasurement(path);
        }
    });
    open->setShortcut(QKeySequence::Open);
    m_forget = file->addAction(tr("&Forget measurement"), this, &DesignerWindow::forgetMeasurement);
    m_forget->setEnabled(false);
    file->addSeparator();
    file->addAction(tr("Open &antenna model (NEC-2)…"), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open an antenna model"), QString(), tr("NEC-2 deck (*.nec *.NEC);;All files (*)"));
        if (!path.isEmpty()) {
            openAntennaModel(path);
        }
    });
    m_forgetModel = file->addAction(tr("Forget antenna &model"), this, &DesignerWindow::forgetAntennaModel);
    m_forgetModel->setEnabled(false);
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

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About"), this, [this] {
        QMessageBox::about(this, tr("About Gamma Match Designer"),
            tr("<p><b>Gamma Match Designer</b> %1</p><p>Designs a gamma match from the element's feed impedance "
               "and shows how the match moves as the strap and the capacitor are tuned.</p>")
                .arg(QApplication::applicationVersion()));
    });
}

void DesignerWindow::setInputs(const InputTexts& texts)
{
    m_form->setTexts(texts); // recomputes
}

InputTexts DesignerWindow::inputs() const
{
    return m_form->texts();
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
    m_drawing->showStudy(study);
    chart(Plot::RodLength)
        ->setXTitle(
            tr("Strap position, rod length (%1)").arg(QString::fromLatin1(design::unitSymbol(study.inputs().unit))));
    showFullWaveStep(update);
    if (!study.hasDesign()) {
        m_tuning->setAvailable(false);
        m_plots->clear();
        return;
    }
    m_tuning->setDesign(study.designTuning(), study.inputs().unit);
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
        m_pendingJob.reset();
        updateFrequencyTitle();
        m_results->hideFullWave();
        break;
    case DesignerSession::NecAction::Reshow:
        // The answer shown, or on its way, still holds: shown again in the
        // unit chosen and against the R and X typed now.
        if (const auto& answer = m_session.fullWave(); answer && !m_session.fullWavePending()) {
            m_results->showFullWave(answer->refined, inputs.unit, inputs.design.feedImpedance);
        }
        break;
    case DesignerSession::NecAction::Start:
        stopFullWave();
        updateFrequencyTitle();
        m_pendingJob = update.necJob;
        m_results->showFullWaveBusy();
        m_necTimer->start();
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

void DesignerWindow::retune(Tuning tuning)
{
    if (m_session.retune(tuning)) {
        showPlots();
    }
}

void DesignerWindow::showPlots()
{
    const MatchStudy& study = m_session.study();
    const design::Design& d = study.design();
    const Tuning tuned = study.tuning();
    const double designSwr = study.atDesign().swr;
    const double tunedSwr = study.tuned().swr;
    const double perUnit = design::metresPer(study.inputs().unit);
    const double mhz = study.inputs().design.freqMhz;
    chart(Plot::Capacitance)
        ->showSweep(study.byCapacitance(), 1, {d.capacitancePf, designSwr}, {tuned.capacitancePf, tunedSwr});
    chart(Plot::RodLength)
        ->showSweep(
            study.byRodLength(), perUnit, {d.rodLength / perUnit, designSwr}, {tuned.rodLength / perUnit, tunedSwr});
    if (frequencyPlotFromNec()) {
        showNecFrequencyPlot();
    } else {
        chart(Plot::Frequency)->showSweep(study.byFrequency(), 1, {mhz, designSwr}, {mhz, tunedSwr});
    }
    smithChart()->showLocus(
        study.inputs().design.lineImpedance, study.byCapacitance(), study.atDesign().zin, study.tuned().zin);
    m_tuning->showTuned(study.tuned());
}

void DesignerWindow::showNecFrequencyPlot()
{
    // The refined match's, as NEC-2 computed it: the sliders do not move it.
    const double mhz = m_session.study().inputs().design.freqMhz;
    const FullWaveResult& answer = *m_session.fullWave();
    const double swr = std::get<nec::Refined>(answer.refined).swr; // a sweep comes only with a match
    chart(Plot::Frequency)->showSweep(answer.sweep, 1, {mhz, swr}, {mhz, swr});
}

void DesignerWindow::stopFullWave()
{
    m_necTimer->stop();
    m_fullWave->cancel();
    showNecBusy();
}

void DesignerWindow::showFullWave(const FullWaveResult& result)
{
    if (!m_session.fullWaveFinished(result)) {
        return; // an earlier job's, still ending when it was replaced
    }
    const study::Inputs& inputs = m_session.study().inputs();
    m_results->showFullWave(result.refined, inputs.unit, inputs.design.feedImpedance);
    updateFrequencyTitle();
    // Only the frequency plot changes, and only to NEC-2's: the others, and
    // the closed form's frequency plot, are drawn already.
    if (frequencyPlotFromNec()) {
        showNecFrequencyPlot();
    }
    showNecBusy();
}

void DesignerWindow::showNecBusy()
{
    m_necBusy->setVisible(m_fullWave->isBusy() || m_necTimer->isActive());
}

void DesignerWindow::updateFrequencyTitle()
{
    // Without a file or NEC-2 the sweep keeps the typed R and X at every
    // frequency: a real element's change with frequency is not in it, and
    // the curve reads far wider than the antenna's.
    SweepChart* byFrequency = chart(Plot::Frequency);
    if (frequencyPlotFromNec()) {
        byFrequency->setXTitle(tr("Frequency (MHz), NEC-2"));
        byFrequency->setNote(tr("NEC-2: the refined match"));
        byFrequency->curve()->setName(tr("SWR, refined in NEC-2"));
    } else {
        const bool measured = m_session.hasMeasurement();
        byFrequency->curve()->setName(tr("SWR as tuned"));
        byFrequency->setXTitle(measured ? tr("Frequency (MHz), measured R and X") : tr("Frequency (MHz)"));
        byFrequency->setNote(measured ? QString() : tr("R and X held fixed"));
    }
}

std::optional<QString> DesignerWindow::openMeasurement(const QString& path)
{
    const auto contents = readWholeFile(path);
    const auto* cannot = std::get_if<QString>(&contents);
    const std::optional<QString> problem = cannot != nullptr
        ? *cannot
        : m_session.openMeasurement(std::get<QByteArray>(contents), QFileInfo(path).fileName());
    if (problem) {
        showNotice(*problem, true);
        return problem;
    }
    m_forget->setEnabled(true);
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

std::optional<QString> DesignerWindow::openAntennaModel(const QString& path)
{
    const auto contents = readWholeFile(path);
    const auto* cannot = std::get_if<QString>(&contents);
    const std::optional<QString> problem = cannot != nullptr
        ? *cannot
        : m_session.openAntennaModel(std::get<QByteArray>(contents), QFileInfo(path).fileName());
    if (problem) {
        showNotice(*problem, true);
        return problem;
    }
    m_forgetModel->setEnabled(true);
    closeNotice();
    recompute();
    return std::nullopt;
}

void DesignerWindow::forgetAntennaModel()
{
    m_session.forgetAntennaModel();
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
    const bool waiting = m_fullWave->isBusy() || m_necTimer->isActive();
    return summaryText(m_session.study(), m_session.measurementName()) + m_results->fullWaveSummary(waiting);
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
    if (!m_session.hasCurrentDesign()) {
        problem = tr("Nothing to export to %1: there is no design for the inputs.").arg(named);
    } else {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        writeSweepsCsv(m_session.study(), buffer);
        problem = writeWholeFile(named, buffer.data());
    }
    showNotice(problem ? *problem : tr("Wrote %1").arg(named), problem.has_value());
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
    const bool drawn = format == ExportFormat::Svg ? m_plots->writeSvg(buffer) : m_plots->writePng(buffer);
    const std::optional<QString> problem
        = drawn ? writeWholeFile(target, buffer.data()) : tr("Could not draw the plots for %1.").arg(target);
    showNotice(problem ? *problem : tr("Wrote %1").arg(target), problem.has_value());
    return !problem;
}

QString DesignerWindow::statusText() const
{
    return statusBar()->currentMessage();
}

void DesignerWindow::saveSettings()
{
    QSettings store = settings::userSettings();
    if (!settings::writeInputs(store, m_form->texts(), QLocale()) && !m_settingsProblemReported) {
        m_settingsProblemReported = true; // once a run: the next edit would only say it again
        showNotice(tr("The inputs cannot be saved in %1: it cannot be written. They will not come back "
                      "at the next start.")
                       .arg(QDir::toNativeSeparators(store.fileName())),
            true);
    }
}

void DesignerWindow::closeEvent(QCloseEvent* event)
{
    rememberSize();
    QMainWindow::closeEvent(event);
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
        if (path.endsWith(QLatin1String(".nec"), Qt::CaseInsensitive)) {
            openAntennaModel(path);
        } else {
            openMeasurement(path);
        }
        event->acceptProposedAction();
    }
}

} // namespace vostrel::designer
