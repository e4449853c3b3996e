#include "designer_window.h"
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_names.h"
#include "match_drawing.h"
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
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

namespace vostrel::designer {

namespace {

constexpr double kStaleOpacity = 0.4;

QString unitText(design::Unit unit)
{
    return QString::fromLatin1(design::unitSymbol(unit));
}

InputTexts loadTexts()
{
    QSettings settings(
        QString::fromLatin1(DesignerWindow::kOrganisation), QString::fromLatin1(DesignerWindow::kSettingsName));
    InputTexts texts;
    if (!settings.contains(QStringLiteral("inputs/frequency"))) {
        return localisedTexts(texts, QLocale()); // a fresh start: the worked example
    }
    settings.beginGroup(QStringLiteral("inputs"));
    auto read = [&settings](const char* key, QString& into) {
        into = settings.value(QString::fromLatin1(key), into).toString();
    };
    read("frequency", texts.frequency);
    read("resistance", texts.resistance);
    read("reactance", texts.reactance);
    read("elementDiameter", texts.elementDiameter);
    read("rodDiameter", texts.rodDiameter);
    read("spacing", texts.spacing);
    read("lineImpedance", texts.lineImpedance);
    read("tubeInnerDiameter", texts.tubeInnerDiameter);
    read("dielectric", texts.dielectric);
    read("elementLength", texts.elementLength);
    texts.model = settings.value(QStringLiteral("closedForm")).toString() == QLatin1String("textbook")
        ? design::Model::Textbook
        : design::Model::Corrected;
    if (const auto unit = design::unitFromSymbol(settings.value(QStringLiteral("unit")).toString().toStdString())) {
        texts.unit = *unit;
    }
    texts.stepUp = settings.value(QStringLiteral("stepUp")).toString() == QLatin1String("half") ? design::StepUp::Half
                                                                                                : design::StepUp::Whole;
    return localisedTexts(texts, QLocale()); // kept with "." whatever the locale
}

// A file's bytes, or why it cannot be read (the path as typed, folder and
// all: which folder was meant is half the story).
std::variant<QByteArray, QString> wholeFile(const QString& path)
{
    if (QFileInfo(path).isDir()) {
        return DesignerWindow::tr("Cannot open %1: it is a folder.").arg(QDir::toNativeSeparators(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return DesignerWindow::tr("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    }
    return file.readAll();
}

// A frequency whose plot cannot be drawn (its ticks would not differ, or
// its numbers underflow) is refused at its field, before any redraw.
std::optional<FieldError> undrawable(const ValidInputs& inputs)
{
    const double mhz = inputs.design.freqMhz;
    if (!SweepChart::drawableRange(mhz * (1 - MatchStudy::kFrequencySpan), mhz * (1 + MatchStudy::kFrequencySpan))) {
        return FieldError{design::Field::Frequency,
            DesignerWindow::tr("Frequency: %1 MHz is beyond what the plots can draw.")
                .arg(formatNumber(mhz, QLocale()))};
    }
    return std::nullopt;
}

} // namespace

DesignerWindow::DesignerWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Gamma Match Designer"));
    setAcceptDrops(true);

    m_form = new DesignInputsForm;
    m_results = new ResultsPanel;
    m_tuning = new TuningPanel;
    m_byCapacitance = new SweepChart(tr("SWR against capacitance"));
    m_byCapacitance->setObjectName(names::swrByCapacitance);
    m_byCapacitance->setXTitle(tr("Capacitance (pF)"));
    m_byRodLength = new SweepChart(tr("SWR against strap position"));
    m_byRodLength->setObjectName(names::swrByRodLength);
    m_byFrequency = new SweepChart(tr("SWR against frequency"));
    m_byFrequency->setObjectName(names::swrByFrequency);
    m_smith = new SmithChartView;
    m_smith->setObjectName(names::smithChart);
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

    m_plots = new QWidget;
    auto* grid = new QGridLayout(m_plots);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(m_byCapacitance, 0, 0);
    grid->addWidget(m_byRodLength, 0, 1);
    grid->addWidget(m_byFrequency, 1, 0);
    grid->addWidget(m_smith, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
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

    // Where File > Open, Export and the settings speak: over the window,
    // where the user is looking, not only in a status bar that may be off
    // the screen.
    m_notice = new QFrame;
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setFrameShape(QFrame::StyledPanel);
    m_notice->setAutoFillBackground(true);
    m_noticeText = new QLabel;
    m_noticeText->setWordWrap(true);
    m_noticeText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_noticeText->setTextFormat(Qt::PlainText);
    auto* closeNoticeButton = new QToolButton;
    closeNoticeButton->setText(QStringLiteral("×"));
    closeNoticeButton->setAutoRaise(true);
    closeNoticeButton->setAccessibleName(tr("Close the notice"));
    connect(closeNoticeButton, &QToolButton::clicked, this, &DesignerWindow::closeNotice);
    auto* noticeRow = new QHBoxLayout(m_notice);
    noticeRow->setContentsMargins(8, 4, 4, 4);
    noticeRow->addWidget(m_noticeText, 1);
    noticeRow->addWidget(closeNoticeButton, 0, Qt::AlignTop);
    m_notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, this, &DesignerWindow::closeNotice);

    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(4, 4, 4, 0);
    rows->addWidget(m_notice);
    rows->addWidget(splitter, 1);
    setCentralWidget(central);

    m_fullWave = new FullWaveCheck(this);
    if (const QString program = qEnvironmentVariable("VOSTREL_NEC2C"); !program.isEmpty()) {
        m_necOptions.program = program.toStdString();
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

    m_geometryTimer = new QTimer(this);
    m_geometryTimer->setSingleShot(true);
    m_geometryTimer->setInterval(500);
    connect(m_geometryTimer, &QTimer::timeout, this, &DesignerWindow::rememberSize);

    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::recompute);
    connect(m_results, &ResultsPanel::useNecFeedImpedance, this, &DesignerWindow::useFeedImpedance);
    connect(m_tuning, &TuningPanel::tuningChanged, this, &DesignerWindow::retune);

    setInputs(loadTexts());
    placeOnScreen();
    // Written as they change: a window ended by a signal or a crash
    // loses nothing.
    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::saveSettings);
}

void DesignerWindow::placeOnScreen()
{
    // The size the user last gave it, else the size that shows everything
    // side by side; never more than the screen's available area (the
    // desktop's panels left out).
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kSettingsName));
    const QSize saved = settings.value(QStringLiteral("window/size")).toSize();
    QSize wanted = saved.isValid() && !saved.isEmpty() ? saved : QSize(1320, 900);
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
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kSettingsName));
    settings.setValue(QStringLiteral("window/size"), size());
}

void DesignerWindow::showNotice(const QString& text, bool problem)
{
    m_noticeIsProblem = problem;
    m_noticeText->setText(text);
    QPalette colours = m_notice->palette();
    colours.setColor(QPalette::Window, problem ? QColor(0xfd, 0xec, 0xea) : QColor(0xe8, 0xf3, 0xe8));
    colours.setColor(QPalette::WindowText, problem ? QColor(0x8a, 0x1c, 0x10) : QColor(0x1f, 0x4f, 0x24));
    m_notice->setPalette(colours);
    m_notice->show();
    statusBar()->showMessage(text, problem ? 0 : 5000);
    if (problem) {
        m_noticeTimer->stop(); // stays until read and closed, or the next notice
    } else {
        m_noticeTimer->start(8000);
    }
}

void DesignerWindow::closeNotice()
{
    m_noticeTimer->stop();
    m_notice->hide();
    statusBar()->clearMessage();
}

QString DesignerWindow::noticeText() const
{
    return m_notice->isHidden() ? QString() : m_noticeText->text();
}

DesignerWindow::~DesignerWindow() = default;

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

bool DesignerWindow::applyMeasurement(QList<FieldError>& errors)
{
    if (!m_measured) {
        return true;
    }
    const auto& points = m_measured->points;
    const double fromMhz = points.front().freqHz / 1e6;
    const double toMhz = points.back().freqHz / 1e6;
    const QLocale locale;
    const QString span = points.size() == 1
        ? tr("one point, at %1 MHz").arg(formatNumber(fromMhz, locale))
        : tr("%1 to %2 MHz").arg(formatNumber(fromMhz, locale), formatNumber(toMhz, locale));
    const std::optional<double> read = parseNumber(m_form->field(design::Field::Frequency)->text(), locale);
    if (!read) {
        return false; // validation names the frequency
    }
    const double mhz = *read;
    const auto z = touchstone::impedanceAt(*m_measured, mhz * 1e6);
    if (!z) {
        QString message = points.size() == 1
            ? tr("Frequency: %1 MHz is not the measurement's %2.").arg(formatNumber(mhz, locale), span)
            : tr("Frequency: %1 MHz is outside the measurement's %2.").arg(formatNumber(mhz, locale), span);
        if (const std::string hint = touchstone::frequencyUnitHint(*m_measured); !hint.empty()) {
            message += QLatin1Char(' ') + capitalised(hint) + QLatin1Char('.');
        }
        errors.append({design::Field::Frequency, message});
        return false;
    }
    // R and X at the precision the window shows ohms with everywhere.
    m_form->setMeasured(formatNumber(z->real(), locale, 1), formatNumber(z->imag(), locale, 1),
        tr("R and X from %1, interpolated at %2 MHz between its nearest points (%3 points, %4).")
            .arg(m_measuredName, formatNumber(mhz, locale))
            .arg(points.size())
            .arg(span));
    return true;
}

void DesignerWindow::recompute()
{
    QList<FieldError> errors;
    applyMeasurement(errors);
    applyAntennaModel();
    Validation validation = validate(m_form->texts(), QLocale());
    errors += validation.errors;
    if (validation.inputs) {
        if (const auto refused = undrawable(*validation.inputs)) {
            errors.append(*refused);
        }
    }
    if (!errors.isEmpty()) {
        m_form->showErrors(errors);
        m_results->setStale(m_hasStudy);
        setPicturesStale(m_hasStudy);
        statusBar()->showMessage(errors.front().message);
        m_tuning->setAvailable(false); // the study is of the last good inputs
        stopFullWave();
        m_results->showFullWaveHeld();
        return;
    }
    m_form->showErrors({});
    m_results->setStale(false);
    setPicturesStale(false);
    statusBar()->clearMessage();
    m_study.setInputs(*validation.inputs, m_measured);
    m_hasStudy = true;
    m_results->showStudy(m_study);
    m_drawing->showStudy(m_study);
    m_byRodLength->setXTitle(tr("Strap position, rod length (%1)").arg(unitText(validation.inputs->unit)));
    scheduleFullWave(*validation.inputs, validation.elementLength);
    if (!m_study.hasDesign()) {
        m_tuning->setAvailable(false);
        clearPlots();
        return;
    }
    m_tuning->setDesign(m_study.designTuning(), validation.inputs->unit);
    m_tuning->setAvailable(true);
    showPlots();
}

void DesignerWindow::setPicturesStale(bool stale)
{
    // Faded while they show the last good inputs, as the results are greyed.
    // A graphics effect does not reach into the chart views: their charts
    // fade themselves.
    for (SweepChart* chart : {m_byCapacitance, m_byRodLength, m_byFrequency}) {
        chart->chart()->setOpacity(stale ? kStaleOpacity : 1);
    }
    for (QWidget* picture : {static_cast<QWidget*>(m_smith), static_cast<QWidget*>(m_drawing)}) {
        if (stale && picture->graphicsEffect() == nullptr) {
            auto* fade = new QGraphicsOpacityEffect(picture);
            fade->setOpacity(kStaleOpacity);
            picture->setGraphicsEffect(fade);
        } else if (!stale) {
            picture->setGraphicsEffect(nullptr);
        }
    }
}

bool DesignerWindow::picturesStale() const
{
    const std::array<const SweepChart*, 3> charts = {m_byCapacitance, m_byRodLength, m_byFrequency};
    const bool chartsFaded = std::all_of(
        charts.begin(), charts.end(), [](const SweepChart* chart) { return chart->chart()->opacity() < 1; });
    return chartsFaded && m_smith->graphicsEffect() != nullptr && m_drawing->graphicsEffect() != nullptr;
}

void DesignerWindow::retune(Tuning tuning)
{
    if (!m_hasStudy || !m_study.hasDesign() || m_results->isStale()) {
        return; // no design, or one for inputs the fields no longer hold
    }
    m_study.setTuning(tuning);
    showPlots();
}

void DesignerWindow::showPlots()
{
    const design::Design& d = m_study.design();
    const Tuning tuned = m_study.tuning();
    const double designSwr = m_study.atDesign().swr;
    const double tunedSwr = m_study.tuned().swr;
    const double perUnit = design::metresPer(m_study.inputs().unit);
    const double mhz = m_study.inputs().design.freqMhz;
    m_byCapacitance->showSweep(
        m_study.byCapacitance(), 1, {d.capacitancePf, designSwr}, {tuned.capacitancePf, tunedSwr});
    m_byRodLength->showSweep(
        m_study.byRodLength(), perUnit, {d.rodLength / perUnit, designSwr}, {tuned.rodLength / perUnit, tunedSwr});
    if (frequencyPlotFromNec()) {
        showNecFrequencyPlot();
    } else {
        m_byFrequency->showSweep(m_study.byFrequency(), 1, {mhz, designSwr}, {mhz, tunedSwr});
    }
    m_smith->showLocus(
        m_study.inputs().design.lineImpedance, m_study.byCapacitance(), m_study.atDesign().zin, m_study.tuned().zin);
    m_tuning->showTuned(m_study.tuned());
}

void DesignerWindow::showNecFrequencyPlot()
{
    // The refined match's, as NEC-2 computed it: the sliders do not move it.
    const double mhz = m_study.inputs().design.freqMhz;
    const double swr = std::get<nec::Refined>(m_lastFullWave->refined).swr; // a sweep comes only with a match
    m_byFrequency->showSweep(m_lastFullWave->sweep, 1, {mhz, swr}, {mhz, swr});
}

bool DesignerWindow::frequencyPlotFromNec() const
{
    return m_lastFullWave && !m_lastFullWave->sweep.empty();
}

void DesignerWindow::clearPlots()
{
    for (SweepChart* chart : {m_byCapacitance, m_byRodLength, m_byFrequency}) {
        chart->clearSweep();
    }
    m_smith->clearLocus();
}

std::optional<QString> DesignerWindow::openMeasurement(const QString& path)
{
    std::optional<QString> problem;
    const QString name = QFileInfo(path).fileName();
    auto refused = [&name](const touchstone::ParseError& error) {
        return error.line > 0
            ? tr("%1, line %2: %3").arg(name).arg(error.line).arg(QString::fromStdString(error.message))
            : tr("%1: %2").arg(name, QString::fromStdString(error.message));
    };
    const auto contents = wholeFile(path);
    if (const auto* cannot = std::get_if<QString>(&contents)) {
        problem = *cannot;
    } else {
        const auto& text = std::get<QByteArray>(contents);
        auto parsed
            = touchstone::parseOnePort(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
            problem = refused(*error);
        } else if (const auto unusable = touchstone::checkImpedances(std::get<touchstone::OnePort>(parsed))) {
            problem = refused(*unusable); // e.g. |S| > 1: no feed resistance to match
        } else {
            // One point is a measurement too, as vostrel-design takes it: the
            // design at that frequency, no frequency plot to draw.
            m_measured = std::make_shared<const touchstone::OnePort>(std::move(std::get<touchstone::OnePort>(parsed)));
        }
    }
    if (problem) {
        showNotice(*problem, true);
        return problem;
    }
    m_measuredName = name;
    m_forget->setEnabled(true);
    closeNotice();
    recompute();
    return std::nullopt;
}

void DesignerWindow::applyAntennaModel()
{
    if (!m_antennaModel) {
        return;
    }
    const nec::Wire& driven = m_antennaModel->wires[static_cast<std::size_t>(m_antennaModel->drivenWire)];
    const QLocale locale;
    const auto unit = m_form->texts().unit;
    m_form->setAntennaModel(givenLengthText(2 * driven.radius, unit, locale),
        tr("The element is the driven wire of %1 (tag %2), checked and refined in NEC-2.")
            .arg(m_antennaModelName)
            .arg(driven.tag));
}

void DesignerWindow::scheduleFullWave(const ValidInputs& inputs, std::optional<double> elementLength)
{
    if (!elementLength && !m_antennaModel) {
        stopFullWave();
        m_necKey.clear();
        m_pendingJob.reset();
        m_lastFullWave.reset();
        updateFrequencyTitle();
        m_results->hideFullWave();
        return;
    }
    // What NEC-2's answer depends on: not R and X (NEC computes the
    // element's own), nor the coax capacitor. Six figures: another unit
    // writes the lengths back to that many, and a millionth is nothing to
    // NEC-2.
    const design::DesignInput& d = inputs.design;
    const QString key = QString::asprintf("%.6g %.6g %.6g %.6g %.6g %d %d ", d.freqMhz, d.geometry.elementDiameter,
                            d.geometry.rodDiameter, d.geometry.spacing, d.lineImpedance, static_cast<int>(d.stepUp),
                            static_cast<int>(d.model))
        + (m_antennaModel ? QStringLiteral("deck %1").arg(m_antennaModelGeneration)
                          : QString::asprintf("length %.6g", *elementLength))
        + QString::fromStdString(m_necOptions.program);
    if (key == m_necKey) {
        // The answer shown, or on its way, still holds: shown again in the
        // unit chosen and against the R and X typed now.
        if (m_lastFullWave && !m_fullWave->isBusy() && !m_necTimer->isActive()) {
            m_results->showFullWave(m_lastFullWave->refined, inputs.unit, inputs.design.feedImpedance);
        }
        return;
    }
    stopFullWave();
    m_lastFullWave.reset();
    m_necKey = key;
    updateFrequencyTitle();
    FullWaveJob job;
    job.job.design = inputs.design;
    if (m_antennaModel) {
        job.job.element = *m_antennaModel;
    } else {
        job.job.element = nec::DipoleElement{*elementLength};
    }
    job.job.run = m_necOptions;
    const double mhz = inputs.design.freqMhz;
    job.sweepFromMhz = mhz * (1 - MatchStudy::kFrequencySpan);
    job.sweepToMhz = mhz * (1 + MatchStudy::kFrequencySpan);
    job.sweepPoints = 41;
    m_pendingJob = std::move(job);
    m_results->showFullWaveBusy();
    m_necTimer->start();
    showNecBusy();
}

void DesignerWindow::stopFullWave()
{
    if (m_necTimer->isActive() || m_fullWave->isBusy()) {
        m_necKey.clear(); // the answer for those inputs never came
    }
    m_necTimer->stop();
    m_fullWave->cancel();
    showNecBusy();
}

void DesignerWindow::showFullWave(const FullWaveResult& result)
{
    // A cancelled run's answer never comes here: its watcher is gone.
    m_lastFullWave = result;
    m_results->showFullWave(result.refined, m_study.inputs().unit, m_study.inputs().design.feedImpedance);
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
    const bool busy = m_fullWave->isBusy() || m_necTimer->isActive();
    m_necBusy->setVisible(busy);
}

void DesignerWindow::updateFrequencyTitle()
{
    // Without a file or NEC-2 the sweep keeps the typed R and X at every
    // frequency: a real element's change with frequency is not in it, and
    // the curve reads far wider than the antenna's.
    if (frequencyPlotFromNec()) {
        m_byFrequency->setXTitle(tr("Frequency (MHz), NEC-2"));
        m_byFrequency->setNote(tr("NEC-2: the refined match"));
        m_byFrequency->curve()->setName(tr("SWR, refined in NEC-2"));
    } else {
        m_byFrequency->curve()->setName(tr("SWR as tuned"));
        m_byFrequency->setXTitle(m_measured ? tr("Frequency (MHz), measured R and X") : tr("Frequency (MHz)"));
        m_byFrequency->setNote(m_measured ? QString() : tr("R and X held fixed"));
    }
}

std::optional<QString> DesignerWindow::openAntennaModel(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    std::optional<QString> problem;
    std::optional<nec::UserDeck> deck;
    const auto contents = wholeFile(path);
    if (const auto* cannot = std::get_if<QString>(&contents)) {
        problem = *cannot;
    } else {
        const auto& text = std::get<QByteArray>(contents);
        auto read = nec::readDeck(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())), name.toStdString());
        if (const auto* failure = std::get_if<nec::NecFailure>(&read)) {
            problem = QString::fromStdString(failure->message);
        } else {
            deck = std::move(std::get<nec::UserDeck>(read));
        }
    }
    if (problem) {
        showNotice(*problem, true);
        return problem;
    }
    m_antennaModel = std::move(deck);
    m_antennaModelName = name;
    ++m_antennaModelGeneration;
    m_forgetModel->setEnabled(true);
    closeNotice();
    recompute();
    return std::nullopt;
}

void DesignerWindow::useFeedImpedance(std::complex<double> feed)
{
    if (m_measured) {
        forgetMeasurement(); // asked for NEC-2's instead of the file's
    }
    const QLocale locale;
    InputTexts texts = m_form->texts();
    texts.resistance = formatNumber(feed.real(), locale, 2);
    texts.reactance = formatNumber(feed.imag(), locale, 2);
    m_form->setTexts(texts); // NEC-2's inputs are the same: no new run
}

void DesignerWindow::forgetAntennaModel()
{
    m_antennaModel.reset();
    m_antennaModelName.clear();
    m_forgetModel->setEnabled(false);
    m_form->clearAntennaModel();
    recompute();
}

void DesignerWindow::forgetMeasurement()
{
    m_measured.reset();
    m_measuredName.clear();
    m_forget->setEnabled(false);
    m_form->clearMeasured();
    recompute();
}

QString DesignerWindow::summary() const
{
    if (m_results->isStale() || !m_hasStudy) {
        QString text = tr("Gamma match design: the inputs have a problem\n\n");
        for (const QString& line : m_form->problems()) {
            text += QStringLiteral("  ") + line + QLatin1Char('\n');
        }
        return text;
    }
    return summaryText(m_study, m_measuredName) + fullWaveSummary();
}

QString DesignerWindow::fullWaveSummary() const
{
    if (!m_results->fullWaveShown()) {
        return {};
    }
    QString text = QStringLiteral("\nFull-wave check (NEC-2)\n");
    const bool waiting = m_fullWave->isBusy() || m_necTimer->isActive();
    const std::array<std::pair<QString, const QLineEdit*>, 7> rows
        = {std::pair{tr("Refined rod length"), m_results->necRodLength()},
            std::pair{tr("Refined capacitor"), m_results->necCapacitance()},
            std::pair{tr("NEC feed impedance, bare element"), m_results->necFeedImpedance()},
            std::pair{tr("Closed form as built, SWR"), m_results->necClosedFormSwr()},
            std::pair{tr("Refined match, SWR"), m_results->necSwr()},
            std::pair{tr("Average gain test"), m_results->necAverageGain()},
            std::pair{tr("Halved segments"), m_results->necHalvedSegments()}};
    for (const auto& [name, field] : rows) {
        if (!waiting && !field->text().isEmpty()) { // while NEC-2 runs, the fields hold the last inputs' answer
            text += QStringLiteral("  ") + (name + QLatin1Char(':')).leftJustified(34) + field->text()
                + QLatin1Char('\n');
        }
    }
    return text + QStringLiteral("  ") + m_results->necStatus()->text() + QLatin1Char('\n');
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
    if (!m_hasStudy || !m_study.hasDesign() || m_results->isStale()) {
        problem = tr("Nothing to export to %1: there is no design for the inputs.").arg(named);
    } else {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        writeSweepsCsv(m_study, buffer);
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
    bool drawn = false;
    if (format == ExportFormat::Svg) {
        drawn = writePlotsSvg(buffer);
    } else {
        drawn = m_plots->grab().save(&buffer, "PNG");
    }
    const std::optional<QString> problem
        = drawn ? writeWholeFile(target, buffer.data()) : tr("Could not draw the plots for %1.").arg(target);
    showNotice(problem ? *problem : tr("Wrote %1").arg(target), problem.has_value());
    return !problem;
}

bool DesignerWindow::writePlotsSvg(QIODevice& device)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(m_plots->size());
    svg.setViewBox(m_plots->rect());
    svg.setTitle(tr("Gamma match sweeps"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    // The SVG painter keeps no clipping: each curve is drawn clipped to its
    // plot area by hand, over the plots drawn without it.
    const std::array<SweepChart*, 3> charts = {m_byCapacitance, m_byRodLength, m_byFrequency};
    for (SweepChart* chart : charts) {
        chart->curve()->setOpacity(0); // the legend keeps its key
    }
    m_plots->render(&painter);
    for (SweepChart* chart : charts) {
        chart->curve()->setOpacity(1);
        painter.save();
        painter.translate(chart->mapTo(m_plots, QPoint(0, 0)));
        chart->paintCurveClipped(painter, chart->curve()->points());
        painter.restore();
    }
    if (!painter.end()) {
        return false;
    }
    // Browsers know generic families, not Qt's "Sans Serif": each text
    // names its family, then the generic one to fall back on.
    auto* buffer = qobject_cast<QBuffer*>(&device);
    if (buffer != nullptr) {
        QString text = QString::fromUtf8(buffer->data());
        static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
        text.replace(family, QStringLiteral("font-family=\"\\1, sans-serif\""));
        text.replace(
            QStringLiteral("font-family=\"Sans Serif, sans-serif\""), QStringLiteral("font-family=\"sans-serif\""));
        buffer->buffer() = text.toUtf8();
    }
    return true;
}

SweepChart* DesignerWindow::chart(Plot plot) const
{
    switch (plot) {
    case Plot::Capacitance:
        return m_byCapacitance;
    case Plot::RodLength:
        return m_byRodLength;
    case Plot::Frequency:
        return m_byFrequency;
    }
    return nullptr;
}

QString DesignerWindow::statusText() const
{
    return statusBar()->currentMessage();
}

void DesignerWindow::saveSettings()
{
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kSettingsName));
    const InputTexts texts = plainTexts(m_form->texts(), QLocale()); // "." whatever the locale
    settings.beginGroup(QStringLiteral("inputs"));
    settings.setValue(QStringLiteral("frequency"), texts.frequency);
    settings.setValue(QStringLiteral("resistance"), texts.resistance);
    settings.setValue(QStringLiteral("reactance"), texts.reactance);
    settings.setValue(QStringLiteral("elementDiameter"), texts.elementDiameter);
    settings.setValue(QStringLiteral("rodDiameter"), texts.rodDiameter);
    settings.setValue(QStringLiteral("spacing"), texts.spacing);
    settings.setValue(QStringLiteral("unit"), unitText(texts.unit));
    settings.setValue(QStringLiteral("lineImpedance"), texts.lineImpedance);
    settings.setValue(QStringLiteral("stepUp"),
        texts.stepUp == design::StepUp::Half ? QStringLiteral("half") : QStringLiteral("whole"));
    settings.setValue(QStringLiteral("tubeInnerDiameter"), texts.tubeInnerDiameter);
    settings.setValue(QStringLiteral("dielectric"), texts.dielectric);
    settings.setValue(QStringLiteral("elementLength"), texts.elementLength);
    settings.setValue(QStringLiteral("closedForm"),
        texts.model == design::Model::Textbook ? QStringLiteral("textbook") : QStringLiteral("corrected"));
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError && !m_settingsProblemReported) {
        m_settingsProblemReported = true; // once a run: the next edit would only say it again
        showNotice(tr("The inputs cannot be saved in %1: it cannot be written. They will not come back "
                      "at the next start.")
                       .arg(QDir::toNativeSeparators(settings.fileName())),
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
