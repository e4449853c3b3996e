// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;
class QStatusBar;
class QTimer;

namespace vostrel::designer {

// The notice over the window, where the user is looking, not only in a
// status bar that may be off the screen: what File > Open, Export and the
// settings last had to say. A problem stays until closed or replaced;
// good news closes itself after a few seconds.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent = nullptr);

    // `lasting` good news waits to be read too (what a start restored).
    void showNotice(const QString& text, bool problem, bool lasting = false);
    // Each notice also in `bar`, for as long as it shows.
    void echoIn(QStatusBar* bar);
    void closeNotice();
    QString text() const; // empty once closed
    bool isProblem() const { return m_problem; }
    bool closesItself() const; // good news does, a problem waits to be read

private:
    QLabel* m_text;
    QTimer* m_timer;
    QStatusBar* m_echo = nullptr;
    bool m_problem = false;
};

} // namespace vostrel::designer
