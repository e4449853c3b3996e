#pragma once

#include "design_inputs.h"
#include "touchstone.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QLabel;

namespace vostrel::designer {

class DesignInputsForm;
class MatchDrawing;
class ResultsPanel;
class SmithChartView;
class SweepChart;
class TuningPanel;

// The designer: the inputs on the left, the results and the drawing beside
// them, the tuning sliders over the three SWR plots and the Smith chart.
// Its slots are thin: read the form, ask MatchStudy, show what it says.
class DesignerWindow : public QMainWindow {
    Q_OBJECT
public:
    // Where the last inputs are kept between runs (QSettings).
    static constexpr const char* kOrganisation = "Vostrel";
    static constexpr const char* kSettingsName = "vostrel-designer";

    enum class Plot { Capacitance, RodLength, Frequency };

    // Starts from the inputs of the last run, or the worked example.
    explicit DesignerWindow(QWidget* parent = nullptr);
    ~DesignerWindow() override;

    // Replaces every input (the command line's, a test's).
    void setInputs(const InputTexts& texts);
    InputTexts inputs() const;

    // A Touchstone one-port file for R and X. On failure the file's
    // problem is shown in the status bar and returned; nothing changes.
    std::optional<QString> openMeasurement(const QString& path);
    void forgetMeasurement();

    QString summary() const;
    void copyResults();
    bool exportCsv(const QString& path);
    bool exportPlots(const QString& path); // .png or .svg by the suffix

    void saveSettings() const;

    const MatchStudy& study() const { return m_study; }
    bool hasStudy() const { return m_hasStudy; }
    DesignInputsForm* form() const { return m_form; }
    ResultsPanel* results() const { return m_results; }
    TuningPanel* tuning() const { return m_tuning; }
    SweepChart* chart(Plot plot) const;
    SmithChartView* smithChart() const { return m_smith; }
    MatchDrawing* drawing() const { return m_drawing; }
    QWidget* plots() const { return m_plots; }
    QString statusText() const;
    bool picturesStale() const; // the plots and drawing faded: of the last good inputs

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void recompute();
    void retune(Tuning tuning);
    void showPlots();
    void clearPlots();
    void setPicturesStale(bool stale);
    bool applyMeasurement(QList<FieldError>& errors);

    DesignInputsForm* m_form;
    ResultsPanel* m_results;
    TuningPanel* m_tuning;
    SweepChart* m_byCapacitance;
    SweepChart* m_byRodLength;
    SweepChart* m_byFrequency;
    SmithChartView* m_smith;
    MatchDrawing* m_drawing;
    QWidget* m_plots;
    QAction* m_forget;
    MatchStudy m_study;
    bool m_hasStudy = false;
    std::shared_ptr<const touchstone::OnePort> m_measured; // shared with the study
    QString m_measuredName;
};

} // namespace vostrel::designer
