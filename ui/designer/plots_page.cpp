// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots_page.h"

#include "designer_names.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QLineSeries>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>

namespace vostrel::designer {

namespace {
constexpr double kStaleOpacity = 0.4;
}

void setFaded(QWidget* widget, bool faded)
{
    if (faded && widget->graphicsEffect() == nullptr) {
        auto* fade = new QGraphicsOpacityEffect(widget);
        fade->setOpacity(kStaleOpacity);
        widget->setGraphicsEffect(fade);
    } else if (!faded) {
        widget->setGraphicsEffect(nullptr);
    }
}

bool isFaded(const QWidget* widget)
{
    return widget->graphicsEffect() != nullptr;
}

PlotsPage::PlotsPage(QWidget* parent)
    : QWidget(parent)
{
    auto* byCapacitance = new SweepChart(tr("SWR against capacitance"));
    byCapacitance->setObjectName(names::swrByCapacitance);
    byCapacitance->setXTitle(tr("Capacitance (pF)"));
    auto* byRodLength = new SweepChart(tr("SWR against strap position"));
    byRodLength->setObjectName(names::swrByRodLength);
    auto* byFrequency = new SweepChart(tr("SWR against frequency"));
    byFrequency->setObjectName(names::swrByFrequency);
    m_charts = {byCapacitance, byRodLength, byFrequency};
    m_smith = new SmithChartView;
    m_smith->setObjectName(names::smithChart);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(byCapacitance, 0, 0);
    grid->addWidget(byRodLength, 0, 1);
    grid->addWidget(byFrequency, 1, 0);
    grid->addWidget(m_smith, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void PlotsPage::showBuilt(const study::MatchStudy& study, const BuiltMatch& built)
{
    const study::Tuning d = built.design;
    const study::Tuning tuned = built.tuning;
    const double designSwr = built.swrAtDesign;
    const double tunedSwr = built.swrTuned;
    const design::Unit unit = study.inputs().unit;
    const double perUnit = design::metresPer(unit);
    const double mhz = study.inputs().design.freqMhz;
    chart(Plot::Capacitance)
        ->showSweep(built.byCapacitance, 1, {d.capacitancePf, designSwr}, {tuned.capacitancePf, tunedSwr});
    chart(Plot::RodLength)
        ->showSweep(
            built.byRodLength, perUnit, {d.rodLength / perUnit, designSwr}, {tuned.rodLength / perUnit, tunedSwr});
    if (built.byFrequency.empty()) {
        chart(Plot::Frequency)->clearSweep(); // NEC-2's sweep failed: no frequency plot of its match
    } else if (built.fromNec()) {
        chart(Plot::Frequency)->showSweep(built.byFrequency, 1, {mhz, designSwr}, {mhz, designSwr});
    } else {
        chart(Plot::Frequency)->showSweep(built.byFrequency, 1, {mhz, designSwr}, {mhz, tunedSwr});
    }
    m_smith->showLocus(study.inputs().design.lineImpedance, built.byCapacitance, built.zinAtDesign, built.zinTuned);
    const QString note = built.fromNec() ? tr("NEC-2: from its runs") : QString();
    chart(Plot::Capacitance)->setNote(note);
    chart(Plot::RodLength)->setNote(note);
}

void PlotsPage::showFrequencySource(bool fromNec, bool measured) const
{
    // Without a file or NEC-2 the sweep keeps the typed R and X at every
    // frequency: a real element's change with frequency is not in it, and
    // the curve reads far wider than the antenna's.
    SweepChart* byFrequency = chart(Plot::Frequency);
    if (fromNec) {
        byFrequency->setXTitle(tr("Frequency (MHz), NEC-2"));
        byFrequency->setNote(tr("NEC-2: the refined match"));
        byFrequency->curve()->setName(tr("SWR, NEC-2"));
    } else {
        byFrequency->curve()->setName(tr("SWR"));
        byFrequency->setXTitle(measured ? tr("Frequency (MHz), measured R and X") : tr("Frequency (MHz)"));
        byFrequency->setNote(measured ? QString() : tr("R and X held fixed"));
    }
}

void PlotsPage::setLengthUnit(design::Unit unit) const
{
    chart(Plot::RodLength)
        ->setXTitle(tr("Rod length to the strap (%1)").arg(QString::fromLatin1(design::unitSymbol(unit))));
}

void PlotsPage::clear()
{
    for (SweepChart* chart : m_charts) {
        chart->clearSweep();
    }
    m_smith->clearLocus();
}

void PlotsPage::setStale(bool stale)
{
    // A graphics effect does not reach into the chart views: their charts
    // fade themselves.
    for (SweepChart* chart : m_charts) {
        chart->chart()->setOpacity(stale ? kStaleOpacity : 1);
    }
    setFaded(m_smith, stale);
}

bool PlotsPage::isStale() const
{
    return isFaded(m_smith)
        && std::all_of(m_charts.begin(), m_charts.end(), [](const SweepChart* c) { return c->chart()->opacity() < 1; });
}

namespace {

// The caption's lines under the plots, from `top` down.
int captionHeight(const QFontMetrics& metrics, const QStringList& caption)
{
    return caption.isEmpty() ? 0 : static_cast<int>(caption.size()) * metrics.lineSpacing() + 8;
}

void drawCaption(QPainter& painter, const QFontMetrics& metrics, int top, const QStringList& caption)
{
    painter.setPen(Qt::black);
    int baseline = top + 4 + metrics.ascent();
    for (const QString& line : caption) {
        painter.drawText(6, baseline, line);
        baseline += metrics.lineSpacing();
    }
}

} // namespace

bool PlotsPage::writePng(QIODevice& device, const QStringList& caption)
{
    const QPixmap page = grab();
    const double ratio = page.devicePixelRatio();
    const int below = captionHeight(fontMetrics(), caption);
    QPixmap picture(QSize(page.width(), page.height() + static_cast<int>(below * ratio)));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, page);
        painter.setFont(font());
        drawCaption(painter, fontMetrics(), height(), caption);
    }
    return picture.save(&device, "PNG");
}

bool PlotsPage::writeSvg(QIODevice& device, const QStringList& caption)
{
    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&drawn);
    const QSize whole(width(), height() + captionHeight(fontMetrics(), caption));
    svg.setSize(whole);
    svg.setViewBox(QRect(QPoint(0, 0), whole));
    svg.setTitle(tr("Gamma match sweeps"));
    svg.setDescription(caption.join(QLatin1Char('\n')));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    painter.fillRect(QRect(QPoint(0, height()), QSize(width(), whole.height() - height())), Qt::white);
    painter.setFont(font());
    drawCaption(painter, fontMetrics(), height(), caption);
    // The SVG painter keeps no clipping: each curve is drawn clipped to its
    // plot area by hand, over the plots drawn without it.
    for (SweepChart* chart : m_charts) {
        chart->curve()->setOpacity(0); // the legend keeps its key
    }
    render(&painter);
    for (SweepChart* chart : m_charts) {
        chart->curve()->setOpacity(1);
        painter.save();
        painter.translate(chart->mapTo(this, QPoint(0, 0)));
        chart->paintCurveClipped(painter, chart->curve()->points());
        painter.restore();
    }
    if (!painter.end()) {
        return false;
    }
    // Browsers know generic families, not Qt's "Sans Serif": each text
    // names its family, then the generic one to fall back on.
    QString text = QString::fromUtf8(drawn.data());
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    text.replace(family, QStringLiteral("font-family=\"\\1, sans-serif\""));
    text.replace(
        QStringLiteral("font-family=\"Sans Serif, sans-serif\""), QStringLiteral("font-family=\"sans-serif\""));
    return device.write(text.toUtf8()) >= 0;
}

} // namespace vostrel::designer
