// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the designer window shows everything at its present size: the
// inputs without sideways scrolling, each picture tab beside them without
// scrolling either way.
#include "designer_window.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace screenFit {

// "" when everything fits; else what scrolls, and by how much.
inline QString problem(vostrel::designer::DesignerWindow& window, QWidget* anInput)
{
    QScrollArea* inputs = nullptr;
    QScrollArea* pictures = nullptr;
    for (QScrollArea* scroll : window.findChildren<QScrollArea*>()) {
        if (scroll->widget()->isAncestorOf(anInput)) {
            inputs = scroll;
        } else if (scroll->widget()->isAncestorOf(window.pictureTabs())) {
            pictures = scroll;
        }
    }
    if (inputs == nullptr || pictures == nullptr) {
        return QStringLiteral("no scroll areas");
    }
    QString problems;
    for (int tab = 0; tab < window.pictureTabs()->count(); ++tab) {
        window.pictureTabs()->setCurrentIndex(tab);
        QTest::qWait(50); // the layouts settle
        const auto add = [&](const char* what, int overflow) {
            if (overflow > 0) {
                problems
                    += QStringLiteral("tab %1: %2 scroll by %3 px; ").arg(tab).arg(QLatin1String(what)).arg(overflow);
            }
        };
        add("the inputs sideways", inputs->horizontalScrollBar()->maximum());
        add("the pictures down", pictures->verticalScrollBar()->maximum());
        add("the pictures sideways", pictures->horizontalScrollBar()->maximum());
    }
    return problems;
}

} // namespace screenFit
