// SPDX-License-Identifier: GPL-3.0-or-later
// The ratings at a power in the designer: the Power and SWR margin fields
// as read, the design rated by the core, and the Ratings group's figures
// and warning.
#include "design_inputs_form.h"
#include "design_report.h"
#include "designer_session.h"
#include "designer_window.h"
#include "ratings_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>

using vostrel::design::Field;
using vostrel::designer::DesignerSession;
using vostrel::designer::DesignerWindow;
using vostrel::designer::InputTexts;
using vostrel::designer::RatingsPanel;
namespace ratings = vostrel::ratings;

Q_DECLARE_METATYPE(Field)

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);

// The 144 MHz build: Xc 86 ohms on a 50 ohm line, a 6.35 mm rod.
ratings::Input build144(double watts)
{
    ratings::Input in;
    in.freqMhz = 144;
    in.lineImpedance = 50;
    in.capacitorReactance = 86;
    in.rodLength = 0.3;
    in.rodDiameter = 6.35e-3;
    in.strapLength = 0.05;
    in.powerW = watts;
    return in;
}

void show(RatingsPanel& panel, const ratings::Input& in)
{
    panel.showRatings(in, ratings::rate(in));
}

} // namespace

class RatingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(kEnglish); }

    // I = sqrt(P / Z0), V = I Xc, peak = sqrt(2) V, the margin's current
    // sqrt(S) times the match's, the rating twice the margin's peak.
    void theGroupShowsTheHandCalculation_data()
    {
        QTest::addColumn<double>("watts");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("voltage");
        QTest::addColumn<QString>("atMargin");
        QTest::addColumn<QString>("rating");
        QTest::newRow("100 W") << 100.0 << "1.414 A rms (2.000 A at SWR 2)"
                               << "121.6 V rms, 172.0 V peak"
                               << "172.0 V rms, 243.2 V peak"
                               << "486 V peak";
        QTest::newRow("1500 W") << 1500.0 << "5.477 A rms (7.746 A at SWR 2)"
                                << "471.0 V rms, 666.2 V peak"
                                << "666.2 V rms, 942.1 V peak"
                                << "1884 V peak";
    }
    void theGroupShowsTheHandCalculation()
    {
        QFETCH(double, watts);
        QFETCH(QString, current);
        QFETCH(QString, voltage);
        QFETCH(QString, atMargin);
        QFETCH(QString, rating);
        RatingsPanel panel;
        show(panel, build144(watts));
        QVERIFY(!panel.isHidden());
        QCOMPARE(panel.lineCurrent()->text(), current);
        QCOMPARE(panel.rodCurrent()->text(), current.section(QLatin1Char(' '), 0, 2));
        QCOMPARE(panel.capacitorVoltage()->text(), voltage);
        QCOMPARE(panel.capacitorVoltageAtMargin()->text(), atMargin);
        QCOMPARE(panel.recommendedVoltage()->text(), rating);
        // An air variable's Q of 2500: I^2 Xc / Q.
        const double capacitorLoss = watts / 50 * 86 / 2500;
        QCOMPARE(panel.capacitorLoss()->text(), QString::number(capacitorLoss, 'f', 3) + QStringLiteral(" W"));
        QVERIFY(panel.title().startsWith(QStringLiteral("Ratings at %1 W, margin SWR 2").arg(watts)));
        QVERIFY(panel.warning()->isHidden()); // no tube, no gap to break down
        QVERIFY(!panel.marked());
    }

    // A 6.35 mm rod in a 10.2 mm air tube breaks down at 4.51 kV peak; a
    // third of it is 1.50 kV. The margin's peak is 86 sqrt(P / 12.5).
    void theWarningEitherSideOfItsThresholds_data()
    {
        QTest::addColumn<double>("watts");
        QTest::addColumn<QString>("words"); // in the warning; empty: none
        QTest::newRow("1500 W, 942 V: none") << 1500.0 << QString();
        QTest::newRow("3500 W, 1439 V: under a third") << 3500.0 << QString();
        QTest::newRow("4000 W, 1538 V: over a third") << 4000.0 << "above a third of the air gap's breakdown";
        QTest::newRow("30000 W, 4213 V: under breakdown") << 30000.0 << "above a third";
        QTest::newRow("40000 W, 4865 V: over breakdown") << 40000.0 << "above the air gap's breakdown of 4.51 kV";
    }
    void theWarningEitherSideOfItsThresholds()
    {
        QFETCH(double, watts);
        QFETCH(QString, words);
        ratings::Input in = build144(watts);
        in.tubeInnerDiameter = 10.2e-3;
        RatingsPanel panel;
        show(panel, in);
        QCOMPARE(!panel.warning()->isHidden(), !words.isEmpty());
        QCOMPARE(panel.marked(), !words.isEmpty());
        if (!words.isEmpty()) {
            QVERIFY2(panel.warning()->text().contains(words), qPrintable(panel.warning()->text()));
            QVERIFY(panel.warning()->text().contains(QStringLiteral("PTFE sleeve"))); // what to use instead
            QCOMPARE(panel.capacitorVoltageAtMargin()->accessibleDescription(), panel.warning()->text());
        }
        QVERIFY(panel.title().contains(QStringLiteral("air-spaced coaxial")));
        panel.clearRatings();
        QVERIFY(panel.isHidden());
        QVERIFY(!panel.marked());
    }

    // The session rates the design it made: its reactance, rod and strap.
    void theSessionRatesItsDesign_data()
    {
        QTest::addColumn<QString>("tube");
        QTest::addColumn<QString>("dielectric");
        QTest::addColumn<int>("capacitor");
        QTest::newRow("no tube: an air variable") << QString() << "ptfe" << int(ratings::Capacitor::AirVariable);
        QTest::newRow("PTFE tube") << "1"
                                   << "ptfe" << int(ratings::Capacitor::PtfeCoax);
        QTest::newRow("polyethylene tube") << "1"
                                           << "polyethylene" << int(ratings::Capacitor::PolyethyleneCoax);
    }
    void theSessionRatesItsDesign()
    {
        QFETCH(QString, tube);
        QFETCH(QString, dielectric);
        QFETCH(int, capacitor);
        InputTexts texts; // 14.3 MHz, 25 - j25 ohms, a 0.5 in rod 6 in from the element
        texts.power = QStringLiteral("1500");
        texts.swrMargin = QStringLiteral("3");
        texts.tubeInnerDiameter = tube;
        texts.dielectric = dielectric;
        DesignerSession session;
        QVERIFY(session.update(texts, kEnglish).errors.isEmpty());
        QVERIFY(session.rated().has_value());
        const DesignerSession::Rated& rated = *session.rated();
        const auto& design = session.study().design();
        QCOMPARE(rated.input.capacitorReactance, std::fabs(design.capacitorReactance));
        QCOMPARE(rated.input.rodLength, design.rodLength);
        QCOMPARE(rated.input.rodDiameter, 0.5 * 0.0254);
        QCOMPARE(rated.input.strapLength, 6 * 0.0254);
        QCOMPARE(rated.input.freqMhz, 14.3);
        QCOMPARE(int(rated.input.capacitor), capacitor);
        QCOMPARE(rated.input.tubeInnerDiameter.has_value(), !tube.isEmpty());
        const auto& r = std::get<ratings::Ratings>(rated.answer);
        const double current = std::sqrt(1500.0 / 50);
        QCOMPARE_LE(std::fabs(r.lineCurrent - current), 1e-9);
        QCOMPARE_LE(std::fabs(r.lineCurrentAtMargin - current * std::sqrt(3.0)), 1e-9);
        QCOMPARE_LE(std::fabs(r.capacitorVoltage - current * std::fabs(design.capacitorReactance)), 1e-9);

        texts.power.clear(); // no power: no ratings, as before
        QVERIFY(session.update(texts, kEnglish).errors.isEmpty());
        QVERIFY(!session.rated().has_value());
    }

    void aBadPowerOrMarginIsAFieldsError_data()
    {
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("starts");
        QTest::newRow("negative") << "-5"
                                  << "2" << Field::Power << "Power must be above 0";
        QTest::newRow("zero") << "0"
                              << "2" << Field::Power << "Power must be above 0";
        QTest::newRow("lots") << "lots"
                              << "2" << Field::Power << "Power: \"lots\"";
        QTest::newRow("margin below 1") << "100"
                                        << "0.5" << Field::SwrMargin << "SWR margin must be 1 or more";
        QTest::newRow("margin empty") << "100"
                                      << "" << Field::SwrMargin << "SWR margin is empty";
        QTest::newRow("margin a word") << "100"
                                       << "two" << Field::SwrMargin << "SWR margin: \"two\"";
    }
    void aBadPowerOrMarginIsAFieldsError()
    {
        QFETCH(QString, power);
        QFETCH(QString, margin);
        QFETCH(Field, field);
        QFETCH(QString, starts);
        InputTexts texts;
        texts.power = power;
        texts.swrMargin = margin;
        DesignerSession session;
        const auto update = session.update(texts, kEnglish);
        QCOMPARE(update.errors.size(), 1);
        QCOMPARE(update.errors.front().field, field);
        QVERIFY2(update.errors.front().message.startsWith(starts), qPrintable(update.errors.front().message));
    }

    // Copy results carries the Ratings group's figures when a power is set,
    // as rows after the results; nothing of them without a power. The
    // default inputs design Xc = 131.49 ohms; a 0.5 in rod in a 0.75 in air
    // tube holds 3 kV/mm * 6.35 mm * ln 1.5 = 7.72 kV, a third of it 2.57 kV.
    // The peak at SWR 2 is 2 sqrt(P / 50) Xc.
    void copyResultsCarriesTheRatings_data()
    {
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("tube");
        QTest::addColumn<QString>("heading"); // empty: no ratings
        QTest::addColumn<QString>("warning"); // in the warning's line; empty: none
        QTest::newRow("no power") << QString() << QString() << QString() << QString();
        QTest::newRow("100 W") << "100" << QString()
                               << "Ratings at 100 W, margin SWR 2 (air variable, aluminium rod and strap)" << QString();
        QTest::newRow("4000 W, air tube: 2.35 kV peak, under a third")
            << "4000"
            << "0.75"
            << "Ratings at 4000 W, margin SWR 2 (air-spaced coaxial, aluminium rod and strap)" << QString();
        QTest::newRow("6000 W, air tube: 2.88 kV peak, over a third")
            << "6000"
            << "0.75"
            << "Ratings at 6000 W, margin SWR 2 (air-spaced coaxial, aluminium rod and strap)"
            << "is above a third of the air gap's breakdown of 7.72 kV";
    }
    void copyResultsCarriesTheRatings()
    {
        QFETCH(QString, power);
        QFETCH(QString, tube);
        QFETCH(QString, heading);
        QFETCH(QString, warning);
        InputTexts texts;
        texts.power = power;
        texts.tubeInnerDiameter = tube;
        texts.dielectric = QStringLiteral("air");
        DesignerWindow window;
        window.setInputs(texts);
        window.copyResults();
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY(text.startsWith(vostrel::designer::summaryText(window.study(), {})));
        QCOMPARE(text.contains(QStringLiteral("\nRatings at ")), !heading.isEmpty());
        if (heading.isEmpty()) {
            return;
        }
        QVERIFY2(text.contains(QLatin1Char('\n') + heading + QLatin1Char('\n')), qPrintable(text));
        // By hand: I = sqrt(P / 50), V = I Xc, the margin's peak sqrt(2 S) times V.
        const double watts = power.toDouble();
        const double xc = std::fabs(window.study().design().capacitorReactance);
        const double current = std::sqrt(watts / 50);
        const auto row = [](const char* name, const QString& value) {
            return QStringLiteral("  ") + QString::fromLatin1(name).leftJustified(34) + value + QLatin1Char('\n');
        };
        for (const QString& line :
            {row("Line current:",
                 QStringLiteral("%1 A rms (%2 A at SWR 2)")
                     .arg(QString::number(current, 'f', 3), QString::number(current * std::sqrt(2.0), 'f', 3))),
                row("Capacitor voltage:",
                    QStringLiteral("%1 V rms, %2 V peak")
                        .arg(QString::number(current * xc, 'f', 1),
                            QString::number(current * xc * std::sqrt(2.0), 'f', 1))),
                row("Capacitor voltage at SWR 2:",
                    QStringLiteral("%1 V rms, %2 V peak")
                        .arg(QString::number(current * xc * std::sqrt(2.0), 'f', 1),
                            QString::number(current * xc * 2, 'f', 1))),
                row("Capacitor rating, at least:",
                    QStringLiteral("%1 V peak (twice the peak at SWR 2)")
                        .arg(QString::number(4 * current * xc, 'f', 0))),
                row("Capacitor loss, Q 2500 (typical):",
                    QString::number(current * current * xc / 2500, 'f', 3) + " W")}) {
            QVERIFY2(text.contains(line), qPrintable(text + QStringLiteral("\nlacks: ") + line));
        }
        QCOMPARE(text.contains(QStringLiteral("  Gap field at the rod at SWR 2:")), !tube.isEmpty());
        const qsizetype at = text.indexOf(QStringLiteral("\nWarning: "));
        QCOMPARE(at >= 0, !warning.isEmpty());
        if (!warning.isEmpty()) {
            const QString line = text.mid(at + 1).section(QLatin1Char('\n'), 0, 0);
            QVERIFY2(line.contains(warning), qPrintable(line));
            QVERIFY(line.contains(QStringLiteral("slide a PTFE sleeve into the gap"))); // what to use instead
        }
    }

    // A rating the core refuses says why in place of the figures.
    void copiedRatingsGiveTheCoresRefusal()
    {
        ratings::Input in = build144(100);
        in.tubeInnerDiameter = 5e-3; // inside the 6.35 mm rod
        const QString text = vostrel::designer::ratingsSummaryText(in, ratings::rate(in));
        QCOMPARE(text,
            QStringLiteral("\nRatings at 100 W, margin SWR 2 (air-spaced coaxial, aluminium rod and strap)\n"
                           "  The tube's inner diameter must be above the rod's.\n"));
    }

    // In the window: the group comes with a power and goes with it; a bad
    // power is marked at its field, and the group greys with the results.
    void theWindowsPowerField()
    {
        DesignerWindow window;
        window.setInputs(InputTexts{});
        QLineEdit* power = window.form()->field(Field::Power);
        QVERIFY(window.ratings()->isHidden());
        power->setText(QStringLiteral("100"));
        emit power->textEdited(power->text());
        QVERIFY(!window.ratings()->isHidden());
        QVERIFY(window.ratings()->lineCurrent()->text().startsWith(QStringLiteral("1.414 A rms")));
        power->setText(QStringLiteral("lots"));
        emit power->textEdited(power->text());
        QVERIFY(window.form()->problemOf(Field::Power).startsWith(QStringLiteral("Power: \"lots\"")));
        QVERIFY(window.ratings()->lineCurrent()->property("stale").toBool());
        power->clear();
        emit power->textEdited(power->text());
        QVERIFY(window.form()->problemOf(Field::Power).isEmpty());
        QVERIFY(window.ratings()->isHidden());
    }
};

QTEST_MAIN(RatingsTest)
#include "ratings_test.moc"
