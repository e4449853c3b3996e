// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// Before the QApplication of a tool that renders windows to pictures: the
// scale from "--scale N" (it must be set before the application starts) and
// Qt's offscreen platform unless another one is asked for.
inline void prepareOffscreenRendering(int argc, char** argv)
{
    QByteArray scale = "1";
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--scale") == 0) {
            scale = argv[i + 1];
        }
    }
    qputenv("QT_SCALE_FACTOR", scale);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}
