#include "mqo/budget.h"

#include <algorithm>

#include "mqo/shipped_budgets.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/ini_file.h"

namespace corvida {
namespace {

constexpr std::string_view kSectionPrefix = "Budget ";

std::optional<uint64_t> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

void AddProfiles(const TIniText& text, std::vector<TBudget>& profiles) {
  for (const std::string& section : text.Sections()) {
    if (section.size() <= kSectionPrefix.size() || !AnsiSameText(section.substr(0, kSectionPrefix.size()), kSectionPrefix))
      continue;
    TBudget budget;
    budget.name = section.substr(kSectionPrefix.size());
    budget.source = ProfileString(text, section, "Source", "");
    budget.date = ProfileString(text, section, "Date", "");
    for (const auto& [key, limit] : {std::pair{"Triangles", &TBudgetLimits::triangles},
                                     std::pair{"Materials", &TBudgetLimits::materials},
                                     std::pair{"Objects", &TBudgetLimits::objects}}) {
      const std::string value = ProfileString(text, section, key, "");
      if (value.empty()) continue;
      budget.limits.*limit = WholeNumber(value);
      if (!(budget.limits.*limit) && budget.problem.empty())
        budget.problem = std::string(key) + "=" + value + " is not a whole number";
    }
    std::erase_if(profiles, [&](const TBudget& b) { return AnsiSameText(b.name, budget.name); });
    profiles.push_back(std::move(budget));
  }
}

}  // namespace

std::vector<TOverBudget> OverBudget(const TModelStats& stats, const TBudgetLimits& limits) {
  std::vector<TOverBudget> over;
  const auto check = [&](std::string_view figure, uint64_t value, std::optional<uint64_t> limit) {
    if (limit && value > *limit) over.push_back({figure, value, *limit});
  };
  check("exported_triangles", stats.visible.exportedTriangles, limits.triangles);
  check("materials", stats.visible.materials, limits.materials);
  check("objects", stats.visible.objects, limits.objects);
  return over;
}

std::string VerdictText(const std::vector<TOverBudget>& over) {
  if (over.empty()) return "within";
  std::string text = "over: ";
  for (size_t i = 0; i < over.size(); ++i) {
    std::string figure(over[i].figure);
    std::replace(figure.begin(), figure.end(), '_', ' ');
    text += (i == 0 ? "" : ", ") + figure + " " + std::to_string(over[i].value) + " > " + std::to_string(over[i].limit);
  }
  return text;
}

std::vector<TBudget> BudgetProfiles(const TIniText& settings) {
  std::vector<TBudget> profiles;
  AddProfiles(TIniText(kShippedBudgets), profiles);
  AddProfiles(settings, profiles);
  return profiles;
}

std::optional<TBudget> FindBudget(const std::vector<TBudget>& profiles, std::string_view name) {
  for (const TBudget& budget : profiles)
    if (AnsiSameText(budget.name, name)) return budget;
  return std::nullopt;
}

}  // namespace corvida
