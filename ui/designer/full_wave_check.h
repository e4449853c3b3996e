// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "nec_job_key.h"
#include "refine.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace vostrel::designer {

// What one full-wave check found: the refined match or why there is none,
// and the refined match's SWR over the frequency plot's span from nec2c at
// some of its points, the rest interpolated (nec::sweep(); empty when the
// sweep failed or was not asked for).
struct FullWaveResult {
    NecJobKey key; // the job's: whose answer this is
    nec::Outcome<nec::Refined> refined = nec::NecFailure{};
    std::vector<design::SweepPoint> sweep;
    // Why the sweep is empty though NEC-2 matched (it ran past the time
    // limit, nec2c failed); none when it came, or was not asked for.
    std::optional<nec::NecFailure> sweepFailure;
};

// One check: the NEC job, and the span of the frequency plot.
struct FullWaveJob {
    NecJobKey key;
    nec::NecJob job;
    double sweepFromMhz = 0;
    double sweepToMhz = 0;
    int sweepPoints = 0; // 0: no sweep
    int sweepFromNec = 0; // of them from nec2c, the rest interpolated (0: all)
    // The answer of the same job shown in another step-up convention or
    // closed-form model, when it found a match: only its closed form is
    // redone (at most one run), its refined match and sweep kept.
    std::shared_ptr<const FullWaveResult> before;
};

// The refinement in NEC-2, away from the GUI thread. One job at a time: a
// new one cancels the one in flight (its nec2c is killed) and only the
// newest job's answer arrives.
class FullWaveCheck : public QObject {
    Q_OBJECT
public:
    explicit FullWaveCheck(QObject* parent = nullptr);
    ~FullWaveCheck() override; // cancels, then waits for the cancelled run to end

    void start(FullWaveJob job);
    // Starts `job` once `pause` has passed without another schedule() or
    // cancel(): typing a number is several edits, and one run at the end.
    void schedule(FullWaveJob job, std::chrono::milliseconds pause);
    void cancel(); // no answer comes for the job in flight or waiting
    bool isBusy() const { return m_watcher != nullptr; } // nec2c runs
    bool isWaiting() const { return isBusy() || m_pause.isActive(); } // runs, or is about to

    // The work itself, on the calling thread; `cancel` may stop it.
    static FullWaveResult check(FullWaveJob job, const std::atomic<bool>* cancel);

signals:
    void busyChanged(bool busy);
    void finished(const vostrel::designer::FullWaveResult& result);

private:
    QThreadPool m_pool;
    QTimer m_pause;
    std::optional<FullWaveJob> m_scheduled;
    QFutureWatcher<FullWaveResult>* m_watcher = nullptr; // of the job in flight
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

} // namespace vostrel::designer
