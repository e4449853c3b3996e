// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"
#include "gamma_design.h"
#include "length_text.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace vostrel::designer {

// The strap and the capacitor, moved as on the antenna: two sliders around
// the design values (arrow keys and the wheel step them, in the steps of
// study::kStrapStep and study::kCapacitorStep), the tuned values
// and the SWR they give, and a button back to the design.
class TuningPanel : public QWidget {
    Q_OBJECT
public:
    explicit TuningPanel(QWidget* parent = nullptr);

    // Centres the sliders on the match to build (no signal); `fromNec`:
    // NEC-2's refined match, its SWR from NEC-2's model.
    void setDesign(Tuning design, design::Unit unit, bool fromNec = false);
    void setAvailable(bool available); // false while there is no design
    void showTuned(const design::Analysis& tuned) { showTunedSwr(tuned.swr); }
    void showTunedSwr(double swr);
    QString swrText() const;

    Tuning tuning() const;
    QSlider* strap() const { return m_strap; }
    QSlider* capacitor() const { return m_capacitor; }

signals:
    void tuningChanged(vostrel::study::Tuning tuning);

private:
    void changed();

    Tuning m_design;
    design::Unit m_unit = design::Unit::Inch;
    bool m_fromNec = false;
    QSlider* m_strap;
    QSlider* m_capacitor;
    QLabel* m_strapValue;
    QLabel* m_capacitorValue;
    QLabel* m_swr;
    QPushButton* m_reset;
};

} // namespace vostrel::designer
