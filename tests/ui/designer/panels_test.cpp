// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's panels on their own, for what the user reads in them: the
// results and their placeholders, the stale note, the tuning labels'
// values and percentages, and the copied summary's values.
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_names.h"
#include "notice_bar.h"
#include "results_panel.h"
#include "smith_chart_view.h"
#include "tuning_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTest>

namespace design = vostrel::design;
namespace names = vostrel::designer::names;
using vostrel::designer::ResultsPanel;
using vostrel::designer::TuningPanel;
using vostrel::study::MatchStudy;

namespace {

// The ARRL Antenna Book's 14.3 MHz example, in the textbook line model
// of its figures.
vostrel::study::Inputs book()
{
    vostrel::study::Inputs inputs;
    inputs.design.freqMhz = 14.3;
    inputs.design.feedImpedance = {25, -25};
    inputs.design.geometry = {0.0381, 0.0127, 0.1524};
    inputs.design.model = design::Model::Textbook;
    return inputs;
}

QString label(const QWidget& panel, const char* name)
{
    const auto* found = panel.findChild<QLabel*>(QString::fromLatin1(name));
    return found != nullptr ? found->text() : QStringLiteral("(no label %1)").arg(QLatin1String(name));
}

// The summary's line for `name`, value and all.
QString summaryLine(const QString& summary, const QString& name)
{
    for (const QString& line : summary.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(name + QLatin1Char(':'))) {
            return line.section(QLatin1Char(':'), 1).trimmed();
        }
    }
    return QStringLiteral("(no line %1)").arg(name);
}

} // namespace

class PanelsTest : public QObject {
    Q_OBJECT

private slots:
    void resultsShowTheDesignOrTheirPlaceholders_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("rodLength");
        QTest::addColumn<QString>("capacitance");
        QTest::addColumn<QString>("insertion");
        QTest::newRow("book, no tube") << "book"
                                       << "38.90 in"
                                       << "96.14 pF"
                                       << "no tube given";
        QTest::newRow("book, in mm") << "mm"
                                     << "988.1 mm"
                                     << "96.14 pF"
                                     << "no tube given";
        // 2 pi e0 2.1 / ln(25.4 / 12.7) = 168.55 pF/m: 96.14 pF in 0.5704 m.
        QTest::newRow("book, ptfe tube") << "tube"
                                         << "38.90 in"
                                         << "96.14 pF"
                                         << "22.46 in";
        // The default closed form: 15.73 ohms of feed connection and strap
        // more to cancel, the same rod.
        QTest::newRow("book, corrected") << "corrected"
                                         << "38.90 in"
                                         << "84.64 pF"
                                         << "no tube given";
        // Z2 = Zc: a quarter wave at 144 MHz.
        QTest::newRow("shorted, with tube") << "shorted"
                                            << "20.49 in"
                                            << "none: short the capacitor"
                                            << "—";
        QTest::newRow("no match") << "none"
                                  << ""
                                  << ""
                                  << "";
    }
    void resultsShowTheDesignOrTheirPlaceholders()
    {
        QFETCH(QString, variant);
        QFETCH(QString, rodLength);
        QFETCH(QString, capacitance);
        QFETCH(QString, insertion);
        vostrel::study::Inputs in = book();
        if (variant == QLatin1String("mm")) {
            in.unit = design::Unit::Millimetre;
        } else if (variant == QLatin1String("tube")) {
            in.tubeInnerDiameter = 0.0254;
            in.permittivity = 2.1;
        } else if (variant == QLatin1String("shorted")) {
            in.design.freqMhz = 144;
            in.design.feedImpedance = {12.5, 0};
            in.design.geometry = {0.012, 0.012, 0.038};
            in.tubeInnerDiameter = 0.02;
        } else if (variant == QLatin1String("none")) {
            in.design.feedImpedance = {5, 10};
        } else if (variant == QLatin1String("corrected")) {
            in.design.model = design::Model::Corrected;
        }
        MatchStudy study(5);
        study.setInputs(in, nullptr);
        ResultsPanel panel;
        panel.showStudy(study);
        QCOMPARE(panel.rodLength()->text(), rodLength);
        QCOMPARE(panel.capacitance()->text(), capacitance);
        QCOMPARE(panel.insertionLength()->text(), insertion);
        QCOMPARE(panel.banner()->isVisibleTo(&panel), variant == QLatin1String("none"));
        if (variant == QLatin1String("none")) {
            QVERIFY2(panel.banner()->text().startsWith(QStringLiteral("No gamma match of this geometry")),
                qPrintable(panel.banner()->text()));
            QVERIFY(panel.lineZ0()->text().isEmpty());
        } else {
            QVERIFY(panel.lineZ0()->text().endsWith(QStringLiteral(" Ω")));
        }
    }

    // The line's values as the panel shows them: Z0 and Xc to 0.1 ohm, the
    // step-up to two decimals, alpha to three, four figures at most.
    void resultsShowTheLineValues_data()
    {
        QTest::addColumn<double>("spacing");
        QTest::addColumn<QString>("z0");
        QTest::addColumn<QString>("stepUp");
        QTest::addColumn<QString>("reactance");
        QTest::newRow("book, 6 in") << 0.1524 << "314.4 Ω"
                                    << "6.36 (α 1.522)"
                                    << "115.8 Ω";
        QTest::newRow("close, 1.2 in") << 0.03048 << "84.7 Ω"
                                       << "12.98 (α 2.602)"
                                       << "173.0 Ω";
    }
    void resultsShowTheLineValues()
    {
        QFETCH(double, spacing);
        QFETCH(QString, z0);
        QFETCH(QString, stepUp);
        QFETCH(QString, reactance);
        vostrel::study::Inputs in = book();
        in.design.geometry.spacing = spacing;
        MatchStudy study(5);
        study.setInputs(in, nullptr);
        ResultsPanel panel;
        panel.showStudy(study);
        QCOMPARE(panel.lineZ0()->text(), z0);
        QCOMPARE(panel.stepUpRatio()->text(), stepUp);
        const auto* xc = panel.findChild<QLineEdit*>(QString::fromLatin1(names::capacitorReactance));
        QVERIFY(xc != nullptr);
        QCOMPARE(xc->text(), reactance);
    }

    // A design, then inputs that match nothing: no value of the old design stays.
    void aNoMatchAfterADesignClearsEveryResult()
    {
        MatchStudy study(5);
        study.setInputs(book(), nullptr);
        ResultsPanel panel;
        panel.showStudy(study);
        QVERIFY(!panel.rodLength()->text().isEmpty());
        vostrel::study::Inputs none = book();
        none.design.feedImpedance = {5, 10};
        study.setInputs(none, nullptr);
        panel.showStudy(study);
        for (const QLineEdit* edit : panel.findChildren<QLineEdit*>()) {
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName() + QLatin1Char('=') + edit->text()));
        }
        QVERIFY(panel.banner()->isVisibleTo(&panel));
    }

    void theStaleNoteShowsAndGoesWithTheMark()
    {
        MatchStudy study(5);
        study.setInputs(book(), nullptr);
        ResultsPanel panel;
        panel.showStudy(study);
        const auto* note = panel.findChild<QLabel*>(QString::fromLatin1(names::staleNote));
        QVERIFY(note != nullptr);
        QVERIFY(!note->isVisibleTo(&panel));
        panel.setStale(true);
        QVERIFY(panel.isStale());
        QVERIFY(note->isVisibleTo(&panel));
        QVERIFY(note->text().startsWith(QStringLiteral("Out of date")));
        QCOMPARE(panel.rodLength()->property("stale").toBool(), true);
        QCOMPARE(panel.rodLength()->text(), QStringLiteral("38.90 in")); // the last good results stay
        panel.setStale(false);
        QVERIFY(!note->isVisibleTo(&panel));
        QCOMPARE(panel.capacitance()->property("stale").toBool(), false);
    }

    // The ARRL example's design: 38.90 in, 96.14 pF; each step 0.25 % and 0.5 %.
    void tuningLabelsGiveTheValueAndItsPercentage_data()
    {
        QTest::addColumn<int>("strap");
        QTest::addColumn<int>("capacitor");
        QTest::addColumn<QString>("strapText");
        QTest::addColumn<QString>("capacitorText");
        QTest::newRow("on the design") << 0 << 0 << "38.90 in (0.00 %)"
                                       << "96.14 pF (0.0 %)";
        QTest::newRow("strap out, capacitor down") << 12 << -10 << "40.07 in (3.00 %)"
                                                   << "91.33 pF (-5.0 %)";
        QTest::newRow("one step each way") << -1 << 1 << "38.81 in (-0.25 %)"
                                           << "96.62 pF (0.5 %)";
        QTest::newRow("the ends") << 100 << -100 << "48.63 in (25.00 %)"
                                  << "48.07 pF (-50.0 %)";
    }
    void tuningLabelsGiveTheValueAndItsPercentage()
    {
        QFETCH(int, strap);
        QFETCH(int, capacitor);
        QFETCH(QString, strapText);
        QFETCH(QString, capacitorText);
        MatchStudy study(5);
        study.setInputs(book(), nullptr);
        TuningPanel panel;
        panel.setDesign(study.designTuning(), design::Unit::Inch);
        panel.strap()->setValue(strap);
        panel.capacitor()->setValue(capacitor);
        study.setTuning(panel.tuning());
        panel.showTuned(study.tuned());
        QCOMPARE(label(panel, names::strapValue), strapText);
        QCOMPARE(label(panel, names::capacitorValue), capacitorText);
        const QString swr = label(panel, names::tunedValues);
        QVERIFY2(swr.startsWith(QStringLiteral("SWR ")), qPrintable(swr));
        QCOMPARE(swr.section(QLatin1Char(' '), 1, 1).toDouble(), QString::number(study.tuned().swr, 'f', 2).toDouble());
    }

    void tuningWithoutADesignSaysSo()
    {
        TuningPanel panel;
        panel.setDesign({1, 100}, design::Unit::Inch);
        panel.setAvailable(false);
        QCOMPARE(label(panel, names::tunedValues), QStringLiteral("No design to tune"));
        QVERIFY(label(panel, names::strapValue).isEmpty());
        QVERIFY(!panel.strap()->isEnabled());
        panel.setDesign({1, std::numeric_limits<double>::infinity()}, design::Unit::Inch);
        panel.setAvailable(true);
        QVERIFY(panel.strap()->isEnabled());
        QVERIFY(!panel.capacitor()->isEnabled()); // a shorted capacitor has nothing to move
    }

    // The summary's values, not only its labels.
    void theSummaryCarriesTheValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("frequency") << "Frequency"
                                   << "14.3 MHz";
        QTest::newRow("feed") << "Feed impedance"
                              << "25 - j25 ohm (interpolated from a.s1p)";
        QTest::newRow("element") << "Element diameter"
                                 << "1.5 in";
        QTest::newRow("spacing") << "Centre spacing"
                                 << "6 in";
        QTest::newRow("line") << "Feed line impedance"
                              << "50 ohm";
        QTest::newRow("rod") << "Rod length, feed point to strap"
                             << "38.90 in";
        QTest::newRow("capacitor") << "Capacitor"
                                   << "96.14 pF";
        QTest::newRow("z0") << "Rod-to-element line Z0"
                            << "314.4 ohm";
        QTest::newRow("alpha") << "Current division alpha"
                               << "1.522";
        QTest::newRow("step-up") << "Step-up ratio"
                                 << "6.36";
        QTest::newRow("reactance") << "Capacitor reactance"
                                   << "115.8 ohm";
    }
    void theSummaryCarriesTheValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        MatchStudy study(5);
        study.setInputs(book(), nullptr);
        QCOMPARE(summaryLine(vostrel::designer::summaryText(study, QStringLiteral("a.s1p")), name), value);
    }

    void theSummaryInACommaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        MatchStudy study(5);
        study.setInputs(book(), nullptr);
        const QString summary = vostrel::designer::summaryText(study, {});
        QCOMPARE(summaryLine(summary, QStringLiteral("Frequency")), QStringLiteral("14,3 MHz"));
        QCOMPARE(summaryLine(summary, QStringLiteral("Capacitor")), QStringLiteral("96,14 pF"));
    }

    // NEC-2's column: each figure in its field, the checks and the verdict
    // in words. A hand-made answer, so that every digit is known.
    void theFullWaveColumnShowsNecsAnswer()
    {
        vostrel::nec::Refined r;
        r.feedImpedance = {72.25, -1.92};
        r.closedFormSwr = 1.7149;
        r.closedForm = design::Design{};
        r.closedForm->rodLength = 1.3879;
        r.closedForm->capacitancePf = 88.23;
        r.rodLength = 1.2626;
        r.capacitancePf = 79.163;
        r.swr = 1.0021;
        r.averageGain = 0.9851;
        r.halvedRodLength = 1.2626 * 1.032;
        r.rodChange = 0.032;
        r.capacitanceChange = -0.0093;
        r.runs = 14;
        r.doubtful = true;
        r.doubt = "the rod moves +3.2 % with halved segments";
        ResultsPanel panel;
        QVERIFY(!panel.fullWaveShown());
        panel.showFullWaveBusy();
        QVERIFY(panel.fullWaveShown());
        QCOMPARE(panel.necStatus()->text(), QStringLiteral("Computing in NEC-2…"));
        QVERIFY(panel.necRodLength()->property("stale").toBool());
        QVERIFY(!panel.useNecFeedButton()->isEnabled());
        panel.showFullWave(r, design::Unit::Millimetre, {72.25, -1.92});
        QCOMPARE(panel.necRodLength()->text(), QStringLiteral("1263 mm"));
        QVERIFY(!panel.necRodLength()->property("stale").toBool());
        QCOMPARE(panel.necCapacitance()->text(), QStringLiteral("79.16 pF"));
        QCOMPARE(panel.necFeedImpedance()->text(), QStringLiteral("72.25 - j1.92 Ω"));
        // No closed form shown beside: the one NEC-2 built is named.
        QCOMPARE(panel.necClosedFormSwr()->text(), QStringLiteral("1.71 (rod 1388 mm, 88.23 pF)"));
        QCOMPARE(panel.necSwr()->text(), QStringLiteral("1.002"));
        QCOMPARE(panel.necAverageGain()->text(), QStringLiteral("0.985"));
        QCOMPARE(panel.necHalvedSegments()->text(), QStringLiteral("rod +3.2 %, capacitor -0.9 %"));
        // The rod's span reaches from 5 % under NEC-2's to the closed form's
        // 1388 mm, the capacitor's from 10 % under to the closed form's
        // 88.23 pF, in whole picofarads outward.
        QCOMPARE(panel.necCapacitorAllowance()->text(), QStringLiteral("71 to 89 pF"));
        QCOMPARE(panel.necStrapAllowance()->text(), QStringLiteral("1199 to 1388 mm"));
        QCOMPARE(panel.necStatus()->text(),
            QStringLiteral("Doubtful: the rod moves +3.2 % with halved segments. 14 nec2c runs. Allow for: from the "
                           "spread between engines (±5 % rod, ±10 % capacitor) and the closed form."));
        // "Use as R, X" hands NEC-2's feed impedance on.
        QVERIFY(panel.useNecFeedButton()->isEnabled());
        QSignalSpy used(&panel, &ResultsPanel::useNecFeedImpedance);
        QTest::mouseClick(panel.useNecFeedButton(), Qt::LeftButton);
        QCOMPARE(used.size(), 1);
        QCOMPARE(used.front().front().value<std::complex<double>>(), std::complex<double>(72.25, -1.92));
        // R and X typed more than a tenth of |Z| (7.228 ohms) from NEC-2's
        // are said; within it, not.
        const QString differ = QStringLiteral("R and X differ from NEC-2's feed impedance by more than a tenth");
        panel.showFullWave(r, design::Unit::Millimetre, {72.25 + 7.3, -1.92});
        QVERIFY(panel.necStatus()->text().contains(differ));
        panel.showFullWave(r, design::Unit::Millimetre, {72.25, -1.92 + 7.1});
        QVERIFY(!panel.necStatus()->text().contains(differ));

        r.doubtful = false;
        r.closedFormSwr.reset();
        r.closedForm.reset();
        r.averageGain.reset();
        r.halvedRodLength.reset();
        r.runs = 1;
        panel.showFullWave(r, design::Unit::Inch, r.feedImpedance);
        QCOMPARE(panel.necRodLength()->text(), QStringLiteral("49.71 in"));
        QCOMPARE(panel.necClosedFormSwr()->text(), QStringLiteral("no closed-form match for NEC-2's R, X"));
        QCOMPARE(panel.necAverageGain()->text(), QStringLiteral("not run"));
        QCOMPARE(panel.necHalvedSegments()->text(), QStringLiteral("not run"));
        // No halved run and no closed form: the engines' spread alone.
        QCOMPARE(panel.necCapacitorAllowance()->text(), QStringLiteral("71 to 88 pF"));
        QCOMPARE(panel.necStrapAllowance()->text(), QStringLiteral("47.22 to 52.19 in"));
        QCOMPARE(panel.necStatus()->text(),
            QStringLiteral("Not doubtful: the model passes its checks. 1 nec2c run. Allow for: from the spread "
                           "between engines (±5 % rod, ±10 % capacitor)."));

        panel.hideFullWave();
        QVERIFY(!panel.fullWaveShown());
        QVERIFY(panel.necRodLength()->text().isEmpty());
        QVERIFY(panel.necStatus()->text().isEmpty());
    }

    void theFullWaveColumnSaysWhyThereIsNoAnswer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("status");
        using Kind = vostrel::nec::NecFailure::Kind;
        QTest::newRow("no match") << static_cast<int>(Kind::NoMatch) << "NEC-2 finds no match: why.";
        QTest::newRow("bad deck") << static_cast<int>(Kind::BadDeck) << "NEC-2 cannot model this: why.";
        QTest::newRow("bad input") << static_cast<int>(Kind::BadInput) << "NEC-2 cannot model this: why.";
        QTest::newRow("missing") << static_cast<int>(Kind::MissingProgram)
                                 << "Not checked in NEC-2: why. The closed form stands unchecked.";
        QTest::newRow("timeout") << static_cast<int>(Kind::Timeout)
                                 << "Not checked in NEC-2: why. The closed form stands unchecked.";
    }
    void theFullWaveColumnSaysWhyThereIsNoAnswer()
    {
        QFETCH(int, kind);
        QFETCH(QString, status);
        ResultsPanel panel;
        vostrel::nec::Refined before;
        before.rodLength = 1;
        before.capacitancePf = 50;
        panel.showFullWave(before, design::Unit::Millimetre);
        vostrel::nec::NecFailure failure;
        failure.kind = static_cast<vostrel::nec::NecFailure::Kind>(kind);
        failure.message = "why";
        panel.showFullWave(failure, design::Unit::Millimetre);
        QCOMPARE(panel.necStatus()->text(), status);
        QVERIFY(panel.necRodLength()->text().isEmpty()); // nothing of the last answer is left
        QVERIFY(panel.necCapacitance()->text().isEmpty());
        QVERIFY(panel.fullWaveShown());
    }

    // Near a change of the element's model the verdict names both models
    // and what the other gives, or that it gives no match; the allowance
    // covers the other's capacitor.
    void nearAChangeOfModelTheVerdictNamesBoth()
    {
        vostrel::nec::Refined r;
        r.rodLength = 0.254;
        r.capacitancePf = 82.5;
        r.runs = 27;
        r.otherModel = vostrel::nec::Refined::OtherModel{2, 0, 0.2466, 110.4};
        ResultsPanel panel;
        panel.showFullWave(r, design::Unit::Millimetre, r.feedImpedance);
        QCOMPARE(panel.necCapacitorAllowance()->text(), QStringLiteral("74 to 122 pF"));
        QCOMPARE(panel.necStatus()->text(),
            QStringLiteral("Not doubtful: the model passes its checks. 27 nec2c runs. Allow for: from the spread "
                           "between engines (±5 % rod, ±10 % capacitor) and the element modelled as one tube wire. "
                           "The element is modelled as a cage of 2 wires, near the change to one tube wire, which "
                           "gives rod 246.6 mm, 110.4 pF, allowed for: measure before you cut."));
        r.otherModel = vostrel::nec::Refined::OtherModel{0, 3, 0, 0};
        panel.showFullWave(r, design::Unit::Millimetre, r.feedImpedance);
        QCOMPARE(panel.necCapacitorAllowance()->text(), QStringLiteral("74 to 91 pF"));
        QVERIFY2(panel.necStatus()->text().endsWith(QStringLiteral(
                     "The element is modelled as one tube wire, near the change to a cage of 3 wires, which gives "
                     "no match: measure before you cut.")),
            qPrintable(panel.necStatus()->text()));
    }

    // A verdict longer than the panel is wide takes as many lines as it
    // needs: the label asks for their height (seen cut to one line at 2x).
    void aLongVerdictGetsItsLines()
    {
        vostrel::nec::Refined r;
        r.rodLength = 0.376;
        r.capacitancePf = 115;
        r.runs = 14;
        r.doubtful = true;
        r.doubt = "the average gain is 0.900, not about 1; the rod moves +5.9 % with halved segments";
        ResultsPanel panel;
        panel.setFixedWidth(260);
        panel.show();
        panel.showFullWave(r, design::Unit::Millimetre, r.feedImpedance);
        QApplication::processEvents();
        const int line = panel.necStatus()->fontMetrics().height();
        QCOMPARE_GE(panel.necStatus()->minimumHeight(), 3 * line);
        QCOMPARE_GE(panel.necStatus()->height(), 3 * line);
    }

    // Forgetting the antenna model gives back the diameter typed before
    // it, in the unit now chosen; a second model opened over the first
    // keeps the typed one, not the first model's.
    void forgettingTheModelGivesTheTypedDiameterBack_data()
    {
        QTest::addColumn<bool>("otherUnit");
        QTest::addColumn<bool>("twoModels");
        QTest::addColumn<QString>("expected");
        QTest::newRow("same unit") << false << false << "1.5";
        QTest::newRow("mm chosen while the model was open") << true << false << "38.1";
        QTest::newRow("a second model over the first") << false << true << "1.5";
    }
    void forgettingTheModelGivesTheTypedDiameterBack()
    {
        QFETCH(bool, otherUnit);
        QFETCH(bool, twoModels);
        QFETCH(QString, expected);
        vostrel::designer::DesignInputsForm form;
        form.setTexts({}); // the worked example: 1.5 in
        QLineEdit* element = form.field(design::Field::ElementDiameter);
        form.setAntennaModel(QStringLiteral("24.9936 mm"), QStringLiteral("from a.nec"));
        QCOMPARE(element->text(), QStringLiteral("24.9936 mm"));
        QVERIFY(element->isReadOnly());
        if (twoModels) {
            form.setAntennaModel(QStringLiteral("2 mm"), QStringLiteral("from b.nec"));
        }
        if (otherUnit) {
            auto* unit = form.findChild<QComboBox*>(QString::fromLatin1(names::unit));
            unit->setCurrentIndex(unit->findData(static_cast<int>(design::Unit::Millimetre)));
        }
        form.clearAntennaModel();
        QCOMPARE(element->text(), expected);
        QVERIFY(!element->isReadOnly());
    }

    // A length typed with its own unit shows no second one beside it; a
    // plain number shows the form's unit, which follows the unit chosen.
    void aLengthWithItsOwnUnitShowsNoSecond_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("beside");
        QTest::newRow("plain number") << "10.1"
                                      << "in";
        QTest::newRow("empty") << ""
                               << "in";
        QTest::newRow("metres") << "10.1m"
                                << "";
        QTest::newRow("millimetres, spaced") << "10100 mm"
                                             << "";
        QTest::newRow("feet") << "33ft"
                              << "";
        QTest::newRow("not a length") << "long"
                                      << "in";
    }
    void aLengthWithItsOwnUnitShowsNoSecond()
    {
        QFETCH(QString, typed);
        QFETCH(QString, beside);
        vostrel::designer::DesignInputsForm form;
        form.setTexts({}); // inches
        for (const design::Field which : {design::Field::ElementLength, design::Field::RodDiameter}) {
            form.field(which)->clear();
            QTest::keyClicks(form.field(which), typed);
            QCOMPARE(form.unitBeside(which), beside);
        }
        QCOMPARE(form.unitBeside(design::Field::Spacing), QStringLiteral("in")); // untouched
        auto* unit = form.findChild<QComboBox*>(QString::fromLatin1(names::unit));
        unit->setCurrentIndex(unit->findData(static_cast<int>(design::Unit::Millimetre)));
        QCOMPARE(form.unitBeside(design::Field::Spacing), QStringLiteral("mm"));
    }

    // The Smith chart's key goes on two lines where one would run past the
    // chart's sides; the chart then gives it the room.
    void theSmithKeyFoldsWhenNarrow()
    {
        vostrel::designer::SmithChartView chart;
        chart.resize(520, 400);
        QCOMPARE(chart.keyRows(), 1);
        const QRectF wideTitle = chart.titleRect();
        chart.resize(200, 400);
        QCOMPARE(chart.keyRows(), 2);
        QCOMPARE(chart.titleRect().height(), wideTitle.height());
    }

    // A problem stays until read; good news closes itself. Both show in
    // the status bar too, and closing clears it.
    void theNoticeKeepsAProblemUntilRead()
    {
        vostrel::designer::NoticeBar notice;
        QStatusBar status;
        notice.echoIn(&status);
        notice.showNotice(QStringLiteral("Cannot open a.s1p"), true);
        QVERIFY(!notice.isHidden());
        QVERIFY(notice.isProblem());
        QVERIFY(!notice.closesItself());
        QCOMPARE(status.currentMessage(), QStringLiteral("Cannot open a.s1p"));
        notice.showNotice(QStringLiteral("Wrote b.csv"), false);
        QVERIFY(!notice.isProblem());
        QVERIFY(notice.closesItself());
        QCOMPARE(notice.text(), QStringLiteral("Wrote b.csv"));
        notice.closeNotice();
        QVERIFY(notice.text().isEmpty());
        QVERIFY(status.currentMessage().isEmpty());
        QVERIFY(!notice.closesItself());
    }
};

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"
