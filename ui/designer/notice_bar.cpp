// SPDX-License-Identifier: GPL-3.0-or-later
#include "notice_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace vostrel::designer {

NoticeBar::NoticeBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("notice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_text = new QLabel;
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setTextFormat(Qt::PlainText);
    auto* closeButton = new QToolButton;
    closeButton->setText(QStringLiteral("×"));
    closeButton->setAutoRaise(true);
    closeButton->setAccessibleName(tr("Close the notice"));
    connect(closeButton, &QToolButton::clicked, this, &NoticeBar::closeNotice);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 4, 4);
    row->addWidget(m_text, 1);
    row->addWidget(closeButton, 0, Qt::AlignTop);
    hide();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &NoticeBar::closeNotice);
}

void NoticeBar::showNotice(const QString& text, bool problem, bool lasting)
{
    m_problem = problem;
    m_text->setText(text);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, problem ? QColor(0xfd, 0xec, 0xea) : QColor(0xe8, 0xf3, 0xe8));
    colours.setColor(QPalette::WindowText, problem ? QColor(0x8a, 0x1c, 0x10) : QColor(0x1f, 0x4f, 0x24));
    setPalette(colours);
    show();
    if (m_echo != nullptr) {
        m_echo->showMessage(text, problem || lasting ? 0 : 5000);
    }
    if (problem || lasting) {
        m_timer->stop(); // stays until read and closed, or the next notice
    } else {
        m_timer->start(8000);
    }
}

void NoticeBar::closeNotice()
{
    m_timer->stop();
    hide();
    if (m_echo != nullptr) {
        m_echo->clearMessage();
    }
}

void NoticeBar::echoIn(QStatusBar* bar)
{
    m_echo = bar;
}

bool NoticeBar::closesItself() const
{
    return m_timer->isActive();
}

QString NoticeBar::text() const
{
    return isHidden() ? QString() : m_text->text();
}

} // namespace vostrel::designer
