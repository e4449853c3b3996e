// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_session.h"

#include "maa_reader.h"
#include "physics.h"
#include "refine.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>

namespace vostrel::designer {

namespace {

// The rod, strap and capacitor of the match to build at the power asked,
// if any.
std::optional<DesignerSession::Rated> rateDesign(
    const MatchStudy& study, const std::optional<BuiltMatch>& built, const std::optional<ratings::Input>& asked)
{
    if (!asked || !built) {
        return std::nullopt;
    }
    const design::DesignInput& in = study.inputs().design;
    ratings::Input rated = *asked;
    rated.freqMhz = in.freqMhz;
    rated.lineImpedance = in.lineImpedance;
    if (built->fromNec()) {
        const double omega = physics::kTwoPi * in.freqMhz * 1e6;
        rated.capacitorReactance
            = std::isfinite(built->design.capacitancePf) ? 1e12 / (omega * built->design.capacitancePf) : 0;
    } else {
        const design::Design& d = study.design();
        rated.capacitorReactance = d.capacitorShorted ? 0 : std::fabs(d.capacitorReactance);
    }
    rated.rodLength = built->design.rodLength;
    rated.rodDiameter = in.geometry.rodDiameter;
    rated.strapLength = in.geometry.spacing;
    return DesignerSession::Rated{rated, ratings::rate(rated)};
}

} // namespace

DesignerSession::Update DesignerSession::update(const InputTexts& texts, const QLocale& locale)
{
    Update update;
    InputTexts read = texts;
    if (m_measured) {
        update.measured = measuredAt(texts.frequency, locale, update.errors);
        if (update.measured) {
            read.resistance = update.measured->resistance;
            read.reactance = update.measured->reactance;
        }
    }
    if (m_antennaModel) {
        const nec::Wire& driven = m_antennaModel->wires[static_cast<std::size_t>(m_antennaModel->drivenWire)];
        update.modelElement = ModelElement{givenLengthText(2 * driven.radius, texts.unit, locale),
            tr("The element is the driven wire of %1 (tag %2), checked and refined in NEC-2.")
                .arg(m_antennaModelName)
                .arg(driven.tag)};
        read.elementDiameter = update.modelElement->diameter;
    }
    const Validation validation = validate(read, locale);
    update.errors += validation.errors;
    if (validation.inputs) {
        // A frequency whose plot cannot be drawn is refused at its field,
        // before any redraw.
        const double mhz = validation.inputs->design.freqMhz;
        if (!drawableRange(mhz * (1 - MatchStudy::kFrequencySpan), mhz * (1 + MatchStudy::kFrequencySpan))) {
            update.errors.append({design::Field::Frequency,
                tr("Frequency: %1 MHz is beyond what the plots can draw.").arg(formatNumber(mhz, locale))});
        }
    }
    if (!update.errors.isEmpty()) {
        m_stale = m_hasStudy; // the study is of the last good inputs
        if (m_necPending) {
            m_necKey.reset(); // the answer for those inputs never comes
            m_necPending = false;
        }
        update.nec = NecAction::Hold;
        return update;
    }
    m_stale = false;
    m_study.setInputs(*validation.inputs, m_measured);
    m_hasStudy = true;
    m_ratingsAsked = validation.ratings;
    m_elementLength = validation.elementLength;
    update.nec = planFullWave(*validation.inputs, validation.elementLength, texts, update);
    rebuild();
    return update;
}

void DesignerSession::rebuild(std::optional<Tuning> tuning)
{
    const bool necStands = m_fullWave && !m_necPending;
    m_built = builtMatch(m_study, necStands ? &*m_fullWave : nullptr, tuning);
    m_rated = rateDesign(m_study, m_built, m_ratingsAsked);
}

std::optional<DesignerSession::Measured> DesignerSession::measuredAt(
    const QString& frequency, const QLocale& locale, QList<FieldError>& errors) const
{
    const std::optional<double> read = parseNumber(frequency, locale);
    if (!read) {
        return std::nullopt; // validation names the frequency
    }
    const auto& points = m_measured->points;
    const double fromMhz = points.front().freqHz / 1e6;
    const double toMhz = points.back().freqHz / 1e6;
    const QString span = points.size() == 1
        ? tr("one point, at %1 MHz").arg(formatNumber(fromMhz, locale))
        : tr("%1 to %2 MHz").arg(formatNumber(fromMhz, locale), formatNumber(toMhz, locale));
    const double mhz = *read;
    const auto z = touchstone::impedanceAt(*m_measured, mhz * 1e6);
    if (!z) {
        QString message = points.size() == 1
            ? tr("Frequency: %1 MHz is not the measurement's %2.").arg(formatNumber(mhz, locale), span)
            : tr("Frequency: %1 MHz is outside the measurement's %2.").arg(formatNumber(mhz, locale), span);
        if (const std::string hint = touchstone::frequencyUnitHint(*m_measured); !hint.empty()) {
            message += QLatin1Char(' ') + capitalised(hint) + QLatin1Char('.');
        }
        errors.append({design::Field::Frequency, message});
        return std::nullopt;
    }
    // R and X at the precision the window shows ohms with everywhere.
    return Measured{formatNumber(z->real(), locale, 1), formatNumber(z->imag(), locale, 1),
        tr("R and X from %1, interpolated at %2 MHz between its nearest points (%3 points, %4).")
            .arg(m_measuredName, formatNumber(mhz, locale))
            .arg(points.size())
            .arg(span)};
}

namespace {

// "+y" -> (0, 1, 0); "away" (or any other text) -> none: away from the
// other elements.
std::optional<nec::Point> rodDirection(const QString& side)
{
    if (side.size() != 2 || (side[0] != QLatin1Char('+') && side[0] != QLatin1Char('-')) || side[1] < QLatin1Char('x')
        || side[1] > QLatin1Char('z')) {
        return std::nullopt;
    }
    nec::Point direction{0, 0, 0};
    direction[static_cast<std::size_t>(side[1].unicode() - u'x')] = side[0] == QLatin1Char('+') ? 1 : -1;
    return direction;
}

} // namespace

DesignerSession::NecAction DesignerSession::planFullWave(
    const ValidInputs& inputs, std::optional<double> elementLength, const InputTexts& texts, Update& update)
{
    if (!elementLength && !m_antennaModel) {
        m_necKey.reset();
        m_necJob.reset();
        m_necPending = false;
        m_fullWave.reset();
        m_lineWithoutTube = false;
        return NecAction::Hide;
    }
    NecJobKey key = necJobKey(inputs, elementLength, m_antennaModel ? m_antennaModelHash : QByteArray(), m_run);
    const std::optional<nec::Point> direction = rodDirection(texts.rodSide);
    key.rodSide = direction ? texts.rodSide : QStringLiteral("away");
    // The rod in its tube needs the tube; without one it is the rod's end.
    const bool inTube = texts.capAt == QLatin1String("tube") && inputs.tubeInnerDiameter;
    const bool atRodEnd = texts.capAt == QLatin1String("rod-end") || texts.capAt == QLatin1String("tube");
    key.capacitorAt = inTube ? nec::CapacitorAt::Tube : atRodEnd ? nec::CapacitorAt::RodEnd : nec::CapacitorAt::Feed;
    m_lineWithoutTube = texts.capAt == QLatin1String("tube") && !inTube;
    if (inTube) {
        key.tubeInnerDiameter = sixFigures(*inputs.tubeInnerDiameter);
        key.permittivity = sixFigures(inputs.permittivity);
    }
    if (m_necKey == key) {
        return NecAction::Reshow;
    }
    std::shared_ptr<const FullWaveResult> before;
    if (m_necKey && m_necJob && m_fullWave && !m_necPending && std::holds_alternative<nec::Refined>(m_fullWave->refined)
        && differsOnlyInClosedForm(*m_necKey, key)) {
        before = std::make_shared<const FullWaveResult>(*m_fullWave);
    }
    m_fullWave.reset();
    m_necKey = key;
    m_necPending = true;
    FullWaveJob job;
    job.key = key;
    job.job.design = inputs.design;
    if (before) {
        // The job that ran, to the last bit (a unit written back differs in
        // the seventh figure), shown in the convention and model chosen now.
        job.job.design = m_necJob->design;
        job.job.design.stepUp = inputs.design.stepUp;
        job.job.design.model = inputs.design.model;
    }
    if (m_antennaModel) {
        job.job.element = *m_antennaModel;
    } else {
        job.job.element = nec::DipoleElement{*elementLength};
    }
    job.job.run = m_run;
    job.job.rodSide = direction;
    job.job.capacitorAt = key.capacitorAt;
    if (inTube) {
        job.job.tube = nec::TubeCapacitor{*inputs.tubeInnerDiameter, inputs.permittivity};
    }
    job.before = std::move(before);
    m_necJob = job.job;
    const double mhz = inputs.design.freqMhz;
    job.sweepFromMhz = mhz * (1 - MatchStudy::kFrequencySpan);
    job.sweepToMhz = mhz * (1 + MatchStudy::kFrequencySpan);
    job.sweepPoints = kNecSweepPoints;
    job.sweepFromNec = kNecSweepFromNec;
    update.necJob = std::move(job);
    return NecAction::Start;
}

std::variant<std::string, QString> DesignerSession::matchedDeck() const
{
    if (!m_necJob || !m_fullWave || m_necPending) {
        return tr("NEC-2 has no match for these inputs yet: give the element length or open the antenna model, and "
                  "wait for its answer.");
    }
    const auto* refined = std::get_if<nec::Refined>(&m_fullWave->refined);
    if (refined == nullptr) {
        return tr("NEC-2 found no match to write: %1")
            .arg(QString::fromStdString(std::get<nec::NecFailure>(m_fullWave->refined).message));
    }
    const auto deck = nec::writeMatchedDeck(*m_necJob, refined->rodLength, refined->capacitancePf);
    if (const auto* failure = std::get_if<nec::NecFailure>(&deck)) {
        return QString::fromStdString(failure->message);
    }
    return std::get<std::string>(deck);
}

bool DesignerSession::retune(Tuning tuning)
{
    if (!hasBuilt()) {
        return false; // nothing to build, or a match for inputs the fields no longer hold
    }
    if (m_built->fromNec()) {
        rebuild(tuning); // the closed form stays at its design, for comparison
    } else {
        m_study.setTuning(tuning);
        rebuild();
    }
    return true;
}

bool DesignerSession::fullWaveFinished(const FullWaveResult& result)
{
    if (!m_necPending || m_necKey != result.key) {
        return false;
    }
    m_fullWave = result;
    m_necPending = false;
    if (m_hasStudy && !m_stale) {
        if (m_study.hasDesign()) {
            m_study.setTuning(m_study.designTuning()); // the sliders start again from the match to build
        }
        rebuild();
    }
    return true;
}

std::optional<QString> DesignerSession::openMeasurement(const QByteArray& bytes, const QString& name)
{
    auto refused = [&name](const touchstone::ParseError& error) {
        return error.line > 0
            ? tr("%1, line %2: %3").arg(name).arg(error.line).arg(QString::fromStdString(error.message))
            : tr("%1: %2").arg(name, QString::fromStdString(error.message));
    };
    auto parsed = touchstone::parseOnePort(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
        return refused(*error);
    }
    if (const auto unusable = touchstone::checkImpedances(std::get<touchstone::OnePort>(parsed))) {
        return refused(*unusable); // e.g. |S| > 1: no feed resistance to match
    }
    // One point is a measurement too, as vostrel-design takes it: the
    // design at that frequency, no frequency plot to draw.
    m_measured = std::make_shared<const touchstone::OnePort>(std::move(std::get<touchstone::OnePort>(parsed)));
    m_measuredName = name;
    return std::nullopt;
}

void DesignerSession::forgetMeasurement()
{
    m_measured.reset();
    m_measuredName.clear();
}

std::optional<QString> DesignerSession::openAntennaModel(const QByteArray& bytes, const QString& name)
{
    // A NEC-2 deck or an MMANA-GAL .maa model (known by its name or its text).
    auto read = nec::readModel(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), name.toStdString());
    if (const auto* failure = std::get_if<nec::NecFailure>(&read)) {
        return QString::fromStdString(failure->message);
    }
    m_antennaModel = std::move(std::get<nec::UserDeck>(read));
    m_antennaModelName = name;
    m_antennaModelHash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return std::nullopt;
}

void DesignerSession::forgetAntennaModel()
{
    m_antennaModel.reset();
    m_antennaModelName.clear();
    m_antennaModelHash.clear();
}

} // namespace vostrel::designer
