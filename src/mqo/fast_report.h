#pragma once
// The face counts of a whole model, read in the scanner's windows: plain
// windows by a byte search, every other window by the literal scanner.
#include "mqo/face_tally.h"
#include "mqo/model_input.h"

namespace corvida {

// Raises EParserError exactly where, and with the text, the literal scanner
// reading the whole input would.
void CountFaces(TModelInput& input, TFaceTally& tally);

}  // namespace corvida
