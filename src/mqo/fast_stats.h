#pragma once
// The statistics of a whole model, read in windows: the plain lines of face
// chunks and of chunks that count for nothing by a byte search, every other
// line by the literal reader.
#include <stop_token>
#include <string>

#include "mqo/model_input.h"
#include "mqo/model_stats.h"

namespace corvida {

// Raises EModelError exactly where, and with the text, the literal reader
// reading the whole input would.
TModelStats ReadModelStats(TModelInput& input);
// The statistics of the model at path (the file system's bytes): a file, a
// pipe or an archive. Raises EFOpenError, EReadError or EModelError, and
// EAbort once stop is requested.
TModelStats ModelStatsOfFile(const std::string& path, std::stop_token stop = {});

}  // namespace corvida
