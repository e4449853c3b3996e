#pragma once

#include <QWidget>

class QFormLayout;
class QLabel;
class QLineEdit;

namespace vostrel::study {
class MatchStudy;
}

namespace vostrel::designer {

using study::MatchStudy;

// The design's figures in read-only fields, or the banner saying why this
// geometry cannot match and what to change. Marked stale while the inputs
// have a bad field: the figures are then those of the last good inputs.
class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPanel(QWidget* parent = nullptr);

    void showStudy(const MatchStudy& study);
    void setStale(bool stale);
    bool isStale() const { return m_stale; }

    QLineEdit* rodLength() const { return m_rodLength; }
    QLineEdit* capacitance() const { return m_capacitance; }
    QLineEdit* lineZ0() const { return m_z0; }
    QLineEdit* stepUpRatio() const { return m_stepUp; }
    QLineEdit* capacitorReactance() const { return m_reactance; }
    QLineEdit* insertionLength() const { return m_insertion; }
    QLabel* banner() const { return m_banner; }

private:
    QLineEdit* addResult(QFormLayout* form, const QString& label, const char* name);

    QLineEdit* m_rodLength;
    QLineEdit* m_capacitance;
    QLineEdit* m_z0;
    QLineEdit* m_stepUp;
    QLineEdit* m_reactance;
    QLineEdit* m_insertion;
    QLabel* m_banner;
    QLabel* m_staleNote;
    QList<QLineEdit*> m_all;
    bool m_stale = false;
};

} // namespace vostrel::designer
