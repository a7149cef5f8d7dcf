#pragma once
// Budgets: limits on what a model's visible objects hold, as platforms rank
// models by them. Named profiles come with the program (data/budgets.ini)
// and from the settings file, each a section "Budget NAME" with the keys
// Triangles, Materials and Objects and, for people to read, Source and
// Date.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mqo/model_stats.h"

namespace corvida {

class TIniText;

struct TBudgetLimits {
  // The exported triangles of the visible objects: a platform counts the
  // mirrored copies.
  std::optional<uint64_t> triangles;
  // The material slots of the visible objects.
  std::optional<uint64_t> materials;
  // The visible objects with faces.
  std::optional<uint64_t> objects;
  bool Any() const { return triangles || materials || objects; }
};

struct TBudget {
  std::string name;
  TBudgetLimits limits;
  std::string source;
  std::string date;
  // Why the profile cannot be used (a limit that is no whole number), or
  // empty.
  std::string problem;
};

// A figure over its limit, named as the JSON forms name it.
struct TOverBudget {
  std::string_view figure;
  uint64_t value;
  uint64_t limit;
  bool operator==(const TOverBudget&) const = default;
};

std::vector<TOverBudget> OverBudget(const TModelStats& stats, const TBudgetLimits& limits);
// The verdict for people: "within", or "over: " and each figure with its
// value and limit ("exported triangles 40000 > 32000").
std::string VerdictText(const std::vector<TOverBudget>& over);

// The profiles shipped with the program, then those of the settings text;
// a profile replaces an earlier one of the same name (case ignored).
std::vector<TBudget> BudgetProfiles(const TIniText& settings);
// The profile of that name (case ignored), or none.
std::optional<TBudget> FindBudget(const std::vector<TBudget>& profiles, std::string_view name);

}  // namespace corvida
