// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "built_match.h"
#include "design_inputs.h"
#include "design_report.h"
#include "full_wave_check.h"
#include "nec_job_key.h"
#include "touchstone.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QLocale>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

namespace vostrel::designer {

// What the designer window shows, worked out without a window: the inputs
// as last read, the measurement file and the antenna model they may come
// from, the design and its sweeps, and the NEC-2 check's job and answer.
// The window reads its form into update(), shows what comes back, runs the
// NEC-2 job it is handed and gives the answer back to fullWaveFinished().
class DesignerSession {
    Q_DECLARE_TR_FUNCTIONS(DesignerSession)
public:
    // R and X read from the measurement file at the frequency typed, for
    // the form to show in place of typed ones.
    struct Measured {
        QString resistance;
        QString reactance;
        QString note; // where they come from
    };
    // The element's diameter from the antenna model, likewise.
    struct ModelElement {
        QString diameter;
        QString note;
    };

    enum class NecAction {
        Hide, // no element to model: no full-wave column
        Hold, // a field is bad: the run stops, the column waits
        Reshow, // the answer shown (or on its way) holds for these inputs
        Start, // another job: stop the one in flight, start `necJob` (its `before`: a redo of the closed form alone)
    };

    struct Update {
        QList<FieldError> errors; // empty: the inputs read and have a study
        std::optional<Measured> measured;
        std::optional<ModelElement> modelElement;
        NecAction nec = NecAction::Hide;
        std::optional<FullWaveJob> necJob; // with Start
    };

    // The points of NEC-2's sweep for the frequency plot, and how many of
    // them nec2c computes (every fourth, both ends; each is a whole
    // solution): the rest are interpolated, within 0.005 in SWR.
    static constexpr int kNecSweepPoints = 41;
    static constexpr int kNecSweepFromNec = 11;

    // Reads `texts` (with the measurement's R and X and the model's
    // element in place of what they replace), designs from them when they
    // read, and says what becomes of NEC-2's check.
    //   the worked example -> no errors, a design, Hide
    //   a frequency of "x" -> an error at the frequency, the last study kept
    //                         and marked stale, Hold
    Update update(const InputTexts& texts, const QLocale& locale);

    // How nec2c runs: its program and time limit are part of the job's key.
    void setRunOptions(const nec::RunOptions& options) { m_run = options; }
    const nec::RunOptions& runOptions() const { return m_run; }

    // A Touchstone one-port file's bytes: R and X then come from it. On a
    // file that cannot be used, the sentence why (naming `name` and the
    // line), and nothing changes.
    std::optional<QString> openMeasurement(const QByteArray& bytes, const QString& name);
    void forgetMeasurement();
    bool hasMeasurement() const { return m_measured != nullptr; }
    const QString& measurementName() const { return m_measuredName; }

    // A NEC-2 deck's bytes: its driven element is modelled and gives the
    // element's diameter. On a deck it cannot use, the sentence why
    // ("FILE:LINE: why"), and nothing changes.
    std::optional<QString> openAntennaModel(const QByteArray& bytes, const QString& name);
    void forgetAntennaModel();
    bool hasAntennaModel() const { return m_antennaModel.has_value(); }
    const QString& antennaModelName() const { return m_antennaModelName; }

    // The design and sweeps of the last inputs that read.
    bool hasStudy() const { return m_hasStudy; }
    const MatchStudy& study() const { return m_study; }
    // The study is of earlier inputs: a field now is bad.
    bool isStale() const { return m_stale; }
    // A design for the inputs the fields hold now: what the sliders tune
    // and every export writes. False while a field is bad.
    bool hasCurrentDesign() const { return m_hasStudy && !m_stale && m_study.hasDesign(); }
    // The design's ratings at the power typed: none without a power or a
    // design; the core's refusal when it cannot rate them.
    struct Rated {
        ratings::Input input; // what was rated, the design's figures filled in
        std::variant<ratings::Ratings, ratings::NoRating> answer;
    };
    const std::optional<Rated>& rated() const { return m_rated; }
    // The one match to build (see BuiltMatch): NEC-2's refined match once
    // it has come for these inputs, else the closed form's; none while a
    // field is bad or when neither matches.
    const std::optional<BuiltMatch>& built() const { return m_built; }
    bool hasBuilt() const { return m_built.has_value() && !m_stale; }
    // What the exports name besides the inputs: the files, the element.
    ExportSource exportSource() const { return {m_measuredName, m_antennaModelName, m_elementLength}; }
    // Moves the tuned point of the match to build; false (nothing moves)
    // without one for the inputs the fields hold.
    bool retune(Tuning tuning);

    // NEC-2's answer for the job handed out last. An answer for any other
    // job (an earlier one, still ending) is not taken: false.
    bool fullWaveFinished(const FullWaveResult& result);
    // The answer for the inputs shown, once it has come.
    const std::optional<FullWaveResult>& fullWave() const { return m_fullWave; }
    bool fullWavePending() const { return m_necPending; }
    // The capacitor asked for as a line in the tube with no tube typed: the
    // job models it at the rod's end, which the window must say.
    bool lineWithoutTube() const { return m_lineWithoutTube; }
    // The matched antenna's NEC-2 deck, as vostrel-design --write-nec
    // writes it: the antenna model (or the lone tube) with NEC-2's refined
    // rod and capacitor. Without a refined match, the sentence why.
    std::variant<std::string, QString> matchedDeck() const;
    // NEC-2's sweep of the refined match is the frequency plot's.
    bool frequencyPlotFromNec() const { return m_fullWave && !m_fullWave->sweep.empty(); }

private:
    std::optional<Measured> measuredAt(
        const QString& frequency, const QLocale& locale, QList<FieldError>& errors) const;
    NecAction planFullWave(
        const ValidInputs& inputs, std::optional<double> elementLength, const InputTexts& texts, Update& update);
    void rebuild(std::optional<Tuning> tuning = std::nullopt);

    nec::RunOptions m_run;
    MatchStudy m_study;
    bool m_hasStudy = false;
    bool m_stale = false;
    std::optional<Rated> m_rated;
    std::optional<ratings::Input> m_ratingsAsked;
    std::optional<BuiltMatch> m_built;
    std::optional<double> m_elementLength;

    std::shared_ptr<const touchstone::OnePort> m_measured; // shared with the study
    QString m_measuredName;

    std::optional<nec::UserDeck> m_antennaModel;
    QString m_antennaModelName;
    QByteArray m_antennaModelHash;

    std::optional<NecJobKey> m_necKey; // the job whose answer is shown or on its way
    std::optional<nec::NecJob> m_necJob; // that job
    bool m_necPending = false;
    bool m_lineWithoutTube = false;
    std::optional<FullWaveResult> m_fullWave;
};

} // namespace vostrel::designer
