// The CSV of a Monte Carlo study: one row per run with its seed, its dispersed conditions and its
// touchdown. Values carry fixed decimals, and every figure of the report is computed from them,
// so a study read back from its CSV (or from the CSVs of its shards) reports the same.
#pragma once

#include <string>

#include "apps/montecarlo/criteria.h"
#include "apps/montecarlo/plan.h"

namespace app {

struct StudyRow {
    std::string scenario;
    Dispersion dispersion;
    Touchdown touchdown;
};

std::string csv_header();
// The row, its touchdown rounded to the decimals of the CSV and judged by the criteria; no line
// end.
std::string csv_line(const StudyRow& row, const Criteria& c);
// Reads a line csv_line wrote with the same criteria. False with a message for anything else.
bool parse_csv_line(const std::string& line, const Criteria& c, StudyRow& row, std::string& error);

// The touchdown figures rounded as the CSV holds them.
Touchdown rounded(const Touchdown& t);

}  // namespace app
