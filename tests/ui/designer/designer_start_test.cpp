// SPDX-License-Identifier: GPL-3.0-or-later
// What a start and a design file bring into the window: the command line
// whole for what it names, the last session for the rest and a notice
// saying so, the antenna model only as it was, and a design file that
// opens as it was saved here and in vostrel-design.
#include "command_line.h"
#include "design_document.h"
#include "design_inputs_form.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "designer_window.h"
#include "results_panel.h"
#include "tuning_panel.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using vostrel::design::Field;
using vostrel::design::Model;
using vostrel::design::StepUp;
using vostrel::design::Unit;
using vostrel::designer::DesignerWindow;
using vostrel::designer::InputTexts;
namespace designer = vostrel::designer;
namespace settings = vostrel::designer::settings;
namespace names = vostrel::designer::names;

Q_DECLARE_METATYPE(InputTexts)

namespace {

// The 2 m Yagi of the window's tests, with a line of 75 ohms and an
// element length for NEC-2: a last session unlike a fresh start.
InputTexts lastSession()
{
    return InputTexts{"144", "50", "0", "12", "12", "38", Unit::Millimetre, "75", StepUp::Half, "", "air", "1000",
        Model::Textbook, "", "2"};
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The last session: a window that had `texts` (and the model at `model`).
void endSession(const InputTexts& texts, const QString& model = {})
{
    DesignerWindow window;
    window.setInputs(texts);
    if (!model.isEmpty()) {
        QVERIFY(!window.openAntennaModel(model).has_value());
    }
    window.saveSettings();
}

// A start with `args`, as main() makes it.
std::variant<QStringList, designer::StartRefusal> start(DesignerWindow& window, const QStringList& args)
{
    QCommandLineParser parser;
    designer::addInputOptions(parser);
    if (!parser.parse(QStringList{"vostrel-designer"} + args)) {
        return designer::StartRefusal{parser.errorText()};
    }
    return designer::startWindow(window, parser, settings::readAntennaModel(settings::userSettings()), QLocale::c());
}

const QStringList kDipole
    = {"--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};

// The first number in a result field: "38.90 in" -> 38.9.
double numberIn(const QLineEdit* field)
{
    return field->text().section(QLatin1Char(' '), 0, 0).toDouble();
}

// The value after `label` in vostrel-design's report: "Capacitor   84.64 pF"
// -> "84.64 pF".
QString reported(const QString& report, const QString& label)
{
    for (const QString& line : report.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(label)) {
            return line.mid(line.indexOf(label) + label.size()).trimmed().section(QLatin1Char(' '), 0, 1);
        }
    }
    return {};
}

// vostrel-design with `args`: its standard output, and its status.
std::pair<QString, int> designTool(const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral(VOSTREL_DESIGN_TOOL), args);
    if (!tool.waitForFinished(20000)) {
        return {QStringLiteral("did not finish"), -1};
    }
    return {QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError()), tool.exitCode()};
}

} // namespace

class DesignerStartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // A model opened runs "NEC-2" at once: a fake that fails fast, the
        // checks here are of what is opened, not of NEC-2's answer.
        qputenv("VOSTREL_NEC2C", VOSTREL_NEC_FAKES "/failing");
    }
    void init() { settings::userSettings().clear(); }

    // Each start after the same last session (lastSession()): what is
    // shown, and what the notice says came from where.
    void aRestartTakesTheCommandLineWhole_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("elementLength");
        QTest::addColumn<QStringList>("noticeSays");
        QTest::addColumn<QStringList>("noticeDoesNotSay");
        QTest::newRow("no options: the last session whole")
            << QStringList{} << "144"
            << "75"
            << "1000"
            << QStringList{"From the last session: ", "Feed line impedance 75", "Element length 1000", "Unit mm",
                   "Half step-up", "Textbook line model"}
            << QStringList{"not on the command line", "Not used"};
        // The case: the README's dipole without --line designed for
        // the 75 ohms of the session before, and said nothing.
        QTest::newRow("the dipole without --line")
            << kDipole << "14.3"
            << "75"
            << ""
            << QStringList{"not on the command line: ", "Feed line impedance 75", "Half step-up",
                   "Not used, as the command line names another antenna", "element length 1000 mm"}
            << QStringList{"Frequency", "Centre spacing", "Unit"};
        QTest::newRow("the dipole with every choice")
            << kDipole + QStringList{"--line", "50", "--step-up", "whole", "--dielectric", "ptfe"} << "14.3"
            << "50"
            << "" << QStringList{"Textbook line model", "element length 1000 mm"}
            << QStringList{"Feed line impedance", "step-up", "Dielectric"};
        QTest::newRow("the dipole and its element length")
            << kDipole + QStringList{"--element-length", "10.2m"} << "14.3"
            << "75"
            << "10.2m" << QStringList{"Feed line impedance 75"} << QStringList{"Not used", "Element length"};
        // Only the line named: the same antenna, its element length kept.
        QTest::newRow("only --line") << QStringList{"--line", "50"} << "144"
                                     << "50"
                                     << "1000"
                                     << QStringList{"not on the command line: Frequency 144", "Element length 1000"}
                                     << QStringList{"Feed line impedance", "Not used"};
        QTest::newRow("only --freq: another antenna")
            << QStringList{"--freq", "145"} << "145"
            << "75"
            << "" << QStringList{"element length 1000 mm"} << QStringList{"Frequency"};
    }
    void aRestartTakesTheCommandLineWhole()
    {
        QFETCH(QStringList, args);
        endSession(lastSession());
        DesignerWindow window;
        const auto started = start(window, args);
        QVERIFY(std::holds_alternative<QStringList>(started));
        const InputTexts shown = window.inputs();
        QTEST(shown.frequency, "frequency");
        QTEST(shown.lineImpedance, "line");
        QTEST(shown.elementLength, "elementLength");
        const QString notice = window.noticeText();
        QFETCH(QStringList, noticeSays);
        for (const QString& part : noticeSays) {
            QVERIFY2(notice.contains(part), qPrintable(part + " not in: " + notice));
        }
        QFETCH(QStringList, noticeDoesNotSay);
        for (const QString& part : noticeDoesNotSay) {
            QVERIFY2(!notice.contains(part), qPrintable(part + " in: " + notice));
        }
        QVERIFY(!window.noticeIsProblem());
        QVERIFY(!window.noticeClosesItself()); // waits to be read
    }

    // A fresh start, and a start naming everything the last session had:
    // nothing came from elsewhere, no notice.
    void aStartOwingNothingToTheLastSessionSaysNothing()
    {
        {
            DesignerWindow window;
            QVERIFY(std::holds_alternative<QStringList>(start(window, {})));
            QCOMPARE(window.noticeText(), QString());
            QCOMPARE(window.inputs(), designer::localisedTexts(InputTexts{}, QLocale()));
        }
        endSession(lastSession());
        DesignerWindow window;
        QVERIFY(std::holds_alternative<QStringList>(start(window, kDipole)));
        QVERIFY(!window.noticeText().isEmpty());
        settings::userSettings().clear();
        DesignerWindow again;
        QVERIFY(std::holds_alternative<QStringList>(start(again, kDipole)));
        QCOMPARE(again.noticeText(), QString());
        QCOMPARE_LE(std::fabs(numberIn(again.results()->rodLength()) - 38.90), 0.01);
        // A refused option changes nothing.
        const InputTexts before = again.inputs();
        QVERIFY(std::holds_alternative<designer::StartRefusal>(start(again, {"--freq", "abc"})));
        QCOMPARE(again.inputs(), before);
    }

    // The model open at the end of the last session, at the next start:
    // opened when it is the same file, else forgotten with the element
    // length, the notice saying which.
    void theAntennaModelComesBackOnlyAsItWas_data()
    {
        QTest::addColumn<QString>("change"); // to the deck between the sessions
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("noticeSays");
        QTest::newRow("the same deck") << "" << QStringList{} << true << "From the last session: ";
        QTest::newRow("the same deck, the line given")
            << "" << QStringList{"--line", "75"} << true << "not on the command line: ";
        QTest::newRow("a byte changed") << "edit" << QStringList{} << false << "has changed since";
        QTest::newRow("gone") << "remove" << QStringList{} << false << "cannot be read now";
        QTest::newRow("no longer a deck") << "garble" << QStringList{} << false << "has changed since";
        QTest::newRow("another antenna named") << "" << kDipole << false << "antenna model";
    }
    void theAntennaModelComesBackOnlyAsItWas()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("beam.nec"));
        QVERIFY(QFile::copy(QStringLiteral(VOSTREL_BEAM_DECK), deck));
        QFile::setPermissions(deck, QFile::ReadOwner | QFile::WriteOwner);
        InputTexts texts = lastSession();
        texts.elementDiameter = QStringLiteral("30"); // typed before the deck gave 25 mm
        endSession(texts, deck);
        QCOMPARE(settings::readInputs(settings::userSettings(), QLocale::c()).elementDiameter, QStringLiteral("30"));
        const auto remembered = settings::readAntennaModel(settings::userSettings());
        QVERIFY(remembered.has_value());
        QCOMPARE(remembered->path, QFileInfo(deck).absoluteFilePath());
        if (change == QLatin1String("edit")) {
            QByteArray bytes = readFile(deck);
            bytes.replace("2.5125", "2.5126");
            QVERIFY(!writeFile(deck, bytes).isEmpty());
        } else if (change == QLatin1String("remove")) {
            QVERIFY(QFile::remove(deck));
        } else if (change == QLatin1String("garble")) {
            QVERIFY(!writeFile(deck, "not a deck\n").isEmpty());
        }
        DesignerWindow window;
        QVERIFY(std::holds_alternative<QStringList>(start(window, args)));
        QFETCH(bool, opened);
        QCOMPARE(window.hasAntennaModel(), opened);
        QFETCH(QString, noticeSays);
        QVERIFY2(window.noticeText().contains(noticeSays), qPrintable(window.noticeText()));
        QLineEdit* diameter = window.form()->field(Field::ElementDiameter);
        if (opened) {
            QVERIFY2(window.noticeText().contains(QStringLiteral("antenna model ") + QDir::toNativeSeparators(deck)),
                qPrintable(window.noticeText()));
            QCOMPARE(diameter->text(), QStringLiteral("25 mm"));
            QVERIFY(diameter->isReadOnly());
        } else {
            QVERIFY(!diameter->isReadOnly());
            QCOMPARE(window.inputs().elementLength, QString()); // the model's length went with it
            QCOMPARE(settings::readAntennaModel(settings::userSettings()).has_value(), false);
            if (args.isEmpty()) {
                QVERIFY(window.noticeIsProblem());
                QCOMPARE(diameter->text(), QStringLiteral("30"));
            }
        }
    }

    // Window -> file -> another window and vostrel-design: the same inputs,
    // the same sliders, the same design figures; the file's numbers in "."
    // whatever the window's locale.
    void aDesignFileTravels_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<InputTexts>("texts");
        QTest::addColumn<int>("strapSteps");
        QTest::addColumn<int>("capacitorSteps");
        QTest::newRow("the ARRL example, tuned") << "C" << InputTexts{} << 12 << -10;
        QTest::newRow("the 2 m Yagi, half, textbook, rated")
            << "C"
            << InputTexts{"144", "50", "0", "12", "12", "38", Unit::Millimetre, "75", StepUp::Half, "20", "air", "",
                   Model::Textbook, "100", "3"}
            << 0 << 0;
        QTest::newRow("in German, a length in its own unit")
            << "de_DE"
            << InputTexts{"14,3", "25", "-25", "38,1", "12,7", "6 in", Unit::Millimetre, "50", StepUp::Whole, "",
                   "ptfe", "", Model::Corrected, "", "2", "-z", "rod-end"}
            << -3 << 40;
    }
    void aDesignFileTravels()
    {
        QFETCH(QString, locale);
        QFETCH(InputTexts, texts);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("design.vostrel"));
        DesignerWindow window;
        window.setInputs(texts);
        QVERIFY(window.session().hasCurrentDesign());
        QFETCH(int, strapSteps);
        QFETCH(int, capacitorSteps);
        window.tuning()->findChild<QSlider*>(names::strapSlider)->setValue(strapSteps);
        window.tuning()->findChild<QSlider*>(names::capacitorSlider)->setValue(capacitorSteps);
        QVERIFY(window.saveDesign(path));
        QVERIFY2(window.noticeText().startsWith(QStringLiteral("Wrote ")), qPrintable(window.noticeText()));
        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith("vostrel design 1\n"));
        QVERIFY2(bytes.contains("frequency = 14") && !bytes.contains(','), bytes.constData());
        QVERIFY(bytes.contains("rod-side = " + texts.rodSide.toUtf8() + "\n"));
        QVERIFY(bytes.contains("cap-at = " + texts.capAt.toUtf8() + "\n"));

        DesignerWindow again;
        QVERIFY(!again.openDesign(path).has_value());
        QCOMPARE(again.inputs(), window.inputs());
        QCOMPARE(again.tuning()->findChild<QSlider*>(names::strapSlider)->value(), strapSteps);
        QCOMPARE(again.tuning()->findChild<QSlider*>(names::capacitorSlider)->value(), capacitorSteps);
        QCOMPARE(again.study().tuned().swr, window.study().tuned().swr);

        const auto [design, status] = designTool({"design", "--design", path});
        QCOMPARE(status, 0);
        // The report writes "." where the window writes its locale's.
        const auto shown
            = [](const QLineEdit* field) { return field->text().replace(QLatin1Char(','), QLatin1Char('.')); };
        QCOMPARE(
            reported(design, QStringLiteral("Rod length, feed point to strap")), shown(window.results()->rodLength()));
        QCOMPARE(reported(design, QStringLiteral("Capacitor")), shown(window.results()->capacitance()));
        // analyze takes the built strap and capacitor: the sliders' SWR.
        const auto [built, builtStatus] = designTool({"analyze", "--design", path});
        QCOMPARE(builtStatus, 0);
        QCOMPARE_LE(std::fabs(reported(built, QStringLiteral("SWR")).toDouble() - window.study().tuned().swr), 0.001);
    }

    // A file the window cannot read changes nothing and says which line.
    void aBadDesignFileIsRefusedWithItsLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("an unknown key") << QByteArray("vostrel design 1\nfrequency = 7.1\nfreq = 7.1\n")
                                        << "design.vostrel:3: unknown key \"freq\"";
        QTest::newRow("a later version") << QByteArray("vostrel design 2\nfrequency = 7.1\n")
                                         << "design.vostrel:1: a design file of version 2";
        QTest::newRow("a deck") << QByteArray("GW 1 21 0 -5 0 0 5 0 0.0125\n") << "design.vostrel:1: not a design file";
        QTest::newRow("a number in German")
            << QByteArray("vostrel design 1\nfrequency = 7,1\n") << "design.vostrel:2: frequency: \"7,1\"";
        QTest::newRow("over 64 KiB") << (QByteArray("vostrel design 1\n") + QByteArray(64 * 1024, '#'))
                                     << "design.vostrel: larger than 64 KiB";
    }
    void aBadDesignFileIsRefusedWithItsLine()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath(QStringLiteral("design.vostrel")), bytes);
        DesignerWindow window;
        window.setInputs(lastSession());
        const auto problem = window.openDesign(path);
        QVERIFY(problem.has_value());
        QFETCH(QString, says);
        QVERIFY2(problem->startsWith(says), qPrintable(*problem));
        QCOMPARE(window.noticeText(), *problem);
        QVERIFY(window.noticeIsProblem());
        QCOMPARE(window.inputs(), lastSession());
        QCOMPARE(designTool({"design", "--design", path}).second, 2);
    }

    // The model a design names opens with it while it is the same file;
    // changed, the design opens without it (and without an element
    // length), and says so.
    void aDesignFileNamesItsModelByContent()
    {
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("beam.nec"));
        QVERIFY(QFile::copy(QStringLiteral(VOSTREL_BEAM_DECK), deck));
        QFile::setPermissions(deck, QFile::ReadOwner | QFile::WriteOwner);
        const QString path = dir.filePath(QStringLiteral("beam.vostrel"));
        const InputTexts texts{"28.5", "10.46", "8.8", "30", "12.7", "100", Unit::Millimetre, "50", StepUp::Half, "",
            "ptfe", "", Model::Corrected, "", "2"};
        {
            DesignerWindow window;
            window.setInputs(texts);
            QVERIFY(!window.openAntennaModel(deck).has_value());
            QVERIFY(window.saveDesign(path));
        }
        const QByteArray bytes = readFile(path);
        QVERIFY2(bytes.contains("element-diameter = 30 mm\n"), bytes.constData()); // typed, not the deck's 25
        QVERIFY(bytes.contains("antenna-model = " + QFileInfo(deck).absoluteFilePath().toUtf8() + "\n"));
        QVERIFY(bytes.contains("antenna-model-sha256 = "));
        {
            DesignerWindow window;
            QVERIFY(!window.openDesign(path).has_value());
            QVERIFY(window.hasAntennaModel());
            QCOMPARE(window.form()->field(Field::ElementDiameter)->text(), QStringLiteral("25 mm"));
        }
        QByteArray changed = readFile(deck);
        changed.replace("2.5125", "2.5000");
        QVERIFY(!writeFile(deck, changed).isEmpty());
        DesignerWindow window;
        QVERIFY(!window.openDesign(path).has_value()); // the inputs open
        QVERIFY(!window.hasAntennaModel());
        QVERIFY2(window.noticeText().contains(QStringLiteral("The design's antenna model")),
            qPrintable(window.noticeText()));
        QVERIFY(window.noticeIsProblem());
        QCOMPARE(window.form()->field(Field::ElementDiameter)->text(), QStringLiteral("30"));
        const auto [refused, status] = designTool({"design", "--design", path});
        QCOMPARE(status, 2);
        QVERIFY2(refused.contains(QStringLiteral("is not the one the design was made with")), qPrintable(refused));
    }
};

QTEST_MAIN(DesignerStartTest)
#include "designer_start_test.moc"
