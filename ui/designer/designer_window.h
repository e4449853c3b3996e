#pragma once

#include "design_inputs.h"
#include "export_file.h"
#include "full_wave_check.h"
#include "touchstone.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QIODevice;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

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
    // problem is shown in the notice over the window and returned; nothing
    // changes.
    std::optional<QString> openMeasurement(const QString& path);
    void forgetMeasurement();

    // The user's antenna as a NEC-2 deck: its driven element is checked and
    // refined in NEC-2 (nec2c), and gives the element's diameter. On
    // failure the deck's problem (file and line) is shown in the notice and
    // returned; nothing changes.
    std::optional<QString> openAntennaModel(const QString& path);
    void forgetAntennaModel();
    // R and X from NEC-2's feed impedance of the element (its "Use as R, X").
    void useFeedImpedance(std::complex<double> feed);
    bool hasAntennaModel() const { return m_antennaModel.has_value(); }
    // How nec2c is run (VOSTREL_NEC2C names another program, as for
    // vostrel-design); a test's fake, a shorter time limit.
    void setNecRunOptions(const nec::RunOptions& options) { m_necOptions = options; }
    FullWaveCheck* fullWave() const { return m_fullWave; }
    // Whether the frequency plot shows NEC-2's sweep of the refined match
    // rather than the closed form's.
    bool frequencyPlotFromNec() const;

    QString summary() const;
    void copyResults();
    // Each writes the whole file or nothing and says which in the notice;
    // a name without an extension gets the format's.
    bool exportCsv(const QString& path);
    // PNG or SVG by the name's extension, else `format`'s.
    bool exportPlots(const QString& path, ExportFormat format = ExportFormat::Png);

    // Written as soon as an input changes; a settings file that cannot be
    // written is reported once.
    void saveSettings();
    // The notice over the window: what File > Open, Export and the
    // settings last had to say (empty once closed).
    QString noticeText() const;
    bool noticeIsProblem() const { return m_noticeIsProblem; }
    void closeNotice();

    const MatchStudy& study() const { return m_study; }
    bool hasStudy() const { return m_hasStudy; }
    DesignInputsForm* form() const { return m_form; }
    ResultsPanel* results() const { return m_results; }
    TuningPanel* tuning() const { return m_tuning; }
    SweepChart* chart(Plot plot) const;
    SmithChartView* smithChart() const { return m_smith; }
    MatchDrawing* drawing() const { return m_drawing; }
    QWidget* plots() const { return m_plots; }
    QTabWidget* pictureTabs() const { return m_pictures; }
    QString statusText() const;
    bool picturesStale() const; // the plots and drawing faded: of the last good inputs

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void recompute();
    void applyAntennaModel();
    void scheduleFullWave(const ValidInputs& inputs, std::optional<double> elementLength);
    void showFullWave(const FullWaveResult& result);
    void stopFullWave();
    void showNecBusy();
    void updateFrequencyTitle();
    void showNecFrequencyPlot();
    QString fullWaveSummary() const; // empty without the full-wave column
    void retune(Tuning tuning);
    void showPlots();
    void clearPlots();
    void setPicturesStale(bool stale);
    bool applyMeasurement(QList<FieldError>& errors);
    void showNotice(const QString& text, bool problem);
    void placeOnScreen();
    void rememberSize();
    bool writePlotsSvg(QIODevice& device);

    DesignInputsForm* m_form;
    ResultsPanel* m_results;
    TuningPanel* m_tuning;
    SweepChart* m_byCapacitance;
    SweepChart* m_byRodLength;
    SweepChart* m_byFrequency;
    SmithChartView* m_smith;
    MatchDrawing* m_drawing;
    QWidget* m_plots;
    QTabWidget* m_pictures;
    QFrame* m_notice;
    QLabel* m_noticeText;
    bool m_noticeIsProblem = false;
    QTimer* m_noticeTimer;
    QTimer* m_geometryTimer;
    bool m_settingsProblemReported = false;
    QAction* m_forget;
    MatchStudy m_study;
    bool m_hasStudy = false;
    std::shared_ptr<const touchstone::OnePort> m_measured; // shared with the study
    QString m_measuredName;

    std::optional<nec::UserDeck> m_antennaModel;
    QString m_antennaModelName;
    int m_antennaModelGeneration = 0; // each model opened is another
    QString m_necKey; // the inputs of NEC-2's answer shown or on its way
    QAction* m_forgetModel;
    nec::RunOptions m_necOptions;
    FullWaveCheck* m_fullWave;
    QTimer* m_necTimer; // a pause after the last edit before nec2c starts
    std::optional<FullWaveJob> m_pendingJob;
    // NEC-2's answer for m_necKey's inputs, its sweep of the refined match
    // the frequency plot's when there is one.
    std::optional<FullWaveResult> m_lastFullWave;
    QProgressBar* m_necBusy;
};

} // namespace vostrel::designer
