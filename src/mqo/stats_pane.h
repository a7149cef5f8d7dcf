#pragma once
// The statistics as the report pane shows them when "Details" is on: the
// report's header, a comment naming the columns, one line per object (faces,
// triangles, vertices and materials, then the name and its marks), the
// visible and the hidden totals, the budget's verdict when one is set, and
// the separator. The lines are CP932, numbers first so that they colour as
// the report's do.
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "mqo/budget.h"
#include "mqo/model_stats.h"
#include "platform/rtl/events.h"

namespace corvida {

class TStrings;

// The lines after the header, for the file named fileName (CP932).
std::vector<std::string> StatsPaneLines(const TModelStats& stats, int sortMode, const std::string& fileName,
                                        const std::optional<TBudget>& budget);

// The lines after the header (ReportHeader's) of the report with details of
// the file at path (the file system's bytes), each followed by CR LF.
// Raises EModelError, EFOpenError or EReadError, and EAbort once stop is
// requested.
std::string StatsPaneRest(const std::string& path, int sortMode, const std::optional<TBudget>& budget,
                          std::stop_token stop = {});

// The whole report with details of the file at path, as MakeReport makes
// the seed's: nothing for a path that has no report (false); else the header
// at once, and either an error passed on or the other lines and takeFocus.
bool MakeStatsReport(const std::string& path, int sortMode, const std::optional<TBudget>& budget, TStrings& lines,
                     TEvent<> takeFocus);

}  // namespace corvida
