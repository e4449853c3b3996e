#include "results_panel.h"
#include "design_inputs.h"
#include "designer_names.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace vostrel::designer {

ResultsPanel::ResultsPanel(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* box = new QGroupBox(tr("Results"));
    auto* form = new QFormLayout(box);
    m_rodLength = addResult(form, tr("Rod length, feed point to strap:"), names::rodLength);
    m_capacitance = addResult(form, tr("Capacitor:"), names::capacitance);
    m_z0 = addResult(form, tr("Rod-to-element line Z0:"), names::lineZ0);
    m_stepUp = addResult(form, tr("Step-up ratio:"), names::stepUpRatio);
    m_reactance = addResult(form, tr("Capacitor reactance:"), names::capacitorReactance);
    m_insertion = addResult(form, tr("Coax capacitor insertion:"), names::insertionLength);

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
}

QLineEdit* ResultsPanel::addResult(QFormLayout* form, const QString& label, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::TabFocus);
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    edit->setAccessibleName(caption->text().remove(QLatin1Char('&')).chopped(1));
    form->addRow(caption, edit);
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

void ResultsPanel::setStale(bool stale)
{
    m_stale = stale;
    m_staleNote->setVisible(stale);
    for (QLineEdit* edit : m_all) {
        edit->setProperty("stale", stale);
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Text, stale ? palette.color(QPalette::PlaceholderText) : QPalette().color(QPalette::Text));
        edit->setPalette(palette);
    }
}

} // namespace vostrel::designer
