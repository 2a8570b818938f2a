// The identity of a study: everything that fixes its runs and how they are judged. Every CSV of
// a study starts with it, as comment lines before the header, so that a merge or a resume tells
// the CSVs of one study from another's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "apps/montecarlo/criteria.h"
#include "apps/montecarlo/plan.h"

namespace app {

// The most runs a study may have, on the command line and in a CSV's identity alike.
constexpr int kMaxStudyRuns = 10000000;

struct StudyIdentity {
    std::string version;        // of the program that flew the runs
    std::string scenario;       // the path as the user named it: shown, not compared
    std::string scenario_hash;  // of the scenario's content
    std::uint64_t seed = 1;
    int runs = 0;
    int shard_k = 1, shard_n = 1;
    DispersionRanges ranges;
    Criteria criteria;
    std::string vessel_class;  // of the judged vessel
    RunLimits limits;
};

// The first line of every study CSV.
inline constexpr std::string_view kIdentityTitle = "# vesselsim montecarlo study";

// "fnv1a64:" and 16 hexadecimal digits: FNV-1a of the bytes.
std::string content_hash(std::string_view text);

// The identity as the CSV holds it: the title, then one "# key: value" line for each item.
std::string identity_text(const StudyIdentity& id);

// Reads identity_text's lines (without their line ends). The version is read first: a CSV of
// another version is refused for that, whatever else it holds. False with a message otherwise.
bool parse_identity(const std::vector<std::string>& lines, StudyIdentity& id, std::string& error);

// Empty when the two are of the same study (the scenario's path and the shard aside), else the
// first item that differs: "seed 8, not 7".
std::string identity_difference(const StudyIdentity& ours, const StudyIdentity& theirs);

}  // namespace app
