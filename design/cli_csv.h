// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_report.h"
#include "gamma_design.h"
#include "match_study.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::design::cli {

// What --csv writes: a header line of column names, then one record for
// each result (csv.h's policy: numbers in their shortest exact form).

// "whole" or "half", the CSV's share column (closed_form, after it, is
// modelColumn()'s).
std::string_view shareColumn(StepUp stepUp);

// The design command's column names and one row's fields, for the
// full-wave check to extend with its own.
std::vector<std::string> designCsvNames();
std::vector<std::string> designCsvFields(const DesignInput& in, Unit unit, const Outcome<Design>& designed);
// Both, as the design command writes them.
std::string designCsv(const DesignInput& in, Unit unit, const Outcome<Design>& designed);

// The analyze command's header and record (capacitance infinity: shorted,
// an empty field); its names and fields apart, for the ratings to extend.
std::vector<std::string> analyzeCsvNames();
std::vector<std::string> analyzeCsvFields(
    const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a);
std::string analyzeCsv(const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a);

// The capacitor command's header and record; the insertion's fields empty
// without one.
std::string capacitorCsv(const CapacitorAnswer& answer);

// --coax's columns, appended to a command's own (in metres whatever
// --units says: a row has one length_unit, the command's own):
//   coax_cable, coax_length_m, coax_lumped_length_m, coax_trim_m_per_pf
// the fields empty without a piece (a shorted capacitor, no design).
void appendCoaxColumns(std::vector<std::string>& names, std::vector<std::string>& fields, const CoaxPiece* piece);

// A sweep's header: the swept quantity's column first.
std::string sweepCsvHeader(study::Swept quantity);
// One row of a sweep: the value's label as counted, Zin and SWR, the feed
// impedance at that value (empty when NEC computed it), share and model;
// a rod-length sweep adds its unit.
std::string sweepCsvRow(std::string_view label, const SweepPoint& point, std::optional<Complex> feed,
    const DesignInput& in, study::Swept quantity, std::string_view suffix);

} // namespace vostrel::design::cli
