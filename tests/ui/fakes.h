#pragma once

#include "error_report.h"
#include "launcher.h"

#include <QStringList>

#include <vector>

// Keeps every failure instead of showing a message box.
class RecordingReport final : public vostrel::ErrorReport {
public:
    void report(const vostrel::Failure& failure) override { failures.push_back(failure); }
    std::vector<vostrel::Failure> failures;
};

// Keeps every address instead of opening a browser.
class RecordingLauncher final : public vostrel::Launcher {
public:
    bool open(const QString& address) override
    {
        addresses.append(address);
        return starts;
    }
    QStringList addresses;
    bool starts = true;
};
