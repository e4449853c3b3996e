// SPDX-License-Identifier: GPL-3.0-or-later
// The designer window through its widgets: typed inputs give the core's
// design in the result fields, a bad field blocks and names itself, a
// geometry that cannot match shows the core's banner, a measurement file
// fills R and X, the plots hold the core's sweeps as tuned, and the copied
// summary, the settings and the command line carry every input.
#include "adjust_panel.h"
#include "command_line.h"
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "designer_window.h"
#include "match_drawing.h"
#include "results_panel.h"
#include "screen_fit.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"
#include "tuning_panel.h"
#include "wheel_guarded_combo_box.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QScopeGuard>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QWheelEvent>

using vostrel::design::Field;
using vostrel::design::Model;
using vostrel::design::StepUp;
using vostrel::design::Unit;
using vostrel::designer::DesignerWindow;
using vostrel::designer::InputTexts;
using Plot = vostrel::designer::DesignerWindow::Plot;
namespace names = vostrel::designer::names;
namespace design = vostrel::design;

Q_DECLARE_METATYPE(StepUp)
Q_DECLARE_METATYPE(Unit)
Q_DECLARE_METATYPE(Model)

namespace {

// The first number in a result field: "38.90 in" -> 38.9.
double numberIn(const QLineEdit* field)
{
    return field->text().section(QLatin1Char(' '), 0, 0).toDouble();
}

struct Fixture {
    Fixture() { window.show(); } // hidden buttons take no clicks
    DesignerWindow window;

    QLineEdit* field(Field which) const { return window.form()->field(which); }
    void type(Field which, const QString& text) const
    {
        field(which)->selectAll();
        QTest::keyClick(field(which), Qt::Key_Backspace);
        QTest::keyClicks(field(which), text);
    }
    // Replaces the field's text in one edit, as pasting does.
    void paste(Field which, const QString& text) const
    {
        QGuiApplication::clipboard()->setText(text);
        field(which)->selectAll();
        QTest::keyClick(field(which), text.isEmpty() ? Qt::Key_Delete : Qt::Key_V,
            text.isEmpty() ? Qt::NoModifier : Qt::ControlModifier);
    }
    void chooseUnit(Unit unit) const
    {
        auto* box = window.form()->findChild<QComboBox*>(names::unit);
        box->setCurrentIndex(box->findData(static_cast<int>(unit)));
    }
    void chooseStepUp(StepUp stepUp) const
    {
        const char* name = stepUp == StepUp::Half ? names::stepUpHalf : names::stepUpWhole;
        QTest::mouseClick(window.form()->findChild<QRadioButton*>(name), Qt::LeftButton);
    }
    // Ticks or clears "Textbook line model" as a user does, with a click.
    void chooseModel(Model model) const
    {
        auto* textbook = window.form()->findChild<QCheckBox*>(names::textbookModel);
        if (textbook->isChecked() != (model == Model::Textbook)) {
            QTest::mouseClick(textbook, Qt::LeftButton, {}, QPoint(8, textbook->height() / 2));
        }
    }
    design::DesignInput input() const { return window.study().inputs().design; }
};

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& text)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        return {};
    }
    return path;
}

} // namespace

class DesignerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QString::fromLatin1(vostrel::designer::settings::kOrganisation),
            QString::fromLatin1(vostrel::designer::settings::kApplication))
            .clear();
    }
    // The window writes its inputs as they change: each test starts afresh.
    // Qt's own complaints about the window's layout are faults too.
    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Negative sizes")));
        QSettings(QString::fromLatin1(vostrel::designer::settings::kOrganisation),
            QString::fromLatin1(vostrel::designer::settings::kApplication))
            .clear();
    }

    // The ARRL Antenna Book's 14.3 MHz example in both conventions and Owen
    // Duffy's 144 MHz Yagi, values computed independently of the core.
    void typedInputsGiveThePublishedDesign_data()
    {
        QTest::addColumn<QStringList>("inputs"); // f, R, X, D, d, s
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<StepUp>("stepUp");
        QTest::addColumn<double>("z0");
        QTest::addColumn<double>("rodLength"); // in the unit
        QTest::addColumn<double>("capacitance");
        QTest::addColumn<Model>("model");
        const QStringList book = {"14.3", "25", "-25", "1.5", "0.5", "6"};
        QTest::newRow("14.3 MHz, whole") << book << Unit::Inch << StepUp::Whole << 314.40 << 38.90 << 96.14
                                         << Model::Textbook;
        QTest::newRow("14.3 MHz, half") << book << Unit::Inch << StepUp::Half << 314.40 << 26.46 << 150.7
                                        << Model::Textbook;
        QTest::newRow("144 MHz Yagi") << QStringList{"144", "50", "0", "12", "12", "38"} << Unit::Millimetre
                                      << StepUp::Whole << 218.39 << 161.2 << 12.76 << Model::Textbook;
        // The default closed form: the feed connection and strap, 175 nH,
        // 15.73 ohms at 14.3 MHz, cancelled too.
        QTest::newRow("14.3 MHz, whole, corrected")
            << book << Unit::Inch << StepUp::Whole << 314.40 << 38.90 << 84.64 << Model::Corrected;
        QTest::newRow("14.3 MHz, half, corrected")
            << book << Unit::Inch << StepUp::Half << 314.40 << 26.46 << 124.28 << Model::Corrected;
    }
    void typedInputsGiveThePublishedDesign()
    {
        QFETCH(QStringList, inputs);
        QFETCH(Unit, unit);
        QFETCH(StepUp, stepUp);
        QFETCH(double, z0);
        QFETCH(double, rodLength);
        QFETCH(double, capacitance);
        QFETCH(Model, model);
        Fixture f;
        f.type(Field::Frequency, "1"); // away from the start values first
        f.chooseUnit(unit);
        f.chooseStepUp(stepUp);
        f.chooseModel(model);
        const Field order[] = {Field::Frequency, Field::FeedResistance, Field::FeedReactance, Field::ElementDiameter,
            Field::RodDiameter, Field::Spacing};
        for (int i = 0; i < 6; ++i) {
            f.type(order[i], inputs[i]);
        }
        const auto* results = f.window.results();
        QVERIFY(!results->isStale());
        QVERIFY(results->banner()->isHidden());
        QCOMPARE_LE(std::fabs(numberIn(results->lineZ0()) - z0), 0.06);
        QCOMPARE_LE(std::fabs(numberIn(results->rodLength()) - rodLength), 0.051);
        QCOMPARE_LE(std::fabs(numberIn(results->capacitance()) - capacitance) / capacitance, 0.0006);
        QVERIFY(results->rodLength()->text().endsWith(QString::fromLatin1(design::unitSymbol(unit))));
        QCOMPARE(f.input().model, model);
        // The drawing's dimension carries the same figure.
        QVERIFY(f.window.drawing()->dimensionTexts().join('|').contains("L = " + results->rodLength()->text()));
    }

    // Another unit converts the lengths: the design stays the same.
    void anotherUnitKeepsTheLengths()
    {
        Fixture f;
        f.type(Field::TubeInnerDiameter, "20 mm"); // names its own unit: stays
        const double rodLength = f.window.study().design().rodLength;
        f.chooseUnit(Unit::Millimetre);
        QCOMPARE(f.field(Field::ElementDiameter)->text(), QStringLiteral("38.1"));
        QCOMPARE(f.field(Field::Spacing)->text(), QStringLiteral("152.4"));
        QCOMPARE(f.field(Field::TubeInnerDiameter)->text(), QStringLiteral("20 mm"));
        QCOMPARE_LE(std::fabs(f.window.study().design().rodLength - rodLength), 1e-9);
        QVERIFY(f.window.results()->rodLength()->text().endsWith(" mm"));
    }

    // A field that does not read blocks computing: the last design stays,
    // marked stale, and the field says what is wrong; so does a spacing
    // the core refuses (the rod would touch the element).
    void aBadFieldBlocksAndNamesItself_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("good");
        QTest::newRow("not a number") << int(Field::Frequency) << "14,3x"
                                      << "14.3";
        QTest::newRow("empty") << int(Field::FeedResistance) << ""
                               << "25";
        QTest::newRow("unknown unit") << int(Field::RodDiameter) << "0.5 yd"
                                      << "0.5";
        QTest::newRow("rod touches element") << int(Field::Spacing) << "0.9"
                                             << "6";
        QTest::newRow("negative line impedance") << int(Field::LineImpedance) << "-50"
                                                 << "50";
    }
    void aBadFieldBlocksAndNamesItself()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, good);
        const auto which = static_cast<Field>(field);
        Fixture f;
        const QString before = f.window.results()->rodLength()->text();
        const double designed = f.window.study().design().rodLength;
        f.paste(which, text);
        const QString problem = f.window.form()->problemOf(which);
        QVERIFY2(!problem.isEmpty(), qPrintable(text));
        QCOMPARE(f.field(which)->property("invalid").toBool(), true);
        QCOMPARE(f.field(which)->accessibleDescription(), problem);
        QVERIFY(f.window.results()->isStale());
        QVERIFY(f.window.picturesStale());
        QCOMPARE(f.window.results()->rodLength()->text(), before);
        QCOMPARE(f.window.study().design().rodLength, designed);
        QVERIFY(f.window.summary().contains(problem));

        f.paste(which, good);
        QVERIFY(f.window.form()->problemOf(which).isEmpty());
        QVERIFY(!f.window.results()->isStale());
        QVERIFY(!f.window.picturesStale());
    }

    // A 0 where only a value above 0 makes sense is the form's to refuse,
    // naming the field, before the core is asked.
    void zeroIsRefusedWhereAboveZeroIsNeeded_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("message");
        QTest::newRow("frequency") << "frequency"
                                   << "Frequency must be above 0.";
        QTest::newRow("resistance") << "resistance"
                                    << "Feed resistance R must be above 0.";
        QTest::newRow("line") << "line"
                              << "Feed line impedance must be above 0.";
        QTest::newRow("spacing") << "spacing"
                                 << "Centre spacing must be above 0.";
    }
    void zeroIsRefusedWhereAboveZeroIsNeeded()
    {
        QFETCH(QString, which);
        QFETCH(QString, message);
        InputTexts texts;
        QString& field = which == QLatin1String("frequency") ? texts.frequency
            : which == QLatin1String("resistance")           ? texts.resistance
            : which == QLatin1String("line")                 ? texts.lineImpedance
                                                             : texts.spacing;
        field = QStringLiteral("0");
        const auto checked = vostrel::designer::validate(texts, QLocale::c());
        QVERIFY(!checked.inputs);
        QCOMPARE(checked.errors.size(), 1);
        QCOMPARE(checked.errors.front().message, message);
    }

    // Equal diameters step up four times: 10 ohms becomes 40, below the
    // line's 50, with no reactance to work with.
    void aGeometryThatCannotMatchShowsTheCoresBanner()
    {
        Fixture f;
        f.window.setInputs({"144", "10", "0", "12", "12", "38", Unit::Millimetre, "50", StepUp::Whole, "", "ptfe", "",
            Model::Corrected, "", "2"});
        QVERIFY(!f.window.study().hasDesign());
        QCOMPARE(f.window.study().problem().kind, design::Problem::Kind::NoMatch);
        const QLabel* banner = f.window.results()->banner();
        QVERIFY(!banner->isHidden());
        QCOMPARE(
            banner->text().compare(QString::fromStdString(f.window.study().problem().message), Qt::CaseInsensitive), 0);
        QVERIFY(f.window.results()->rodLength()->text().isEmpty());
        QVERIFY(!f.window.tuning()->strap()->isEnabled());
        QCOMPARE(f.window.chart(Plot::Capacitance)->curve()->count(), 0);
        // No numbers left from the last design under the empty plots.
        QVERIFY(!f.window.chart(Plot::Frequency)->xAxis()->isVisible());
        QVERIFY(f.window.smithChart()->locus().empty());
        QVERIFY(f.window.summary().contains(banner->text()));

        f.type(Field::FeedResistance, "25"); // 100 ohms stepped up: matches
        QVERIFY(banner->isHidden());
        QVERIFY(f.window.tuning()->strap()->isEnabled());
        QVERIFY(f.window.chart(Plot::Frequency)->xAxis()->isVisible());
    }

    // On the boundary the rod alone matches (12.5 ohms stepped up 4 times
    // is the line's 50): the capacitor is shorted, only the strap tunes.
    void aShortedCapacitorLeavesOnlyTheStrapToTune()
    {
        Fixture f;
        f.window.setInputs({"144", "12.5", "0", "12", "12", "38", Unit::Millimetre, "50", StepUp::Whole, "", "ptfe", "",
            Model::Textbook, "", "2"});
        QVERIFY(f.window.study().design().capacitorShorted);
        QVERIFY(f.window.results()->capacitance()->text().contains("short"));
        QVERIFY(!f.window.tuning()->capacitor()->isEnabled());
        f.window.tuning()->strap()->setValue(4);
        QCOMPARE(f.window.chart(Plot::Capacitance)->curve()->count(), 0);
        // No capacitances left from the last design under the empty plot.
        QVERIFY(!f.window.chart(Plot::Capacitance)->xAxis()->isVisible());
        QCOMPARE(f.window.chart(Plot::RodLength)->curve()->count(), 500);
        QVERIFY(std::isfinite(f.window.study().tuned().swr));
        QVERIFY(f.window.summary().contains("shorted"));
    }

    // Check data, not pixels: each plot holds the core's sweep at the
    // tuned setting, with the design and tuned points where they belong.
    void thePlotsHoldTheCoresSweepsAsTuned()
    {
        Fixture f;
        QSlider* strap = f.window.tuning()->strap();
        QSlider* capacitor = f.window.tuning()->capacitor();
        strap->setFocus();
        QTest::keyClick(strap, Qt::Key_Right);
        QTest::keyClick(strap, Qt::Key_PageUp);
        capacitor->setValue(-20);
        QCOMPARE(strap->value(), 11);

        const design::Design d = f.window.study().design();
        const double rod = d.rodLength * (1 + 11 * vostrel::study::kStrapStep);
        const double pf = d.capacitancePf * (1 - 20 * vostrel::study::kCapacitorStep);
        const auto in = f.input();
        const auto byC = std::get<std::vector<design::SweepPoint>>(
            design::sweepCapacitance(in, rod, 0.4 * d.capacitancePf, 1.6 * d.capacitancePf, 500));
        const auto byL = std::get<std::vector<design::SweepPoint>>(
            design::sweepRodLength(in, pf, 0.7 * d.rodLength, 1.3 * d.rodLength, 500));
        const auto byF = std::get<std::vector<design::SweepPoint>>(
            design::sweepFrequency(in, rod, pf, 14.3 * 0.95, 14.3 * 1.05, 500));
        const auto tuned = std::get<design::Analysis>(design::analyze(in, rod, pf));

        const struct {
            Plot plot;
            const std::vector<design::SweepPoint>& sweep;
            double scale;
            QPointF designAt;
            QPointF tunedAt;
        } plots[] = {
            {Plot::Capacitance, byC, 1, {d.capacitancePf, 1}, {pf, tuned.swr}},
            {Plot::RodLength, byL, 0.0254, {d.rodLength / 0.0254, 1}, {rod / 0.0254, tuned.swr}},
            {Plot::Frequency, byF, 1, {14.3, 1}, {14.3, tuned.swr}},
        };
        for (const auto& plot : plots) {
            const auto* chart = f.window.chart(plot.plot);
            const QList<QPointF> points = chart->curve()->points();
            QCOMPARE(points.size(), 500);
            for (qsizetype i : {qsizetype(0), qsizetype(137), qsizetype(499)}) {
                const auto& expected = plot.sweep[static_cast<std::size_t>(i)];
                QCOMPARE(points[i], QPointF(expected.x / plot.scale, expected.swr));
            }
            const QPointF designAt = chart->designMarker()->at(0);
            QCOMPARE(designAt.x(), plot.designAt.x());
            QCOMPARE_LE(std::fabs(designAt.y() - 1), 1e-9);
            QCOMPARE(chart->tunedMarker()->at(0), plot.tunedAt);
            QVERIFY(!chart->xAxis()->titleText().isEmpty());
            QCOMPARE(chart->yAxis()->titleText(), QStringLiteral("SWR"));
        }
        QVERIFY(f.window.chart(Plot::RodLength)->xAxis()->titleText().contains("(in)"));
        QCOMPARE_GT(tuned.swr, 1.05); // the tuning moved the match

        const auto* smith = f.window.smithChart();
        QCOMPARE(smith->locus().size(), byC.size());
        QCOMPARE(smith->locus()[250], byC[250].zin);
        QCOMPARE(*smith->tunedPoint(), tuned.zin);
        QCOMPARE_LE(std::abs(vostrel::designer::SmithChartView::reflection(*smith->designPoint(), 50)), 1e-9);

        QTest::mouseClick(f.window.findChild<QWidget*>(names::resetTuning), Qt::LeftButton);
        QCOMPARE(strap->value(), 0);
        QCOMPARE(f.window.chart(Plot::Capacitance)->tunedMarker()->at(0).x(), d.capacitancePf);
    }

    // R and X come from the file (dropped on the window) at the typed
    // frequency, interpolated; the frequency plot spans the file. A damaged
    // file changes nothing.
    void aMeasurementFileFillsRAndX()
    {
        const QTemporaryDir dir;
        // Z normalised to 50: 20 - j30 at 14.0 MHz, 30 - j20 at 14.5 MHz.
        const QString good
            = writeFile(dir, "dipole.s1p", "! analyser\n# MHz Z RI R 50\n14.0 0.4 -0.6\n14.5 0.6 -0.4\n");
        const QString damaged = writeFile(dir, "damaged.s1p", "# MHz Z RI R 50\n14.0 0.4 -0.6\n14.5 0.6\n");
        Fixture f;
        f.type(Field::Frequency, "14.25");

        QVERIFY(f.window.openMeasurement(damaged).has_value());
        QVERIFY(f.window.statusText().contains("line 3"));
        // A file that reads but gives a resistance below 0: refused alike.
        const QString active = writeFile(dir, "active.s1p", "# MHz S RI R 50\n14.0 0.2 0.1\n14.5 1.2 0\n");
        QVERIFY(f.window.openMeasurement(active).has_value());
        QVERIFY(f.window.statusText().contains("active.s1p, line 3") && f.window.statusText().contains("above 1"));
        QCOMPARE(f.field(Field::FeedResistance)->text(), QStringLiteral("25"));
        QVERIFY(!f.field(Field::FeedResistance)->isReadOnly());

        // Dropped on the window.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(good)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(&f.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.window, &drop);
        QCOMPARE(f.input().feedImpedance, design::Complex(25, -25));
        QVERIFY(f.field(Field::FeedReactance)->isReadOnly());
        const auto* note = f.window.form()->findChild<QLabel*>(names::measurementNote);
        QVERIFY(note->text().contains("dipole.s1p") && note->text().contains("interpolated"));
        const QList<QPointF> points = f.window.chart(Plot::Frequency)->curve()->points();
        QCOMPARE(points.size(), 500);
        QCOMPARE(points.front().x(), 14.0);
        QCOMPARE(points.back().x(), 14.5);
        design::DesignInput at14 = f.input();
        at14.freqMhz = 14.0;
        at14.feedImpedance = {20, -30};
        const auto d = f.window.study().design();
        QCOMPARE(
            points.front().y(), std::get<design::Analysis>(design::analyze(at14, d.rodLength, d.capacitancePf)).swr);
        QVERIFY(f.window.summary().contains("interpolated from dipole.s1p"));

        f.type(Field::Frequency, "14.6");
        QVERIFY(f.window.form()->problemOf(Field::Frequency).contains("outside"));
        // Forgotten while a field is bad: the strap cannot move the study of
        // the last good inputs, and the next design has no file.
        f.type(Field::Frequency, "14.25");
        f.paste(Field::Spacing, "x");
        f.window.forgetMeasurement();
        QVERIFY(!f.field(Field::FeedResistance)->isReadOnly());
        QSlider* strap = f.window.tuning()->strap();
        QVERIFY(!strap->isEnabled());
        const double rod = f.window.study().tuning().rodLength;
        strap->setValue(5);
        QCOMPARE(f.window.study().tuning().rodLength, rod);
        f.paste(Field::Spacing, "6");
        QVERIFY(strap->isEnabled());
        QVERIFY(!f.window.study().measuredFrequencySweep());
    }

    // With a decimal comma, what the window writes into a field reads back
    // as the same number: R and X from a file, converted lengths.
    void writtenFieldsReadBackWithADecimalComma()
    {
        const QTemporaryDir dir;
        const QString file = writeFile(dir, "dipole.s1p", "# MHz Z RI R 50\n14.0 0.4 -0.6\n14.5 0.6 -0.4\n");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        Fixture f;
        f.type(Field::Frequency, "14,01");
        QCOMPARE(f.window.openMeasurement(file), std::nullopt);
        QCOMPARE(f.field(Field::FeedResistance)->text(), QStringLiteral("20,2"));
        QCOMPARE_LE(std::abs(f.input().feedImpedance - design::Complex(20.2, -29.8)), 1e-9);
        f.chooseUnit(Unit::Millimetre);
        QCOMPARE(f.field(Field::ElementDiameter)->text(), QStringLiteral("38,1"));
        QCOMPARE_LE(std::fabs(f.input().geometry.elementDiameter - 0.0381), 1e-12);
        f.chooseUnit(Unit::Centimetre); // "38,1" read back, not left as 38,1 cm
        QCOMPARE(f.field(Field::ElementDiameter)->text(), QStringLiteral("3,81"));
        QCOMPARE_LE(std::fabs(f.input().geometry.elementDiameter - 0.0381), 1e-12);
    }

    // In a comma locale a dot is neither a decimal point nor read as
    // grouping: "22.500" ohms is refused, never 22,500 ohms.
    void aCommaLocaleRefusesGroupedNumbers_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // 0: refused
        QTest::newRow("resistance grouped") << int(Field::FeedResistance) << "22.500" << 0.0;
        QTest::newRow("resistance thousand") << int(Field::FeedResistance) << "1.000" << 0.0;
        QTest::newRow("reactance grouped negative") << int(Field::FeedReactance) << "-1.000" << 0.0;
        QTest::newRow("frequency grouped") << int(Field::Frequency) << "14.200" << 0.0;
        QTest::newRow("element length grouped") << int(Field::ElementDiameter) << "1.500" << 0.0;
        QTest::newRow("resistance with comma") << int(Field::FeedResistance) << "22,5" << 22.5;
        QTest::newRow("element with comma") << int(Field::ElementDiameter) << "1,25" << 1.25 * 0.0254;
    }
    void aCommaLocaleRefusesGroupedNumbers()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        Fixture f;
        // The first-start example shows in the locale's notation, and reads.
        QCOMPARE(f.field(Field::Frequency)->text(), QStringLiteral("14,3"));
        QCOMPARE(f.field(Field::ElementDiameter)->text(), QStringLiteral("1,5"));
        QCOMPARE(f.window.results()->rodLength()->text(), QStringLiteral("38,90 in"));
        // The plots' axes in the same notation.
        for (auto* chart : f.window.findChildren<QChartView*>()) {
            QVERIFY(chart->chart()->localizeNumbers());
            QCOMPARE(chart->chart()->locale().decimalPoint(), QStringLiteral(","));
            QCOMPARE(chart->chart()->locale().toString(1400.5), QStringLiteral("1400,5"));
        }
        const auto which = static_cast<Field>(field);
        f.paste(which, text);
        const QString problem = f.window.form()->problemOf(which);
        if (value == 0) {
            QVERIFY2(problem.contains(QStringLiteral("no thousands separator (1,5 or 1500)")), qPrintable(problem));
            QVERIFY(f.window.results()->isStale());
            return;
        }
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const design::DesignInput in = f.input();
        const double read = which == Field::FeedResistance ? in.feedImpedance.real() : in.geometry.elementDiameter;
        QCOMPARE(read, value);
    }

    // What a field echoes in its message stays one short line, whatever was pasted.
    void aMessageEchoesAShortSingleLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("100000 digits and a letter") << QString(100000, QLatin1Char('9')) + QStringLiteral("x");
        QTest::newRow("a line break inside") << QStringLiteral("2\u20285x");
        QTest::newRow("a control character") << QStringLiteral("2\x1b[2J");
    }
    void aMessageEchoesAShortSingleLine()
    {
        QFETCH(QString, text);
        Fixture f;
        f.paste(Field::FeedResistance, text);
        const QString problem = f.window.form()->problemOf(Field::FeedResistance);
        QVERIFY(!problem.isEmpty());
        QVERIFY2(problem.size() < 160, qPrintable(problem.left(200)));
        for (const QChar c : problem) {
            QVERIFY2(c.isPrint() || c == QLatin1Char(' '), qPrintable(problem));
        }
    }

    // Huge and tiny results switch to an exponent instead of 35 digits.
    void extremeResultsUseAnExponent()
    {
        Fixture f;
        f.type(Field::Frequency, "0.001");
        f.type(Field::Spacing, "6");
        const QString rod = f.window.results()->rodLength()->text();
        QVERIFY2(rod.size() < 16, qPrintable(rod));
        QVERIFY2(rod.contains(QLatin1Char('e')) || rod.size() < 12, qPrintable(rod));
    }

    // vostrel-design's names and value forms fill the form; the older
    // spellings still work and say what they are called now.
    void theCommandLineTakesTheDesignToolsOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected"); // what a field holds after, or the refusal
        QTest::addColumn<QString>("note");
        QTest::newRow("half") << QStringList{"--half"} << "stepUp=half"
                              << "";
        QTest::newRow("units any case") << QStringList{"--units", "MM"} << "unit=mm"
                                        << "";
        QTest::newRow("units metre refused") << QStringList{"--units", "m"} << "error=--units takes mm, cm or in"
                                             << "";
        QTest::newRow("tube id") << QStringList{"--tube-id", "10mm"} << "tube=10"
                                 << "";
        QTest::newRow("s1p") << QStringList{"--s1p", "a.s1p"} << "file=a.s1p"
                             << "";
        QTest::newRow("equals form") << QStringList{"--freq=7.1"} << "freq=7.1"
                                     << "";
        QTest::newRow("dielectric any case") << QStringList{"--dielectric", "PTFE"} << "dielectric=ptfe"
                                             << "";
        QTest::newRow("bad number") << QStringList{"--r", "abc"} << "error=--r: \"abc\" is not a number"
                                    << "";
        QTest::newRow("grouped number") << QStringList{"--r", "1,5"} << "error=--r: \"1,5\" is not a number here"
                                        << "";
        QTest::newRow("bad length") << QStringList{"--rod", "3yd"} << "error=--rod: unknown unit"
                                    << "";
        QTest::newRow("given twice") << QStringList{"--freq", "7", "--freq", "8"} << "error=--freq is given twice"
                                     << "";
        QTest::newRow("flag given twice") << QStringList{"--half", "--half"} << "error=--half is given twice"
                                          << "";
        QTest::newRow("old and new unit")
            << QStringList{"--unit", "mm", "--units", "cm"} << "error=--units is given twice"
            << "--unit is now --units";
        QTest::newRow("older unit") << QStringList{"--unit", "cm"} << "unit=cm"
                                    << "--unit is now --units";
        QTest::newRow("older step-up") << QStringList{"--step-up", "half"} << "stepUp=half"
                                       << "--step-up is now --half";
        QTest::newRow("older tube") << QStringList{"--tube", "9mm"} << "tube=9"
                                    << "--tube is now --tube-id";
        QTest::newRow("older file") << QStringList{"--file", "b.s1p"} << "file=b.s1p"
                                    << "--file is now --s1p";
        QTest::newRow("textbook") << QStringList{"--textbook"} << "model=textbook"
                                  << "";
        QTest::newRow("corrected by default") << QStringList{"--half"} << "model=corrected"
                                              << "";
        QTest::newRow("element length") << QStringList{"--element-length", "10.1m"} << "length=10.1m"
                                        << "";
        QTest::newRow("bad element length") << QStringList{"--element-length", "long"} << "error=--element-length: "
                                            << "";
        QTest::newRow("antenna model") << QStringList{"--nec", "beam.nec"} << "nec=beam.nec"
                                       << "";
        QTest::newRow("power") << QStringList{"--power", "1500"} << "power=1500"
                               << "";
        QTest::newRow("swr margin") << QStringList{"--power", "100", "--swr-margin", "3"} << "margin=3"
                                    << "";
        QTest::newRow("bad power") << QStringList{"--power", "lots"} << "error=--power: \"lots\" is not a number"
                                   << "";
        QTest::newRow("rod side any case") << QStringList{"--rod-side", "-Z"} << "rodSide=-z"
                                           << "";
        QTest::newRow("rod side away") << QStringList{"--rod-side", "away"} << "rodSide=away"
                                       << "";
        QTest::newRow("rod side not one") << QStringList{"--rod-side", "up"} << "error=--rod-side: \"up\" is not a side"
                                          << "";
        QTest::newRow("capacitor at the rod's end, any case") << QStringList{"--cap-at", "Rod-End"} << "capAt=rod-end"
                                                              << "";
        QTest::newRow("capacitor at the feed") << QStringList{"--cap-at", "feed"} << "capAt=feed"
                                               << "";
        QTest::newRow("capacitor at no place")
            << QStringList{"--cap-at", "strap"} << "error=--cap-at: \"strap\" is not a place: feed, rod-end or tube"
            << "";
        QTest::newRow("length and model") << QStringList{"--nec", "beam.nec", "--element-length", "5m"}
                                          << "error=--element-length and --nec each give the element"
                                          << "";
    }
    void theCommandLineTakesTheDesignToolsOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QFETCH(QString, note);
        QCommandLineParser parser;
        vostrel::designer::addInputOptions(parser);
        QVERIFY2(parser.parse(QStringList{"vostrel-designer"} + args), qPrintable(parser.errorText()));
        const auto read = vostrel::designer::readInputOptions(parser, InputTexts{}, QLocale::c());
        const QString what = expected.section(QLatin1Char('='), 0, 0);
        const QString value = expected.section(QLatin1Char('='), 1);
        if (what == QLatin1String("error")) {
            QVERIFY(std::holds_alternative<QString>(read));
            QVERIFY2(std::get<QString>(read).startsWith(value), qPrintable(std::get<QString>(read)));
            return;
        }
        if (const auto* refused = std::get_if<QString>(&read)) {
            QFAIL(qPrintable(*refused));
        }
        const auto& given = std::get<vostrel::designer::CommandLineInputs>(read);
        const InputTexts& t = given.texts;
        const QString got = what == QLatin1String("stepUp")
            ? QString::fromLatin1(t.stepUp == StepUp::Half ? "half" : "whole")
            : what == QLatin1String("unit")       ? QString::fromLatin1(design::unitSymbol(t.unit).data())
            : what == QLatin1String("tube")       ? t.tubeInnerDiameter
            : what == QLatin1String("file")       ? given.measurementFile
            : what == QLatin1String("dielectric") ? t.dielectric
            : what == QLatin1String("model")      ? QString::fromLatin1(design::modelColumn(t.model).data())
            : what == QLatin1String("length")     ? t.elementLength
            : what == QLatin1String("nec")        ? given.antennaModel
            : what == QLatin1String("power")      ? t.power
            : what == QLatin1String("margin")     ? t.swrMargin
            : what == QLatin1String("rodSide")    ? t.rodSide
            : what == QLatin1String("capAt")      ? t.capAt
                                                  : t.frequency;
        QCOMPARE(got, value);
        QCOMPARE(given.notes, note.isEmpty() ? QStringList{} : QStringList{note});
    }

    // A length in the form's unit shows as a number beside that unit; one
    // in another unit keeps its own.
    void commandLineLengthsInTheFormsUnitLoseTheirSymbol()
    {
        QCommandLineParser parser;
        vostrel::designer::addInputOptions(parser);
        QVERIFY(parser.parse({"vostrel-designer", "--element", "25mm", "--rod", "0.5in", "--spacing", "150 mm",
            "--element-length", "10.1m"}));
        const auto read = vostrel::designer::readInputOptions(parser, InputTexts{}, QLocale::c());
        const auto& texts = std::get<vostrel::designer::CommandLineInputs>(read).texts;
        QCOMPARE(texts.unit, Unit::Millimetre); // the first length's
        QCOMPARE(texts.elementDiameter, QStringLiteral("25"));
        QCOMPARE(texts.rodDiameter, QStringLiteral("0.5in"));
        QCOMPARE(texts.spacing, QStringLiteral("150"));
        QCOMPARE(texts.elementLength, QStringLiteral("10.1m")); // metres are no unit of the form
    }

    void commandLineNumbersShowInTheLocalesNotation()
    {
        QCommandLineParser parser;
        vostrel::designer::addInputOptions(parser);
        QVERIFY(parser.parse({"vostrel-designer", "--freq", "14.2", "--element", "1.25in", "--line", "1e2"}));
        const auto read
            = vostrel::designer::readInputOptions(parser, InputTexts{}, QLocale(QLocale::German, QLocale::Germany));
        const auto& texts = std::get<vostrel::designer::CommandLineInputs>(read).texts;
        QCOMPARE(texts.frequency, QStringLiteral("14,2"));
        QCOMPARE(texts.elementDiameter, QStringLiteral("1,25")); // in the form's inches: no second "in"
        QCOMPARE(texts.unit, Unit::Inch);
        QCOMPARE(texts.lineImpedance, QStringLiteral("1e2"));
    }

    void theCopiedSummaryCarriesEveryInputAndResult()
    {
        Fixture f;
        f.type(Field::TubeInnerDiameter, "0.75");
        f.window.copyResults();
        const QString text = QGuiApplication::clipboard()->text();
        for (const char* line : {"Frequency:", "14.3 MHz", "25 - j25 ohm", "Element diameter:", "1.5 in", "0.5 in",
                 "6 in", "50 ohm", "Rod length, feed point to strap:", "38.90 in", "84.64 pF", "314.4 ohm",
                 "Step-up ratio:", "Capacitor reactance:", "Coax capacitor insertion:"}) {
            QVERIFY2(text.contains(QString::fromLatin1(line)), line);
        }
        QVERIFY(text.contains(QString::fromLatin1(design::stepUpName(StepUp::Whole))));
        QVERIFY(text.contains(QRegularExpression(
            QStringLiteral("Closed form: +line model with the feed connection's and strap's inductance\n"))));
        QCOMPARE(text, vostrel::designer::summaryText(f.window.study(), {}));
    }

    // The sweeps as CSV, one row a point; the plots as PNG and SVG.
    void exportWritesTheSweepsAndThePlots()
    {
        const QTemporaryDir dir;
        Fixture f;
        QVERIFY(f.window.exportCsv(dir.filePath("sweeps.csv")));
        QFile csv(dir.filePath("sweeps.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList rows = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
        // What the file is of, in "#" lines before the columns' names: the
        // inputs, no NEC-2, the closed form's match.
        const QStringList header = rows.filter(QRegularExpression(QStringLiteral("^# ")));
        QCOMPARE(header.size(), 4);
        QCOMPARE(rows.mid(0, 4), header);
        QCOMPARE(header[0],
            QStringLiteral("# Gamma match at 14.3 MHz: feed 25 - j25 ohm; element 1.5 in, rod 0.5 in, "
                           "centre spacing 6 in; 50 ohm line"));
        QCOMPARE(header[2], QStringLiteral("# NEC-2: not run (no element length, no antenna model)"));
        QCOMPARE(header[3],
            QStringLiteral("# Match shown: closed form, rod 38.90 in, capacitor 84.64 pF (not refined in "
                           "NEC-2)"));
        rows = rows.mid(4);
        QCOMPARE(rows.size(), 1 + 3 * 500);
        QCOMPARE(rows[0], QStringLiteral("sweep,x,x_unit,r_ohm,x_ohm,swr"));
        const design::SweepPoint& first = f.window.study().byRodLength().front();
        const QStringList strap = rows[501].split(',');
        // Shortest round trip: each number reads back as the very double computed.
        QCOMPARE(strap[0], QStringLiteral("strap"));
        QCOMPARE(strap[2], QStringLiteral("in"));
        QCOMPARE(strap[1].toDouble(), first.x / 0.0254);
        QCOMPARE(strap[5].toDouble(), first.swr);
        QVERIFY(rows[1001].startsWith("frequency,"));

        // The pictures carry the same lines under the plots, the SVG also
        // as its description.
        QVERIFY(f.window.exportPlots(dir.filePath("plots.png")));
        const QImage png(dir.filePath("plots.png"));
        QCOMPARE(png.width(), f.window.plots()->width());
        const int lines = 4 * f.window.plots()->fontMetrics().lineSpacing() + 8;
        QCOMPARE(png.height(), f.window.plots()->height() + lines);
        QVERIFY(f.window.exportPlots(dir.filePath("plots.svg")));
        QFile svg(dir.filePath("plots.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString drawn = QString::fromUtf8(svg.readAll());
        QVERIFY(drawn.contains("<svg"));
        QVERIFY(drawn.contains(QStringLiteral("<desc>Gamma match at 14.3 MHz: feed 25 - j25 ohm;")));
        QVERIFY(drawn.contains(QStringLiteral(">NEC-2: not run (no element length, no antenna model)</text>")));
        QVERIFY(!f.window.exportCsv(dir.filePath("no/such/folder/sweeps.csv")));
    }

    // While a field is bad the sweeps on screen are the last good inputs':
    // exporting them would write numbers for inputs no longer typed.
    void exportRefusesWhileAFieldIsBad()
    {
        const QTemporaryDir dir;
        Fixture f;
        InputTexts texts = f.window.inputs();
        texts.spacing = QStringLiteral("wide");
        f.window.setInputs(texts);
        const QString path = dir.filePath("sweeps.csv");
        QVERIFY(!f.window.exportCsv(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(f.window.noticeIsProblem());
        QVERIFY2(
            f.window.noticeText().startsWith(QStringLiteral("Nothing to export")), qPrintable(f.window.noticeText()));
        texts.spacing = QStringLiteral("6");
        f.window.setInputs(texts);
        QVERIFY(f.window.exportCsv(path));
        QVERIFY(f.window.noticeText().startsWith(QStringLiteral("Wrote ")));
    }

    // A wheel step over a combo box while the user scrolls the form
    // changes nothing; once the box has the focus, the wheel turns it.
    void theWheelTurnsOnlyAFocusedComboBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("length unit") << QString::fromLatin1(names::unit);
        QTest::newRow("feed line impedance") << QString::fromLatin1(names::lineImpedance);
        QTest::newRow("dielectric") << QString::fromLatin1(names::dielectric);
    }
    void theWheelTurnsOnlyAFocusedComboBox()
    {
        QFETCH(QString, name);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto* box = f.window.form()->findChild<QComboBox*>(name);
        QVERIFY(box != nullptr);
        const int index = box->currentIndex();
        const auto wheel = [box, index] {
            const QPointF centre(box->width() / 2.0, box->height() / 2.0);
            QWheelEvent event(centre, box->mapToGlobal(centre), {}, {0, index == 0 ? -120 : 120}, Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &event);
        };
        const InputTexts before = f.window.inputs();
        f.field(Field::Frequency)->setFocus();
        wheel();
        QCOMPARE(box->currentIndex(), index);
        QCOMPARE(f.window.inputs(), before);
        box->setFocus();
        QVERIFY(box->hasFocus());
        wheel();
        QVERIFY(box->currentIndex() != index);
    }

    void theFrequencyHasTheFocusAtStart()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(QApplication::focusWidget(), f.field(Field::Frequency));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
        QCOMPARE(f.window.inputs().frequency, QStringLiteral("14.30"));
    }

    // On a small screen Alt and a field's letter reaches a field below the
    // fold: it is scrolled into view, not typed into blind.
    void aMnemonicScrollsItsFieldIntoView()
    {
        Fixture f;
        f.window.resize(700, 360);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QLineEdit* tube = f.field(Field::TubeInnerDiameter);
        QTRY_VERIFY(tube->visibleRegion().isEmpty()); // below the fold to begin with
        QTest::keyClick(&f.window, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), tube);
        QTRY_VERIFY(!tube->visibleRegion().isEmpty());
    }

    // On the common laptop screens the inputs need no sideways scrolling
    // and every tab fits beside them without scrolling down.
    void commonScreensShowEverything_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1024 x 768") << QSize(1024, 768);
    }
    void commonScreensShowEverything()
    {
        QFETCH(QSize, size);
        Fixture f;
        f.window.resize(size);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const QString problem = screenFit::problem(f.window, f.field(Field::Frequency));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The Adjust tab starts from the design shown, and follows it when the
    // design changes; a reading gives the next strap and capacitor, a bad
    // one the reason there are none.
    void theAdjustTabTakesAReading()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto* adjust = f.window.adjustPanel();
        QTest::keyClick(&f.window, Qt::Key_J, Qt::AltModifier);
        QCOMPARE(f.window.pictureTabs()->currentWidget(), adjust);
        QCOMPARE(adjust->rodLength()->text(), f.window.results()->findChild<QLineEdit*>(names::rodLength)->text());
        QCOMPARE(adjust->rodLength()->text(), QStringLiteral("38.90 in"));
        QCOMPARE(adjust->capacitance()->text(), QStringLiteral("84.64"));
        QVERIFY(!adjust->useAsBuilt()->isEnabled()); // nothing read yet

        // The README's reading of that build.
        QTest::keyClicks(adjust->resistance(), QStringLiteral("38.5"));
        QTest::keyClicks(adjust->reactance(), QStringLiteral("-21.2"));
        QCOMPARE(adjust->strapMoveText(), QStringLiteral("5.206 in further from the feed point"));
        QCOMPARE(adjust->nextCapacitorText(), QStringLiteral("92.14 pF (+7.50 pF)"));
        QVERIFY(adjust->refusalText().isEmpty());
        QVERIFY(adjust->useAsBuilt()->isEnabled());

        // Through a cable: its loss is shown, the same answer comes once
        // the cable's length is typed.
        adjust->cable()->setCurrentIndex(adjust->cable()->findText(QStringLiteral("RG-213")));
        QVERIFY(adjust->cableLength()->isEnabled());
        QVERIFY(adjust->refusalText().startsWith(QStringLiteral("Cable length")));
        QTest::keyClicks(adjust->cableLength(), QStringLiteral("0"));
        QCOMPARE(adjust->strapMoveText(), QStringLiteral("5.206 in further from the feed point"));
        adjust->cable()->setCurrentIndex(0);

        adjust->resistance()->selectAll();
        QTest::keyClicks(adjust->resistance(), QStringLiteral("-5"));
        QVERIFY2(adjust->refusalText().startsWith(QStringLiteral("The reading has a negative resistance")),
            qPrintable(adjust->refusalText()));
        QVERIFY(adjust->strapMoveText().isEmpty());
        QVERIFY(!adjust->useAsBuilt()->isEnabled());

        // Another design fills the built fields afresh.
        f.chooseModel(Model::Textbook);
        QCOMPARE(adjust->rodLength()->text(), QStringLiteral("38.90 in"));
        QCOMPARE(adjust->capacitance()->text(), QStringLiteral("96.14"));
    }

    // "Use as built" takes the suggestion as the build: the next reading is
    // of it, and edits elsewhere in the form that leave the design as it is
    // keep it.
    void useAsBuiltMovesTheBuiltFields()
    {
        Fixture f;
        auto* adjust = f.window.adjustPanel();
        f.window.pictureTabs()->setCurrentWidget(adjust);
        QTest::keyClicks(adjust->resistance(), QStringLiteral("38.5"));
        QTest::keyClicks(adjust->reactance(), QStringLiteral("-21.2"));
        QTest::mouseClick(adjust->useAsBuilt(), Qt::LeftButton);
        QCOMPARE(adjust->rodLength()->text(), QStringLiteral("44.11 in"));
        QCOMPARE(adjust->capacitance()->text(), QStringLiteral("92.14"));
        QVERIFY(adjust->resistance()->text().isEmpty());
        QVERIFY(!adjust->useAsBuilt()->isEnabled());

        f.type(Field::TubeInnerDiameter, QStringLiteral("1")); // the rod and capacitor stay the same
        QCOMPARE(adjust->rodLength()->text(), QStringLiteral("44.11 in"));

        // The second reading, as the model expects of that build.
        QTest::keyClicks(adjust->resistance(), QStringLiteral("50"));
        QTest::keyClicks(adjust->reactance(), QStringLiteral("0"));
        QCOMPARE(adjust->strapMoveText(), QStringLiteral("not at all"));
    }

    // Every Alt+letter of the window (labels, buttons, tabs, menus) leads
    // to one place.
    void noMnemonicTwice()
    {
        Fixture f;
        QMap<QChar, QStringList> byKey;
        const auto add = [&byKey](const QString& text) {
            const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (at >= 0) {
                byKey[text.at(at + 1).toLower()].append(text);
            }
        };
        for (const QLabel* label : f.window.findChildren<QLabel*>()) {
            if (label->buddy() != nullptr) {
                add(label->text());
            }
        }
        for (const QAbstractButton* button : f.window.findChildren<QAbstractButton*>()) {
            add(button->text());
        }
        for (const QTabWidget* tabs : f.window.findChildren<QTabWidget*>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(tabs->tabText(i));
            }
        }
        for (const QAction* menu : f.window.menuBar()->actions()) {
            add(menu->text());
        }
        QVERIFY(byKey.size() > 15); // the form's, the sliders', the tabs' and the menus'
        for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
            QVERIFY2(it.value().size() == 1, qPrintable(it.value().join(QStringLiteral(" / "))));
        }
    }

    void theLastInputsComeBackAndTheCommandLineOverrides()
    {
        InputTexts texts{"144", "50", "0", "12", "12", "38", Unit::Millimetre, "75", StepUp::Half, "20", "air", "",
            Model::Textbook, "100", "3"};
        {
            DesignerWindow window;
            window.setInputs(texts);
            window.saveSettings();
        }
        DesignerWindow again;
        QCOMPARE(again.inputs(), texts);

        QCommandLineParser parser;
        vostrel::designer::addInputOptions(parser);
        QVERIFY(parser.parse({"vostrel-designer", "--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in",
            "--rod", "0.5in", "--spacing", "6in", "--step-up", "whole"}));
        const auto given
            = std::get<vostrel::designer::CommandLineInputs>(vostrel::designer::readInputOptions(parser, texts));
        again.setInputs(given.texts);
        QCOMPARE(given.texts.unit, Unit::Inch);
        QCOMPARE(given.texts.lineImpedance, QStringLiteral("75")); // not given: kept
        QCOMPARE_LE(std::fabs(again.study().design().line.z0 - 314.40), 0.01);

        QVERIFY(parser.parse({"vostrel-designer", "--unit", "mm", "--spacing", "2in", "antenna.s1p"}));
        const auto file
            = std::get<vostrel::designer::CommandLineInputs>(vostrel::designer::readInputOptions(parser, texts));
        QCOMPARE(file.texts.unit, Unit::Millimetre); // --unit wins over a length's own
        QCOMPARE(file.measurementFile, QStringLiteral("antenna.s1p"));
        QCOMPARE(file.texts.elementDiameter, QStringLiteral("12")); // already millimetres
        QCOMPARE(file.texts.spacing, QStringLiteral("2in"));

        // A new unit converts the lengths it does not set: the same design.
        QVERIFY(parser.parse({"vostrel-designer", "--unit", "mm"}));
        const auto mm
            = std::get<vostrel::designer::CommandLineInputs>(vostrel::designer::readInputOptions(parser, InputTexts{}));
        QCOMPARE(mm.texts.elementDiameter, QStringLiteral("38.1"));
        QCOMPARE(mm.texts.rodDiameter, QStringLiteral("12.7"));
        QCOMPARE(mm.texts.spacing, QStringLiteral("152.4"));
        again.setInputs(mm.texts);
        QCOMPARE(again.results()->rodLength()->text(), QStringLiteral("988.1 mm"));
        QVERIFY(parser.parse({"vostrel-designer", "--tube", "10mm"}));
        const auto tube
            = std::get<vostrel::designer::CommandLineInputs>(vostrel::designer::readInputOptions(parser, InputTexts{}));
        QCOMPARE(tube.texts.unit, Unit::Millimetre);
        QCOMPARE(tube.texts.spacing, QStringLiteral("152.4"));
        for (const QStringList& bad : {QStringList{"vostrel-designer", "--step-up", "third"},
                 QStringList{"vostrel-designer", "--unit", "ft"}, QStringList{"vostrel-designer", "a.s1p", "b.s1p"},
                 QStringList{"vostrel-designer", "--file", "a.s1p", "b.s1p"},
                 QStringList{"vostrel-designer", "--dielectric", "glass"}}) {
            QVERIFY(parser.parse(bad));
            QVERIFY2(std::holds_alternative<QString>(vostrel::designer::readInputOptions(parser, texts)),
                qPrintable(bad.join(' ')));
        }
        QSettings(QString::fromLatin1(vostrel::designer::settings::kOrganisation),
            QString::fromLatin1(vostrel::designer::settings::kApplication))
            .clear();
    }

    // Every field has a caption naming it for the keyboard and the screen
    // reader, no two Alt keys clash; the sliders and plots have names.
    void everyControlIsNamedForTheKeyboardAndScreenReaders()
    {
        Fixture f;
        QStringList captions;
        for (const QLabel* label : f.window.findChildren<QLabel*>()) {
            captions << label->text();
        }
        for (const QAbstractButton* button : f.window.findChildren<QAbstractButton*>()) {
            captions << button->text();
        }
        for (const QAction* menu : f.window.menuBar()->actions()) {
            captions << menu->text();
        }
        QMap<QChar, QString> keys;
        for (const QString& caption : captions) {
            const qsizetype at = caption.indexOf(QLatin1Char('&'));
            if (at >= 0 && at + 1 < caption.size()) {
                const QChar key = caption[at + 1].toLower();
                QVERIFY2(!keys.contains(key), qPrintable(caption + " and " + keys.value(key)));
                keys[key] = caption;
            }
        }
        QList<QWidget*> buddies;
        for (const QLabel* label : f.window.findChildren<QLabel*>()) {
            if (label->buddy() != nullptr) {
                buddies << label->buddy();
            }
        }
        for (const QLineEdit* edit : f.window.findChildren<QLineEdit*>()) {
            QWidget* owner
                = qobject_cast<QComboBox*>(edit->parentWidget()) ? edit->parentWidget() : const_cast<QLineEdit*>(edit);
            // NEC-2's rod and capacitor sit beside the closed form's, in
            // their rows: named for screen readers, reached by Tab.
            const bool beside = edit->objectName() == names::necRodLength || edit->objectName() == names::necCapacitance
                || edit->objectName() == names::necInsertionLength;
            QVERIFY2(buddies.contains(owner) != beside, qPrintable(edit->objectName()));
            QVERIFY2(!owner->accessibleName().isEmpty(), qPrintable(edit->objectName()));
        }
        for (const char* name : {names::strapSlider, names::capacitorSlider, names::swrByCapacitance,
                 names::swrByRodLength, names::swrByFrequency, names::smithChart, names::drawing}) {
            QVERIFY2(!f.window.findChild<QWidget*>(name)->accessibleName().isEmpty(), name);
        }
    }
};

QTEST_MAIN(DesignerWindowTest)
#include "designer_window_test.moc"
