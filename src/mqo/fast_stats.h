#pragma once
// The statistics of a whole model, read in windows: the plain lines of face
// chunks and of chunks that count for nothing by a byte search, every other
// line by the literal reader.
#include "mqo/model_input.h"
#include "mqo/model_stats.h"

namespace corvida {

// Raises EModelError exactly where, and with the text, the literal reader
// reading the whole input would.
TModelStats ReadModelStats(TModelInput& input);

}  // namespace corvida
