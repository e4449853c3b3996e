// SPDX-License-Identifier: GPL-3.0-or-later
// The designer under real conditions: a big jump in a value, a small
// screen (this binary also runs at QT_SCALE_FACTOR=2), exports to what is
// not a regular file, measurement files of every kind, settings that change
// while the window runs, and what the plots must say.
#include "design_inputs_form.h"
#include "designer_names.h"
#include "designer_settings.h"
#include "designer_window.h"
#include "export_file.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"
#include "tuning_panel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cmath>

using vostrel::design::Field;
using vostrel::designer::DesignerWindow;
using vostrel::designer::ExportFormat;
using vostrel::designer::InputTexts;
using vostrel::designer::SweepChart;
using Plot = vostrel::designer::DesignerWindow::Plot;
namespace names = vostrel::designer::names;
namespace design = vostrel::design;

namespace {

QSettings userSettings()
{
    return QSettings(QString::fromLatin1(vostrel::designer::settings::kOrganisation),
        QString::fromLatin1(vostrel::designer::settings::kApplication));
}

void type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& text)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        return {};
    }
    return path;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The most ticks an axis has been asked to draw since watching began: a
// dynamic interval over a range, whenever either changes.
struct TickWatch {
    explicit TickWatch(const std::vector<QValueAxis*>& axes)
    {
        for (QValueAxis* axis : axes) {
            auto look = [this, axis] {
                if (axis->tickType() == QValueAxis::TicksDynamic && axis->tickInterval() > 0) {
                    most = std::max(most, (axis->max() - axis->min()) / axis->tickInterval());
                } else {
                    most = std::max(most, static_cast<double>(axis->tickCount()));
                }
                // The longest label the format writes, at the axis' ends.
                for (double value : {axis->min(), axis->max()}) {
                    const QString label = QString::asprintf(axis->labelFormat().toLatin1().constData(), value);
                    if (label.size() > longestLabel) {
                        longestLabel = label.size();
                        longest = axis->labelFormat() + QLatin1Char(' ') + label;
                    }
                }
            };
            QObject::connect(axis, &QValueAxis::rangeChanged, axis, look);
            QObject::connect(axis, &QValueAxis::tickIntervalChanged, axis, look);
            QObject::connect(axis, &QValueAxis::tickTypeChanged, axis, look);
            QObject::connect(axis, &QValueAxis::labelFormatChanged, axis, look);
        }
    }
    double most = 0;
    qsizetype longestLabel = 0;
    QString longest;
};

// Whether the user can get `widget` on the screen: its tab chosen, every
// scroll area around it scrolled to it, at least 20 x 10 of its pixels (or
// all of it, if smaller) lie inside the screen's available area and inside
// each scroll area's view.
bool reachable(DesignerWindow& window, QWidget* widget)
{
    for (QWidget* up = widget; up != nullptr; up = up->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(up->parentWidget() ? up->parentWidget()->parentWidget() : nullptr)) {
            const int index = tabs->indexOf(up);
            if (index >= 0) {
                tabs->setCurrentIndex(index);
            }
        }
    }
    QApplication::processEvents();
    for (int pass = 0; pass < 2; ++pass) { // again once the layout has settled
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (auto* scroll = qobject_cast<QScrollArea*>(up)) {
                // Scrolled to the widget's top left, as a user would.
                // (ensureWidgetVisible() goes by a chart view's input
                // method rectangle, not by the view.)
                const QPoint at = widget->mapTo(scroll->widget(), QPoint(0, 0));
                scroll->horizontalScrollBar()->setValue(at.x());
                scroll->verticalScrollBar()->setValue(at.y());
            }
        }
        QApplication::processEvents();
    }
    const QSize wanted(std::min(widget->width(), 20), std::min(widget->height(), 10));
    QRect visible(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    visible &= window.screen()->availableGeometry();
    for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(up)) {
            visible &= QRect(scroll->viewport()->mapToGlobal(QPoint(0, 0)), scroll->viewport()->size());
        }
    }
    visible &= QRect(window.mapToGlobal(QPoint(0, 0)), window.size());
    return widget->isVisible() && visible.width() >= wanted.width() && visible.height() >= wanted.height();
}

// Whether `text` is shown where the user looks: a visible label inside the
// screen, or the status bar if that is on the screen.
bool shownOnScreen(DesignerWindow& window, const QString& text)
{
    const QRect screen = window.screen()->availableGeometry();
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && label->text().contains(text)
            && screen.contains(QRect(label->mapToGlobal(QPoint(0, 0)), label->size()))) {
            return true;
        }
    }
    const QStatusBar* bar = window.statusBar();
    return bar->currentMessage().contains(text) && screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size()));
}

} // namespace

class DesignerConditionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { userSettings().clear(); }

    // A value typed over a very different one: each axis is asked for a
    // handful of ticks with short labels at every step, never one per old
    // interval across the new range (which took 20 s and 500 MB).
    void aBigChangeRedrawsWithBoundedWork_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("1296 to 1.83 MHz") << int(Field::Frequency) << "1296"
                                          << "1.83";
        QTest::newRow("1.83 to 1296 MHz") << int(Field::Frequency) << "1.83"
                                          << "1296";
        QTest::newRow("14.3 to 0.01 MHz") << int(Field::Frequency) << "14.3"
                                          << "0.01";
        QTest::newRow("line 50 to 1e-30 ohms") << int(Field::LineImpedance) << "50"
                                               << "1e-30";
        QTest::newRow("line 50 to 1e30 ohms") << int(Field::LineImpedance) << "50"
                                              << "1e30";
    }
    void aBigChangeRedrawsWithBoundedWork()
    {
        QFETCH(int, field);
        QFETCH(QString, from);
        QFETCH(QString, to);
        InputTexts texts;
        texts.resistance = QStringLiteral("30");
        texts.reactance = QStringLiteral("-10");
        texts.elementDiameter = QStringLiteral("6");
        texts.rodDiameter = QStringLiteral("3");
        texts.spacing = QStringLiteral("10");
        texts.unit = design::Unit::Millimetre;
        texts.frequency = QStringLiteral("1296");
        (static_cast<Field>(field) == Field::Frequency ? texts.frequency : texts.lineImpedance) = from;
        DesignerWindow window;
        window.setInputs(texts);
        window.show();
        QApplication::processEvents();
        std::vector<QValueAxis*> axes;
        for (Plot plot : {Plot::Capacitance, Plot::RodLength, Plot::Frequency}) {
            axes.push_back(window.chart(plot)->xAxis());
        }
        const TickWatch watch(axes);
        type(window.form()->field(static_cast<Field>(field)), to);
        window.grab();
        QVERIFY2(watch.most <= SweepChart::kMaxTicks, qPrintable(QString::number(watch.most)));
        QVERIFY2(watch.longestLabel <= 16, qPrintable(watch.longest));
    }

    // As many x ticks as the width has room for labels (about 60 pixels
    // each), two at the least: narrower, every label is elided to "...".
    void ticksFollowTheWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<int>("most");
        QTest::newRow("120 wide") << 120 << 2 << 3;
        QTest::newRow("240 wide") << 240 << 3 << 5;
        QTest::newRow("600 wide") << 600 << 5 << 8;
    }
    void ticksFollowTheWidth()
    {
        QFETCH(int, width);
        QFETCH(int, fewest);
        QFETCH(int, most);
        SweepChart chart(QStringLiteral("t"));
        chart.resize(600, 300);
        chart.show();
        chart.showSweep({{13.585, {}, 1.3}, {15.015, {}, 1.3}}, 1, {14.3, 1}, {14.3, 1});
        chart.resize(width, 300);
        QApplication::processEvents();
        const QValueAxis* x = chart.xAxis();
        QCOMPARE(x->tickType(), QValueAxis::TicksDynamic);
        const int ticks = static_cast<int>(std::floor((x->max() - x->tickAnchor()) / x->tickInterval() + 1e-9)) + 1;
        QVERIFY2(ticks >= fewest && ticks <= most, qPrintable(QString::number(ticks)));
    }

    // What an axis can draw: both sides of each limit.
    void drawableRanges_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<bool>("drawable");
        QTest::newRow("14.3 to 15") << 14.3 << 15.0 << true;
        QTest::newRow("empty") << 1.0 << 1.0 << false;
        QTest::newRow("reversed") << 2.0 << 1.0 << false;
        QTest::newRow("nan") << std::nan("") << 1.0 << false;
        QTest::newRow("infinite") << 1.0 << HUGE_VAL << false;
        QTest::newRow("span 1e-11 of the value") << 1.0 << 1.0 + 1e-11 << true;
        QTest::newRow("span 1e-13 of the value") << 1.0 << 1.0 + 1e-13 << false;
        QTest::newRow("1e-190") << 0.95e-190 << 1.05e-190 << true;
        QTest::newRow("1e-308") << 0.95e-308 << 1.05e-308 << false;
        QTest::newRow("1e190") << 0.95e190 << 1.05e190 << true;
        QTest::newRow("1e210") << 0.95e210 << 1.05e210 << false;
    }
    void drawableRanges()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(bool, drawable);
        QCOMPARE(vostrel::designer::drawableRange(from, to), drawable);
    }

    // The curve cut to the plot area for SVG: every edge crossed, parts
    // that leave and come back, a line wholly outside.
    void curvesAreClippedToThePlotArea_data()
    {
        QTest::addColumn<QPolygonF>("line");
        QTest::addColumn<QList<QPolygonF>>("parts");
        const QPolygonF inside{{1, 1}, {5, 5}, {9, 2}};
        QTest::newRow("inside") << inside << QList<QPolygonF>{inside};
        QTest::newRow("out the top") << QPolygonF{{2, 5}, {2, -5}} << QList<QPolygonF>{{{2, 5}, {2, 0}}};
        QTest::newRow("in from the bottom") << QPolygonF{{2, 15}, {2, 5}} << QList<QPolygonF>{{{2, 10}, {2, 5}}};
        QTest::newRow("across left to right") << QPolygonF{{-10, 5}, {20, 5}} << QList<QPolygonF>{{{0, 5}, {10, 5}}};
        QTest::newRow("out and back") << QPolygonF{{1, 5}, {5, -5}, {9, 5}}
                                      << QList<QPolygonF>{{{1, 5}, {3, 0}}, {{7, 0}, {9, 5}}};
        QTest::newRow("all outside") << QPolygonF{{-1, -1}, {-5, 20}} << QList<QPolygonF>{};
        QTest::newRow("one point") << QPolygonF{{5, 5}} << QList<QPolygonF>{};
    }
    void curvesAreClippedToThePlotArea()
    {
        QFETCH(QPolygonF, line);
        QFETCH(QList<QPolygonF>, parts);
        QCOMPARE(vostrel::designer::clippedPolyline(line, QRectF(0, 0, 10, 10)), parts);
    }

    // A frequency the model takes but the plots cannot draw is refused at
    // its field, the plots left as they were.
    void anUndrawableFrequencyIsRefusedAtItsField()
    {
        DesignerWindow window;
        window.show();
        QLineEdit* frequency = window.form()->field(Field::Frequency);
        type(frequency, "1e-250"); // the model takes it; its plot's span underflows
        const QString problem = window.form()->problemOf(Field::Frequency);
        QVERIFY2(!problem.isEmpty(), qPrintable(window.statusText()));
        type(frequency, "14.3");
        QVERIFY(window.form()->problemOf(Field::Frequency).isEmpty());
    }

    // On a screen smaller than the window wants (the offscreen screen is
    // 800 x 600, and 400 x 300 at scale 2) the window opens inside the
    // available area and every control can be reached.
    void theWindowFitsTheScreenAndEveryControlIsReachable()
    {
        DesignerWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = window.screen()->availableGeometry();
        QVERIFY2(available.contains(window.frameGeometry()),
            qPrintable(QStringLiteral("%1x%2 in %3x%4")
                           .arg(window.frameGeometry().width())
                           .arg(window.frameGeometry().height())
                           .arg(available.width())
                           .arg(available.height())));
        QList<QWidget*> controls;
        for (const char* name : {names::frequency, names::resistance, names::reactance, names::elementDiameter,
                 names::rodDiameter, names::spacing, names::unit, names::lineImpedance, names::stepUpWhole,
                 names::stepUpHalf, names::tubeInnerDiameter, names::dielectric, names::rodLength, names::capacitance,
                 names::lineZ0, names::stepUpRatio, names::capacitorReactance, names::strapSlider,
                 names::capacitorSlider, names::tunedValues, names::resetTuning, names::swrByCapacitance,
                 names::swrByRodLength, names::swrByFrequency, names::smithChart, names::drawing}) {
            auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control != nullptr, name);
            QVERIFY2(reachable(window, control),
                qPrintable(QStringLiteral("%1 %2x%3 visible %4")
                               .arg(QString::fromLatin1(name))
                               .arg(control->width())
                               .arg(control->height())
                               .arg(control->isVisible())));
        }
    }

    // The size the user gives the window comes back at the next start.
    void theWindowRemembersItsSize()
    {
        QSize given;
        {
            DesignerWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            given = window.screen()->availableGeometry().size() * 0.8;
            window.resize(given);
            QTRY_COMPARE(userSettings().value(QStringLiteral("window/size")).toSize(), given);
        }
        DesignerWindow again;
        QCOMPARE(again.size(), given);
    }

    // What File > Open and Export have to say shows where the user looks,
    // the path as typed, folder and all.
    void openAndExportSpeakOnTheScreen()
    {
        const QTemporaryDir dir;
        DesignerWindow window;
        window.show();
        const QString missing = dir.filePath(QStringLiteral("nonexistent.s1p"));
        QVERIFY(window.openMeasurement(missing).has_value());
        QVERIFY(shownOnScreen(window, QStringLiteral("Cannot open %1").arg(QDir::toNativeSeparators(missing))));
        QVERIFY(window.noticeIsProblem());
        const QString csv = dir.filePath(QStringLiteral("sweeps.csv"));
        QVERIFY(window.exportCsv(csv));
        QVERIFY(shownOnScreen(window, QStringLiteral("Wrote %1").arg(csv)));
        QVERIFY(!window.noticeIsProblem());
        QVERIFY(window.exportPlots(dir.path()) == false);
        QVERIFY(shownOnScreen(window, QStringLiteral("is a folder")));
        // Opening a folder is refused as one, for either kind of file.
        for (const bool deck : {false, true}) {
            const auto refused = deck ? window.openAntennaModel(dir.path()) : window.openMeasurement(dir.path());
            QCOMPARE(
                refused, QStringLiteral("Cannot open %1: it is a folder.").arg(QDir::toNativeSeparators(dir.path())));
            QVERIFY(window.noticeIsProblem());
        }
#ifdef Q_OS_UNIX
        // A FIFO is refused at once: opening it would wait for a writer.
        const QString fifo = dir.filePath(QStringLiteral("model.nec"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(window.openAntennaModel(fifo).value_or(QString()).contains(QStringLiteral("not a regular file")));
        QVERIFY(window.openMeasurement(fifo).value_or(QString()).contains(QStringLiteral("not a regular file")));
#endif
    }

    // Export writes the whole file through a symbolic link, or refuses
    // what is not a regular file and leaves it as it was.
    void exportNeverReplacesWhatIsNotAFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("written");
        QTest::newRow("a new name") << "new" << true;
        QTest::newRow("an old file") << "file" << true;
        QTest::newRow("a symbolic link to a file") << "link" << true;
        QTest::newRow("a dangling symbolic link") << "dangling" << true;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("a FIFO") << "fifo" << false;
        QTest::newRow("a device") << "device" << false;
        QTest::newRow("a link to a FIFO") << "link to fifo" << false;
    }
    void exportNeverReplacesWhatIsNotAFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, written);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        const QString target = dir.filePath(QStringLiteral("target.csv"));
        const QByteArray encoded = QFile::encodeName(path);
        if (kind == QLatin1String("file")) {
            QVERIFY(!writeFile(dir, "out.csv", "old").isEmpty());
        } else if (kind == QLatin1String("link") || kind == QLatin1String("dangling")) {
            if (kind == QLatin1String("link")) {
                QVERIFY(!writeFile(dir, "target.csv", "old").isEmpty());
            }
            QVERIFY(QFile::link(QStringLiteral("target.csv"), path)); // relative, as ln -s makes it
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out.csv")));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(encoded.constData(), 0600), 0);
        } else if (kind == QLatin1String("link to fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
            QVERIFY(QFile::link(QStringLiteral("target.csv"), path));
        } else if (kind == QLatin1String("device")) {
            // A copy of /dev/null's node: never the system's own.
            if (::mknod(encoded.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
                QSKIP("making a device node needs root");
            }
        }
        struct stat before { };
        const bool existed = ::lstat(encoded.constData(), &before) == 0;

        DesignerWindow window;
        QCOMPARE(window.exportCsv(path), written);
        QCOMPARE(window.noticeIsProblem(), !written);
        struct stat after { };
        QCOMPARE(::lstat(encoded.constData(), &after) == 0, existed || written);
        if (existed) {
            QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT); // a link stays a link, a FIFO a FIFO
            QCOMPARE(after.st_rdev, before.st_rdev);
        }
        if (written) {
            const QByteArray text = contentsOf(path);
            QVERIFY(text.startsWith("# Gamma match at "));
            QVERIFY(text.contains("\nsweep,x,x_unit,r_ohm,x_ohm,swr\n"));
            QVERIFY(text.endsWith('\n'));
            QCOMPARE(text.count('\n'), 4 + 1 + 3 * 500);
        } else {
            QVERIFY(window.noticeText().contains(QStringLiteral("not a regular file")));
        }
        // Nothing else left in the folder: no half-written temporary file.
        const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        QVERIFY2(left.size() <= 2, qPrintable(left.join(QLatin1Char(' '))));
    }

    // A name without an extension gets the chosen format's; a name with one
    // keeps it, and the plots' format follows it.
    void aNameWithoutAnExtensionGetsTheFormats()
    {
        const QTemporaryDir dir;
        DesignerWindow window;
        window.show();
        QVERIFY(window.exportCsv(dir.filePath(QStringLiteral("sweeps"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("sweeps.csv"))).isFile());
        QVERIFY(window.exportPlots(dir.filePath(QStringLiteral("plots")), ExportFormat::Svg));
        QVERIFY(contentsOf(dir.filePath(QStringLiteral("plots.svg"))).contains("<svg"));
        QVERIFY(window.exportPlots(dir.filePath(QStringLiteral("chart.PNG")), ExportFormat::Svg));
        QVERIFY(contentsOf(dir.filePath(QStringLiteral("chart.PNG"))).startsWith("\x89PNG"));
        QCOMPARE(vostrel::designer::withExtension(QStringLiteral("a.b/plots"), ExportFormat::Png),
            QStringLiteral("a.b/plots.png"));
    }

    // The SVG keeps each curve inside its plot area (a viewer takes no
    // clipping from it) and names a family every browser knows.
    void theSvgIsClippedToThePlotsInAGenericFont()
    {
        const QTemporaryDir dir;
        DesignerWindow window;
        window.resize(1200, 900);
        window.show();
        window.pictureTabs()->setCurrentIndex(0);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(100); // the charts laid out at their size
        // The capacitance curve runs far above SWR 5 at the sweep's ends.
        QVERIFY(window.chart(Plot::Capacitance)->curve()->points().front().y() > SweepChart::kSwrTop);
        // The curve's blue outside every plot area, the Smith chart (its
        // locus is the same blue) and the legends: none. The areas as
        // drawn: the notice that follows the export moves them.
        QList<QRect> allowed;
        for (Plot plot : {Plot::Capacitance, Plot::RodLength, Plot::Frequency}) {
            SweepChart* chart = window.chart(plot);
            auto toPlots
                = [&](QPointF scene) { return chart->viewport()->mapTo(window.plots(), chart->mapFromScene(scene)); };
            const QRectF area = chart->chart()->plotArea();
            allowed << QRect(toPlots(chart->chart()->mapToScene(area.topLeft())),
                toPlots(chart->chart()->mapToScene(area.bottomRight())))
                           .adjusted(-2, -2, 2, 2);
            const QRectF legend = chart->chart()->legend()->geometry();
            allowed << QRect(toPlots(legend.topLeft()), toPlots(legend.bottomRight()));
        }
        allowed << QRect(window.smithChart()->mapTo(window.plots(), QPoint(0, 0)), window.smithChart()->size());
        const QSize drawnSize = window.plots()->size();
        const QString path = dir.filePath(QStringLiteral("plots.svg"));
        QVERIFY(window.exportPlots(path));
        const QByteArray svg = contentsOf(path);
        QVERIFY(svg.contains("font-family"));
        QVERIFY(!svg.contains("font-family=\"Sans Serif\""));
        for (qsizetype at = svg.indexOf("font-family=\""); at >= 0; at = svg.indexOf("font-family=\"", at + 1)) {
            const qsizetype end = svg.indexOf('"', at + 13);
            QVERIFY2(svg.mid(at + 13, end - at - 13).endsWith("sans-serif"), svg.mid(at, end - at + 1).constData());
        }

        QSvgRenderer renderer(svg);
        QVERIFY(renderer.isValid());
        // The caption's lines under the plots, at their own scale.
        QCOMPARE(renderer.viewBox().size().width(), drawnSize.width());
        QCOMPARE_GT(renderer.viewBox().size().height(), drawnSize.height());
        QImage picture(renderer.viewBox().size(), QImage::Format_ARGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(renderer.viewBox().size())));
        painter.end();
        int strays = 0;
        QRect strayBox;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                const bool curveBlue = std::abs(c.red() - 0x1f) < 24 && std::abs(c.green() - 0x5f) < 24
                    && std::abs(c.blue() - 0xa8) < 24;
                if (curveBlue
                    && std::none_of(allowed.begin(), allowed.end(), [&](const QRect& r) { return r.contains(x, y); })) {
                    ++strays;
                    strayBox |= QRect(x, y, 1, 1);
                }
            }
        }
        QVERIFY2(strays == 0,
            qPrintable(QStringLiteral("%1 pixels in %2,%3 %4x%5")
                           .arg(strays)
                           .arg(strayBox.x())
                           .arg(strayBox.y())
                           .arg(strayBox.width())
                           .arg(strayBox.height())));
    }

    // Without a file, the frequency plot says on the plot that R and X are
    // held at the typed values; with one, it does not.
    void theFrequencyPlotSaysTheFeedImpedanceIsHeld()
    {
        const QTemporaryDir dir;
        DesignerWindow window;
        window.show();
        auto note = [&window] {
            QStringList texts;
            for (QGraphicsItem* item : window.chart(Plot::Frequency)->scene()->items()) {
                if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item); text != nullptr && text->isVisible()) {
                    texts << text->text();
                }
            }
            return texts.join(QLatin1Char('|'));
        };
        QVERIFY2(note().contains(QStringLiteral("held fixed")), qPrintable(note()));
        const QString file = writeFile(dir, "dipole.s1p", "# MHz Z RI R 50\n14.0 0.4 -0.6\n14.5 0.6 -0.4\n");
        QVERIFY(!window.openMeasurement(file).has_value());
        QVERIFY2(!note().contains(QStringLiteral("held fixed")), qPrintable(note()));
    }

    // A tuned SWR above the axis leaves a mark at the top edge, at its x.
    void aTunedSwrOffTheScaleIsMarked()
    {
        DesignerWindow window;
        window.show();
        window.tuning()->capacitor()->setValue(-100); // half the capacitance
        const double tunedSwr = window.study().tuned().swr;
        QVERIFY(tunedSwr > SweepChart::kSwrTop);
        const double x = window.study().tuning().capacitancePf;
        SweepChart* chart = window.chart(Plot::Capacitance);
        bool marked = false;
        for (QAbstractSeries* series : chart->chart()->series()) {
            auto* scatter = qobject_cast<QScatterSeries*>(series);
            if (scatter == nullptr || !scatter->isVisible()) {
                continue;
            }
            for (const QPointF& point : scatter->points()) {
                marked = marked || (point.x() == x && point.y() >= 1 && point.y() <= SweepChart::kSwrTop);
            }
        }
        QVERIFY(marked);
        window.tuning()->capacitor()->setValue(0);
        QCOMPARE(chart->offScaleMarker()->count(), 0);
        QCOMPARE(chart->tunedMarker()->count(), 1);
    }

    // The +j1 label stands clear of the title at every size.
    void theSmithChartsLabelsClearItsTitle_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("240 square") << QSize(240, 240);
        QTest::newRow("400 square") << QSize(400, 400);
        QTest::newRow("wide and low") << QSize(600, 260);
        QTest::newRow("narrow and tall") << QSize(260, 600);
    }
    void theSmithChartsLabelsClearItsTitle()
    {
        QFETCH(QSize, size);
        vostrel::designer::SmithChartView chart;
        chart.resize(size);
        QFontMetricsF title(chart.font());
        const QRectF titleText
            = QRectF(chart.titleRect().center() - QPointF(0, title.height() / 2), QSizeF(1, title.height()))
                  .adjusted(-chart.width(), 0, chart.width(), 0);
        for (double x : {0.2, 0.5, 1.0, 2.0, 5.0}) {
            const QRectF label = chart.reactanceLabelRect(x);
            QVERIFY2(label.top() >= titleText.bottom() + 2, qPrintable(QString::number(x)));
        }
    }

    // A one-point file works as in vostrel-design; a file in GHz by default
    // gets a hint; R and X show at the window's precision for ohms.
    void measurementFilesAsTheyCome()
    {
        const QTemporaryDir dir;
        DesignerWindow window;
        window.show();
        QLineEdit* frequency = window.form()->field(Field::Frequency);
        type(frequency, "14.2");
        const QString one = writeFile(dir, "one.s1p", "# MHz Z RI R 50\n14.2 0.568628 -0.2\n");
        QVERIFY(!window.openMeasurement(one).has_value());
        QCOMPARE(window.form()->field(Field::FeedResistance)->text(), QStringLiteral("28.4"));
        QCOMPARE(window.form()->field(Field::FeedReactance)->text(), QStringLiteral("-10.0"));
        QVERIFY(window.study().hasDesign());
        type(frequency, "14.3");
        QVERIFY(window.form()->problemOf(Field::Frequency).contains(QStringLiteral("one point")));

        const QString ghz = writeFile(dir, "ghz.s1p", "! no option line\r14.0 0.1 0\r14.1 0.1 0\r");
        QVERIFY(!window.openMeasurement(ghz).has_value());
        type(frequency, "14.05");
        const QString problem = window.form()->problemOf(Field::Frequency);
        QVERIFY2(problem.contains(QStringLiteral("no option line")) && problem.contains(QStringLiteral("GHz")),
            qPrintable(problem));
    }

    // The inputs are written as they change: a window ended by SIGTERM
    // loses nothing. A settings file that cannot be written says so once.
    void settingsAreWrittenAsTheyChange()
    {
        DesignerWindow window;
        window.show();
        type(window.form()->field(Field::Frequency), "21.2");
        QCOMPARE(userSettings().value(QStringLiteral("inputs/frequency")).toString(), QStringLiteral("21.2"));

        // A folder where the file should be: unwritable even for root.
        const QString file = userSettings().fileName();
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file));
        const auto removeFolder = qScopeGuard([&file] { QDir(file).removeRecursively(); });
        DesignerWindow second;
        second.show();
        type(second.form()->field(Field::Frequency), "18.1");
        QVERIFY2(second.noticeText().contains(QStringLiteral("cannot be saved")), qPrintable(second.noticeText()));
        QVERIFY(second.noticeIsProblem());
        second.closeNotice();
        type(second.form()->field(Field::Frequency), "18.12");
        QVERIFY(second.noticeText().isEmpty()); // said once
    }
};

QTEST_MAIN(DesignerConditionsTest)
#include "designer_conditions_test.moc"
