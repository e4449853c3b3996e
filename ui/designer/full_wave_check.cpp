// SPDX-License-Identifier: GPL-3.0-or-later
#include "full_wave_check.h"

#include <QtConcurrent/QtConcurrentRun>

#include <future>
#include <system_error>

namespace vostrel::designer {

FullWaveCheck::FullWaveCheck(QObject* parent)
    : QObject(parent)
{
    // One job runs; a cancelled one may still be ending beside it.
    m_pool.setMaxThreadCount(2);
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (m_scheduled) {
            FullWaveJob job = std::move(*m_scheduled);
            m_scheduled.reset();
            start(std::move(job));
        }
    });
}

void FullWaveCheck::schedule(FullWaveJob job, std::chrono::milliseconds pause)
{
    cancel();
    m_scheduled = std::move(job);
    m_pause.start(pause);
}

FullWaveCheck::~FullWaveCheck()
{
    cancel();
    m_pool.waitForDone();
}

FullWaveResult FullWaveCheck::check(FullWaveJob job, const std::atomic<bool>* cancel)
{
    job.job.run.cancel = cancel;
    if (const auto* earlier = job.before ? std::get_if<nec::Refined>(&job.before->refined) : nullptr) {
        FullWaveResult result = *job.before;
        result.key = job.key;
        result.refined = nec::withClosedForm(job.job, *earlier);
        if (std::holds_alternative<nec::NecFailure>(result.refined)) {
            result.sweep.clear();
            result.sweepFailure.reset();
        }
        return result;
    }
    FullWaveResult result;
    result.key = job.key;
    using Swept = nec::Outcome<std::vector<design::SweepPoint>>;
    // The sweep beside the checks has a stop of its own: when the checks
    // fail its answer is not wanted, and the job's is passed on to it.
    std::atomic<bool> stopSweep{false};
    nec::NecJob sweepJob = job.job;
    sweepJob.checks = false;
    sweepJob.run.cancel = &stopSweep;
    const auto sweepOf = [sweepJob, job](double rodLength, double capacitancePf) {
        return nec::sweep(
            sweepJob, rodLength, capacitancePf, job.sweepFromMhz, job.sweepToMhz, job.sweepPoints, job.sweepFromNec);
    };
    // The sweep needs only the match: it runs beside the checks.
    std::future<Swept> beside;
    if (job.sweepPoints >= 2) {
        job.job.onMatched = [&beside, &sweepOf](double rodLength, double capacitancePf) {
            try {
                beside = std::async(std::launch::async, sweepOf, rodLength, capacitancePf);
            } catch (const std::system_error&) {
                // No thread to be had: the sweep runs after the checks.
            }
        };
    }
    result.refined = nec::refine(job.job);
    const auto* refined = std::get_if<nec::Refined>(&result.refined);
    const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(); };
    if (refined == nullptr || job.sweepPoints < 2 || cancelled()) {
        stopSweep = true; // `beside` waits for its nec2c runs to be killed
        return result;
    }
    if (beside.valid()) {
        while (beside.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            if (cancelled()) {
                stopSweep = true;
            }
        }
    }
    if (!beside.valid()) {
        sweepJob.run.cancel = cancel;
    }
    Swept swept = beside.valid() ? beside.get()
                                 : nec::sweep(sweepJob, refined->rodLength, refined->capacitancePf, job.sweepFromMhz,
                                     job.sweepToMhz, job.sweepPoints, job.sweepFromNec);
    if (auto* points = std::get_if<std::vector<design::SweepPoint>>(&swept)) {
        result.sweep = std::move(*points);
    } else {
        result.sweepFailure = std::get<nec::NecFailure>(swept);
    }
    return result;
}

void FullWaveCheck::start(FullWaveJob job)
{
    cancel();
    auto flag = std::make_shared<std::atomic<bool>>(false);
    m_cancel = flag;
    // A watcher per job: the cancelled job's watcher is gone with its answer.
    m_watcher = new QFutureWatcher<FullWaveResult>(this);
    connect(m_watcher, &QFutureWatcher<FullWaveResult>::finished, this, [this] {
        const FullWaveResult result = m_watcher->result();
        m_watcher->deleteLater();
        m_watcher = nullptr;
        m_cancel.reset();
        emit busyChanged(false);
        emit finished(result);
    });
    m_watcher->setFuture(QtConcurrent::run(
        &m_pool, [job = std::move(job), flag]() mutable { return check(std::move(job), flag.get()); }));
    emit busyChanged(true);
}

void FullWaveCheck::cancel()
{
    m_pause.stop();
    m_scheduled.reset();
    if (m_cancel) {
        m_cancel->store(true);
        m_cancel.reset();
    }
    if (m_watcher != nullptr) {
        // The cancelled run's answer is not wanted: stop watching it.
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
        m_watcher = nullptr;
        emit busyChanged(false);
    }
}

} // namespace vostrel::designer
