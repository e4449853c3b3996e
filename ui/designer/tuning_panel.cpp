// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning_panel.h"
#include "design_inputs.h"
#include "designer_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace vostrel::designer {

namespace {

QSlider* makeSlider(const char* name, const QString& accessibleName)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(-study::kTuningSteps, study::kTuningSteps);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(study::kTuningSteps / 5);
    slider->setAccessibleName(accessibleName);
    return slider;
}

QLabel* valueLabel()
{
    auto* label = new QLabel;
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("000.00 pF (+00.0 %)")));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TuningPanel::TuningPanel(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* box = new QGroupBox(tr("Tuning"));
    auto* grid = new QGridLayout(box);
    m_strap = makeSlider(names::strapSlider, tr("Strap position"));
    m_capacitor = makeSlider(names::capacitorSlider, tr("Capacitor"));
    m_strapValue = valueLabel();
    m_capacitorValue = valueLabel();
    m_strapValue->setObjectName(names::strapValue);
    m_capacitorValue->setObjectName(names::capacitorValue);
    auto* strapCaption = new QLabel(tr("&Strap:"));
    strapCaption->setBuddy(m_strap);
    auto* capacitorCaption = new QLabel(tr("Capac&itor:"));
    capacitorCaption->setBuddy(m_capacitor);
    grid->addWidget(strapCaption, 0, 0);
    grid->addWidget(m_strap, 0, 1);
    grid->addWidget(m_strapValue, 0, 2);
    grid->addWidget(capacitorCaption, 1, 0);
    grid->addWidget(m_capacitor, 1, 1);
    grid->addWidget(m_capacitorValue, 1, 2);
    grid->setColumnStretch(1, 1);

    m_swr = new QLabel;
    m_swr->setObjectName(names::tunedValues);
    QFont bold = m_swr->font();
    bold.setBold(true);
    m_swr->setFont(bold);
    m_reset = new QPushButton(tr("&Back to the design"));
    m_reset->setObjectName(names::resetTuning);
    // The button beside the sliders, the SWR line alone below them: NEC-2's
    // longer line still fits beside the inputs on a 1024-pixel screen.
    grid->addWidget(m_reset, 0, 3, 2, 1, Qt::AlignVCenter);
    grid->addWidget(m_swr, 2, 0, 1, 4);
    column->addWidget(box);

    connect(m_strap, &QSlider::valueChanged, this, &TuningPanel::changed);
    connect(m_capacitor, &QSlider::valueChanged, this, &TuningPanel::changed);
    connect(m_reset, &QPushButton::clicked, this, [this] {
        {
            const QSignalBlocker blockStrap(m_strap);
            const QSignalBlocker blockCapacitor(m_capacitor);
            m_strap->setValue(0);
            m_capacitor->setValue(0);
        }
        changed();
    });
}

void TuningPanel::setDesign(Tuning design, design::Unit unit, bool fromNec)
{
    m_design = design;
    m_unit = unit;
    m_fromNec = fromNec;
    const QSignalBlocker blockStrap(m_strap);
    const QSignalBlocker blockCapacitor(m_capacitor);
    m_strap->setValue(0);
    m_capacitor->setValue(0);
    // A shorted capacitor has no value to move around.
    m_capacitor->setEnabled(std::isfinite(design.capacitancePf));
}

void TuningPanel::setAvailable(bool available)
{
    m_strap->setEnabled(available);
    m_capacitor->setEnabled(available && std::isfinite(m_design.capacitancePf));
    m_reset->setEnabled(available);
    if (!available) {
        m_swr->setText(tr("No design to tune"));
        m_strapValue->clear();
        m_capacitorValue->clear();
    }
}

Tuning TuningPanel::tuning() const
{
    return study::tunedBySteps(m_design, m_strap->value(), m_capacitor->value());
}

QString TuningPanel::swrText() const
{
    return m_swr->text();
}

void TuningPanel::showTunedSwr(double swr)
{
    const QLocale locale;
    const Tuning now = tuning();
    const QString unit = QString::fromLatin1(design::unitSymbol(m_unit));
    m_strapValue->setText(QStringLiteral("%1 %2 (%3 %)")
                              .arg(formatNumber(now.rodLength / design::metresPer(m_unit), locale), unit)
                              .arg(locale.toString(study::kStrapStep * 100 * m_strap->value(), 'f', 2)));
    if (std::isfinite(now.capacitancePf)) {
        m_capacitorValue->setText(
            QStringLiteral("%1 pF (%2 %)")
                .arg(formatNumber(now.capacitancePf, locale))
                .arg(locale.toString(study::kCapacitorStep * 100 * m_capacitor->value(), 'f', 1)));
    } else {
        m_capacitorValue->setText(tr("shorted"));
    }
    m_swr->setText(m_fromNec
            ? tr("NEC-2 refined: SWR %1 in NEC-2 at the tuned strap and capacitor").arg(formatNumber(swr, locale, 2))
            : tr("SWR %1 at the tuned strap and capacitor").arg(formatNumber(swr, locale, 2)));
}

void TuningPanel::changed()
{
    emit tuningChanged(tuning());
}

} // namespace vostrel::designer
