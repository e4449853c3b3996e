// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's state without a window: which inputs make NEC-2 run
// again, whose answer is taken, what is stale and what may be exported,
// the measurement and antenna model files, and the settings kept between
// runs. Only Qt Core is linked: no widget is made.
#include "designer_session.h"
#include "designer_settings.h"
#include "nec_job_key.h"
#include "readme_dipole.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <complex>

using vostrel::design::Field;
using vostrel::design::Model;
using vostrel::design::StepUp;
using vostrel::design::Unit;
using vostrel::designer::DesignerSession;
using vostrel::designer::FullWaveResult;
using vostrel::designer::InputTexts;
using vostrel::designer::sixFigures;
using Action = DesignerSession::NecAction;
namespace nec = vostrel::nec;
namespace settings = vostrel::designer::settings;

Q_DECLARE_METATYPE(Action)

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);

InputTexts dipole()
{
    return readmeDipole();
}

// Two dipoles of the same 2 mm wire, 10.4 m and 10.2 m long.
const QByteArray kDeckA
    = "CM dipole A\nCE\nGW 1 21 0 0 -5.2 0 0 5.2 0.001\nGE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\nEN\n";
const QByteArray kDeckB
    = "CM dipole B\nCE\nGW 1 21 0 0 -5.1 0 0 5.1 0.001\nGE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\nEN\n";

// S11 of 25 - j25 ohms at 14.3 MHz (-0.2 - j0.4), and points either side.
const QByteArray kSweep = "! a 20 m element\n# Hz S RI R 50\n"
                          "14000000 -0.160572337 -0.492845787\n"
                          "14300000 -0.200000000 -0.400000000\n"
                          "14400000 -0.218719532 -0.373740656\n";

// An answer as FullWaveCheck gives one, for the job handed out.
FullWaveResult answerFor(const DesignerSession::Update& update, bool withSweep)
{
    FullWaveResult result;
    result.key = update.necJob->key;
    nec::Refined refined;
    refined.rodLength = 1.2626;
    refined.capacitancePf = 79.16;
    refined.swr = 1.01;
    result.refined = refined;
    if (withSweep) {
        result.sweep = {{14.0, {50, 5}, 1.1}, {14.2, {50, 0}, 1.01}, {14.4, {50, -5}, 1.1}};
    }
    return result;
}

} // namespace

class DesignerSessionTest : public QObject {
    Q_OBJECT

private slots:
    void sixFiguresExamples()
    {
        QCOMPARE(sixFigures(1.0000004), 1.0);
        QCOMPARE(sixFigures(0.0381), 0.0381);
        QCOMPARE(sixFigures(14.2000001), 14.2);
        QVERIFY(sixFigures(14.2001) != sixFigures(14.2)); // the sixth figure counts
    }

    // One row per input: what NEC-2's answer depends on runs it again,
    // anything else shows the answer it has.
    void aChangeRunsNecOnlyWhenTheAnswerDependsOnIt_data()
    {
        QTest::addColumn<InputTexts>("changed");
        QTest::addColumn<Action>("expected");
        auto row = [](const char* name, void (*change)(InputTexts&), Action expected) {
            InputTexts texts = dipole();
            change(texts);
            QTest::newRow(name) << texts << expected;
        };
        row(
            "nothing", [](InputTexts&) {}, Action::Reshow);
        row(
            "frequency", [](InputTexts& t) { t.frequency = QStringLiteral("14.25"); }, Action::Start);
        row(
            "element diameter", [](InputTexts& t) { t.elementDiameter = QStringLiteral("28"); }, Action::Start);
        row(
            "rod diameter", [](InputTexts& t) { t.rodDiameter = QStringLiteral("10"); }, Action::Start);
        row(
            "spacing", [](InputTexts& t) { t.spacing = QStringLiteral("140"); }, Action::Start);
        row(
            "line impedance", [](InputTexts& t) { t.lineImpedance = QStringLiteral("75"); }, Action::Start);
        row(
            "step-up", [](InputTexts& t) { t.stepUp = StepUp::Half; }, Action::Start);
        row(
            "closed form", [](InputTexts& t) { t.model = Model::Corrected; }, Action::Start);
        row(
            "element length", [](InputTexts& t) { t.elementLength = QStringLiteral("10.2 m"); }, Action::Start);
        row(
            "element length gone", [](InputTexts& t) { t.elementLength.clear(); }, Action::Hide);
        row(
            "resistance", [](InputTexts& t) { t.resistance = QStringLiteral("60"); }, Action::Reshow);
        row(
            "reactance", [](InputTexts& t) { t.reactance = QStringLiteral("-10"); }, Action::Reshow);
        row(
            "tube", [](InputTexts& t) { t.tubeInnerDiameter = QStringLiteral("16"); }, Action::Reshow);
        row(
            "dielectric", [](InputTexts& t) { t.dielectric = QStringLiteral("air"); }, Action::Reshow);
        // The same lengths in inches, as the unit selector writes them back.
        row(
            "unit",
            [](InputTexts& t) {
                t.unit = Unit::Inch;
                t.elementDiameter = QStringLiteral("0.984252");
                t.rodDiameter = QStringLiteral("0.5");
                t.spacing = QStringLiteral("5.90551");
            },
            Action::Reshow);
    }
    void aChangeRunsNecOnlyWhenTheAnswerDependsOnIt()
    {
        QFETCH(InputTexts, changed);
        QFETCH(Action, expected);
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        QVERIFY(first.errors.isEmpty());
        QCOMPARE(first.nec, Action::Start);
        QVERIFY(first.necJob.has_value());
        QVERIFY(session.fullWaveFinished(answerFor(first, false)));
        const auto next = session.update(changed, kEnglish);
        QVERIFY2(next.errors.isEmpty(), qPrintable(next.errors.value(0).message));
        QCOMPARE(next.nec, expected);
        QCOMPARE(next.necJob.has_value(), expected == Action::Start);
        // The answer shown is the inputs' own: kept only when they did not change it.
        QCOMPARE(session.fullWave().has_value(), expected == Action::Reshow);
    }

    void anotherNec2cOrTimeLimitRunsAgain()
    {
        DesignerSession session;
        QCOMPARE(session.update(dipole(), kEnglish).nec, Action::Start);
        nec::RunOptions run;
        run.program = "/opt/other/nec2c";
        session.setRunOptions(run);
        const auto other = session.update(dipole(), kEnglish);
        QCOMPARE(other.nec, Action::Start);
        QCOMPARE(other.necJob->job.run.program, run.program);
        run.timeout = std::chrono::milliseconds(5000);
        session.setRunOptions(run);
        QCOMPARE(session.update(dipole(), kEnglish).nec, Action::Start);
        QCOMPARE(session.update(dipole(), kEnglish).nec, Action::Reshow);
    }

    void theJobCarriesTheInputs()
    {
        DesignerSession session;
        const auto update = session.update(dipole(), kEnglish);
        const nec::NecJob& job = update.necJob->job;
        QCOMPARE(job.design.freqMhz, 14.2);
        QCOMPARE(job.design.geometry.elementDiameter, 0.025);
        QCOMPARE(job.design.geometry.rodDiameter, 0.0127);
        QCOMPARE(job.design.geometry.spacing, 0.150);
        QCOMPARE(std::get<nec::DipoleElement>(job.element).length, 10.1);
        QVERIFY(qAbs(update.necJob->sweepFromMhz - 14.2 * (1 - vostrel::study::MatchStudy::kFrequencySpan)) < 1e-12);
        QVERIFY(qAbs(update.necJob->sweepToMhz - 14.2 * (1 + vostrel::study::MatchStudy::kFrequencySpan)) < 1e-12);
        QCOMPARE(update.necJob->sweepPoints, DesignerSession::kNecSweepPoints);
    }

    // The form's rod side reaches NEC-2 as a direction, and another side is
    // another job; a side that does not read is away (as a fresh start).
    void theRodSideIsPartOfTheJob_data()
    {
        QTest::addColumn<QString>("side");
        QTest::addColumn<QList<double>>("direction"); // empty: away
        QTest::newRow("away") << "away" << QList<double>{};
        QTest::newRow("+x") << "+x" << QList<double>{1, 0, 0};
        QTest::newRow("+y") << "+y" << QList<double>{0, 1, 0};
        QTest::newRow("-z") << "-z" << QList<double>{0, 0, -1};
        QTest::newRow("w is no axis") << "+w" << QList<double>{};
        QTest::newRow("no sign") << "zz" << QList<double>{};
    }
    void theRodSideIsPartOfTheJob()
    {
        QFETCH(QString, side);
        QFETCH(QList<double>, direction);
        DesignerSession session;
        const auto away = session.update(dipole(), kEnglish);
        InputTexts texts = dipole();
        texts.rodSide = side;
        const auto update = session.update(texts, kEnglish);
        QCOMPARE(update.nec, direction.isEmpty() ? Action::Reshow : Action::Start);
        if (direction.isEmpty()) {
            QCOMPARE(update.necJob.has_value(), false);
            return;
        }
        const auto& rod = update.necJob->job.rodSide;
        QVERIFY(rod.has_value());
        QCOMPARE((QList<double>{(*rod)[0], (*rod)[1], (*rod)[2]}), direction);
        QVERIFY(!(update.necJob->key == away.necJob->key));
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Reshow);
    }

    // Only the answer to the job handed out last is taken.
    void anEarlierJobsAnswerIsNotTaken()
    {
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        InputTexts other = dipole();
        other.lineImpedance = QStringLiteral("75");
        const auto second = session.update(other, kEnglish);
        QCOMPARE(second.nec, Action::Start);
        QVERIFY(!session.fullWaveFinished(answerFor(first, true)));
        QVERIFY(!session.fullWave().has_value());
        QVERIFY(session.fullWavePending());
        QVERIFY(session.fullWaveFinished(answerFor(second, true)));
        QVERIFY(!session.fullWavePending());
        QVERIFY(session.frequencyPlotFromNec());
        // Taken once: the same answer again is not news.
        QVERIFY(!session.fullWaveFinished(answerFor(second, true)));
    }

    void aMatchWithoutASweepLeavesTheClosedFormsFrequencyPlot()
    {
        DesignerSession session;
        const auto update = session.update(dipole(), kEnglish);
        QVERIFY(session.fullWaveFinished(answerFor(update, false)));
        QVERIFY(session.fullWave().has_value());
        QVERIFY(!session.frequencyPlotFromNec());
    }

    // A bad field stops the run: coming back to the same inputs runs it
    // again when its answer never came, and shows it when it had.
    void aBadFieldHoldsTheRun_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::newRow("answer not yet in") << false;
        QTest::newRow("answer in") << true;
    }
    void aBadFieldHoldsTheRun()
    {
        QFETCH(bool, answered);
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        if (answered) {
            QVERIFY(session.fullWaveFinished(answerFor(first, true)));
        }
        InputTexts bad = dipole();
        bad.spacing = QStringLiteral("wide");
        const auto held = session.update(bad, kEnglish);
        QCOMPARE(held.nec, Action::Hold);
        QVERIFY(!held.necJob.has_value());
        QVERIFY(!session.fullWavePending());
        // An answer arriving after the hold is of a job nobody waits for.
        if (!answered) {
            QVERIFY(!session.fullWaveFinished(answerFor(first, true)));
        }
        const auto back = session.update(dipole(), kEnglish);
        QCOMPARE(back.nec, answered ? Action::Reshow : Action::Start);
        QCOMPARE(session.fullWave().has_value(), answered);
    }

    // What the sliders tune and export writes: the design of the inputs
    // the fields hold now.
    void aCurrentDesignOnlyForGoodInputs_data()
    {
        QTest::addColumn<InputTexts>("texts");
        QTest::addColumn<bool>("hasStudy");
        QTest::addColumn<bool>("current");
        QTest::newRow("worked example") << InputTexts{} << true << true;
        InputTexts badFrequency;
        badFrequency.frequency = QStringLiteral("x");
        QTest::newRow("bad field") << badFrequency << true << false;
        // A rod as thick as the element at 144 MHz: no rod length on it
        // reaches the line's 50 ohms.
        InputTexts noMatch;
        noMatch.frequency = QStringLiteral("144");
        noMatch.resistance = QStringLiteral("10");
        noMatch.reactance = QStringLiteral("0");
        noMatch.elementDiameter = QStringLiteral("12");
        noMatch.rodDiameter = QStringLiteral("12");
        noMatch.spacing = QStringLiteral("38");
        noMatch.unit = Unit::Millimetre;
        QTest::newRow("no match") << noMatch << true << false;
        InputTexts undrawable;
        undrawable.frequency = QStringLiteral("1e-300");
        QTest::newRow("frequency the plots cannot draw") << undrawable << true << false;
    }
    void aCurrentDesignOnlyForGoodInputs()
    {
        QFETCH(InputTexts, texts);
        QFETCH(bool, hasStudy);
        QFETCH(bool, current);
        DesignerSession session;
        QVERIFY(session.update(InputTexts{}, kEnglish).errors.isEmpty()); // a design to go stale
        const auto update = session.update(texts, kEnglish);
        QCOMPARE(session.hasStudy(), hasStudy);
        QCOMPARE(session.hasCurrentDesign(), current);
        QCOMPARE(session.isStale(), !update.errors.isEmpty());
        QCOMPARE(session.retune({1, 100}), current);
    }

    void aFreshSessionHasNothingToExport()
    {
        DesignerSession session;
        QVERIFY(!session.hasStudy());
        QVERIFY(!session.hasCurrentDesign());
        InputTexts bad;
        bad.rodDiameter.clear();
        const auto update = session.update(bad, kEnglish);
        QCOMPARE(update.errors.size(), 1);
        QCOMPARE(update.errors.front().field, Field::RodDiameter);
        QVERIFY(!session.isStale()); // nothing to be stale
        QVERIFY(!session.hasCurrentDesign());
    }

    void theMeasurementGivesRAndX_data()
    {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("error"); // empty: R and X from the file
        QTest::newRow("at a point") << "14.3"
                                    << "";
        QTest::newRow("first point") << "14"
                                     << "";
        QTest::newRow("below") << "13.99"
                               << "Frequency: 13.99 MHz is outside the measurement's 14.00 to 14.40 MHz.";
        QTest::newRow("above") << "14.41"
                               << "Frequency: 14.41 MHz is outside the measurement's 14.00 to 14.40 MHz.";
        QTest::newRow("not a number") << "x"
                                      << "Frequency: \"x\"";
    }
    void theMeasurementGivesRAndX()
    {
        QFETCH(QString, frequency);
        QFETCH(QString, error);
        DesignerSession session;
        QCOMPARE(session.openMeasurement(kSweep, QStringLiteral("element.s1p")), std::nullopt);
        QVERIFY(session.hasMeasurement());
        InputTexts texts;
        texts.frequency = frequency;
        texts.resistance = QStringLiteral("1"); // typed R and X give way to the file's
        texts.reactance = QStringLiteral("1");
        const auto update = session.update(texts, kEnglish);
        if (!error.isEmpty()) {
            QVERIFY(!update.errors.isEmpty());
            QCOMPARE(update.errors.front().field, Field::Frequency);
            QVERIFY2(update.errors.front().message.startsWith(error), qPrintable(update.errors.front().message));
            return;
        }
        QVERIFY2(update.errors.isEmpty(), qPrintable(update.errors.value(0).message));
        QVERIFY(update.measured.has_value());
        QVERIFY(update.measured->note.contains(QStringLiteral("element.s1p")));
        const std::complex<double> feed = session.study().inputs().design.feedImpedance;
        if (frequency == QStringLiteral("14.3")) {
            QCOMPARE(update.measured->resistance, QStringLiteral("25.0"));
            QCOMPARE(update.measured->reactance, QStringLiteral("-25.0"));
            QVERIFY(std::abs(feed - std::complex<double>(25, -25)) < 0.05);
        }
        QVERIFY(feed.real() > 10); // never the typed 1 ohm
    }

    void aMeasurementThatCannotBeUsedChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::newRow("bad line") << QByteArray("# Hz S RI R 50\n14000000 0.1\n") << "bad.s1p, line 2: ";
        QTest::newRow("|S| above 1") << QByteArray("# Hz S RI R 50\n14000000 1.5 0\n") << "bad.s1p";
        QTest::newRow("empty") << QByteArray() << "bad.s1p";
    }
    void aMeasurementThatCannotBeUsedChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        DesignerSession session;
        const auto refused = session.openMeasurement(bytes, QStringLiteral("bad.s1p"));
        QVERIFY(refused.has_value());
        QVERIFY2(refused->startsWith(problem), qPrintable(*refused));
        QVERIFY(!session.hasMeasurement());
        QVERIFY(session.measurementName().isEmpty());
        // A good file stays when a bad one is refused.
        QCOMPARE(session.openMeasurement(kSweep, QStringLiteral("good.s1p")), std::nullopt);
        QVERIFY(session.openMeasurement(bytes, QStringLiteral("bad.s1p")).has_value());
        QCOMPARE(session.measurementName(), QStringLiteral("good.s1p"));
        session.forgetMeasurement();
        QVERIFY(!session.hasMeasurement());
        QVERIFY(!session.update(InputTexts{}, kEnglish).measured.has_value());
    }

    // The antenna model is known by its content: the same deck again
    // keeps NEC-2's answer, another with the same wire runs again.
    void theAntennaModelByItsContent()
    {
        DesignerSession session;
        InputTexts texts = dipole();
        texts.elementLength.clear();
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Hide);
        QCOMPARE(session.openAntennaModel(kDeckA, QStringLiteral("a.nec")), std::nullopt);
        const auto first = session.update(texts, kEnglish);
        QCOMPARE(first.nec, Action::Start);
        QVERIFY(first.modelElement.has_value());
        QCOMPARE(first.modelElement->diameter, QStringLiteral("2 mm"));
        QVERIFY(first.modelElement->note.contains(QStringLiteral("a.nec (tag 1)")));
        QCOMPARE(session.study().inputs().design.geometry.elementDiameter, 0.002); // the deck's, not the typed 25 mm
        QVERIFY(std::holds_alternative<nec::UserDeck>(first.necJob->job.element));
        QVERIFY(session.fullWaveFinished(answerFor(first, false)));

        QCOMPARE(session.openAntennaModel(kDeckA, QStringLiteral("copy of a.nec")), std::nullopt);
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Reshow);
        QCOMPARE(session.openAntennaModel(kDeckB, QStringLiteral("b.nec")), std::nullopt);
        const auto other = session.update(texts, kEnglish);
        QCOMPARE(other.nec, Action::Start);
        QCOMPARE(other.modelElement->diameter, QStringLiteral("2 mm"));
        QVERIFY(!session.fullWave().has_value());

        // A model wins over an element length, and forgetting it gives the length back.
        texts.elementLength = QStringLiteral("10.1 m");
        // (deck B's job, still on its way: the length changes nothing)
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Reshow);
        QVERIFY(session.fullWavePending());
        session.forgetAntennaModel();
        QVERIFY(!session.hasAntennaModel());
        QVERIFY(session.antennaModelName().isEmpty());
        const auto straight = session.update(texts, kEnglish);
        QCOMPARE(straight.nec, Action::Start);
        QVERIFY(!straight.modelElement.has_value());
        QVERIFY(std::holds_alternative<nec::DipoleElement>(straight.necJob->job.element));
    }

    // An MMANA-GAL model is read as the deck it describes: its wire's
    // diameter, and a refusal that names the converted deck's line.
    void anMmanaModelIsAnAntennaModel()
    {
        DesignerSession session;
        InputTexts texts = dipole();
        texts.elementLength.clear();
        const QByteArray maa = "dipole\n*\n14.2\n*** Wires ***\n1\n0,-5.2,10,0,5.2,10,0.0125,21\n"
                               "*** Source ***\n1,1\nw1c,0,1\n";
        QCOMPARE(session.openAntennaModel(maa, QStringLiteral("dipole.maa")), std::nullopt);
        const auto read = session.update(texts, kEnglish);
        QCOMPARE(read.nec, Action::Start);
        QVERIFY(read.modelElement.has_value());
        QCOMPARE(read.modelElement->diameter, QStringLiteral("25 mm"));
        QCOMPARE(session.study().inputs().design.geometry.elementDiameter, 0.025);

        const auto bad
            = session.openAntennaModel(maa + "*** Load ***\n1, 1\nw9c, 0, 0.5, 0.0, 0.0\n", QStringLiteral("bad.maa"));
        QVERIFY(bad.has_value());
        QVERIFY2(
            bad->startsWith(QStringLiteral("bad.maa:")) && bad->contains(QStringLiteral("wire")), qPrintable(*bad));
        QCOMPARE(session.antennaModelName(), QStringLiteral("dipole.maa"));
    }

    void aDeckThatCannotBeUsedChangesNothing()
    {
        DesignerSession session;
        QCOMPARE(session.openAntennaModel(kDeckA, QStringLiteral("a.nec")), std::nullopt);
        const auto problem = session.openAntennaModel("GW 1 21 0 0 -5 0 0 5 0.001\nXX 1\nEN\n", "bad.nec");
        QVERIFY(problem.has_value());
        QVERIFY2(problem->startsWith(QStringLiteral("bad.nec:2:")), qPrintable(*problem));
        QCOMPARE(session.antennaModelName(), QStringLiteral("a.nec"));
        QVERIFY(session.update(dipole(), kEnglish).modelElement.has_value());
    }

    // Every input is written under its key and read back as it was, in a
    // locale with a decimal comma too.
    void settingsRoundTrip_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::newRow("English") << "en_GB";
        QTest::newRow("German") << "de_DE";
    }
    void settingsRoundTrip()
    {
        QFETCH(QString, localeName);
        const QLocale locale(localeName);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("designer.ini")), QSettings::IniFormat);
        InputTexts texts = vostrel::designer::localisedTexts(dipole(), locale);
        texts.stepUp = StepUp::Half;
        texts.model = Model::Textbook;
        texts.tubeInnerDiameter = vostrel::designer::localisedTexts(
            [] {
                InputTexts t;
                t.tubeInnerDiameter = QStringLiteral("16.5");
                return t;
            }(),
            locale)
                                      .tubeInnerDiameter;
        texts.dielectric = QStringLiteral("polyethylene");
        texts.power = QStringLiteral("1500") + locale.decimalPoint() + QStringLiteral("5");
        texts.swrMargin = QStringLiteral("2") + locale.decimalPoint() + QStringLiteral("5");
        texts.rodSide = QStringLiteral("+y");
        QVERIFY(settings::writeInputs(store, texts, locale));
        for (const auto& key : settings::kTextKeys) {
            QVERIFY2(store.contains(QStringLiteral("inputs/") + QLatin1String(key.key)), key.key);
        }
        // Kept with "." whatever the locale.
        QCOMPARE(store.value(QStringLiteral("inputs/frequency")).toString(), QStringLiteral("14.2"));
        QCOMPARE(store.value(QStringLiteral("inputs/unit")).toString(), QStringLiteral("mm"));
        QCOMPARE(store.value(QStringLiteral("inputs/power")).toString(), QStringLiteral("1500.5"));
        QCOMPARE(store.value(QStringLiteral("inputs/swrMargin")).toString(), QStringLiteral("2.5"));
        QCOMPARE(settings::readInputs(store, locale), texts);
    }

    void settingsFreshOrUnreadable()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("designer.ini")), QSettings::IniFormat);
        QCOMPARE(settings::readInputs(store, kEnglish), InputTexts{}); // the worked example
        store.setValue(QStringLiteral("inputs/frequency"), QStringLiteral("7.1"));
        store.setValue(QStringLiteral("inputs/unit"), QStringLiteral("furlong"));
        store.setValue(QStringLiteral("inputs/stepUp"), QStringLiteral("sideways"));
        store.setValue(QStringLiteral("inputs/rodSide"), QStringLiteral("up"));
        const InputTexts read = settings::readInputs(store, kEnglish);
        QCOMPARE(read.frequency, QStringLiteral("7.1"));
        QCOMPARE(read.unit, InputTexts{}.unit);
        QCOMPARE(read.stepUp, StepUp::Whole);
        QCOMPARE(read.rodSide, QStringLiteral("away"));
        QCOMPARE(read.model, Model::Corrected);
        QCOMPARE(read.resistance, InputTexts{}.resistance); // a key not written keeps the example's
        QCOMPARE(read.power, QString()); // settings from before the ratings: none
        QCOMPARE(read.swrMargin, QStringLiteral("2"));
    }

    // The NEC-2 time limit kept, within 1 s to an hour; else the default.
    void necTimeLimitKept_data()
    {
        QTest::addColumn<QVariant>("kept");
        QTest::addColumn<int>("seconds");
        QTest::newRow("none") << QVariant() << 20;
        QTest::newRow("0") << QVariant(0) << 20;
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("3600") << QVariant(3600) << 3600;
        QTest::newRow("3601") << QVariant(3601) << 20;
        QTest::newRow("words") << QVariant(QStringLiteral("long")) << 20;
    }
    void necTimeLimitKept()
    {
        QFETCH(QVariant, kept);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("designer.ini")), QSettings::IniFormat);
        if (kept.isValid()) {
            store.setValue(QLatin1String(settings::kNecTimeLimitKey), kept);
        }
        QTEST(static_cast<int>(settings::readNecTimeLimit(store).count()), "seconds");
        settings::writeNecTimeLimit(store, std::chrono::seconds(45));
        QCOMPARE(settings::readNecTimeLimit(store), std::chrono::seconds(45));
    }

    void settingsThatCannotBeWritten()
    {
        if (!QFile::exists(QStringLiteral("/proc/self"))) {
            QSKIP("needs /proc, where no file can be made, root or not");
        }
        QSettings store(QStringLiteral("/proc/designer.ini"), QSettings::IniFormat);
        QVERIFY(!settings::writeInputs(store, dipole(), kEnglish));
    }

    void windowSize()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("designer.ini")), QSettings::IniFormat);
        QCOMPARE(settings::readWindowSize(store), std::nullopt);
        settings::writeWindowSize(store, QSize(800, 600));
        QCOMPARE(settings::readWindowSize(store), QSize(800, 600));
        settings::writeWindowSize(store, QSize(0, 600));
        QCOMPARE(settings::readWindowSize(store), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(DesignerSessionTest)
#include "designer_session_test.moc"
