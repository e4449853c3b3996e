// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's full-wave column: NEC-2 (nec2c) checking and refining the
// match from the element's length or an antenna model, off the GUI thread.
// The real nec2c answers the dipole and the beam; fakes stand in for a
// nec2c that is missing, hangs or prints garbage.
#include "adjust_panel.h"
#include "allowance.h"
#include "design_inputs_form.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "designer_window.h"
#include "match_drawing.h"
#include "readme_dipole.h"
#include "results_panel.h"
#include "screen_fit.h"
#include "sweep_chart.h"
#include "tuning_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>

using vostrel::design::Field;
using vostrel::design::Model;
using vostrel::design::StepUp;
using vostrel::design::Unit;
using vostrel::designer::DesignerWindow;
using vostrel::designer::InputTexts;
using Plot = vostrel::designer::DesignerWindow::Plot;
namespace names = vostrel::designer::names;
namespace nec = vostrel::nec;

namespace {

constexpr int kNecWait = 30000; // ms: a loaded machine runs nec2c slowly

InputTexts dipole()
{
    return readmeDipole();
}

void type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

double numberIn(const QLineEdit* field)
{
    return field->text().section(QLatin1Char(' '), 0, 0).toDouble();
}

// The settings cleared before the window reads them: each test starts
// from the worked example, whatever the one before left.
struct ClearedSettings {
    ClearedSettings() { vostrel::designer::settings::userSettings().clear(); }
};

struct Fixture {
    ClearedSettings cleared; // before the window
    DesignerWindow window;
    const vostrel::designer::ResultsPanel& results() const { return *window.results(); }
    bool busyShown() const { return !window.statusBar()->findChild<QProgressBar*>()->isHidden(); }
    // Waits for NEC-2's answer: the column no longer says it is computing.
    bool settled() const
    {
        return QTest::qWaitFor([this] { return !window.fullWave()->isBusy() && !busyShown(); }, kNecWait);
    }
};

// Whether a field shows all of its text, none cut off at either end: the
// field's width less its frame and the 2 px QLineEdit keeps each side.
bool wholeTextShown(const QLineEdit* field)
{
    const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
    const QMargins margins = field->textMargins();
    const int room = field->width() - 2 * frame - 4 - margins.left() - margins.right();
    return field->fontMetrics().horizontalAdvance(field->text()) <= room;
}

// Processes whose command line holds `text` (their /proc entries).
int processesRunning(const QString& text)
{
    int count = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (entry.toInt() > 0 && cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(text.toUtf8())) {
            ++count;
        }
    }
    return count;
}

nec::RunOptions fake(const char* name)
{
    nec::RunOptions run;
    run.program = std::string(VOSTREL_NEC_FAKES) + "/" + name;
    run.timeout = std::chrono::milliseconds(20000);
    return run;
}

// An answer as the refinement gives it for the window's job: the match at
// 1.2626 m and 79.16 pF with the search's runs about it (Re Zin through
// 50 ohms there, Im Zin what the capacitor cancels), and a sweep.
vostrel::designer::FullWaveResult handMadeAnswer(
    const DesignerWindow& window, double r = 72.25, double x = 1.92, double elementLength = 10.1, double mhz = 14.2)
{
    vostrel::designer::FullWaveResult answer;
    answer.key
        = vostrel::designer::necJobKey(window.study().inputs(), elementLength, {}, window.session().runOptions());
    nec::Refined refined;
    refined.feedImpedance = {r, x};
    refined.rodLength = 1.2626;
    refined.capacitancePf = 79.16;
    refined.swr = 1.002;
    refined.zin = {50, 0.1};
    refined.runs = 6;
    const double reactance = 1e12 / (2 * 3.14159265358979323846 * mhz * 1e6 * refined.capacitancePf);
    for (const double length : {0.9, 1.2, 1.26, 1.27, 1.6}) {
        const double d = (length - refined.rodLength) / 0.1;
        refined.samples.push_back({length, {50 + 8 * d, reactance + 10 * d}});
    }
    answer.refined = refined;
    answer.sweep = {{13.9, {40, -30}, 2.1}, {14.2, {50, 0.1}, 1.002}, {14.5, {60, 30}, 1.9}};
    return answer;
}

} // namespace

class DesignerFullWaveTest : public QObject {
    Q_OBJECT

private slots:
    void noElementNoColumn()
    {
        Fixture f;
        QVERIFY(!f.results().fullWaveShown());
        QVERIFY(f.results().necRodLength()->isHidden());
        QVERIFY(f.results().necStatus()->isHidden());
        QVERIFY(!f.busyShown());
        QVERIFY(!f.window.frequencyPlotFromNec());
    }

    // The README's 20 m dipole: refined in NEC-2 to 1263.6 mm and 79.12 pF
    // (SWR 1.002), where the textbook closed form's 1387.9 mm and 88.23 pF
    // show SWR 1.71; the frequency plot becomes NEC-2's.
    void anElementLengthRefinesTheDipoleInNec()
    {
        Fixture f;
        f.window.setInputs(dipole());
        QVERIFY(f.results().fullWaveShown());
        QCOMPARE(f.results().necStatus()->text(), QStringLiteral("Computing in NEC-2…"));
        QVERIFY(f.busyShown());
        QVERIFY(f.settled());
        const auto& r = f.results();
        QCOMPARE(f.window.results()->rodLength()->text(), QStringLiteral("1388 mm"));
        QCOMPARE_LE(std::fabs(numberIn(r.necRodLength()) - 1263.6), 1.0);
        QVERIFY(r.necRodLength()->text().endsWith(QStringLiteral(" mm")));
        QCOMPARE_LE(std::fabs(numberIn(r.necCapacitance()) - 79.12), 0.2);
        QCOMPARE(r.necFeedImpedance()->text(), QStringLiteral("72.25 + j1.92 Ω"));
        // The closed form NEC-2 built is the one beside: R and X are NEC-2's.
        QCOMPARE(r.necClosedFormSwr()->text(), QStringLiteral("1.71 (the one beside, built)"));
        QCOMPARE_LE(numberIn(r.necSwr()), 1.05);
        QCOMPARE_LE(std::fabs(numberIn(r.necAverageGain()) - 0.985), 0.01);
        QCOMPARE(r.necHalvedSegments()->text(), QStringLiteral("rod +0.1 %, capacitor -1.0 %")); // as the README
        QVERIFY2(r.necStatus()->text().startsWith(QStringLiteral("Not doubtful")), qPrintable(r.necStatus()->text()));
        QVERIFY(r.necStatus()->text().contains(QStringLiteral("nec2c runs")));
        QVERIFY(!r.necRodLength()->isHidden());
        // Copy results carries the column too.
        const QString summary = f.window.summary();
        QVERIFY2(
            summary.contains(QStringLiteral("Full-wave check (NEC-2)\n  Refined rod length:")), qPrintable(summary));
        QVERIFY(summary.contains(QRegularExpression(QStringLiteral("\n  Refined capacitor: +")
            + QRegularExpression::escape(r.necCapacitance()->text()) + "\n")));
        QVERIFY(summary.contains(
            QRegularExpression(QStringLiteral("\n  Closed form in NEC-2, SWR: +1.71 \\(the one beside, built\\)\n"))));
        // NEC-2's match is the one to build: the sliders and the drawing.
        QCOMPARE(f.window.tuning()->findChild<QLabel*>(names::strapValue)->text(),
            r.necRodLength()->text() + QStringLiteral(" (0.00 %)"));
        QVERIFY(f.window.tuning()->swrText().startsWith(QStringLiteral("NEC-2 refined: SWR 1.00 in NEC-2")));
        QVERIFY(f.window.drawing()->dimensionTexts().contains(
            QStringLiteral("L = %1, feed point to strap").arg(r.necRodLength()->text())));
        QVERIFY(summary.contains(QStringLiteral("\nTo build: NEC-2 refined\n")));
        // A strap step away, NEC-2's own runs say the match is worse.
        f.window.tuning()->strap()->setValue(20);
        QCOMPARE_GT(f.window.session().built()->swrTuned, 1.05);
        f.window.tuning()->strap()->setValue(0);
        QVERIFY(summary.endsWith(r.necStatus()->text() + QLatin1Char('\n')));

        // The frequency plot is NEC-2's sweep of the refined match, its
        // lowest SWR near the design frequency.
        QVERIFY(f.window.frequencyPlotFromNec());
        auto* chart = f.window.chart(Plot::Frequency);
        QVERIFY(chart->xAxis()->titleText().contains(QStringLiteral("NEC-2")));
        QCOMPARE(chart->curve()->name(), QStringLiteral("SWR, NEC-2"));
        const QList<QPointF> points = chart->curve()->points();
        QCOMPARE(points.size(), 41);
        const auto lowest = std::min_element(
            points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        QCOMPARE_LE(std::fabs(lowest->x() - 14.2), 0.1);
        QCOMPARE_LE(lowest->y(), 1.05);
        QCOMPARE_GE(points.front().y(), 1.3); // 13.5 MHz, 5 % off

        // R and X, and the coax capacitor, are not NEC-2's inputs: no new run;
        // the geometry is (checked last, below).
        const QString status = r.necStatus()->text();
        type(f.window.form()->field(Field::FeedResistance), QStringLiteral("70"));
        type(f.window.form()->field(Field::TubeInnerDiameter), QStringLiteral("20"));
        QVERIFY(!f.window.fullWave()->isBusy());
        QVERIFY(!f.busyShown());
        QCOMPARE(r.necStatus()->text(), status);
        QVERIFY(f.window.frequencyPlotFromNec());
        // Far from NEC-2's, R and X are said to be; "Use as R, X" takes NEC-2's.
        type(f.window.form()->field(Field::FeedResistance), QStringLiteral("50"));
        QVERIFY(r.necStatus()->text().contains(QStringLiteral("R and X differ from NEC-2's")));
        QVERIFY2(r.necClosedFormSwr()->text().startsWith(QStringLiteral("1.71 (rod 1388 mm, ")),
            qPrintable(r.necClosedFormSwr()->text()));
        // On a common laptop screen every result is whole in its field, the
        // longest among them too.
        f.window.resize(1024, 768);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        for (const QLineEdit* field : r.findChildren<QLineEdit*>()) {
            QVERIFY2(field->isHidden() || wholeTextShown(field),
                qPrintable(
                    QStringLiteral("%1: \"%2\" in %3 px").arg(field->objectName(), field->text()).arg(field->width())));
        }
        QTest::mouseClick(r.useNecFeedButton(), Qt::LeftButton);
        QCOMPARE(f.window.form()->field(Field::FeedResistance)->text(), QStringLiteral("72.25"));
        QCOMPARE(f.window.form()->field(Field::FeedReactance)->text(), QStringLiteral("1.92"));
        QCOMPARE(r.necStatus()->text(), status);
        QVERIFY(!f.window.fullWave()->isBusy());
        // Another unit shows NEC-2's rod in it, without a new run.
        QTest::keyClicks(f.window.form()->findChild<QComboBox*>(names::unit), QStringLiteral("in"));
        QCOMPARE(f.window.form()->texts().unit, Unit::Inch);
        QCOMPARE(r.necRodLength()->text(), QStringLiteral("49.75 in")); // 1263.6 mm
        QVERIFY(!f.window.fullWave()->isBusy());
        // The step-up convention chooses only the closed form beside: NEC-2's
        // match and its sweep stay, the closed form is built again in one
        // run, and the whole convention's again in none (the search sampled
        // its rod).
        const auto runsShown = [&r] {
            const auto found = QRegularExpression(QStringLiteral("(\\d+) nec2c runs")).match(r.necStatus()->text());
            return found.hasMatch() ? found.captured(1).toInt() : -1;
        };
        const int runs = runsShown();
        QCOMPARE_GT(runs, 5);
        const QString necRod = r.necRodLength()->text();
        const QString closedBuilt = r.necClosedFormSwr()->text();
        f.window.form()->findChild<QRadioButton*>(names::stepUpHalf)->click();
        QCOMPARE(f.window.form()->texts().stepUp, StepUp::Half);
        QVERIFY(f.busyShown());
        QVERIFY(f.settled());
        QCOMPARE(r.necRodLength()->text(), necRod);
        QVERIFY2(r.necClosedFormSwr()->text() != closedBuilt, qPrintable(r.necClosedFormSwr()->text()));
        QCOMPARE(runsShown(), runs + 1);
        QVERIFY(f.window.frequencyPlotFromNec());
        f.window.form()->findChild<QRadioButton*>(names::stepUpWhole)->click();
        QVERIFY(f.settled());
        QCOMPARE(r.necClosedFormSwr()->text(), closedBuilt);
        QCOMPARE(runsShown(), runs + 1);
        type(f.window.form()->field(Field::Spacing), QStringLiteral("140mm"));
        QCOMPARE(r.necStatus()->text(), QStringLiteral("Computing in NEC-2…"));
        QVERIFY(f.busyShown());
        QVERIFY(!f.window.frequencyPlotFromNec()); // the closed form's until NEC-2 answers
        QVERIFY(f.settled());
        QVERIFY(f.window.frequencyPlotFromNec());

        // Clearing the length takes the column and NEC-2's plot away.
        type(f.window.form()->field(Field::ElementLength), QString());
        QVERIFY(!f.results().fullWaveShown());
        QVERIFY(f.results().necStatus()->isHidden());
        QVERIFY(!f.window.frequencyPlotFromNec());
        QVERIFY(!chart->xAxis()->titleText().contains(QStringLiteral("NEC-2")));
        QCOMPARE(chart->curve()->name(), QStringLiteral("SWR"));
        QVERIFY(!f.window.summary().contains(QStringLiteral("NEC-2")));
    }

    // A new input cancels the run in flight: its nec2c is killed and only
    // the new inputs' answer is shown.
    void aNewInputCancelsTheRunInFlight()
    {
        Fixture f;
        // A copy of the hanging fake under a name of this test's own, to
        // find its process.
        QTemporaryDir dir;
        const QString hanging = dir.filePath(QStringLiteral("nec2c-hanging-for-the-window"));
        QVERIFY(QFile::copy(QStringLiteral(VOSTREL_NEC_FAKES "/hanging"), hanging));
        nec::RunOptions options;
        options.program = hanging.toStdString();
        f.window.setNecRunOptions(options);
        f.window.setInputs(dipole());
        QVERIFY(QTest::qWaitFor([&] { return processesRunning(hanging) == 1; }, 5000));
        QVERIFY(f.window.fullWave()->isBusy());
        QVERIFY(f.busyShown());
        QElapsedTimer waited;
        waited.start();
        f.window.setNecRunOptions({}); // the real nec2c from here on
        type(f.window.form()->field(Field::Frequency), QStringLiteral("14.2"));
        QVERIFY(f.settled());
        QCOMPARE_LE(waited.elapsed(), 15000); // not the hanging run's 20 s time limit
        QVERIFY(QTest::qWaitFor([&] { return processesRunning(hanging) == 0; }, 2000)); // killed
        QVERIFY2(f.results().necStatus()->text().startsWith(QStringLiteral("Not doubtful")),
            qPrintable(f.results().necStatus()->text()));

        // A bad field cancels too, and leaves no busy state behind.
        f.window.setNecRunOptions(fake("hanging"));
        type(f.window.form()->field(Field::Spacing), QStringLiteral("151"));
        QVERIFY(QTest::qWaitFor([&f] { return f.window.fullWave()->isBusy(); }, 5000));
        type(f.window.form()->field(Field::Spacing), QStringLiteral("abc"));
        QVERIFY(!f.window.fullWave()->isBusy());
        QVERIFY(!f.busyShown());
        QVERIFY(f.results().isStale());
        QCOMPARE(f.results().necStatus()->text(), QStringLiteral("NEC-2 waits for the marked field to be corrected."));
    }

    void aFailingNec2cLeavesTheClosedFormUnchecked_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << QStringLiteral("/nonexistent/nec2c") << QStringLiteral("install the nec2c package");
        QTest::newRow("garbage") << QStringLiteral("garbage") << QStringLiteral("Not checked in NEC-2: ");
        QTest::newRow("crashing") << QStringLiteral("crashing") << QStringLiteral("Not checked in NEC-2: ");
    }
    void aFailingNec2cLeavesTheClosedFormUnchecked()
    {
        QFETCH(QString, program);
        QFETCH(QString, says);
        Fixture f;
        f.window.setNecRunOptions(
            program.startsWith(QLatin1Char('/')) ? nec::RunOptions{program.toStdString()} : fake(qPrintable(program)));
        f.window.setInputs(dipole());
        QVERIFY(f.settled());
        const QString status = f.results().necStatus()->text();
        QVERIFY2(status.contains(says) && status.contains(QStringLiteral("unchecked")), qPrintable(status));
        QVERIFY(f.results().necRodLength()->text().isEmpty());
        QCOMPARE(f.window.results()->capacitance()->text(), QStringLiteral("88.23 pF")); // the closed form stands
        QVERIFY(!f.window.frequencyPlotFromNec());
    }

    // The beam's deck: the driven element's 25 mm comes from the deck, and
    // NEC-2 matches the element the line model cannot (10.46 + j8.80 ohms,
    // half the feed impedance stepped up).
    void anAntennaModelGivesTheElement()
    {
        Fixture f;
        InputTexts texts = dipole();
        texts.frequency = QStringLiteral("28.5");
        texts.resistance = QStringLiteral("10.46");
        texts.reactance = QStringLiteral("8.8");
        texts.spacing = QStringLiteral("100");
        texts.elementDiameter = QStringLiteral("30");
        texts.elementLength.clear();
        texts.stepUp = StepUp::Half;
        f.window.setInputs(texts);
        QVERIFY(!f.window.study().hasDesign()); // no match in the line model
        QVERIFY(!f.window.openAntennaModel(QStringLiteral(VOSTREL_BEAM_DECK)).has_value());
        QVERIFY(f.window.hasAntennaModel());
        QLineEdit* element = f.window.form()->field(Field::ElementDiameter);
        QCOMPARE(element->text(), QStringLiteral("25 mm"));
        QVERIFY(element->isReadOnly());
        QVERIFY(!f.window.form()->field(Field::ElementLength)->isEnabled());
        QVERIFY(f.window.form()->findChild<QLabel*>(names::antennaModelNote)->text().contains("beam.nec"));
        QVERIFY(f.settled());
        QCOMPARE_LE(std::fabs(numberIn(f.results().necRodLength()) - 376.0), 4.0);
        QCOMPARE_LE(std::fabs(numberIn(f.results().necCapacitance()) - 114.96), 2.0);
        QCOMPARE(f.results().necClosedFormSwr()->text(), QStringLiteral("no closed-form match for NEC-2's R, X"));
        // NEC-2's sweep stands in for the closed form's missing one.
        QVERIFY(f.window.frequencyPlotFromNec());
        QCOMPARE(f.window.chart(Plot::Frequency)->curve()->points().size(), 41);

        // Only the model's Forget is offered.
        const auto forget = [&f](const QString& text) {
            for (QAction* menu : f.window.menuBar()->actions()) {
                for (QAction* action : menu->menu()->actions()) {
                    if (action->text() == text) {
                        return action->isEnabled();
                    }
                }
            }
            return false;
        };
        QVERIFY(forget(QStringLiteral("Forget antenna &model")));
        QVERIFY(!forget(QStringLiteral("&Forget measurement")));

        f.window.forgetAntennaModel();
        QVERIFY(!forget(QStringLiteral("Forget antenna &model")));
        QCOMPARE(element->text(), QStringLiteral("30")); // the diameter typed before the model
        QVERIFY(!element->isReadOnly());
        QVERIFY(f.window.form()->field(Field::ElementLength)->isEnabled());
        QVERIFY(!f.results().fullWaveShown());
    }

    // A hand-made answer (nec2c itself hangs meanwhile): shown, with its
    // sweep as the frequency plot, only when it is the answer to the job
    // the window waits for.
    void onlyTheAnswerToTheJobInFlightIsShown()
    {
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        f.window.setInputs(dipole());
        const vostrel::study::Inputs& in = f.window.study().inputs();
        vostrel::designer::FullWaveResult answer;
        answer.key = vostrel::designer::necJobKey(in, 10.1, {}, f.window.session().runOptions());
        nec::Refined refined;
        refined.feedImpedance = {72.25, 1.92};
        refined.rodLength = 1.2626;
        refined.capacitancePf = 79.16;
        refined.swr = 1.002;
        refined.runs = 6;
        answer.refined = refined;
        answer.sweep = {{13.9, {40, -30}, 2.1}, {14.2, {50, 0.1}, 1.002}, {14.5, {60, 30}, 1.9}};
        refined.samples = std::get<nec::Refined>(handMadeAnswer(f.window).refined).samples;
        answer.refined = refined;

        vostrel::designer::FullWaveResult other = answer;
        other.key.lineImpedance = 75; // the answer for a 75-ohm line, still ending
        emit f.window.fullWave()->finished(other);
        QVERIFY(!f.window.frequencyPlotFromNec());
        QVERIFY(f.results().necRodLength()->text().isEmpty());

        emit f.window.fullWave()->finished(answer);
        QCOMPARE(f.results().necRodLength()->text(), QStringLiteral("1263 mm"));
        QCOMPARE(f.results().necCapacitance()->text(), QStringLiteral("79.16 pF"));
        QVERIFY(f.window.frequencyPlotFromNec());
        const QList<QPointF> curve = f.window.chart(Plot::Frequency)->curve()->points();
        QCOMPARE(curve.size(), 3);
        QCOMPARE(curve.front(), QPointF(13.9, 2.1));
        QCOMPARE(curve.back(), QPointF(14.5, 1.9));
        QCOMPARE(f.window.chart(Plot::Frequency)->curve()->name(), QStringLiteral("SWR, NEC-2"));
        // The sliders redraw the capacitance and strap plots, not NEC-2's frequency sweep.
        f.window.tuning()->findChildren<QSlider*>().front()->setValue(8);
        QCOMPARE(f.window.chart(Plot::Frequency)->curve()->points(), curve);
        QVERIFY(f.window.chart(Plot::Capacitance)->curve()->points().size() > 3);
    }

    // NEC-2's longer lines, too, fit beside the inputs on the common laptop
    // screens.
    void necsAnswerFitsCommonScreens_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1024 x 768") << QSize(1024, 768);
    }
    void necsAnswerFitsCommonScreens()
    {
        QFETCH(QSize, size);
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        f.window.setInputs(dipole());
        f.window.resize(size);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        emit f.window.fullWave()->finished(handMadeAnswer(f.window));
        QVERIFY(f.window.session().built()->fromNec());
        const QString problem = screenFit::problem(f.window, f.window.form()->field(vostrel::design::Field::Frequency));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The line in the tube asked for with no tube typed: NEC-2 models the
    // rod's end, and the status says so (the field keeps its "no tube
    // given"), also when the answer is only shown again.
    void aLineWithoutItsTubeIsSaid_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("said");
        QTest::newRow("rod's end") << "rod-end" << false;
        QTest::newRow("line, no tube") << "tube" << true;
    }
    void aLineWithoutItsTubeIsSaid()
    {
        QFETCH(QString, place);
        QFETCH(bool, said);
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        InputTexts texts = dipole();
        texts.capAt = place;
        f.window.setInputs(texts);
        QCOMPARE(f.window.session().lineWithoutTube(), said);
        vostrel::designer::FullWaveResult answer = handMadeAnswer(f.window);
        answer.key.capacitorAt = nec::CapacitorAt::RodEnd;
        // No match is said with it too.
        vostrel::designer::FullWaveResult none = answer;
        none.refined = nec::NecFailure{nec::NecFailure::Kind::NoMatch, "no rod reaches 50 ohms", {}};
        none.sweep.clear();
        emit f.window.fullWave()->finished(none);
        QCOMPARE(f.results().necStatus()->text().contains(QStringLiteral("The line in the tube needs")), said);
        QVERIFY(f.results().necStatus()->text().startsWith(QStringLiteral("NEC-2 finds no match: ")));
        f.window.setInputs(dipole());
        f.window.setInputs(texts);
        std::get<nec::Refined>(answer.refined).capacitorAt = nec::CapacitorAt::RodEnd;
        emit f.window.fullWave()->finished(answer);
        QVERIFY(f.window.session().built()->fromNec());
        QCOMPARE(f.results().necInsertionLength()->text(), QStringLiteral("no tube given"));
        const QString status = f.results().necStatus()->text();
        QCOMPARE(status.contains(QStringLiteral(" The line in the tube needs the tube's inner diameter: until it is "
                                                "given, the capacitor is modelled at the rod's end.")),
            said);
        // The other of the two places is the same job: its answer shown
        // again, said the other way.
        texts.capAt = said ? QStringLiteral("rod-end") : QStringLiteral("tube");
        f.window.setInputs(texts);
        QVERIFY(f.window.session().built()->fromNec());
        QCOMPARE(f.results().necStatus()->text().contains(QStringLiteral("The line in the tube needs")), !said);
        QCOMPARE(f.window.session().lineWithoutTube(), !said);
        // Without the element's length there is no job, and nothing modelled.
        InputTexts noElement = texts;
        noElement.elementLength.clear();
        f.window.setInputs(noElement);
        QVERIFY(!f.window.session().lineWithoutTube());
        // A tube typed makes it the line asked for, with its insertion.
        texts.tubeInnerDiameter = QStringLiteral("20");
        f.window.setInputs(texts);
        QVERIFY(!f.window.session().lineWithoutTube());
    }

    // A hand-made answer with the search's runs: the window builds NEC-2's
    // match. The sliders centre on it and tune it from those runs, the
    // drawing, the tube, Copy results and every export show it, marked;
    // the closed form stays beside it in the results.
    void theWindowBuildsNecsMatch()
    {
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        InputTexts texts = dipole();
        texts.tubeInnerDiameter = QStringLiteral("20");
        f.window.setInputs(texts);
        QCOMPARE(f.window.tuning()->swrText(), QStringLiteral("SWR 1.00 at the tuned strap and capacitor"));
        emit f.window.fullWave()->finished(handMadeAnswer(f.window));
        auto* strap = f.window.tuning()->findChild<QLabel*>(names::strapValue);
        QCOMPARE(strap->text(), QStringLiteral("1263 mm (0.00 %)"));
        QVERIFY2(f.window.tuning()->swrText().startsWith(QStringLiteral("NEC-2 refined: SWR 1.00 in NEC-2")),
            qPrintable(f.window.tuning()->swrText()));
        QCOMPARE(f.results().necHeading(), QStringLiteral("NEC-2 refined: build this"));
        QCOMPARE(f.window.results()->rodLength()->text(), QStringLiteral("1388 mm")); // for comparison
        const QString necInsertion = f.results().necInsertionLength()->text();
        QVERIFY(necInsertion.endsWith(QStringLiteral(" mm")));
        QVERIFY(necInsertion != f.window.results()->insertionLength()->text());
        // NEC-2's capacitor in the 20 mm PTFE tube as an open coaxial line,
        // X = Z0 cot(beta l): Z0 = 59.96 / sqrt(2.1) ln(20 / 12.7) = 18.79
        // ohms, beta = 2 pi 14.2 MHz sqrt(2.1) / c = 0.4313 per metre, X =
        // 141.59 ohms for 79.16 pF: 305.9 mm, where its 257.3 pF per metre
        // would give 307.7 mm.
        const double insertion = *f.window.session().built()->insertionLength;
        QCOMPARE_LE(std::fabs(insertion - 0.3059), 0.0002);
        QVERIFY(!necInsertion.contains(QStringLiteral("longer")));
        {
            // A wide tube of air wants more of the rod than there is.
            InputTexts wide = texts;
            wide.tubeInnerDiameter = QStringLiteral("80");
            wide.dielectric = QStringLiteral("air");
            f.window.setInputs(wide);
            QVERIFY(f.window.session().built()->fromNec());
            QVERIFY(*f.window.session().built()->insertionLength > 1.263);
            QVERIFY2(f.results().necInsertionLength()->text().endsWith(
                         QStringLiteral(" mm, longer than the rod: take a narrower tube")),
                qPrintable(f.results().necInsertionLength()->text()));
            f.window.setInputs(texts);
        }
        const QStringList drawn = f.window.drawing()->dimensionTexts();
        QVERIFY2(drawn.contains(QStringLiteral("L = 1263 mm, feed point to strap")), qPrintable(drawn.join('|')));
        QVERIFY(drawn.contains(QStringLiteral("C = 79.16 pF")));
        QVERIFY(drawn.contains(QStringLiteral("rod %1 into the tube").arg(necInsertion)));
        QVERIFY(f.window.drawing()->title().startsWith(QStringLiteral("NEC-2 refined")));
        // What was built, for the reading: NEC-2's match.
        QCOMPARE(f.window.adjustPanel()->rodLength()->text(), QStringLiteral("1263 mm"));
        QCOMPARE(f.window.adjustPanel()->capacitance()->text(), QStringLiteral("79.16"));
        // The capacitance plot's design marker is NEC-2's capacitor.
        auto* byCapacitance = f.window.chart(Plot::Capacitance);
        const QList<QPointF> before = byCapacitance->curve()->points();
        QCOMPARE_LE(std::fabs(before.front().x() - 0.4 * 79.16), 1e-9);
        // Four strap steps: SWR from NEC-2's runs, not the line model's.
        f.window.tuning()->strap()->setValue(4);
        QCOMPARE(strap->text(), QStringLiteral("1275 mm (1.00 %)"));
        const auto& built = *f.window.session().built();
        QVERIFY(built.fromNec());
        QCOMPARE_GT(built.swrTuned, 1.02); // off the match
        QVERIFY(f.window.tuning()->swrText().contains(
            QStringLiteral("SWR %1 in NEC-2").arg(QLocale().toString(built.swrTuned, 'f', 2))));
        QCOMPARE_GT(std::fabs(built.swrTuned - f.window.study().tuned().swr), 0.01);

        const QString summary = f.window.summary();
        QVERIFY2(summary.contains(QStringLiteral("\nTo build: NEC-2 refined\n  Rod length, feed point to strap:  "
                                                 "1263 mm\n  Capacitor:                        79.16 pF\n")),
            qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("Results, closed form (for comparison)")));
        QVERIFY2(!summary.contains(QStringLiteral("Ω")), qPrintable(summary)); // "ohm" throughout
        QVERIFY(summary.contains(QStringLiteral("72.25 + j1.92 ohm")));

        QTemporaryDir dir;
        const QString csvPath = dir.filePath(QStringLiteral("s.csv"));
        QVERIFY(f.window.exportCsv(csvPath));
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(rows.front().startsWith(QStringLiteral("# Gamma match at 14.2 MHz")));
        QVERIFY(rows.contains(QStringLiteral("# NEC-2: a straight element 10100 mm tip to tip, in free space")));
        QVERIFY(rows.filter(QStringLiteral("# Match shown: NEC-2 refined, rod 1263 mm")).size() == 1);
        QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("^frequency,"))),
            QStringList({QStringLiteral("frequency,13.9,MHz,40,-30,2.1"),
                QStringLiteral("frequency,14.2,MHz,50,0.1,1.002"), QStringLiteral("frequency,14.5,MHz,60,30,1.9")}));
        const QString svgPath = dir.filePath(QStringLiteral("p.svg"));
        QVERIFY(f.window.exportPlots(svgPath, vostrel::designer::ExportFormat::Svg));
        QFile svg(svgPath);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString drawing = QString::fromUtf8(svg.readAll());
        QVERIFY(
            drawing.contains(QRegularExpression(QStringLiteral("<desc>Gamma match at 14.2 MHz[^<]*NEC-2 refined"))));
        QVERIFY(drawing.contains(QStringLiteral(">Match shown: NEC-2 refined, rod 1263 mm")));
        const QString pngPath = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(f.window.exportPlots(pngPath, vostrel::designer::ExportFormat::Png));
        const QImage png(pngPath);
        QCOMPARE_GT(png.height(), f.window.plots()->height()); // the caption under the plots
    }

    // Only part of a capacitor's reactance at the rod's end reaches Zin: the
    // curves against capacitance follow the answer's gain, so that their
    // lowest SWR is where the answer's is (here 0.9: at 0.9 times the
    // capacitor whose whole reactance would cancel the shorted Zin's). The
    // drawing puts the capacitor where it sits and says so; the rod in its
    // tube is there too, and the checks' text gives the capacitor's range
    // as the rod's insertion.
    void theCurvesFollowWhereTheCapacitorSits_data()
    {
        QTest::addColumn<double>("gain");
        QTest::addColumn<int>("place"); // a CapacitorAt
        QTest::addColumn<QString>("drawn");
        QTest::newRow("beside the feed point") << 1.0 << int(nec::CapacitorAt::Feed) << QStringLiteral("C = 79.16 pF");
        QTest::newRow("at the rod's end")
            << 0.9 << int(nec::CapacitorAt::RodEnd) << QStringLiteral("C = 79.16 pF, at the rod's end");
        QTest::newRow("the rod in its tube")
            << 0.9 << int(nec::CapacitorAt::Tube) << QStringLiteral("C = 79.16 pF, at the rod's end");
    }
    void theCurvesFollowWhereTheCapacitorSits()
    {
        QFETCH(double, gain);
        QFETCH(int, place);
        QFETCH(QString, drawn);
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        f.window.setInputs(dipole());
        auto answer = handMadeAnswer(f.window);
        auto& refined = std::get<nec::Refined>(answer.refined);
        refined.capacitorGain = gain;
        refined.capacitorAt = static_cast<nec::CapacitorAt>(place);
        if (refined.capacitorAt == nec::CapacitorAt::Tube) {
            refined.tube = std::get<nec::TubeSection>(nec::tubeSection({0.03, 1}, 0.0127, 79.16, 14.2));
        }
        emit f.window.fullWave()->finished(answer);
        QVERIFY2(f.window.drawing()->dimensionTexts().contains(drawn),
            qPrintable(f.window.drawing()->dimensionTexts().join('|')));
        const QString status = f.results().necStatus()->text();
        QCOMPARE(status.contains(QStringLiteral(" In the tube that is the rod ")), refined.tube.has_value());
        if (refined.tube) {
            const nec::Allowance allowance = nec::allowanceOf(refined);
            const QString low
                = vostrel::designer::lengthText(nec::insertionFor(*refined.tube, allowance.capacitancePf.low),
                    vostrel::design::Unit::Millimetre, QLocale());
            QVERIFY2(status.contains(QStringLiteral("the rod %1 to ").arg(low)), qPrintable(status));
            QVERIFY2(status.contains(QStringLiteral(" mm into it.")), qPrintable(status));
        }
        const QList<QPointF> curve = f.window.chart(Plot::Capacitance)->curve()->points();
        QVERIFY(!curve.isEmpty());
        const auto lowest = std::min_element(
            curve.begin(), curve.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        QCOMPARE_LE(std::fabs(lowest->x() / (gain * 79.16) - 1), 0.01);
        QCOMPARE_LT(lowest->y(), 1.05);
    }

    // The README's beam as a lone tube with k = 1/2: no closed form, NEC-2's
    // match to tune and draw.
    void whereOnlyNecMatchesTheWindowTunesIt()
    {
        Fixture f;
        f.window.setNecRunOptions(fake("hanging"));
        InputTexts texts = dipole();
        texts.frequency = QStringLiteral("28.5");
        texts.resistance = QStringLiteral("10.46");
        texts.reactance = QStringLiteral("8.8");
        texts.spacing = QStringLiteral("100");
        texts.stepUp = StepUp::Half;
        texts.elementLength = QStringLiteral("5 m");
        f.window.setInputs(texts);
        QVERIFY(!f.window.study().hasDesign());
        QCOMPARE(f.window.tuning()->swrText(), QStringLiteral("No design to tune"));
        QVERIFY(!f.window.tuning()->strap()->isEnabled());
        vostrel::designer::FullWaveResult answer = handMadeAnswer(f.window, 10.46, 8.8, 5, 28.5);
        auto& refined = std::get<nec::Refined>(answer.refined);
        refined.rodLength = 0.376;
        refined.capacitancePf = 115;
        for (auto& sample : refined.samples) {
            sample.length *= 0.376 / 1.2626;
        }
        emit f.window.fullWave()->finished(answer);
        QVERIFY(f.window.tuning()->strap()->isEnabled());
        QVERIFY(f.window.tuning()->swrText().startsWith(QStringLiteral("NEC-2 refined: SWR")));
        QVERIFY2(f.window.drawing()->dimensionTexts().contains(QStringLiteral("L = 376.0 mm, feed point to strap")),
            qPrintable(f.window.drawing()->dimensionTexts().join('|')));
        QVERIFY(f.window.drawing()->title().startsWith(QStringLiteral("NEC-2 refined")));
        QVERIFY(!f.window.results()->banner()->isHidden()); // the closed form's no match, beside
        QTemporaryDir dir;
        QVERIFY(f.window.exportCsv(dir.filePath(QStringLiteral("x.csv"))));
    }

    void aDeckItCannotUseIsRefusedWithItsLine()
    {
        Fixture f;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("two-sources.nec"));
        std::ofstream(path.toStdString()) << "CM two sources\nCE\nGW 1 11 0 -2 0 0 2 0 0.01\nGE 0\n"
                                             "EX 0 1 6 0 1 0\nEX 0 1 5 0 1 0\nEN\n";
        const auto problem = f.window.openAntennaModel(path);
        QVERIFY(problem.has_value());
        QVERIFY2(problem->startsWith(QStringLiteral("two-sources.nec:6")), qPrintable(*problem));
        QCOMPARE(f.window.noticeText(), *problem);
        QVERIFY(f.window.noticeIsProblem());
        QVERIFY(!f.window.hasAntennaModel());
        QVERIFY(!f.results().fullWaveShown());
        QVERIFY(f.window.openAntennaModel(dir.filePath(QStringLiteral("missing.nec"))).has_value());
    }

    void aBadElementLengthIsRefusedAtItsField()
    {
        Fixture f;
        InputTexts texts = dipole();
        texts.elementLength = QStringLiteral("ten metres");
        f.window.setInputs(texts);
        QVERIFY(!f.window.form()->problemOf(Field::ElementLength).isEmpty());
        QVERIFY(f.window.form()->problemOf(Field::ElementLength).startsWith(QStringLiteral("Element length")));
        QVERIFY(!f.window.fullWave()->isBusy());
    }
    // "What do these checks mean?" is under the column, one click from a
    // plain explanation of each check with its limits and what to do.
    void theChecksAreExplainedOneClickAway()
    {
        Fixture f;
        f.window.show();
        auto* explain = f.window.results()->findChild<QPushButton*>(names::explainNecChecks);
        QVERIFY(explain != nullptr);
        QVERIFY(!explain->isVisible()); // no column, nothing to explain
        f.window.setNecRunOptions(fake("hanging"));
        f.window.setInputs(dipole());
        QVERIFY(explain->isVisible());
        QTest::mouseClick(explain, Qt::LeftButton);
        auto* help = f.window.findChild<QMessageBox*>(names::necChecksHelp);
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        QVERIFY(!help->isModal()); // the column stays readable beside it
        const QString text = help->text();
        for (const char* part : {"Average gain test", "from 0.95 to 1.05", "Beyond 0.8 to 1.25", "Halved run",
                 "Up to 3 % for the rod and 5 % for the capacitor", "Beyond 10 % for the rod", "Doubtful", "What to do",
                 "Adjust tab"}) {
            QVERIFY2(text.contains(QLatin1String(part)), part);
        }
        QTest::mouseClick(explain, Qt::LeftButton); // again: the same box, not a second
        QCOMPARE(f.window.findChildren<QMessageBox*>(names::necChecksHelp).size(), 1);
    }

    // A run past the time limit is stopped and says so over the window;
    // the limit (20 s at first) is the user's to change, and kept.
    void aRunPastTheTimeLimitSaysSo()
    {
        Fixture f;
        QCOMPARE(f.window.necTimeLimit(), std::chrono::seconds(20));
        const nec::RunOptions hanging = fake("hanging");
        f.window.setNecRunOptions(hanging);
        f.window.setNecTimeLimit(std::chrono::seconds(1));
        QCOMPARE(f.window.session().runOptions().program, hanging.program); // only the limit changed
        QCOMPARE(f.window.session().runOptions().timeout, std::chrono::milliseconds(1000));
        f.window.setInputs(dipole());
        QVERIFY(f.settled());
        QVERIFY2(f.window.noticeText().contains(QStringLiteral("longer than the time limit of 1 s")),
            qPrintable(f.window.noticeText()));
        QVERIFY(f.window.noticeIsProblem());
        DesignerWindow again;
        QCOMPARE(again.necTimeLimit(), std::chrono::seconds(1));
    }

    // File > Save matched antenna model writes the deck vostrel-design
    // --write-nec writes for the same inputs, only once NEC-2 has matched,
    // and never over the antenna model open.
    void theMatchedModelIsSavedAsTheCommandLineWritesIt()
    {
        QTemporaryDir dir;
        const QString matched = dir.filePath(QStringLiteral("matched.nec"));
        Fixture f;
        f.window.setInputs(dipole());
        QVERIFY(!f.window.saveMatchedModel(matched)); // NEC-2 still computing
        QVERIFY2(
            f.window.noticeText().contains(QStringLiteral("NEC-2 has no match")), qPrintable(f.window.noticeText()));
        QVERIFY(!QFile::exists(matched));
        QVERIFY(f.settled());
        QVERIFY(f.window.saveMatchedModel(matched));
        QCOMPARE(f.window.noticeText(), QStringLiteral("Wrote ") + matched);
        const QString byTool = dir.filePath(QStringLiteral("tool.nec"));
        QProcess tool;
        tool.start(QStringLiteral(VOSTREL_DESIGN_TOOL),
            {"design", "--freq", "14.2", "--r", "72.25", "--x", "1.92", "--element", "25mm", "--rod", "12.7mm",
                "--spacing", "150mm", "--element-length", "10.1m", "--textbook", "--write-nec", byTool});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QFile mine(matched);
        QFile theirs(byTool);
        QVERIFY(mine.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
        const QByteArray deck = mine.readAll();
        QVERIFY(deck.contains("GW "));
        QCOMPARE(deck, theirs.readAll());

        // The model open is never written over; the deck stays as it was.
        const QString beam = dir.filePath(QStringLiteral("beam.nec"));
        QVERIFY(QFile::copy(QStringLiteral(VOSTREL_BEAM_DECK), beam));
        QFile::setPermissions(beam, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!f.window.openAntennaModel(beam).has_value());
        QVERIFY(!f.window.saveMatchedModel(dir.filePath(QStringLiteral("./beam.nec"))));
        QVERIFY2(f.window.noticeText().contains(QStringLiteral("is the antenna model open")),
            qPrintable(f.window.noticeText()));
        QFile original(QStringLiteral(VOSTREL_BEAM_DECK));
        QFile kept(beam);
        QVERIFY(original.open(QIODevice::ReadOnly) && kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), original.readAll());
    }
};

QTEST_MAIN(DesignerFullWaveTest)
#include "designer_fullwave_test.moc"
