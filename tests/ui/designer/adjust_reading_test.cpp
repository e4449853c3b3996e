// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment from a reading without a window: the panel's texts read
// into the core's step, its answer as the panel shows it, the refusals
// marked at their field, and the suggestion taken as the next build.
// Only Qt Core is linked.
#include "adjust_reading.h"
#include "coax_cable.h"
#include "line_transform.h"

#include <QTest>

#include <complex>

using vostrel::design::Unit;
using vostrel::designer::AdjustAnswer;
using vostrel::designer::AdjustField;
using vostrel::designer::AdjustReading;
using vostrel::designer::AdjustRefusal;
using vostrel::designer::AdjustTexts;
using vostrel::designer::InputTexts;
using vostrel::designer::ValidInputs;
using Complex = std::complex<double>;
namespace coax = vostrel::coax;

Q_DECLARE_METATYPE(AdjustTexts)
Q_DECLARE_METATYPE(InputTexts)

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);
const QLocale kGerman(QLocale::German, QLocale::Germany);

ValidInputs inputsOf(const InputTexts& texts, const QLocale& locale = kEnglish)
{
    const auto validation = vostrel::designer::validate(texts, locale);
    if (!validation.inputs) {
        qFatal("the inputs do not read: %s", qPrintable(validation.errors.front().message));
    }
    return *validation.inputs;
}

// A 2 m match: 12 mm element, 6 mm rod, 38 mm apart.
InputTexts twoMetres()
{
    InputTexts texts;
    texts.frequency = QStringLiteral("145");
    texts.resistance = QStringLiteral("25");
    texts.reactance = QStringLiteral("-25");
    texts.elementDiameter = QStringLiteral("12");
    texts.rodDiameter = QStringLiteral("6");
    texts.spacing = QStringLiteral("38");
    texts.unit = Unit::Millimetre;
    return texts;
}

// What the analyser at the far end of `cable` shows for `atConnector`.
QString throughCable(const char* cable, double metres, double freqMhz, Complex atConnector, bool resistance)
{
    const coax::Line line = coax::lineOf(*std::get<const coax::Cable*>(coax::findCable(cable)), metres);
    const Complex read = coax::inputImpedance(line, freqMhz, atConnector);
    return QString::number(resistance ? read.real() : read.imag(), 'f', 6);
}

// The README's build of the worked example (closed form 38.90 in, 84.64 pF)
// with `r` and `x` read.
AdjustTexts worked(const QString& r, const QString& x)
{
    return AdjustTexts{QStringLiteral("38.90 in"), QStringLiteral("84.64"), r, x, QString(), QString()};
}

} // namespace

class AdjustReadingTest : public QObject {
    Q_OBJECT
private slots:
    void prefilledFromTheDesign()
    {
        const ValidInputs inputs = inputsOf(InputTexts{});
        const auto design = vostrel::design::design(inputs.design);
        const auto& d = std::get<vostrel::design::Design>(design);
        const AdjustTexts built = AdjustReading::builtFrom(d, Unit::Inch, kEnglish);
        QCOMPARE(built.rodLength, QStringLiteral("38.90 in"));
        QCOMPARE(built.capacitance, QStringLiteral("84.64"));
        QVERIFY(built.resistance.isEmpty() && built.cable.isEmpty());

        vostrel::design::Design shorted = d;
        shorted.capacitorShorted = true;
        shorted.capacitancePf = std::numeric_limits<double>::infinity();
        QCOMPARE(AdjustReading::builtFrom(shorted, Unit::Millimetre, kEnglish).capacitance, QStringLiteral("short"));
        QCOMPARE(AdjustReading::builtFrom(d, Unit::Millimetre, kGerman).rodLength, QStringLiteral("988,1 mm"));

        // NEC-2's refined match, as the window builds it.
        const AdjustTexts nec
            = AdjustReading::builtFrom(vostrel::designer::Tuning{1.2626, 79.16}, Unit::Millimetre, kEnglish);
        QCOMPARE(nec.rodLength, QStringLiteral("1263 mm"));
        QCOMPARE(nec.capacitance, QStringLiteral("79.16"));
        const vostrel::designer::Tuning rodAlone{1.2626, std::numeric_limits<double>::infinity()};
        QCOMPARE(AdjustReading::builtFrom(rodAlone, Unit::Millimetre, kEnglish).capacitance, QStringLiteral("short"));
    }

    void answers_data()
    {
        QTest::addColumn<InputTexts>("design");
        QTest::addColumn<AdjustTexts>("texts");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("feedImpedance");
        QTest::addColumn<QString>("strapMove");
        QTest::addColumn<QString>("nextCapacitor");
        QTest::addColumn<QString>("cableLoss"); // a prefix; empty: none shown
        QTest::addColumn<bool>("warned");

        // The README's example of vostrel-design adjust, the same figures.
        QTest::newRow("good reading") << InputTexts{} << worked("38.5", "-21.2") << "en"
                                      << "37.53 - j13.76 Ω"
                                      << "5.206 in further from the feed point"
                                      << "92.14 pF (+7.50 pF)"
                                      << "" << false;
        QTest::newRow("good reading, German decimals")
            << InputTexts{}
            << AdjustTexts{QStringLiteral("38,90 in"), QStringLiteral("84,64"), QStringLiteral("38,5"),
                   QStringLiteral("-21,2"), QString(), QString()}
            << "de"
            << "37,53 - j13,76 Ω"
            << "5,206 in further from the feed point"
            << "92,14 pF (+7,50 pF)"
            << "" << false;
        // The model's own answer for the build: the element was as designed.
        QTest::newRow("reading as the model expects") << InputTexts{} << worked("50", "0") << "en"
                                                      << "24.99 - j25.00 Ω"
                                                      << "not at all"
                                                      << "84.64 pF (as it is)"
                                                      << "" << false;
        // Read at the shack through 30 m of RG-213: the cable taken out first.
        {
            const Complex atConnector(38.5, -21.2);
            AdjustTexts texts = worked(throughCable("RG-213", 30, 14.3, atConnector, true),
                throughCable("RG-213", 30, 14.3, atConnector, false));
            texts.cable = QStringLiteral("RG-213");
            texts.cableLength = QStringLiteral("30");
            QTest::newRow("through RG-213") << InputTexts{} << texts << "en"
                                            << "37.53 - j13.76 Ω"
                                            << "5.206 in further from the feed point"
                                            << "92.14 pF (+7.50 pF)"
                                            << "1.43 dB at 14.3 MHz" << false;
            texts.cableLength = QStringLiteral("98.4252 ft"); // the same 30 m
            QTest::newRow("through RG-213, in feet") << InputTexts{} << texts << "en"
                                                     << "37.53 - j13.76 Ω"
                                                     << "5.206 in further from the feed point"
                                                     << "92.14 pF (+7.50 pF)"
                                                     << "1.43 dB at 14.3 MHz" << false;
        }
        // 60 m of RG-58 at 145 MHz: 23.5 dB there and back, the reading
        // hardly says anything about the match.
        {
            const ValidInputs inputs = inputsOf(twoMetres());
            const auto designed = vostrel::design::design(inputs.design); // kept: d refers into it
            const auto& d = std::get<vostrel::design::Design>(designed);
            AdjustTexts texts = AdjustReading::builtFrom(d, Unit::Millimetre, kEnglish);
            const Complex atConnector(45, 8);
            texts.resistance = throughCable("RG-58", 60, 145, atConnector, true);
            texts.reactance = throughCable("RG-58", 60, 145, atConnector, false);
            texts.cable = QStringLiteral("RG-58");
            texts.cableLength = QStringLiteral("60 m");
            QTest::newRow("lossy cable warning") << twoMetres() << texts << "en"
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "23.5" << true;
        }
    }

    void answers()
    {
        QFETCH(InputTexts, design);
        QFETCH(AdjustTexts, texts);
        QFETCH(QString, locale);
        QFETCH(QString, feedImpedance);
        QFETCH(QString, strapMove);
        QFETCH(QString, nextCapacitor);
        QFETCH(QString, cableLoss);
        QFETCH(bool, warned);
        const QLocale& l = locale == QLatin1String("de") ? kGerman : kEnglish;
        const auto outcome = AdjustReading::adjust(inputsOf(localisedTexts(design, l), l), texts, l);
        const auto* refused = std::get_if<AdjustRefusal>(&outcome);
        QVERIFY2(refused == nullptr, refused ? qPrintable(refused->message) : "");
        const AdjustAnswer& answer = std::get<AdjustAnswer>(outcome);
        if (!feedImpedance.isEmpty()) {
            QCOMPARE(answer.feedImpedance, feedImpedance);
            QCOMPARE(answer.strapMove, strapMove);
            QCOMPARE(answer.nextCapacitor, nextCapacitor);
            QCOMPARE(answer.expectedSwr, l.decimalPoint() == QLatin1Char(',') ? "1,000" : "1.000");
        }
        QCOMPARE(answer.cableLoss.isEmpty(), cableLoss.isEmpty());
        QVERIFY2(cableLoss.isEmpty() || answer.cableLoss.startsWith(cableLoss), qPrintable(answer.cableLoss));
        QCOMPARE(!answer.warning.isEmpty(), warned);
        if (warned) {
            // The core's sentence, to follow "Warning: ".
            QVERIFY2(answer.warning.startsWith(QLatin1String("the cable loses 23.5 dB")), qPrintable(answer.warning));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<AdjustTexts>("texts");
        QTest::addColumn<int>("field"); // -1: the reading as a whole
        QTest::addColumn<QString>("says");

        const auto field = [](AdjustField f) { return int(f); };
        QTest::newRow("bad field: R") << worked("abc", "-21.2") << field(AdjustField::Resistance) << "Reading R";
        QTest::newRow("bad field: empty X") << worked("38.5", "") << field(AdjustField::Reactance) << "Reading X";
        // A dot is never guessed to be the German decimal comma.
        AdjustTexts texts{QStringLiteral("38,90 in"), QStringLiteral("84,64"), QStringLiteral("38.5"),
            QStringLiteral("-21,2"), QString(), QString()};
        QTest::newRow("bad field: dot in German") << texts << field(AdjustField::Resistance) << "38,5";
        texts = worked("38.5", "-21.2");
        texts.rodLength = QStringLiteral("38.9 yd");
        QTest::newRow("bad field: rod's unit") << texts << field(AdjustField::RodLength) << "yd";
        texts = worked("38.5", "-21.2");
        texts.rodLength = QStringLiteral("0");
        QTest::newRow("bad field: no rod") << texts << field(AdjustField::RodLength) << "";
        texts = worked("38.5", "-21.2");
        texts.capacitance = QStringLiteral("lots");
        QTest::newRow("bad field: capacitor") << texts << field(AdjustField::Capacitance) << "short";
        texts = worked("38.5", "-21.2");
        texts.cable = QStringLiteral("RG-213");
        texts.cableLength = QStringLiteral("-3");
        QTest::newRow("bad field: cable length") << texts << field(AdjustField::CableLength) << "0 m or more";
        texts.cableLength.clear();
        QTest::newRow("bad field: no cable length") << texts << field(AdjustField::CableLength) << "Cable length";
        QTest::newRow("negative resistance")
            << worked("-5", "10") << -1 << "negative resistance (-5.00 ohms) at the connector: calibrate";
        QTest::newRow("a short") << worked("0.1", "0") << -1 << "";
    }

    void refusals()
    {
        QFETCH(AdjustTexts, texts);
        QFETCH(int, field);
        QFETCH(QString, says);
        const bool german = QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("German"));
        const QLocale& l = german ? kGerman : kEnglish;
        const auto outcome = AdjustReading::adjust(inputsOf(localisedTexts(InputTexts{}, l), l), texts, l);
        QVERIFY(std::holds_alternative<AdjustRefusal>(outcome));
        const AdjustRefusal& refusal = std::get<AdjustRefusal>(outcome);
        QCOMPARE(refusal.field.has_value(), field >= 0);
        if (refusal.field) {
            QCOMPARE(int(*refusal.field), field);
        }
        QVERIFY(!refusal.message.isEmpty() && refusal.message.front().isUpper());
        QVERIFY2(refusal.message.contains(says, Qt::CaseInsensitive), qPrintable(refusal.message));
    }

    // The suggestion becomes the build the next reading is of: that build
    // read as the model expects it needs nothing more.
    void useAsBuilt()
    {
        const ValidInputs inputs = inputsOf(InputTexts{});
        const auto first = AdjustReading::adjust(inputs, worked("38.5", "-21.2"), kEnglish);
        const AdjustAnswer& answer = std::get<AdjustAnswer>(first);
        AdjustTexts next = worked("38.5", "-21.2");
        next.cable = QStringLiteral("RG-213");
        next.cableLength = QStringLiteral("30");
        next = AdjustReading::usedAsBuilt(next, answer, Unit::Inch, kEnglish);
        QCOMPARE(next.rodLength, QStringLiteral("44.11 in"));
        QCOMPARE(next.capacitance, QStringLiteral("92.14"));
        QVERIFY(next.resistance.isEmpty() && next.reactance.isEmpty()); // of the build before
        QCOMPARE(next.cable, QStringLiteral("RG-213")); // the same cable still
        QCOMPARE(next.cableLength, QStringLiteral("30"));

        next.cable.clear();
        next.resistance = QStringLiteral("50");
        next.reactance = QStringLiteral("0");
        const auto second = AdjustReading::adjust(inputs, next, kEnglish);
        const AdjustAnswer& again = std::get<AdjustAnswer>(second);
        QCOMPARE(again.strapMove, QStringLiteral("not at all"));
        QCOMPARE(again.expectedSwr, QStringLiteral("1.000"));
        // The element the first reading showed, to the rounding of the build.
        QVERIFY2(std::abs(again.step.feedImpedance - Complex(37.53, -13.76)) < 0.05, qPrintable(again.feedImpedance));

        // A suggestion to short the capacitor is taken as "short".
        AdjustAnswer shorted = answer;
        shorted.step.next.capacitancePf = std::numeric_limits<double>::infinity();
        QCOMPARE(AdjustReading::usedAsBuilt(next, shorted, Unit::Inch, kEnglish).capacitance, QStringLiteral("short"));
    }
};

QTEST_GUILESS_MAIN(AdjustReadingTest)
#include "adjust_reading_test.moc"
