// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust_panel.h"

#include "built_match.h"
#include "coax_cable.h"
#include "wheel_guarded_combo_box.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vostrel::designer {

namespace {

QLabel* answerLabel()
{
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* sentenceLabel()
{
    QLabel* label = answerLabel();
    label->setWordWrap(true);
    return label;
}

} // namespace

AdjustPanel::AdjustPanel(QWidget* parent)
    : QWidget(parent)
{
    m_rodLength = new QLineEdit;
    m_capacitance = new QLineEdit;
    m_capacitance->setPlaceholderText(tr("pF, or short"));
    m_resistance = new QLineEdit;
    m_reactance = new QLineEdit;
    m_resistance->setPlaceholderText(tr("ohms, e.g. 38.5"));
    m_reactance->setPlaceholderText(tr("ohms, e.g. -21.2"));
    m_cable = new WheelGuardedComboBox;
    m_cable->addItem(tr("none, at the connector"), QString());
    for (const coax::Cable& cable : coax::cables()) {
        const QString name = QString::fromLatin1(cable.name.data(), qsizetype(cable.name.size()));
        m_cable->addItem(name, name);
    }
    m_cableLength = new QLineEdit;
    m_cableLength->setPlaceholderText(tr("m, or with its unit: 50 ft"));
    m_cableLength->setEnabled(false);
    m_rodLength->setAccessibleName(tr("Rod as built"));
    m_capacitance->setAccessibleName(tr("Capacitor as set"));
    m_resistance->setAccessibleName(tr("Analyser's resistance R"));
    m_reactance->setAccessibleName(tr("Analyser's reactance X"));
    m_cable->setAccessibleName(tr("Cable to the analyser"));
    m_cableLength->setAccessibleName(tr("Cable length"));

    auto* built = new QGroupBox(tr("Built"));
    auto* builtForm = new QFormLayout(built);
    builtForm->addRow(tr("Rod as built, feed point to strap:"), m_rodLength);
    builtForm->addRow(tr("Capacitor as set:"), m_capacitance);

    auto* read = new QGroupBox(tr("Read"));
    auto* readForm = new QFormLayout(read);
    auto* rCaption = new QLabel(tr("Anal&yser's R:"));
    rCaption->setBuddy(m_resistance);
    readForm->addRow(rCaption, m_resistance);
    readForm->addRow(tr("Analyser's X:"), m_reactance);
    auto* cableCaption = new QLabel(tr("Read &via:"));
    cableCaption->setBuddy(m_cable);
    readForm->addRow(cableCaption, m_cable);
    readForm->addRow(tr("Cable length:"), m_cableLength);

    auto* answer = new QGroupBox(tr("Next"));
    auto* answerForm = new QFormLayout(answer);
    m_feedImpedance = answerLabel();
    m_nextRod = answerLabel();
    m_strapMove = answerLabel();
    m_nextCapacitor = answerLabel();
    m_expectedSwr = answerLabel();
    m_cableLoss = answerLabel();
    answerForm->addRow(tr("Element Za from the reading:"), m_feedImpedance);
    answerForm->addRow(tr("Next rod, feed point to strap:"), m_nextRod);
    answerForm->addRow(tr("Move the strap:"), m_strapMove);
    answerForm->addRow(tr("Next capacitor:"), m_nextCapacitor);
    answerForm->addRow(tr("Expected SWR there:"), m_expectedSwr);
    answerForm->addRow(tr("Cable loss, there and back:"), m_cableLoss);
    m_warning = sentenceLabel();
    m_refusal = sentenceLabel();
    answerForm->addRow(m_warning);
    answerForm->addRow(m_refusal);
    m_useAsBuilt = new QPushButton(tr("Use as built"));
    m_useAsBuilt->setToolTip(tr("Take the next rod and capacitor as the build the next reading is of"));
    m_useAsBuilt->setEnabled(false);
    answerForm->addRow(QString(), m_useAsBuilt);

    auto* column = new QVBoxLayout(this);
    column->addWidget(built);
    column->addWidget(read);
    column->addWidget(answer);
    column->addStretch(1);

    for (QLineEdit* edit : {m_rodLength, m_capacitance, m_resistance, m_reactance, m_cableLength}) {
        connect(edit, &QLineEdit::textEdited, this, &AdjustPanel::recompute);
    }
    connect(m_cable, &QComboBox::currentIndexChanged, this, [this] {
        m_cableLength->setEnabled(m_cable->currentIndex() > 0);
        recompute();
    });
    connect(m_useAsBuilt, &QPushButton::clicked, this, &AdjustPanel::useSuggestion);
    recompute();
}

void AdjustPanel::showStudy(const MatchStudy& study, const BuiltMatch* built)
{
    if (!study.hasDesign()) {
        m_inputs.reset();
        recompute();
        return;
    }
    m_inputs = study.inputs();
    const AdjustTexts prefill = built != nullptr
        ? AdjustReading::builtFrom(built->design, study.inputs().unit, QLocale())
        : AdjustReading::builtFrom(study.design(), study.inputs().unit, QLocale());
    if (prefill.rodLength != m_prefilled.rodLength || prefill.capacitance != m_prefilled.capacitance) {
        m_prefilled = prefill;
        m_rodLength->setText(prefill.rodLength);
        m_capacitance->setText(prefill.capacitance);
    }
    recompute();
}

AdjustTexts AdjustPanel::texts() const
{
    return AdjustTexts{m_rodLength->text(), m_capacitance->text(), m_resistance->text(), m_reactance->text(),
        m_cable->currentData().toString(), m_cableLength->text()};
}

void AdjustPanel::setTexts(const AdjustTexts& texts)
{
    m_rodLength->setText(texts.rodLength);
    m_capacitance->setText(texts.capacitance);
    m_resistance->setText(texts.resistance);
    m_reactance->setText(texts.reactance);
    m_cableLength->setText(texts.cableLength);
    const int cable = m_cable->findData(texts.cable);
    m_cable->setCurrentIndex(cable < 0 ? 0 : cable); // recomputes when it changes
    recompute();
}

QString AdjustPanel::strapMoveText() const
{
    return m_strapMove->text();
}

QString AdjustPanel::nextCapacitorText() const
{
    return m_nextCapacitor->text();
}

QString AdjustPanel::refusalText() const
{
    return m_refusal->text();
}

void AdjustPanel::recompute()
{
    m_answer.reset();
    const AdjustTexts typed = texts();
    std::optional<QString> why;
    if (!m_inputs) {
        why = tr("There is no design to adjust: the inputs have none.");
    } else if (typed.resistance.trimmed().isEmpty() && typed.reactance.trimmed().isEmpty()) {
        why = tr("Build the match, read it with the analyser at %1 MHz and type the R and X it shows.")
                  .arg(formatInput(m_inputs->design.freqMhz, QLocale()));
    } else {
        const AdjustOutcome outcome = AdjustReading::adjust(*m_inputs, typed, QLocale());
        if (const auto* refused = std::get_if<AdjustRefusal>(&outcome)) {
            why = refused->message;
        } else {
            m_answer = std::get<AdjustAnswer>(outcome);
        }
    }
    if (m_answer) {
        showAnswer(*m_answer);
    } else {
        showAnswer(AdjustAnswer{});
        m_refusal->setText(*why);
    }
    m_refusal->setVisible(!m_answer);
    m_useAsBuilt->setEnabled(m_answer.has_value());
}

void AdjustPanel::showAnswer(const AdjustAnswer& answer)
{
    m_feedImpedance->setText(answer.feedImpedance);
    m_nextRod->setText(answer.nextRod);
    m_strapMove->setText(answer.strapMove);
    m_nextCapacitor->setText(answer.nextCapacitor);
    m_expectedSwr->setText(answer.expectedSwr);
    m_cableLoss->setText(answer.cableLoss.isEmpty() ? tr("—") : answer.cableLoss);
    m_warning->setText(answer.warning.isEmpty() ? QString() : tr("Warning: %1").arg(answer.warning));
    m_warning->setVisible(!answer.warning.isEmpty());
    m_refusal->clear();
}

void AdjustPanel::useSuggestion()
{
    if (m_answer && m_inputs) {
        setTexts(AdjustReading::usedAsBuilt(texts(), *m_answer, m_inputs->unit, QLocale()));
    }
}

} // namespace vostrel::designer
