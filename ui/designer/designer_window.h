// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_document.h"
#include "designer_session.h"
#include "designer_settings.h"
#include "export_file.h"
#include "notice_bar.h"
#include "plots_page.h"

#include "design_inputs_form.h"

#include <QMainWindow>
#include <QStatusBar>

#include <optional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QProgressBar;
class QScrollArea;
class QTabWidget;
class QTimer;

namespace vostrel::designer {

class AdjustPanel;
class FullWaveCheck;
class MatchDrawing;
class RatingsPanel;
class ResultsPanel;
class SmithChartView;
class SweepChart;
class TuningPanel;

// The designer: the inputs on the left, the results and the drawing beside
// them, the tuning sliders over the three SWR plots and the Smith chart,
// and beside those the next adjustment from an analyser's reading.
// What it shows comes from its DesignerSession; the window reads the form,
// hands it over, shows the answer and runs the NEC-2 job it is given.
class DesignerWindow : public QMainWindow {
    Q_OBJECT
public:
    using Plot = PlotsPage::Plot;

    // Starts from the inputs of the last run, or the worked example.
    explicit DesignerWindow(QWidget* parent = nullptr);
    ~DesignerWindow() override;

    // Replaces every input (the command line's, a test's).
    void setInputs(const InputTexts& texts) { m_form->setTexts(texts); } // recomputes
    InputTexts inputs() const { return m_form->texts(); }

    // A Touchstone one-port file for R and X. On failure the file's
    // problem is shown in the notice over the window and returned; nothing
    // changes.
    std::optional<QString> openMeasurement(const QString& path) { return openFile(path, FileKind::Measurement); }
    void forgetMeasurement();

    // The user's antenna as a NEC-2 deck: its driven element is checked and
    // refined in NEC-2 (nec2c), and gives the element's diameter. On
    // failure the deck's problem (file and line) is shown in the notice and
    // returned; nothing changes.
    std::optional<QString> openAntennaModel(const QString& path) { return openFile(path, FileKind::AntennaModel); }
    void forgetAntennaModel();
    // The antenna model the last session had open, if it is still the same
    // file (its SHA-256 as remembered). When it has changed or is gone, a
    // notice says so, it is forgotten, and so is the element length, which
    // belonged to it: the sentence is returned.
    std::optional<QString> restoreAntennaModel(const settings::RememberedModel& model);
    // The open model's path and SHA-256 (empty without one).
    const QString& antennaModelPath() const { return m_antennaModelPath; }

    // File > Save design: every input, the antenna model's path and
    // SHA-256, the tuned strap and capacitor (docs/design-file-format.md).
    // Says in the notice what it wrote or why not; false when it did not.
    bool saveDesign(const QString& path);
    // File > Open design: the file's inputs replace every input (the
    // measurement and model open are forgotten), its antenna model opens
    // when it is still the one the design was made with, and the sliders
    // go to its strap and capacitor. On a file it cannot read, the sentence
    // why (file and line) in the notice and returned; nothing changes.
    std::optional<QString> openDesign(const QString& path);
    // File > Save matched antenna model: NEC-2's refined match as a deck
    // (DesignerSession::matchedDeck()), never over the antenna model open.
    // Says in the notice what it wrote or why not.
    bool saveMatchedModel(const QString& path);
    // The document Save design writes, as the window holds it now.
    DesignDocument document() const;
    // R and X from NEC-2's feed impedance of the element (its "Use as R, X").
    void useFeedImpedance(std::complex<double> feed);
    bool hasAntennaModel() const { return m_session.hasAntennaModel(); }
    // How nec2c is run (VOSTREL_NEC2C names another program, as for
    // vostrel-design); a test's fake, a shorter time limit.
    void setNecRunOptions(const nec::RunOptions& options) { m_session.setRunOptions(options); }
    FullWaveCheck* fullWave() const { return m_fullWave; }
    // Edit > NEC-2 time limit: how long each nec2c run may take before it
    // is stopped (20 s unless the settings keep another), kept in the
    // settings; the check runs again under it.
    void setNecTimeLimit(std::chrono::seconds limit);
    std::chrono::seconds necTimeLimit() const;
    // Whether the frequency plot shows NEC-2's sweep of the refined match
    // rather than the closed form's.
    bool frequencyPlotFromNec() const { return m_session.frequencyPlotFromNec(); }

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
    QString noticeText() const { return m_notice->text(); }
    bool noticeIsProblem() const { return m_notice->isProblem(); }
    void closeNotice() { m_notice->closeNotice(); }
    void showNotice(const QString& text, bool problem, bool lasting = false)
    {
        m_notice->showNotice(text, problem, lasting);
    }
    bool noticeClosesItself() const { return m_notice->closesItself(); }

    const DesignerSession& session() const { return m_session; }
    const MatchStudy& study() const { return m_session.study(); }
    bool hasStudy() const { return m_session.hasStudy(); }
    DesignInputsForm* form() const { return m_form; }
    ResultsPanel* results() const { return m_results; }
    RatingsPanel* ratings() const { return m_ratings; }
    TuningPanel* tuning() const { return m_tuning; }
    SweepChart* chart(Plot plot) const { return m_plots->chart(plot); }
    SmithChartView* smithChart() const { return m_plots->smithChart(); }
    MatchDrawing* drawing() const { return m_drawing; }
    AdjustPanel* adjustPanel() const { return m_adjust; }
    QWidget* plots() const { return m_plots; }
    QTabWidget* pictureTabs() const { return m_pictures; }
    QString statusText() const { return statusBar()->currentMessage(); }
    bool picturesStale() const; // the plots and drawing faded: of the last good inputs

protected:
    void closeEvent(QCloseEvent* event) override
    {
        rememberSize();
        QMainWindow::closeEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class FileKind { Measurement, AntennaModel };
    std::optional<QString> openFile(const QString& path, FileKind kind);
    void chooseAndOpen(FileKind kind);
    QWidget* buildLayout();
    void buildMenus();
    void recompute();
    void showFullWaveStep(const DesignerSession::Update& update);
    void showFullWave(const FullWaveResult& result);
    void showBuilt(); // the match to build: the sliders, plots, drawing, ratings
    void stopFullWave();
    void showNecBusy();
    void showNecTimeout(const FullWaveResult& result);
    void updateFrequencyTitle();
    void retune(Tuning tuning)
    {
        if (m_session.retune(tuning)) {
            showPlots();
        }
    }
    void showPlots();
    void setPicturesStale(bool stale);
    void rememberSize();
    void rememberAntennaModel();
    void chooseAndSaveDesign();
    bool showDocument(const DesignDocument& document); // false: without its antenna model
    std::optional<QString> restoreAntennaModel(const settings::RememberedModel& model, const QString& whose);

    DesignerSession m_session;
    DesignInputsForm* m_form;
    ResultsPanel* m_results;
    RatingsPanel* m_ratings;
    TuningPanel* m_tuning;
    PlotsPage* m_plots;
    MatchDrawing* m_drawing;
    AdjustPanel* m_adjust;
    QTabWidget* m_pictures;
    QList<QScrollArea*> m_scrolls; // the inputs' and the pictures'
    QMetaObject::Connection m_scrollToFocus;
    NoticeBar* m_notice;
    QTimer* m_geometryTimer;
    bool m_settingsProblemReported = false;
    QAction* m_forget;
    QAction* m_forgetModel;
    QString m_antennaModelPath;
    QString m_antennaModelSha256;
    FullWaveCheck* m_fullWave;
    QProgressBar* m_necBusy;
};

} // namespace vostrel::designer
