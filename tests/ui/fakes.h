// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "error_report.h"
#include "launcher.h"

#include <QStringList>

#include <optional>
#include <vector>

// Keeps every failure instead of showing a message box.
class RecordingReport final : public vostrel::ErrorReport {
public:
    void report(const vostrel::Failure& failure) override { failures.push_back(failure); }

    // The kind of calculation failure number `i`; a test fault if it is not one.
    vostrel::CalcFailure calculationKind(std::size_t i = 0) const
    {
        return std::get<vostrel::CalculationFailure>(failures.at(i)).kind;
    }

    std::vector<vostrel::Failure> failures;
};

// Keeps every address instead of opening a browser. It can fail to start,
// or start and end with a non-zero status when the test calls finish().
class RecordingLauncher final : public vostrel::Launcher {
public:
    void open(const QString& address, FailureHandler failed) override
    {
        addresses.append(address);
        if (!starts) {
            failed({address, std::nullopt});
            return;
        }
        m_running = [address, failed](int status) {
            if (status != 0) {
                failed({address, status});
            }
        };
    }
    // The last launch ends with `status`.
    void finish(int status)
    {
        if (m_running) {
            std::exchange(m_running, {})(status);
        }
    }

    QStringList addresses;
    bool starts = true;

private:
    std::function<void(int)> m_running;
};
