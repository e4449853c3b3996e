// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QPixmap>

class QSvgRenderer;

namespace vostrel::forms {

// A sunken box that shows a vector drawing unscaled at the top-left of its
// inner area, rendered sharp for the screen's pixel ratio; the box's own
// background shows wherever the drawing leaves room. Child controls are
// placed relative to the inner area.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // Loads an SVG; its width and height attributes give its size in
    // device-independent pixels. Returns false if it cannot be read.
    bool setPicture(const QString& svgPath);
    QSize pictureSize() const;
    // The drawing as shown on a screen of the given pixel ratio.
    QPixmap pictureAt(qreal devicePixelRatio) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer* m_renderer = nullptr;
    mutable QPixmap m_cache;
};

} // namespace vostrel::forms
