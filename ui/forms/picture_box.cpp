// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_box.h"

#include <QPainter>
#include <QSvgRenderer>

namespace vostrel::forms {

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(true);
}

PictureBox::~PictureBox() = default;

bool PictureBox::setPicture(const QString& svgPath)
{
    delete m_renderer;
    m_renderer = new QSvgRenderer(svgPath, this);
    m_cache = QPixmap();
    update();
    return m_renderer->isValid();
}

QSize PictureBox::pictureSize() const
{
    return m_renderer != nullptr && m_renderer->isValid() ? m_renderer->defaultSize() : QSize();
}

QPixmap PictureBox::pictureAt(qreal devicePixelRatio) const
{
    const QSize size = pictureSize();
    if (size.isEmpty()) {
        return {};
    }
    if (!m_cache.isNull() && qFuzzyCompare(m_cache.devicePixelRatio(), devicePixelRatio)) {
        return m_cache;
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    m_renderer->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    m_cache = pixmap;
    return pixmap;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    const QPixmap picture = pictureAt(devicePixelRatioF());
    if (!picture.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(contentsRect().topLeft(), picture);
    }
}

} // namespace vostrel::forms
