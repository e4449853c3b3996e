// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_inputs_form.h"
#include "designer_names.h"
#include "wheel_guarded_combo_box.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

#include <tuple>

namespace vostrel::designer {

namespace {

using design::Field;

QLabel* unitLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("MHz ")));
    return label;
}

QLabel* explanation(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setIndent(22);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
    return label;
}

} // namespace

DesignInputsForm::DesignInputsForm(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buildOperatingPoint());
    column->addWidget(buildGeometry());
    column->addWidget(buildFeedLine());
    column->addWidget(buildCoaxCapacitor());
    column->addWidget(buildPower());
    column->addWidget(buildProblemList());
    column->addStretch(1);

    setTextsQuietly(localisedTexts(InputTexts{}, QLocale()));
    updateUnitLabels();
    for (const auto& [which, label] : std::as_const(m_lengthUnitLabels)) {
        connect(field(which), &QLineEdit::textChanged, this, &DesignInputsForm::updateUnitLabels);
    }

    // The tab order follows the form from top to bottom.
    const std::array<QWidget*, 18> order = {field(Field::Frequency), field(Field::FeedResistance),
        field(Field::FeedReactance), m_unit, field(Field::ElementDiameter), field(Field::RodDiameter),
        field(Field::Spacing), field(Field::ElementLength), m_rodSide, m_capAt, m_line, m_whole, m_half, m_textbook,
        field(Field::TubeInnerDiameter), m_dielectric, field(Field::Power), field(Field::SwrMargin)};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void DesignInputsForm::emitEdited()
{
    if (!m_quiet) {
        emit edited();
    }
}

QGroupBox* DesignInputsForm::buildOperatingPoint()
{
    auto* group = new QGroupBox(tr("Operating point"));
    auto* form = new QFormLayout(group);
    addField(form, tr("Fre&quency:"), names::frequency, Field::Frequency, unitLabel(tr("MHz")),
        tr("The frequency to match at, in MHz"));
    addField(form, tr("Feed &resistance R:"), names::resistance, Field::FeedResistance, unitLabel(tr("Ω")),
        tr("The element's feed resistance at its centre, in ohms"));
    addField(form, tr("Feed reactance &X:"), names::reactance, Field::FeedReactance, unitLabel(tr("Ω")),
        tr("The element's feed reactance at its centre, in ohms; negative when the element is short"));
    m_measurementNote = new QLabel;
    m_measurementNote->setObjectName(names::measurementNote);
    m_measurementNote->setWordWrap(true);
    m_measurementNote->hide();
    form->addRow(m_measurementNote);
    return group;
}

QGroupBox* DesignInputsForm::buildGeometry()
{
    auto* group = new QGroupBox(tr("Geometry"));
    auto* form = new QFormLayout(group);
    m_unit = new WheelGuardedComboBox;
    m_unit->setObjectName(names::unit);
    for (design::Unit unit : kFormUnits) {
        m_unit->addItem(QString::fromLatin1(design::unitSymbol(unit)), static_cast<int>(unit));
    }
    m_unit->setAccessibleName(tr("Length unit"));
    auto* unitCaption = new QLabel(tr("Length &unit:"));
    unitCaption->setBuddy(m_unit);
    form->addRow(unitCaption, m_unit);
    const QString lengthHelp = tr("A number in the length unit, or with its own unit, e.g. 12 mm");
    for (auto [caption, name, field] :
        {std::tuple{tr("Eleme&nt diameter:"), names::elementDiameter, Field::ElementDiameter},
            std::tuple{tr("R&od diameter:"), names::rodDiameter, Field::RodDiameter},
            std::tuple{tr("Centre s&pacing:"), names::spacing, Field::Spacing}}) {
        auto* shownUnit = unitLabel(QString());
        m_lengthUnitLabels.append({field, shownUnit});
        addField(form, caption, name, field, shownUnit, lengthHelp);
    }
    auto* lengthUnit = unitLabel(QString());
    m_lengthUnitLabels.append({Field::ElementLength, lengthUnit});
    addField(form, tr("Element len&gth:"), names::elementLength, Field::ElementLength, lengthUnit,
        tr("The element's length tip to tip: the match is then checked and refined in NEC-2 for a straight "
           "element in free space. Empty for no check."));
    field(Field::ElementLength)->setPlaceholderText(tr("optional, for NEC-2"));
    m_rodSide = new WheelGuardedComboBox;
    m_rodSide->setObjectName(names::rodSide);
    m_rodSide->addItem(tr("away from the other elements"), QStringLiteral("away"));
    for (const char* side : kRodSides) {
        if (QLatin1String(side) != QLatin1String("away")) {
            m_rodSide->addItem(tr("%1 (the model's axes)").arg(QLatin1String(side)), QLatin1String(side));
        }
    }
    m_rodSide->setAccessibleName(tr("Rod side in NEC-2"));
    m_rodSide->setToolTip(tr("Where NEC-2's model puts the rod beside the element: away from the other elements "
                             "(upwards for a lone tube), or along an axis of the antenna model, across the "
                             "element. As vostrel-design's --rod-side."));
    auto* rodSideCaption = new QLabel(tr("Rod side (NEC-2):"));
    rodSideCaption->setBuddy(m_rodSide);
    form->addRow(rodSideCaption, m_rodSide);
    connect(m_rodSide, &QComboBox::currentIndexChanged, this, &DesignInputsForm::emitEdited);
    m_capAt = new WheelGuardedComboBox;
    m_capAt->setObjectName(names::capAt);
    m_capAt->addItem(tr("at the feed point"), QStringLiteral("feed"));
    m_capAt->addItem(tr("at the rod's end (inside its tube)"), QStringLiteral("rod-end"));
    m_capAt->addItem(tr("as a line in the tube below"), QStringLiteral("tube"));
    m_capAt->setAccessibleName(tr("Capacitor place in NEC-2"));
    m_capAt->setToolTip(tr("Where the capacitor sits in NEC-2's model, as you build it: between the feed point and "
                           "the feed connection (a variable capacitor in a box), or at the rod's feed end (a coax "
                           "capacitor inside the rod's tube). The rod in the tube models the rod's end sliding into "
                           "the tube typed below as the piece of coaxial line it is (its reactance changes with "
                           "frequency faster than a capacitor's); without a tube it is the rod's end. It moves the "
                           "refined rod and capacitor. As vostrel-design's --cap-at."));
    auto* capAtCaption = new QLabel(tr("Capacitor (NEC-2):"));
    capAtCaption->setBuddy(m_capAt);
    form->addRow(capAtCaption, m_capAt);
    connect(m_capAt, &QComboBox::currentIndexChanged, this, &DesignInputsForm::emitEdited);
    m_antennaModelNote = new QLabel;
    m_antennaModelNote->setObjectName(names::antennaModelNote);
    m_antennaModelNote->setWordWrap(true);
    m_antennaModelNote->hide();
    form->addRow(m_antennaModelNote);
    connect(m_unit, &QComboBox::currentIndexChanged, this, [this] {
        const auto unit = static_cast<design::Unit>(m_unit->currentData().toInt());
        if (!m_quiet) {
            convertLengths(m_shownUnit, unit);
        }
        m_shownUnit = unit;
        updateUnitLabels();
        emitEdited();
    });
    return group;
}

QGroupBox* DesignInputsForm::buildFeedLine()
{
    auto* group = new QGroupBox(tr("Feed line and step-up"));
    auto* form = new QFormLayout(group);
    m_line = new WheelGuardedComboBox;
    m_line->setObjectName(names::lineImpedance);
    m_line->setEditable(true);
    m_line->addItems({QStringLiteral("50"), QStringLiteral("75")});
    m_line->setAccessibleName(tr("Feed line impedance"));
    m_line->setToolTip(tr("The coax's impedance in ohms: 50, 75 or any other typed"));
    m_fields[Field::LineImpedance] = m_line->lineEdit();
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(m_line, 1);
    lineRow->addWidget(unitLabel(tr("Ω")));
    auto* lineCaption = new QLabel(tr("Feed line i&mpedance:"));
    lineCaption->setBuddy(m_line);
    form->addRow(lineCaption, lineRow);
    connect(m_line, &QComboBox::currentTextChanged, this, &DesignInputsForm::emitEdited);

    m_whole = new QRadioButton(tr("Whole feed impedance (k = 1)"));
    m_whole->setObjectName(names::stepUpWhole);
    m_half = new QRadioButton(tr("Half feed impedance (k = 1/2)"));
    m_half->setObjectName(names::stepUpHalf);
    m_stepUp = new QButtonGroup(this);
    m_stepUp->addButton(m_whole);
    m_stepUp->addButton(m_half);
    auto* conventions = new QVBoxLayout;
    conventions->setSpacing(2);
    conventions->addWidget(m_whole);
    conventions->addWidget(explanation(tr("The rod steps up the whole feed impedance: ARRL, Owen Duffy.")));
    conventions->addWidget(m_half);
    conventions->addWidget(explanation(tr("It steps up half of it, as an unbalanced T match: Balanis.")));
    form->addRow(new QLabel(tr("Convention:")), conventions);
    connect(m_stepUp, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
        if (checked) {
            emitEdited();
        }
    });
    m_textbook = new QCheckBox(tr("Textboo&k line model"));
    m_textbook->setObjectName(names::textbookModel);
    auto* model = new QVBoxLayout;
    model->setSpacing(2);
    model->addWidget(m_textbook);
    model->addWidget(explanation(tr("Without the feed connection's and strap's inductance, as the published "
                                    "worked examples; NEC-2 puts their capacitor some 15 % high.")));
    form->addRow(new QLabel(tr("Closed form:")), model);
    connect(m_textbook, &QCheckBox::toggled, this, &DesignInputsForm::emitEdited);
    return group;
}

QGroupBox* DesignInputsForm::buildCoaxCapacitor()
{
    auto* group = new QGroupBox(tr("Coax capacitor (optional)"));
    auto* form = new QFormLayout(group);
    auto* tubeUnit = unitLabel(QString());
    m_lengthUnitLabels.append({Field::TubeInnerDiameter, tubeUnit});
    addField(form, tr("&Tube inner diameter:"), names::tubeInnerDiameter, Field::TubeInnerDiameter, tubeUnit,
        tr("The inner diameter of the tube the rod slides into; empty for a separate capacitor"));
    m_fields[Field::TubeInnerDiameter]->setPlaceholderText(tr("none"));
    m_dielectric = new WheelGuardedComboBox;
    m_dielectric->setObjectName(names::dielectric);
    for (const design::Dielectric& dielectric : design::dielectrics()) {
        m_dielectric->addItem(
            QStringLiteral("%1 (εr %2)")
                .arg(QString::fromLatin1(dielectric.name), QLocale().toString(dielectric.permittivity)),
            QString::fromLatin1(dielectric.name));
    }
    m_dielectric->setAccessibleName(tr("Dielectric"));
    auto* dielectricCaption = new QLabel(tr("Diele&ctric:"));
    dielectricCaption->setBuddy(m_dielectric);
    form->addRow(dielectricCaption, m_dielectric);
    connect(m_dielectric, &QComboBox::currentIndexChanged, this, &DesignInputsForm::emitEdited);
    return group;
}

QGroupBox* DesignInputsForm::buildPower()
{
    auto* group = new QGroupBox(tr("Power (optional)"));
    auto* form = new QFormLayout(group);
    addField(form, tr("Po&wer:"), names::power, Field::Power, unitLabel(tr("W")),
        tr("The transmitter's power in watts: the ratings the capacitor, rod and strap must stand. Empty for none."));
    field(Field::Power)->setPlaceholderText(tr("none"));
    addField(form, tr("SWR m&argin:"), names::swrMargin, Field::SwrMargin, unitLabel(QString()),
        tr("The worst SWR the capacitor must survive while the match is tuned, e.g. 2"));
    return group;
}

QLabel* DesignInputsForm::buildProblemList()
{
    m_problemList = new QLabel;
    m_problemList->setObjectName(names::inputProblems);
    m_problemList->setWordWrap(true);
    m_problemList->setTextFormat(Qt::PlainText);
    QPalette palette = m_problemList->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x1c, 0x1c));
    m_problemList->setPalette(palette);
    m_problemList->hide();
    return m_problemList;
}

QLineEdit* DesignInputsForm::addField(QFormLayout* form, const QString& label, const char* name, design::Field field,
    QLabel* unitLabel, const QString& help)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(help);
    edit->setAccessibleName(fieldName(field));
    edit->setAlignment(Qt::AlignRight);
    m_fields[field] = edit;
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(unitLabel);
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    form->addRow(caption, row);
    connect(edit, &QLineEdit::textEdited, this, &DesignInputsForm::edited);
    return edit;
}

void DesignInputsForm::convertLengths(design::Unit from, design::Unit to) const
{
    InputTexts lengths = texts();
    vostrel::designer::convertLengths(lengths, from, to, QLocale());
    for (auto [which, text] : {std::pair{Field::ElementDiameter, &lengths.elementDiameter},
             std::pair{Field::RodDiameter, &lengths.rodDiameter}, std::pair{Field::Spacing, &lengths.spacing},
             std::pair{Field::TubeInnerDiameter, &lengths.tubeInnerDiameter},
             std::pair{Field::ElementLength, &lengths.elementLength}}) {
        if (field(which)->text() != *text) {
            field(which)->setText(*text);
        }
    }
}

QString DesignInputsForm::unitBeside(design::Field which) const
{
    for (const auto& [shownFor, label] : m_lengthUnitLabels) {
        if (shownFor == which) {
            return label->text();
        }
    }
    return {};
}

void DesignInputsForm::updateUnitLabels()
{
    const auto unit = static_cast<design::Unit>(m_unit->currentData().toInt());
    const NumberFormat format = numberFormat(QLocale());
    for (const auto& [which, label] : std::as_const(m_lengthUnitLabels)) {
        const std::string text = field(which)->text().trimmed().toStdString();
        const bool ownUnit
            = !text.empty() && std::holds_alternative<design::Length>(design::parseLength(text, std::nullopt, format));
        label->setText(ownUnit ? QString() : QString::fromLatin1(design::unitSymbol(unit)));
    }
}

InputTexts DesignInputsForm::texts() const
{
    InputTexts texts;
    texts.frequency = field(Field::Frequency)->text();
    texts.resistance = field(Field::FeedResistance)->text();
    texts.reactance = field(Field::FeedReactance)->text();
    texts.elementDiameter = field(Field::ElementDiameter)->text();
    texts.rodDiameter = field(Field::RodDiameter)->text();
    texts.spacing = field(Field::Spacing)->text();
    texts.unit = static_cast<design::Unit>(m_unit->currentData().toInt());
    texts.lineImpedance = m_line->currentText();
    texts.stepUp = m_half->isChecked() ? design::StepUp::Half : design::StepUp::Whole;
    texts.tubeInnerDiameter = field(Field::TubeInnerDiameter)->text();
    texts.dielectric = m_dielectric->currentData().toString();
    texts.elementLength = field(Field::ElementLength)->text();
    texts.rodSide = m_rodSide->currentData().toString();
    texts.capAt = m_capAt->currentData().toString();
    texts.model = m_textbook->isChecked() ? design::Model::Textbook : design::Model::Corrected;
    texts.power = field(Field::Power)->text();
    texts.swrMargin = field(Field::SwrMargin)->text();
    return texts;
}

void DesignInputsForm::setTexts(const InputTexts& texts)
{
    setTextsQuietly(texts);
    emit edited();
}

void DesignInputsForm::setTextsQuietly(const InputTexts& texts)
{
    m_quiet = true;
    if (field(Field::FeedResistance)->isReadOnly()) {
        clearMeasured();
    }
    field(Field::Frequency)->setText(texts.frequency);
    field(Field::FeedResistance)->setText(texts.resistance);
    field(Field::FeedReactance)->setText(texts.reactance);
    field(Field::ElementDiameter)->setText(texts.elementDiameter);
    field(Field::RodDiameter)->setText(texts.rodDiameter);
    field(Field::Spacing)->setText(texts.spacing);
    const int unit = m_unit->findData(static_cast<int>(texts.unit));
    m_unit->setCurrentIndex(unit >= 0 ? unit : m_unit->findData(static_cast<int>(design::Unit::Millimetre)));
    m_shownUnit = static_cast<design::Unit>(m_unit->currentData().toInt());
    m_line->setCurrentText(texts.lineImpedance);
    (texts.stepUp == design::StepUp::Half ? m_half : m_whole)->setChecked(true);
    field(Field::TubeInnerDiameter)->setText(texts.tubeInnerDiameter);
    const int dielectric = m_dielectric->findData(texts.dielectric);
    m_dielectric->setCurrentIndex(dielectric >= 0 ? dielectric : 0);
    field(Field::ElementLength)->setText(texts.elementLength);
    const int rodSide = m_rodSide->findData(texts.rodSide);
    m_rodSide->setCurrentIndex(rodSide >= 0 ? rodSide : 0);
    const int capAt = m_capAt->findData(texts.capAt);
    m_capAt->setCurrentIndex(capAt >= 0 ? capAt : 0);
    m_textbook->setChecked(texts.model == design::Model::Textbook);
    field(Field::Power)->setText(texts.power);
    field(Field::SwrMargin)->setText(texts.swrMargin);
    updateUnitLabels();
    m_quiet = false;
}

void DesignInputsForm::showErrors(const QList<FieldError>& errors)
{
    m_problems.clear();
    QStringList lines;
    for (const FieldError& error : errors) {
        m_problems[error.field] = error.message;
        lines << error.message;
    }
    for (auto [which, edit] : m_fields) {
        const auto found = m_problems.find(which);
        const bool bad = found != m_problems.end();
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Base, bad ? QColor(0xff, 0xe0, 0xe0) : QApplication::palette(edit).color(QPalette::Base));
        edit->setPalette(palette);
        edit->setProperty("invalid", bad);
        edit->setAccessibleDescription(bad ? found->second : QString());
    }
    m_problemList->setText(lines.join(QLatin1Char('\n')));
    m_problemList->setVisible(!lines.isEmpty());
}

QString DesignInputsForm::problemOf(design::Field which) const
{
    const auto found = m_problems.find(which);
    return found == m_problems.end() ? QString() : found->second;
}

QStringList DesignInputsForm::problems() const
{
    return m_problemList->text().isEmpty() ? QStringList() : m_problemList->text().split(QLatin1Char('\n'));
}

void DesignInputsForm::setMeasured(const QString& resistance, const QString& reactance, const QString& note)
{
    for (Field which : {Field::FeedResistance, Field::FeedReactance}) {
        field(which)->setReadOnly(true);
    }
    field(Field::FeedResistance)->setText(resistance);
    field(Field::FeedReactance)->setText(reactance);
    m_measurementNote->setText(note);
    m_measurementNote->show();
}

void DesignInputsForm::clearMeasured()
{
    for (Field which : {Field::FeedResistance, Field::FeedReactance}) {
        field(which)->setReadOnly(false);
    }
    m_measurementNote->clear();
    m_measurementNote->hide();
}

void DesignInputsForm::setAntennaModel(const QString& elementDiameter, const QString& note)
{
    if (!m_typedElementDiameter) {
        m_typedElementDiameter.emplace(field(Field::ElementDiameter)->text(), m_shownUnit);
    }
    field(Field::ElementDiameter)->setReadOnly(true);
    field(Field::ElementDiameter)->setText(elementDiameter);
    field(Field::ElementLength)->setEnabled(false);
    field(Field::ElementLength)->setPlaceholderText(tr("from the antenna model"));
    m_antennaModelNote->setText(note);
    m_antennaModelNote->show();
}

InputTexts DesignInputsForm::typedTexts() const
{
    InputTexts typed = texts();
    if (m_typedElementDiameter) {
        InputTexts before;
        before.elementDiameter = m_typedElementDiameter->first;
        vostrel::designer::convertLengths(before, m_typedElementDiameter->second, m_shownUnit, QLocale());
        typed.elementDiameter = before.elementDiameter;
    }
    return typed;
}

void DesignInputsForm::clearAntennaModel()
{
    if (m_typedElementDiameter) {
        field(Field::ElementDiameter)->setText(typedTexts().elementDiameter);
        m_typedElementDiameter.reset();
    }
    field(Field::ElementDiameter)->setReadOnly(false);
    field(Field::ElementLength)->setEnabled(true);
    field(Field::ElementLength)->setPlaceholderText(tr("optional, for NEC-2"));
    m_antennaModelNote->clear();
    m_antennaModelNote->hide();
}

QLineEdit* DesignInputsForm::field(design::Field which) const
{
    const auto found = m_fields.find(which);
    return found == m_fields.end() ? nullptr : found->second;
}

} // namespace vostrel::designer
