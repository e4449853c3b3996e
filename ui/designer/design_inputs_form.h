// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"

#include <QWidget>

#include <map>
#include <optional>
#include <utility>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace vostrel::designer {

// The inputs in a form layout: operating point, geometry with one unit
// selector (choosing another converts the lengths typed as plain numbers),
// feed line and step-up convention, the optional coax capacitor and the
// optional power to rate them at.
// It holds text only; the window validates and marks the bad fields here.
class DesignInputsForm : public QWidget {
    Q_OBJECT
public:
    explicit DesignInputsForm(QWidget* parent = nullptr);

    InputTexts texts() const;
    // texts() with the element diameter the user typed in place of the
    // antenna model's, while one is open: what the settings and a design
    // file keep, so that the model's diameter never outlives the model.
    InputTexts typedTexts() const;
    void setTexts(const InputTexts& texts); // emits edited() once

    // Marks each field named in `errors` (colour, tool tip, accessible
    // description) and lists the messages under the form; clears the rest.
    void showErrors(const QList<FieldError>& errors);
    QString problemOf(design::Field which) const; // empty when the field is good
    QStringList problems() const; // every message, in the form's order

    // With a measurement file, R and X come from it and cannot be typed;
    // `note` says where from. An empty note gives the fields back.
    void setMeasured(const QString& resistance, const QString& reactance, const QString& note);
    void clearMeasured();
    // With an antenna model open, the element comes from it: its diameter
    // is shown and cannot be typed, and there is no length to give; `note`
    // says where from. clearAntennaModel() gives the fields back, with the
    // diameter typed before.
    void setAntennaModel(const QString& elementDiameter, const QString& note);
    void clearAntennaModel();

    QLineEdit* field(design::Field which) const;
    // The unit shown beside a length field: the form's, "" while the field's
    // text names its own.
    QString unitBeside(design::Field which) const;

signals:
    void edited();

private:
    // One builder per group of the form, top to bottom.
    QGroupBox* buildOperatingPoint();
    QGroupBox* buildGeometry();
    QGroupBox* buildFeedLine();
    QGroupBox* buildCoaxCapacitor();
    QGroupBox* buildPower();
    QLabel* buildProblemList();
    void emitEdited(); // edited(), unless the texts are being set quietly

    QLineEdit* addField(QFormLayout* form, const QString& label, const char* name, design::Field field,
        QLabel* unitLabel, const QString& help);
    void updateUnitLabels();
    void convertLengths(design::Unit from, design::Unit to) const;
    void setTextsQuietly(const InputTexts& texts);

    std::map<design::Field, QLineEdit*> m_fields;
    std::map<design::Field, QString> m_problems;
    // The unit beside each length field, blank while the field's text names
    // its own ("10.1m" beside no "mm").
    QList<std::pair<design::Field, QLabel*>> m_lengthUnitLabels;
    QComboBox* m_unit;
    QComboBox* m_line;
    QRadioButton* m_whole;
    QRadioButton* m_half;
    QButtonGroup* m_stepUp;
    QComboBox* m_dielectric;
    QComboBox* m_rodSide;
    QComboBox* m_capAt;
    QCheckBox* m_textbook;
    QLabel* m_measurementNote;
    QLabel* m_antennaModelNote;
    // The element diameter typed before the antenna model gave its own, in
    // the unit it was typed in; back when the model is forgotten.
    std::optional<std::pair<QString, design::Unit>> m_typedElementDiameter;
    QLabel* m_problemList;
    design::Unit m_shownUnit = design::Unit::Inch; // what the plain numbers mean
    bool m_quiet = false;
};

} // namespace vostrel::designer
