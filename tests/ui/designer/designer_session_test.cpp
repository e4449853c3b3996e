// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's state without a window: which inputs make NEC-2 run
// again, whose answer is taken, what is stale and what may be exported,
// the measurement and antenna model files, and the settings kept between
// runs. Only Qt Core is linked: no widget is made.
#include "coax_capacitor.h"
#include "designer_session.h"
#include "designer_settings.h"
#include "nec_job_key.h"
#include "physics.h"
#include "readme_dipole.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <complex>

using vostrel::design::Field;
using vostrel::design::Model;
using vostrel::design::StepUp;
using vostrel::design::Unit;
using vostrel::designer::DesignerSession;
using vostrel::designer::FullWaveCheck;
using vostrel::designer::FullWaveJob;
using vostrel::designer::FullWaveResult;
using vostrel::designer::InputTexts;
using vostrel::designer::sixFigures;
using Action = DesignerSession::NecAction;
namespace design = vostrel::design;
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

// NEC-2's refined match with the search's runs about it: Re Zin through
// 50 ohms at 1.2626 m, Im Zin there what 79.16 pF cancels at 14.2 MHz.
constexpr double kNecRod = 1.2626;
constexpr double kNecPf = 79.16;

double reactanceOf(double pf)
{
    return 1e12 / (vostrel::physics::kTwoPi * 14.2e6 * pf);
}

std::vector<nec::RodSample> necSamples()
{
    const double x = reactanceOf(kNecPf);
    // 8 ohms of R and 10 of X a decimetre, through (kNecRod, 50 + jx).
    auto at = [x](double length) {
        const double d = (length - kNecRod) / 0.1;
        return nec::RodSample{length, {50 + 8 * d, x + 10 * d}};
    };
    return {at(0.9), at(1.2), at(1.26), at(1.27), at(1.6)};
}

FullWaveResult matchedAnswer(const DesignerSession::Update& update)
{
    FullWaveResult result = answerFor(update, true);
    auto& refined = std::get<nec::Refined>(result.refined);
    refined.samples = necSamples();
    refined.zin = {50, 0};
    return result;
}

// The readme's beam element as a lone tube, with k = 1/2: the line model
// finds no match.
InputTexts beamHalf()
{
    InputTexts texts = readmeDipole();
    texts.frequency = QStringLiteral("28.5");
    texts.resistance = QStringLiteral("10.46");
    texts.reactance = QStringLiteral("8.8");
    texts.spacing = QStringLiteral("100");
    texts.stepUp = StepUp::Half;
    texts.elementLength = QStringLiteral("5 m");
    return texts;
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
        QTest::addColumn<bool>("closedFormOnly"); // the job redoes the closed form alone
        auto row = [](const char* name, void (*change)(InputTexts&), Action expected, bool closedFormOnly = false) {
            InputTexts texts = dipole();
            change(texts);
            QTest::newRow(name) << texts << expected << closedFormOnly;
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
            "step-up", [](InputTexts& t) { t.stepUp = StepUp::Half; }, Action::Start, true);
        row(
            "closed form", [](InputTexts& t) { t.model = Model::Corrected; }, Action::Start, true);
        row(
            "step-up and frequency",
            [](InputTexts& t) {
                t.stepUp = StepUp::Half;
                t.frequency = QStringLiteral("14.25");
            },
            Action::Start);
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
            "step-up in inches",
            [](InputTexts& t) {
                t.unit = Unit::Inch;
                t.elementDiameter = QStringLiteral("0.984252");
                t.rodDiameter = QStringLiteral("0.5");
                t.spacing = QStringLiteral("5.90551");
                t.stepUp = StepUp::Half;
            },
            Action::Start, true);
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
        QFETCH(bool, closedFormOnly);
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        QVERIFY(first.errors.isEmpty());
        QCOMPARE(first.nec, Action::Start);
        QVERIFY(first.necJob.has_value());
        QVERIFY(!first.necJob->before);
        QVERIFY(session.fullWaveFinished(answerFor(first, true)));
        const auto next = session.update(changed, kEnglish);
        QVERIFY2(next.errors.isEmpty(), qPrintable(next.errors.value(0).message));
        QCOMPARE(next.nec, expected);
        QCOMPARE(next.necJob.has_value(), expected == Action::Start);
        if (next.necJob) {
            // A redo carries the answer it redoes: the refined match and its sweep.
            QCOMPARE(bool(next.necJob->before), closedFormOnly);
            if (closedFormOnly) {
                QCOMPARE(std::get<nec::Refined>(next.necJob->before->refined).rodLength, 1.2626);
                QCOMPARE(next.necJob->before->sweep.size(), std::size_t(3));
                QCOMPARE(next.necJob->job.design.stepUp, changed.stepUp);
                QCOMPARE(next.necJob->job.design.model, changed.model);
                // The job that ran, to the last bit: its samples hold the
                // closed form's rod only for the very same geometry.
                QCOMPARE(next.necJob->job.design.geometry.elementDiameter,
                    first.necJob->job.design.geometry.elementDiameter);
                QCOMPARE(next.necJob->job.design.geometry.spacing, first.necJob->job.design.geometry.spacing);
            }
        }
        // The answer shown is the inputs' own: kept only when they did not change it.
        QCOMPARE(session.fullWave().has_value(), expected == Action::Reshow);
    }

    // Only a match found is redone for another convention: with no answer
    // yet, or NEC-2's failure, the whole refinement runs again.
    void theClosedFormAloneOnlyForAMatchFound()
    {
        InputTexts half = dipole();
        half.stepUp = StepUp::Half;
        {
            DesignerSession session;
            QCOMPARE(session.update(dipole(), kEnglish).nec, Action::Start);
            const auto next = session.update(half, kEnglish); // the first still on its way
            QCOMPARE(next.nec, Action::Start);
            QVERIFY(!next.necJob->before);
        }
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        FullWaveResult failed;
        failed.key = first.necJob->key;
        failed.refined = nec::NecFailure{nec::NecFailure::Kind::NoMatch, "no match", {}};
        QVERIFY(session.fullWaveFinished(failed));
        const auto next = session.update(half, kEnglish);
        QCOMPARE(next.nec, Action::Start);
        QVERIFY(!next.necJob->before);
    }

    // The redo itself, with a nec2c that fails: where the closed form needs
    // a run, NEC-2's failure and no sweep of a match not shown; where the
    // search sampled the closed form's rod, no run: the match and its sweep
    // kept, the closed form the job's own.
    void aRedoKeepsTheMatchAndItsSweep()
    {
        const std::string failing = std::string(VOSTREL_NEC_FAKES) + "/failing";
        DesignerSession session;
        const auto first = session.update(dipole(), kEnglish);
        FullWaveResult answer = matchedAnswer(first);
        std::get<nec::Refined>(answer.refined).feedImpedance = {72.25, 1.92};
        QVERIFY(session.fullWaveFinished(answer));
        InputTexts half = dipole();
        half.stepUp = StepUp::Half;
        auto toHalf = session.update(half, kEnglish);
        QVERIFY(toHalf.necJob && toHalf.necJob->before);
        FullWaveJob redo = *toHalf.necJob;
        redo.job.run.program = failing;
        const FullWaveResult failed = FullWaveCheck::check(redo, nullptr);
        QVERIFY(std::holds_alternative<nec::NecFailure>(failed.refined));
        QVERIFY(failed.sweep.empty());

        // The half's answer, its samples holding the whole closed form's rod.
        design::DesignInput whole = toHalf.necJob->job.design;
        whole.stepUp = StepUp::Whole;
        whole.feedImpedance = {72.25, 1.92};
        const double wholeRod = std::get<design::Design>(design::design(whole)).rodLength;
        FullWaveResult halfAnswer = matchedAnswer(toHalf);
        auto& refined = std::get<nec::Refined>(halfAnswer.refined);
        refined.feedImpedance = whole.feedImpedance;
        refined.samples.push_back({wholeRod, {55, 130}});
        std::sort(refined.samples.begin(), refined.samples.end(),
            [](const nec::RodSample& a, const nec::RodSample& b) { return a.length < b.length; });
        QVERIFY(session.fullWaveFinished(halfAnswer));
        auto toWhole = session.update(dipole(), kEnglish);
        QVERIFY(toWhole.necJob && toWhole.necJob->before);
        toWhole.necJob->job.run.program = failing;
        const FullWaveResult redone = FullWaveCheck::check(*toWhole.necJob, nullptr);
        const auto* match = std::get_if<nec::Refined>(&redone.refined);
        QVERIFY(match != nullptr);
        QCOMPARE(match->rodLength, kNecRod);
        QVERIFY(match->closedForm.has_value());
        QCOMPARE(match->closedForm->rodLength, wholeRod);
        QVERIFY(match->closedFormSwr.has_value());
        QCOMPARE(match->closedFormZin.real(), 55.0);
        QCOMPARE(redone.sweep.size(), std::size_t(3));
        QVERIFY(redone.key == toWhole.necJob->key);
    }

    // The plot's 41 points from 11 of nec2c's (each a whole solution), in
    // two runs at once: a recording nec2c keeps the decks it ran.
    void theSweepTakesElevenFrequenciesFromNec2c()
    {
        QTemporaryDir decks;
        QVERIFY(decks.isValid());
        qputenv("VOSTREL_FAKE_DECKS", decks.path().toLocal8Bit());
        DesignerSession session;
        auto update = session.update(dipole(), kEnglish);
        QVERIFY(update.necJob);
        FullWaveJob job = *update.necJob;
        job.job.checks = false;
        job.job.run.program = std::string(VOSTREL_NEC_FAKES) + "/recording";
        const FullWaveResult answer = FullWaveCheck::check(job, nullptr);
        qunsetenv("VOSTREL_FAKE_DECKS");
        QVERIFY(std::holds_alternative<nec::Refined>(answer.refined));
        QCOMPARE(answer.sweep.size(), std::size_t(DesignerSession::kNecSweepPoints));
        QStringList sweepCards;
        for (const QString& name : QDir(decks.path()).entryList(QDir::Files)) {
            QFile deck(decks.filePath(name));
            QVERIFY(deck.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(deck.readAll());
            const QRegularExpressionMatch fr = QRegularExpression("\\nFR 0 (\\d+) ").match(text);
            QVERIFY(fr.hasMatch());
            if (fr.captured(1) != "1") {
                sweepCards << fr.captured(1);
            }
        }
        sweepCards.sort();
        QCOMPARE(sweepCards, QStringList({"5", "6"}));
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

    // The form's capacitor place reaches NEC-2, and the other place is
    // another job; a place that does not read is the feed point. The rod in
    // its tube takes the tube typed (its diameter and sleeve are then part
    // of the job); without a tube it is the rod's end.
    void theCapacitorPlaceIsPartOfTheJob_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("tube");
        QTest::addColumn<int>("expected"); // a CapacitorAt; -1: the feed's job shown again
        using vostrel::nec::CapacitorAt;
        QTest::newRow("feed") << "feed"
                              << "" << -1;
        QTest::newRow("feed, a tube typed") << "feed"
                                            << "30" << -1;
        QTest::newRow("rod-end") << "rod-end"
                                 << "" << int(CapacitorAt::RodEnd);
        QTest::newRow("rod-end, a tube typed") << "rod-end"
                                               << "30" << int(CapacitorAt::RodEnd);
        QTest::newRow("tube") << "tube"
                              << "30" << int(CapacitorAt::Tube);
        QTest::newRow("tube, none typed") << "tube"
                                          << "" << int(CapacitorAt::RodEnd);
        QTest::newRow("strap is no place") << "strap"
                                           << "" << -1;
    }
    void theCapacitorPlaceIsPartOfTheJob()
    {
        QFETCH(QString, place);
        QFETCH(QString, tube);
        QFETCH(int, expected);
        DesignerSession session;
        const auto feed = session.update(dipole(), kEnglish);
        QCOMPARE(feed.necJob->job.capacitorAt, vostrel::nec::CapacitorAt::Feed);
        InputTexts texts = dipole();
        texts.capAt = place;
        texts.tubeInnerDiameter = tube;
        const auto update = session.update(texts, kEnglish);
        QCOMPARE(update.nec, expected < 0 ? Action::Reshow : Action::Start);
        if (expected < 0) {
            QCOMPARE(update.necJob.has_value(), false);
            return;
        }
        const auto at = static_cast<vostrel::nec::CapacitorAt>(expected);
        const auto& job = update.necJob->job;
        QCOMPARE(job.capacitorAt, at);
        QVERIFY(!(update.necJob->key == feed.necJob->key));
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Reshow);
        InputTexts otherSleeve = texts;
        otherSleeve.dielectric = otherSleeve.dielectric == QLatin1String("air") ? "ptfe" : "air";
        if (at != vostrel::nec::CapacitorAt::Tube) {
            // The tube's size and sleeve are not the model's, but for the
            // rod in its tube, which a tube typed now puts there.
            QCOMPARE(job.tube.innerDiameter, 0.0);
            QCOMPARE(session.update(otherSleeve, kEnglish).nec, Action::Reshow);
            texts.tubeInnerDiameter = "40";
            const auto typed = session.update(texts, kEnglish);
            const bool nowInTube = place == QLatin1String("tube");
            QCOMPARE(typed.nec, nowInTube ? Action::Start : Action::Reshow);
            if (nowInTube) {
                QCOMPARE(typed.necJob->job.capacitorAt, vostrel::nec::CapacitorAt::Tube);
                QCOMPARE(typed.necJob->job.tube.innerDiameter, 0.040);
            }
            return;
        }
        QCOMPARE(job.tube.innerDiameter, 0.030);
        QVERIFY(job.tube.permittivity >= 1);
        const double sleeve = job.tube.permittivity;
        const auto resleeved = session.update(otherSleeve, kEnglish);
        QCOMPARE(resleeved.nec, Action::Start);
        QVERIFY(resleeved.necJob->job.tube.permittivity != sleeve);
        texts.tubeInnerDiameter = "40";
        const auto wider = session.update(texts, kEnglish);
        QCOMPARE(wider.nec, Action::Start);
        QCOMPARE(wider.necJob->job.tube.innerDiameter, 0.040);
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

    // Which match is the one to build: NEC-2's refined one once it has
    // come with its runs, else the closed form's; nothing when neither
    // matches or a field is bad.
    void theMatchToBuild_data()
    {
        QTest::addColumn<InputTexts>("texts");
        QTest::addColumn<int>("answer"); // 0 none, 1 NEC-2's match, 2 a match without its runs, 3 no match
        QTest::addColumn<bool>("built");
        QTest::addColumn<bool>("fromNec");
        QTest::newRow("closed_form_no_answer_yet") << dipole() << 0 << true << false;
        QTest::newRow("nec_refined") << dipole() << 1 << true << true;
        QTest::newRow("nec_match_without_runs") << dipole() << 2 << true << false;
        QTest::newRow("nec_no_match") << dipole() << 3 << true << false;
        QTest::newRow("only_nec_matches") << beamHalf() << 1 << true << true;
        QTest::newRow("neither_matches") << beamHalf() << 3 << false << false;
    }

    void theMatchToBuild()
    {
        QFETCH(InputTexts, texts);
        QFETCH(int, answer);
        QFETCH(bool, built);
        QFETCH(bool, fromNec);
        DesignerSession session;
        const auto update = session.update(texts, kEnglish);
        QCOMPARE(update.nec, Action::Start);
        if (answer == 1) {
            QVERIFY(session.fullWaveFinished(matchedAnswer(update)));
        } else if (answer == 2) {
            QVERIFY(session.fullWaveFinished(answerFor(update, true)));
        } else if (answer == 3) {
            FullWaveResult none = answerFor(update, false);
            none.refined = nec::NecFailure{nec::NecFailure::Kind::NoMatch, "no match", {}};
            QVERIFY(session.fullWaveFinished(none));
        }
        QCOMPARE(session.hasBuilt(), built);
        if (!built) {
            QVERIFY(!session.built().has_value());
            return;
        }
        const auto& match = *session.built();
        QCOMPARE(match.fromNec(), fromNec);
        const vostrel::study::Tuning expected
            = fromNec ? vostrel::study::Tuning{kNecRod, kNecPf} : session.study().designTuning();
        QCOMPARE(match.design.rodLength, expected.rodLength);
        QCOMPARE(match.design.capacitancePf, expected.capacitancePf);
        QCOMPARE(match.tuning.rodLength, expected.rodLength);
        QVERIFY(!match.byCapacitance.empty());
        QVERIFY(!match.byRodLength.empty());
        if (fromNec) {
            QCOMPARE(match.swrAtDesign, 1.01); // the confirming run's
            QCOMPARE(match.byFrequency.size(), std::size_t{3}); // NEC-2's sweep, the plotted curve
        }
        // A bad field: nothing to build until it is put right.
        texts.frequency = QStringLiteral("x");
        session.update(texts, kEnglish);
        QVERIFY(!session.hasBuilt());
        QVERIFY(!session.retune(expected));
    }

    // The sliders about NEC-2's match: Zin from its runs, interpolated in
    // the rod's length, and the capacitor's reactance; the closed form
    // stays at its design. The ratings and the tube follow NEC-2's match.
    void theSlidersTuneNecsMatchFromItsRuns()
    {
        DesignerSession session;
        InputTexts texts = dipole();
        texts.tubeInnerDiameter = QStringLiteral("20");
        texts.power = QStringLiteral("100");
        const auto update = session.update(texts, kEnglish);
        QVERIFY(session.fullWaveFinished(matchedAnswer(update)));
        const auto closedForm = session.study().designTuning();
        const double rod = kNecRod * 1.01; // four strap steps
        const double pf = kNecPf * 0.98; // four capacitor steps down
        QVERIFY(session.retune({rod, pf}));
        const auto& match = *session.built();
        QVERIFY(match.fromNec());
        QCOMPARE(match.tuning.rodLength, rod);
        const double d = (rod - kNecRod) / 0.1;
        const std::complex<double> zin(50 + 8 * d, reactanceOf(kNecPf) + 10 * d - reactanceOf(pf));
        QCOMPARE_LE(std::abs(match.zinTuned - zin), 1e-9);
        QCOMPARE_LE(std::fabs(match.swrTuned - vostrel::physics::swr(zin, 50)), 1e-9);
        QCOMPARE_GT(match.swrTuned, 1.02); // off the match
        QCOMPARE(session.study().tuning().rodLength, closedForm.rodLength);
        // The plots' sweeps pass through the tuned point.
        const auto nearest = std::min_element(match.byCapacitance.begin(), match.byCapacitance.end(),
            [pf](const auto& a, const auto& b) { return std::fabs(a.x - pf) < std::fabs(b.x - pf); });
        QCOMPARE_LE(std::fabs(nearest->x - pf), 0.5);
        QCOMPARE_LE(std::fabs(nearest->swr - match.swrTuned), 0.05);
        // The tube's insertion and the ratings are of NEC-2's capacitor and
        // rod; the insertion as an open coaxial line, a little shorter than
        // the per-metre figure.
        const auto line
            = vostrel::coax::openLineCapacitor(vostrel::coax::tubeLine(14.2, reactanceOf(kNecPf), 0.020, 0.0127, 2.1));
        const auto perMetre = vostrel::design::insertionLength(kNecPf, 0.020, 0.0127, 2.1);
        QVERIFY(match.insertionLength.has_value());
        QCOMPARE_LE(std::fabs(*match.insertionLength - std::get<vostrel::coax::OpenLineCapacitor>(line).length), 1e-12);
        QCOMPARE_LT(*match.insertionLength, std::get<double>(perMetre) * 0.997);
        QVERIFY(session.study().insertionLength().has_value());
        QVERIFY(*session.study().insertionLength() != *match.insertionLength);
        QVERIFY(session.rated().has_value());
        QCOMPARE(session.rated()->input.rodLength, kNecRod);
        QCOMPARE_LE(std::fabs(session.rated()->input.capacitorReactance - reactanceOf(kNecPf)), 1e-9);
        // A new job: the closed form's again until its answer comes.
        texts.spacing = QStringLiteral("140");
        QCOMPARE(session.update(texts, kEnglish).nec, Action::Start);
        QVERIFY(!session.built()->fromNec());
        QCOMPARE(session.rated()->input.rodLength, session.study().design().rodLength);
    }

    // What each export says it is of, and the CSV's rows: the plotted curves.
    void exportsSayWhatTheyAre_data()
    {
        QTest::addColumn<bool>("nec");
        QTest::addColumn<bool>("tuned");
        QTest::addColumn<QString>("necLine");
        QTest::addColumn<QString>("matchLine");
        QTest::newRow("closed_form")
            << false << false << "NEC-2: a straight element 10100 mm tip to tip, in free space"
            << "Match shown: closed form, rod 1388 mm, capacitor 88.23 pF (not refined in NEC-2)";
        QTest::newRow("nec_refined") << true << false << "NEC-2: a straight element 10100 mm tip to tip, in free space"
                                     << "Match shown: NEC-2 refined, rod 1263 mm, capacitor 79.16 pF (closed form: rod "
                                        "1388 mm, capacitor 88.23 pF)";
        QTest::newRow("nec_tuned") << true << true << "NEC-2: a straight element 10100 mm tip to tip, in free space"
                                   << "Match shown: NEC-2 refined, rod 1263 mm, capacitor 79.16 pF (closed form: rod "
                                      "1388 mm, capacitor 88.23 pF)";
    }

    void exportsSayWhatTheyAre()
    {
        QFETCH(bool, nec);
        QFETCH(bool, tuned);
        QFETCH(QString, necLine);
        QFETCH(QString, matchLine);
        DesignerSession session;
        const auto update = session.update(dipole(), kEnglish);
        if (nec) {
            QVERIFY(session.fullWaveFinished(matchedAnswer(update)));
        }
        if (tuned) {
            QVERIFY(session.retune({kNecRod * 1.01, kNecPf}));
        }
        const auto& match = *session.built();
        const QStringList caption
            = vostrel::designer::exportCaption(session.study(), match, session.exportSource(), QLocale::c());
        QCOMPARE(caption.value(0),
            QStringLiteral("Gamma match at 14.2 MHz: feed 72.25 + j1.92 ohm; element 25 mm, rod 12.7 mm, centre "
                           "spacing 150 mm; 50 ohm line"));
        QCOMPARE(caption.value(1),
            QStringLiteral("Step-up: whole feed impedance stepped up (k = 1); closed form: "
                           "textbook line model"));
        QCOMPARE(caption.value(2), necLine);
        QCOMPARE(caption.value(3), matchLine);
        QCOMPARE(caption.size(), tuned ? 5 : 4);
        if (tuned) {
            QCOMPARE(caption.value(4), QStringLiteral("Tuned to rod 1275 mm, capacitor 79.16 pF"));
        }
        QBuffer csv;
        csv.open(QIODevice::WriteOnly);
        QVERIFY(vostrel::designer::writeSweepsCsv(session.study(), match, caption, csv));
        const QStringList rows = QString::fromUtf8(csv.data()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (int i = 0; i < caption.size(); ++i) {
            QCOMPARE(rows.value(i), QStringLiteral("# ") + caption[i]);
        }
        QCOMPARE(rows.value(static_cast<int>(caption.size())), QStringLiteral("sweep,x,x_unit,r_ohm,x_ohm,swr"));
        const QStringList frequency = rows.filter(QRegularExpression(QStringLiteral("^frequency,")));
        QCOMPARE(frequency.size(), static_cast<qsizetype>(match.byFrequency.size()));
        QCOMPARE(frequency.size(), nec ? 3 : static_cast<qsizetype>(session.study().byFrequency().size()));
        if (nec) {
            QCOMPARE(frequency.front(), QStringLiteral("frequency,14,MHz,50,5,1.1"));
        }
        QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("^capacitance,"))).size(),
            static_cast<qsizetype>(match.byCapacitance.size()));
    }

    // An antenna model, a measurement, a tube, and no NEC-2 at all.
    void theCaptionNamesTheFiles()
    {
        DesignerSession session;
        QVERIFY(!session.openAntennaModel(kDeckA, QStringLiteral("a.nec")));
        InputTexts texts = dipole();
        texts.elementLength.clear();
        texts.tubeInnerDiameter = QStringLiteral("20");
        session.update(texts, kEnglish);
        QStringList caption
            = vostrel::designer::exportCaption(session.study(), *session.built(), session.exportSource(), QLocale::c());
        QCOMPARE(caption.value(2), QStringLiteral("NEC-2: the antenna model a.nec"));
        QVERIFY2(caption.value(1).endsWith(QStringLiteral("; coax capacitor: tube 20 mm, permittivity 2.1")),
            qPrintable(caption.value(1)));
        session.forgetAntennaModel();
        QVERIFY(!session.openMeasurement(kSweep, QStringLiteral("m.s1p")));
        texts.frequency = QStringLiteral("14.3");
        session.update(texts, kEnglish);
        caption
            = vostrel::designer::exportCaption(session.study(), *session.built(), session.exportSource(), QLocale::c());
        QVERIFY2(caption.value(0).contains(QStringLiteral("(interpolated from m.s1p)")), qPrintable(caption.value(0)));
        QCOMPARE(caption.value(2), QStringLiteral("NEC-2: not run (no element length, no antenna model)"));
    }

    // NEC-2's sentences in the window's notation (its status line).
    void necSentencesInTheLocalesNotation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        const QLocale german(QLocale::German, QLocale::Germany);
        const QString shortest = QStringLiteral(
            "NEC's Re Zin is above the line impedance even with the shortest rod (111.1 ohms at 0.267 m)");
        QTest::newRow("german") << shortest << german
                                << "NEC's Re Zin is above the line impedance even with the shortest rod (111,1 Ω at "
                                   "0,267 m)";
        QTest::newRow("english") << shortest << kEnglish
                                 << "NEC's Re Zin is above the line impedance even with the shortest rod (111.1 Ω at "
                                    "0.267 m)";
        QTest::newRow("one_ohm_german") << "Re Zin reaches at most 1 ohm" << german << "Re Zin reaches at most 1 Ω";
        QTest::newRow("a_full_stop_ends_a_sentence")
            << "the rod moves +4.0 %. Space it 2. mm" << german << "the rod moves +4,0 %. Space it 2. mm";
        QTest::newRow("ohms_not_after_a_number") << "the ohms of the line" << german << "the ohms of the line";
    }

    void necSentencesInTheLocalesNotation()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(QString, shown);
        QCOMPARE(vostrel::designer::localisedSentence(text.toStdString(), locale), shown);
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
        texts.capAt = QStringLiteral("rod-end");
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
        store.setValue(QStringLiteral("inputs/capAt"), QStringLiteral("strap"));
        const InputTexts read = settings::readInputs(store, kEnglish);
        QCOMPARE(read.frequency, QStringLiteral("7.1"));
        QCOMPARE(read.unit, InputTexts{}.unit);
        QCOMPARE(read.stepUp, StepUp::Whole);
        QCOMPARE(read.rodSide, QStringLiteral("away"));
        QCOMPARE(read.capAt, QStringLiteral("feed"));
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
