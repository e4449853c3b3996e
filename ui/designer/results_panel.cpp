// SPDX-License-Identifier: GPL-3.0-or-later
#include "results_panel.h"
#include "built_match.h"
#include "design_inputs.h"
#include "designer_names.h"

#include "allowance.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>

namespace vostrel::designer {

ResultsPanel::ResultsPanel(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* box = new QGroupBox(tr("Results"));
    m_form = new QFormLayout(box);
    auto* form = m_form;

    // Over the two columns, shown with the full-wave one.
    m_columnHeading = new QWidget;
    m_columnHeading->setObjectName(names::fullWaveHeading);
    auto* headings = new QHBoxLayout(m_columnHeading);
    headings->setContentsMargins(0, 0, 0, 0);
    for (QLabel** into : {&m_closedHeading, &m_necHeading}) {
        auto* heading = new QLabel(into == &m_closedHeading ? tr("Closed form") : tr("Full-wave (NEC-2)"));
        heading->setAlignment(Qt::AlignRight | Qt::AlignBottom);
        heading->setWordWrap(true);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        headings->addWidget(heading, 1);
        *into = heading;
    }
    form->addRow(QString(), m_columnHeading);
    m_necRows.append(m_columnHeading);

    // NEC-2's rod length and capacitor share their rows with the closed form's.
    m_necRodLength = resultField(names::necRodLength, tr("Rod length, full-wave (NEC-2)"));
    m_necCapacitance = resultField(names::necCapacitance, tr("Capacitor, full-wave (NEC-2)"));
    m_necInsertion = resultField(names::necInsertionLength, tr("Coax capacitor insertion, NEC-2 refined"));
    m_necRows << m_necRodLength << m_necCapacitance << m_necInsertion;
    m_rodLength = addResult(form, tr("Rod length, feed point to strap:"), names::rodLength, m_necRodLength);
    m_capacitance = addResult(form, tr("Capacitor:"), names::capacitance, m_necCapacitance);
    m_z0 = addResult(form, tr("Rod-to-element line Z0:"), names::lineZ0);
    m_stepUp = addResult(form, tr("Step-up ratio:"), names::stepUpRatio);
    m_reactance = addResult(form, tr("Capacitor reactance:"), names::capacitorReactance);
    m_insertion = addResult(form, tr("Coax capacitor insertion:"), names::insertionLength, m_necInsertion);

    // NEC-2's checks, under the closed form's figures.
    const std::array necRows = {std::tuple{&m_necFeed, tr("NEC feed impedance, bare:"), names::necFeedImpedance},
        std::tuple{&m_necClosedFormSwr, tr("Closed form in NEC-2, SWR:"), names::necClosedFormSwr},
        std::tuple{&m_necSwr, tr("Refined match, SWR:"), names::necSwr},
        std::tuple{&m_necAverageGain, tr("Average gain test:"), names::necAverageGain},
        std::tuple{&m_necHalved, tr("Halved segments:"), names::necHalvedSegments},
        std::tuple{&m_necCapacitorAllowance, tr("Capacitor to allow for:"), names::necCapacitorAllowance},
        std::tuple{&m_necStrapAllowance, tr("Strap to allow for:"), names::necStrapAllowance}};
    for (const auto& [into, label, name] : necRows) {
        *into = resultField(name, QString(label).chopped(1));
        auto* caption = new QLabel(label);
        caption->setBuddy(*into);
        if (*into == m_necFeed) { // with the button that takes it for R and X
            m_useNecFeed = new QPushButton(tr("Use as R, X"));
            m_useNecFeed->setObjectName(names::useNecFeed);
            m_useNecFeed->setToolTip(tr("Design the closed form from NEC-2's feed impedance of the element"));
            connect(m_useNecFeed, &QPushButton::clicked, this, [this] { emit useNecFeedImpedance(m_necFeedValue); });
            m_necFeedRow = new QHBoxLayout;
            m_necFeedRow->setContentsMargins(0, 0, 0, 0);
            m_necFeedRow->addWidget(m_necFeed, 1);
            m_necFeedRow->addWidget(m_useNecFeed);
            form->addRow(caption, m_necFeedRow);
        } else {
            form->addRow(caption, *into);
            m_necRows.append(*into);
        }
    }
    m_necFeed->setToolTip(tr("The element's feed impedance in NEC-2, without the match"));
    m_necClosedFormSwr->setToolTip(tr("The SWR in NEC-2 of the closed form designed from NEC-2's feed impedance, "
                                      "built as printed: the one beside when R and X are NEC-2's, else the rod "
                                      "and capacitor named"));
    m_necSwr->setToolTip(tr("The SWR in NEC-2 of the refined rod length and capacitor"));
    m_necAverageGain->setToolTip(tr("The average gain test of the lossless model: 1 for a perfect model"));
    m_useNecFeed->setEnabled(false);
    m_necFields = {m_necRodLength, m_necCapacitance, m_necInsertion, m_necFeed, m_necClosedFormSwr, m_necSwr,
        m_necAverageGain, m_necHalved, m_necCapacitorAllowance, m_necStrapAllowance};
    m_necHalved->setToolTip(tr("How far the refined rod and capacitor move with every segment halved"));
    m_necCapacitorAllowance->setToolTip(tr("The range the capacitor you buy or build should cover around NEC-2's "
                                           "refined one: engines differ, and so do real builds"));
    m_necStrapAllowance->setToolTip(tr("The range of strap positions, from the feed point, that the rod you cut "
                                       "should leave room for around NEC-2's refined one"));
    m_necStatus = new QLabel;
    m_necStatus->setObjectName(names::necStatus);
    m_necStatus->setWordWrap(true);
    m_necStatus->setTextFormat(Qt::PlainText);
    m_necStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(m_necStatus);
    m_necRows.append(m_necStatus);
    auto* explain = new QPushButton(tr("What do these checks mean?"));
    explain->setObjectName(names::explainNecChecks);
    explain->setFlat(true);
    QFont linkFont = explain->font(); // looks like the link it is
    linkFont.setUnderline(true);
    explain->setFont(linkFont);
    explain->setCursor(Qt::PointingHandCursor);
    explain->setToolTip(tr("The average gain test, the halved run and \"doubtful\" in plain words, and what to do"));
    connect(explain, &QPushButton::clicked, this, &ResultsPanel::explainNecChecks);
    form->addRow(explain);
    m_necRows.append(explain);

    m_banner = new QLabel;
    m_banner->setObjectName(names::noMatchBanner);
    m_banner->setWordWrap(true);
    m_banner->setTextFormat(Qt::PlainText);
    m_banner->setMargin(8);
    m_banner->setAutoFillBackground(true);
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::Window, QColor(0xfd, 0xec, 0xc8));
    bannerPalette.setColor(QPalette::WindowText, QColor(0x5c, 0x3b, 0x00));
    m_banner->setPalette(bannerPalette);
    m_banner->setAccessibleName(tr("No match"));
    m_banner->hide();
    form->addRow(m_banner);

    m_staleNote = new QLabel(tr("Out of date: these are the results of the last good inputs. Correct the "
                                "marked field."));
    m_staleNote->setObjectName(names::staleNote);
    m_staleNote->setWordWrap(true);
    QPalette stalePalette = m_staleNote->palette();
    stalePalette.setColor(QPalette::WindowText, QColor(0xb0, 0x1c, 0x1c));
    m_staleNote->setPalette(stalePalette);
    m_staleNote->hide();
    form->addRow(m_staleNote);
    column->addWidget(box);
    setFullWaveRowsVisible(false);
}

QLineEdit* ResultsPanel::resultField(const char* name, const QString& accessibleName)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::TabFocus);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QLineEdit* ResultsPanel::addResult(QFormLayout* form, const QString& label, const char* name, QLineEdit* beside)
{
    auto* caption = new QLabel(label);
    QLineEdit* edit = resultField(name, caption->text().remove(QLatin1Char('&')).chopped(1));
    caption->setBuddy(edit);
    auto* row = new QHBoxLayout; // room for the full-wave column's field
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit, 1);
    if (beside != nullptr) {
        row->addWidget(beside, 1);
    }
    form->addRow(caption, row);
    m_all.append(edit);
    return edit;
}

void ResultsPanel::showStudy(const MatchStudy& study)
{
    const QLocale locale;
    const ValidInputs& inputs = study.inputs();
    if (!study.hasDesign()) {
        for (QLineEdit* edit : m_all) {
            edit->clear();
        }
        m_banner->setText(capitalised(study.problem().message));
        m_banner->show();
        return;
    }
    m_banner->hide();
    const design::Design& d = study.design();
    m_rodLength->setText(lengthText(d.rodLength, inputs.unit, locale));
    m_capacitance->setText(d.capacitorShorted ? tr("none: short the capacitor")
                                              : QStringLiteral("%1 pF").arg(formatNumber(d.capacitancePf, locale)));
    m_z0->setText(QStringLiteral("%1 Ω").arg(formatNumber(d.line.z0, locale, 1)));
    m_stepUp->setText(
        QStringLiteral("%1 (α %2)").arg(formatNumber(d.line.stepUp, locale, 2), formatNumber(d.line.alpha, locale, 3)));
    m_reactance->setText(QStringLiteral("%1 Ω").arg(formatNumber(std::fabs(d.capacitorReactance), locale, 1)));
    if (const auto insertion = study.insertionLength()) {
        m_insertion->setText(lengthText(*insertion, inputs.unit, locale));
    } else {
        m_insertion->setText(inputs.tubeInnerDiameter ? tr("—") : tr("no tube given"));
    }
}

namespace {

void greyed(const QList<QLineEdit*>& edits, bool stale)
{
    for (QLineEdit* edit : edits) {
        edit->setProperty("stale", stale);
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Text, stale ? palette.color(QPalette::PlaceholderText) : QPalette().color(QPalette::Text));
        edit->setPalette(palette);
    }
}

QString percent(double change, const QLocale& locale)
{
    // Always one decimal, as the command line: "+0.0 %", "-0.9 %".
    QString text = QString::fromStdString(decimalsText(change * 100, 1));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return (change >= 0 ? QStringLiteral("+") : QString()) + text + QStringLiteral(" %");
}

QString complexOhms(std::complex<double> z, const QLocale& locale)
{
    return QStringLiteral("%1 %2 j%3 Ω")
        .arg(formatNumber(z.real(), locale, 2), z.imag() < 0 ? QStringLiteral("-") : QStringLiteral("+"),
            formatNumber(std::fabs(z.imag()), locale, 2));
}

} // namespace

void ResultsPanel::setStale(bool stale)
{
    m_stale = stale;
    m_staleNote->setVisible(stale);
    greyed(m_all, stale);
    greyed(m_necFields, stale);
}

void ResultsPanel::setStatus(const QString& text)
{
    m_necStatus->setText(text);
    // A longer text needs more lines. The form, inside a scroll area, does
    // not ask a wrapped label's height for its width again: it is given.
    // (-1 from heightForWidth(): no height to ask for yet.)
    if (const int width = m_necStatus->width(); width > 0) {
        m_necStatus->setMinimumHeight(std::max(0, m_necStatus->heightForWidth(width)));
    }
}

void ResultsPanel::setFullWaveRowsVisible(bool visible)
{
    m_form->setRowVisible(m_necFeedRow, visible);
    for (QWidget* row : std::as_const(m_necRows)) {
        if (row == m_necRodLength || row == m_necCapacitance || row == m_necInsertion) {
            row->setVisible(visible); // beside the closed form's, in its row
        } else {
            m_form->setRowVisible(row, visible);
        }
    }
}

void ResultsPanel::clearFullWave()
{
    for (QLineEdit* edit : std::as_const(m_necFields)) {
        edit->clear();
    }
    m_useNecFeed->setEnabled(false);
}

void ResultsPanel::hideFullWave()
{
    m_fullWaveShown = false;
    clearFullWave();
    setStatus(QString());
    setFullWaveRowsVisible(false);
}

void ResultsPanel::showFullWaveBusy()
{
    m_fullWaveShown = true;
    setFullWaveRowsVisible(true);
    greyed(m_necFields, true); // the last answer, until the new one comes
    setStatus(tr("Computing in NEC-2…"));
}

void ResultsPanel::showFullWaveHeld()
{
    if (m_necStatus->text() == tr("Computing in NEC-2…")) {
        setStatus(tr("NEC-2 waits for the marked field to be corrected."));
    }
}

QString ResultsPanel::lineWithoutTubeText()
{
    return tr(" The line in the tube needs the tube's inner diameter: until it is given, the capacitor is modelled "
              "at the rod's end.");
}

void ResultsPanel::showFullWave(
    const nec::Outcome<nec::Refined>& refined, design::Unit unit, std::complex<double> typedFeed, bool lineWithoutTube)
{
    const QLocale locale;
    m_fullWaveShown = true;
    setFullWaveRowsVisible(true);
    greyed(m_necFields, m_stale);
    if (const auto* failure = std::get_if<nec::NecFailure>(&refined)) {
        clearFullWave();
        using Kind = nec::NecFailure::Kind;
        // The search's numbers as the window writes them; a deck's or the
        // runner's words (file names among them) as they are.
        const bool search = failure->kind == Kind::NoMatch || failure->kind == Kind::Invalid;
        const QString why
            = search ? localisedSentence(failure->message, locale) : QString::fromStdString(failure->message);
        QString status;
        switch (failure->kind) {
        case Kind::NoMatch:
            status = tr("NEC-2 finds no match: %1.").arg(why);
            break;
        case Kind::Invalid:
            status = tr("NEC-2's model is not fit to build from: %1.").arg(why);
            break;
        case Kind::BadInput:
        case Kind::BadDeck:
            status = tr("NEC-2 cannot model this: %1.").arg(why);
            break;
        default:
            status = tr("Not checked in NEC-2: %1. The closed form stands unchecked.").arg(why);
        }
        setStatus(lineWithoutTube ? status + lineWithoutTubeText() : status);
        return;
    }
    const auto& r = std::get<nec::Refined>(refined);
    m_necRodLength->setText(lengthText(r.rodLength, unit, locale));
    m_necCapacitance->setText(QStringLiteral("%1 pF").arg(formatNumber(r.capacitancePf, locale)));
    m_necFeed->setText(complexOhms(r.feedImpedance, locale));
    m_necFeedValue = r.feedImpedance;
    m_useNecFeed->setEnabled(true);
    m_necClosedFormSwr->setText(closedFormBuiltText(r, unit));
    m_necSwr->setText(formatNumber(r.swr, locale, 3));
    m_necAverageGain->setText(r.averageGain ? formatNumber(*r.averageGain, locale, 3) : tr("not run"));
    m_necHalved->setText(r.halvedRodLength
            ? tr("rod %1, capacitor %2").arg(percent(r.rodChange, locale), percent(r.capacitanceChange, locale))
            : tr("not run"));
    const nec::Allowance allowance = nec::allowanceOf(r);
    const int tenths = allowance.capacitancePf.low < 10 ? 1 : 0;
    m_necCapacitorAllowance->setText(tr("%1 to %2 pF")
                                         .arg(formatNumber(allowance.capacitancePf.low, locale, tenths),
                                             formatNumber(allowance.capacitancePf.high, locale, tenths)));
    m_necStrapAllowance->setText(tr("%1 to %2")
                                     .arg( // the unit once, after the second length
                                         formatNumber(allowance.rodLength.low / design::metresPer(unit), locale),
                                         lengthText(allowance.rodLength.high, unit, locale)));
    QString runs = r.runs == 1 ? tr("1 nec2c run.") : tr("%1 nec2c runs.").arg(r.runs);
    runs += tr(" Allow for: from %1.").arg(QString::fromStdString(allowance.basis));
    if (lineWithoutTube) {
        runs += lineWithoutTubeText();
    } else if (r.tube) {
        // The capacitor's range as the rod's insertion: what the builder slides.
        runs += tr(" In the tube that is the rod %1 to %2 into it.")
                    .arg(lengthText(nec::insertionFor(*r.tube, allowance.capacitancePf.low), unit, locale),
                        lengthText(nec::insertionFor(*r.tube, allowance.capacitancePf.high), unit, locale));
    }
    if (const auto& other = r.otherModel) {
        // Near a change of the element's model: what the other one says.
        const QString then = other->rodLength > 0
            ? tr("rod %1, %2 pF, allowed for")
                  .arg(lengthText(other->rodLength, unit, locale), formatNumber(other->capacitancePf, locale))
            : tr("no match");
        runs += tr(" The element is modelled as %1, near the change to %2, which gives %3: measure before you cut.")
                    .arg(QString::fromStdString(nec::modelName(other->matchedCageWires)),
                        QString::fromStdString(nec::modelName(other->cageWires)), then);
    }
    // R and X typed far from NEC-2's: the closed form beside is another
    // element's (the command line says the same on standard error).
    if (nec::feedDiffersFromNec(typedFeed, r.feedImpedance)) {
        runs += tr(" R and X differ from NEC-2's feed impedance by more than a tenth: Use as R, X designs the "
                   "closed form from NEC-2's.");
    }
    setStatus(r.doubtful ? tr("Doubtful: %1. %2").arg(localisedSentence(r.doubt, locale), runs)
                         : tr("Not doubtful: the model passes its checks. %1").arg(runs));
}

void ResultsPanel::showBuilt(const BuiltMatch* built, design::Unit unit, bool tubeGiven)
{
    const bool nec = built != nullptr && built->fromNec();
    m_necHeading->setText(nec ? tr("NEC-2 refined: build this") : tr("Full-wave (NEC-2)"));
    m_closedHeading->setText(nec ? tr("Closed form (compare)") : tr("Closed form"));
    if (!nec) {
        m_necInsertion->clear();
    } else if (built->insertionLength) {
        // A tube too wide (or a sleeve too thin) for the capacitor wants
        // more of the rod than there is.
        const bool tooLong = *built->insertionLength > built->design.rodLength;
        m_necInsertion->setText(lengthText(*built->insertionLength, unit, QLocale())
            + (tooLong ? tr(", longer than the rod: take a narrower tube") : QString()));
    } else {
        m_necInsertion->setText(tubeGiven ? tr("—") : tr("no tube given"));
    }
}

QString ResultsPanel::necHeading() const
{
    return m_necHeading->text();
}

QString ResultsPanel::closedFormBuiltText(const nec::Refined& r, design::Unit unit) const
{
    const QLocale locale;
    if (!r.closedForm) {
        return tr("no closed-form match for NEC-2's R, X");
    }
    if (!r.closedFormSwr) {
        return tr("does not fit");
    }
    // Built from NEC-2's feed impedance: the closed form beside only when
    // it shows the same rod and capacitor.
    const QString rod = lengthText(r.closedForm->rodLength, unit, locale);
    const QString capacitor = r.closedForm->capacitorShorted
        ? tr("none: short the capacitor")
        : QStringLiteral("%1 pF").arg(formatNumber(r.closedForm->capacitancePf, locale));
    const QString swr = formatNumber(*r.closedFormSwr, locale, 2);
    if (rod == m_rodLength->text() && capacitor == m_capacitance->text()) {
        return tr("%1 (the one beside, built)").arg(swr);
    }
    // The rod and capacitor only: "from NEC-2's R, X" is the row's tooltip,
    // and with it the text would not fit its field.
    return tr("%1 (rod %2, %3)").arg(swr, rod, r.closedForm->capacitorShorted ? tr("capacitor shorted") : capacitor);
}

QString ResultsPanel::fullWaveSummary(bool waiting) const
{
    if (!m_fullWaveShown) {
        return {};
    }
    QString text = QStringLiteral("\nFull-wave check (NEC-2)\n");
    const std::array<std::pair<QString, const QLineEdit*>, 9> rows = {
        std::pair{tr("Refined rod length"), m_necRodLength}, std::pair{tr("Refined capacitor"), m_necCapacitance},
        std::pair{tr("NEC feed impedance, bare element"), m_necFeed},
        std::pair{tr("Closed form in NEC-2, SWR"), m_necClosedFormSwr}, std::pair{tr("Refined match, SWR"), m_necSwr},
        std::pair{tr("Average gain test"), m_necAverageGain}, std::pair{tr("Halved segments"), m_necHalved},
        std::pair{tr("Capacitor to allow for"), m_necCapacitorAllowance},
        std::pair{tr("Strap to allow for"), m_necStrapAllowance}};
    for (const auto& [name, field] : rows) {
        if (!waiting && !field->text().isEmpty()) {
            text += QStringLiteral("  ") + (name + QLatin1Char(':')).leftJustified(34) + field->text()
                + QLatin1Char('\n');
        }
    }
    return text + QStringLiteral("  ") + m_necStatus->text() + QLatin1Char('\n');
}

} // namespace vostrel::designer
