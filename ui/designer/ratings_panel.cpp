// SPDX-License-Identifier: GPL-3.0-or-later
#include "ratings_panel.h"
#include "design_inputs.h"
#include "designer_names.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace vostrel::designer {

namespace {

// Fixed decimals, as the command line writes them, in the locale's notation.
QString decimals(double value, int places)
{
    return QString::fromStdString(decimalsText(value, places)).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

QString swrText(double margin)
{
    return QStringLiteral("SWR %1").arg(formatInput(margin, QLocale()));
}

} // namespace

RatingsPanel::RatingsPanel(QWidget* parent)
    : QGroupBox(tr("Ratings"), parent)
{
    setObjectName(names::ratings);
    m_form = new QFormLayout(this);
    m_lineCurrent = addRow(tr("Line current:"), names::lineCurrent);
    m_capacitorVoltage = addRow(tr("Capacitor voltage:"), names::capacitorVoltage);
    m_atMargin = addRow(tr("At the margin:"), names::capacitorVoltageAtMargin);
    m_atMarginCaption = qobject_cast<QLabel*>(m_form->labelForField(m_atMargin));
    m_recommended = addRow(tr("Capacitor rating, at least:"), names::recommendedVoltage);
    m_rodCurrent = addRow(tr("Rod and strap current:"), names::rodCurrent);
    m_capacitorLoss = addRow(tr("Capacitor loss:"), names::capacitorLoss);
    m_capacitorLossCaption = qobject_cast<QLabel*>(m_form->labelForField(m_capacitorLoss));
    m_matchLoss = addRow(tr("Loss in the match:"), names::matchLoss);
    m_recommended->setToolTip(
        tr("Twice the peak voltage at the margin: the safety factor of two builders use for RF capacitors"));
    m_rodCurrent->setToolTip(tr("The capacitor is in series with the rod: they carry the line current"));

    m_warning = new QLabel;
    m_warning->setObjectName(names::ratingsWarning);
    m_warning->setWordWrap(true);
    m_warning->setTextFormat(Qt::PlainText);
    QPalette palette = m_warning->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x1c, 0x1c));
    m_warning->setPalette(palette);
    m_warning->hide();
    m_form->addRow(m_warning);
    hide();
}

QLineEdit* RatingsPanel::addRow(const QString& label, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::TabFocus);
    edit->setAccessibleName(QString(label).chopped(1));
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    m_form->addRow(caption, edit);
    m_all.append(edit);
    return edit;
}

void RatingsPanel::showRatings(
    const ratings::Input& input, const std::variant<ratings::Ratings, ratings::NoRating>& answer)
{
    const QString swr = swrText(input.swrMargin);
    const bool airTube = input.tubeInnerDiameter && input.capacitor == ratings::Capacitor::AirVariable;
    const std::string_view name = ratings::capacitorKind(input.capacitor).name;
    // A rod in a tube of air is a coaxial capacitor, not a variable.
    const QString capacitor
        = airTube ? tr("air-spaced coaxial") : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    setTitle(tr("Ratings at %1 W, margin %2 (%3)").arg(formatInput(input.powerW, QLocale()), swr, capacitor));
    m_atMarginCaption->setText(tr("At %1:").arg(swr));
    m_atMargin->setAccessibleName(tr("Capacitor voltage at %1").arg(swr));
    show();
    if (const auto* refused = std::get_if<ratings::NoRating>(&answer)) {
        for (QLineEdit* edit : m_all) {
            edit->clear();
        }
        mark(false);
        m_warning->setText(capitalised(refused->message) + QLatin1Char('.'));
        m_warning->show();
        return;
    }
    const auto& r = std::get<ratings::Ratings>(answer);
    const auto watts = [](double w) { return decimals(w, 3) + QStringLiteral(" W"); };
    m_lineCurrent->setText(
        tr("%1 A rms (%2 A at %3)").arg(decimals(r.lineCurrent, 3), decimals(r.lineCurrentAtMargin, 3), swr));
    m_capacitorVoltage->setText(
        tr("%1 V rms, %2 V peak").arg(decimals(r.capacitorVoltage, 1), decimals(r.capacitorVoltagePeak, 1)));
    m_atMargin->setText(tr("%1 V rms, %2 V peak")
                            .arg(decimals(r.capacitorVoltageAtMargin, 1), decimals(r.capacitorVoltagePeakAtMargin, 1)));
    m_recommended->setText(tr("%1 V peak").arg(decimals(r.recommendedVoltage, 0)));
    m_rodCurrent->setText(tr("%1 A rms").arg(decimals(r.rodCurrent, 3)));
    m_capacitorLossCaption->setText(tr("Capacitor loss, Q %1:").arg(decimals(r.capacitorQ, 0)));
    m_capacitorLoss->setText(watts(r.capacitorLoss));
    m_matchLoss->setText(watts(r.matchLoss));
    QStringList warnings;
    for (const ratings::Warning& warning : r.warnings) {
        warnings << tr("Warning: %1").arg(QString::fromStdString(warning.message));
    }
    m_warning->setText(warnings.join(QLatin1Char('\n')));
    m_warning->setVisible(!warnings.isEmpty());
    mark(!warnings.isEmpty());
}

void RatingsPanel::showRated(const std::optional<DesignerSession::Rated>& rated)
{
    if (rated) {
        showRatings(rated->input, rated->answer);
    } else {
        clearRatings();
    }
}

void RatingsPanel::clearRatings()
{
    for (QLineEdit* edit : m_all) {
        edit->clear();
    }
    mark(false);
    m_warning->clear();
    hide();
}

void RatingsPanel::mark(bool problem)
{
    QPalette palette = m_atMargin->palette();
    palette.setColor(
        QPalette::Base, problem ? QColor(0xff, 0xe0, 0xe0) : QApplication::palette(m_atMargin).color(QPalette::Base));
    m_atMargin->setPalette(palette);
    m_atMargin->setProperty("problem", problem);
    m_atMargin->setAccessibleDescription(problem ? m_warning->text() : QString());
}

bool RatingsPanel::marked() const
{
    return m_atMargin->property("problem").toBool();
}

void RatingsPanel::setStale(bool stale)
{
    for (QLineEdit* edit : m_all) {
        edit->setProperty("stale", stale);
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Text, stale ? palette.color(QPalette::PlaceholderText) : QPalette().color(QPalette::Text));
        edit->setPalette(palette);
    }
}

} // namespace vostrel::designer
