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
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QSettings>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QVBoxLayout>

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
    if (const auto unit = design::unitFromSymbol(settings.value(QStringLiteral("unit")).toString().toStdString())) {
        texts.unit = *unit;
    }
    texts.stepUp = settings.value(QStringLiteral("stepUp")).toString() == QLatin1String("half") ? design::StepUp::Half
                                                                                                : design::StepUp::Whole;
    return localisedTexts(texts, QLocale()); // kept with "." whatever the locale
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

    auto* left = new QVBoxLayout;
    left->addWidget(m_form);
    left->addWidget(m_results);
    left->addStretch(1);

    m_plots = new QWidget;
    auto* grid = new QGridLayout(m_plots);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(m_byCapacitance, 0, 0);
    grid->addWidget(m_byRodLength, 0, 1);
    grid->addWidget(m_byFrequency, 1, 0);
    grid->addWidget(m_smith, 1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(m_tuning);
    right->addWidget(m_plots, 1);
    right->addWidget(m_drawing);

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);
    setCentralWidget(central);
    m_form->setFixedWidth(m_form->sizeHint().width() + 40);
    m_results->setFixedWidth(m_form->width());

    buildMenus();
    statusBar();

    connect(m_form, &DesignInputsForm::edited, this, &DesignerWindow::recompute);
    connect(m_tuning, &TuningPanel::tuningChanged, this, &DesignerWindow::retune);

    setInputs(loadTexts());
    resize(1320, 900);
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
    file->addAction(tr("Export sweeps as &CSV…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, tr("Export the sweeps"), QStringLiteral("gamma-match-sweeps.csv"), tr("CSV (*.csv)"));
        if (!path.isEmpty()) {
            exportCsv(path);
        }
    });
    file->addAction(tr("Export &plots as PNG or SVG…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export the plots"),
            QStringLiteral("gamma-match-plots.png"), tr("PNG picture (*.png);;SVG drawing (*.svg)"));
        if (!path.isEmpty()) {
            exportPlots(path);
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
    const QString span = QStringLiteral("%1 to %2 MHz").arg(formatNumber(fromMhz, locale), formatNumber(toMhz, locale));
    const std::optional<double> read = parseNumber(m_form->field(design::Field::Frequency)->text(), locale);
    if (!read) {
        return false; // validation names the frequency
    }
    const double mhz = *read;
    const auto z = touchstone::impedanceAt(*m_measured, mhz * 1e6);
    if (!z) {
        errors.append({design::Field::Frequency,
            tr("Frequency: %1 MHz is outside the measurement's %2.").arg(formatNumber(mhz, locale), span)});
        return false;
    }
    m_form->setMeasured(formatInput(z->real(), locale), formatInput(z->imag(), locale),
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
    Validation validation = validate(m_form->texts(), QLocale());
    errors += validation.errors;
    if (!errors.isEmpty()) {
        m_form->showErrors(errors);
        m_results->setStale(m_hasStudy);
        setPicturesStale(m_hasStudy);
        statusBar()->showMessage(errors.front().message);
        m_tuning->setAvailable(false); // the study is of the last good inputs
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
    m_byFrequency->setXTitle(m_measured ? tr("Frequency (MHz), measured R and X") : tr("Frequency (MHz)"));
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
    m_byFrequency->showSweep(m_study.byFrequency(), 1, {mhz, designSwr}, {mhz, tunedSwr});
    m_smith->showLocus(
        m_study.inputs().design.lineImpedance, m_study.byCapacitance(), m_study.atDesign().zin, m_study.tuned().zin);
    m_tuning->showTuned(m_study.tuned());
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
    QFile file(path);
    std::optional<QString> problem;
    auto refused = [&path](const touchstone::ParseError& error) {
        return error.line > 0 ? tr("%1, line %2: %3")
                                    .arg(QFileInfo(path).fileName())
                                    .arg(error.line)
                                    .arg(QString::fromStdString(error.message))
                              : tr("%1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(error.message));
    };
    if (!file.open(QIODevice::ReadOnly)) {
        problem = tr("Cannot open %1: %2").arg(QFileInfo(path).fileName(), file.errorString());
    } else {
        const QByteArray text = file.readAll();
        auto parsed
            = touchstone::parseOnePort(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
            problem = refused(*error);
        } else if (std::get<touchstone::OnePort>(parsed).points.size() < 2) {
            problem = tr("%1 holds fewer than two frequencies: nothing to interpolate between.")
                          .arg(QFileInfo(path).fileName());
        } else if (const auto unusable = touchstone::checkImpedances(std::get<touchstone::OnePort>(parsed))) {
            problem = refused(*unusable); // e.g. |S| > 1: no feed resistance to match
        } else {
            m_measured = std::make_shared<const touchstone::OnePort>(std::move(std::get<touchstone::OnePort>(parsed)));
        }
    }
    if (problem) {
        statusBar()->showMessage(*problem);
        return problem;
    }
    m_measuredName = QFileInfo(path).fileName();
    m_forget->setEnabled(true);
    recompute();
    return std::nullopt;
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
    return summaryText(m_study, m_measuredName);
}

void DesignerWindow::copyResults()
{
    QGuiApplication::clipboard()->setText(summary());
    statusBar()->showMessage(tr("Results copied"), 3000);
}

bool DesignerWindow::exportCsv(const QString& path)
{
    QSaveFile file(path);
    const bool ok = m_hasStudy && m_study.hasDesign() && file.open(QIODevice::WriteOnly | QIODevice::Text)
        && writeSweepsCsv(m_study, file) && file.commit();
    statusBar()->showMessage(ok ? tr("Wrote %1").arg(path) : tr("Could not write %1").arg(path), 5000);
    return ok;
}

bool DesignerWindow::exportPlots(const QString& path)
{
    bool ok = false;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(m_plots->size());
        svg.setViewBox(m_plots->rect());
        svg.setTitle(tr("Gamma match sweeps"));
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            m_plots->render(&painter);
            ok = painter.end();
        }
    } else {
        ok = m_plots->grab().save(path);
    }
    statusBar()->showMessage(ok ? tr("Wrote %1").arg(path) : tr("Could not write %1").arg(path), 5000);
    return ok;
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

void DesignerWindow::saveSettings() const
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
}

void DesignerWindow::closeEvent(QCloseEvent* event)
{
    saveSettings();
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
        openMeasurement(urls.front().toLocalFile());
        event->acceptProposedAction();
    }
}

} // namespace vostrel::designer
