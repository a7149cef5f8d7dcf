#pragma once
// Where a model file's bytes come from: the file, a pipe, or the model
// inside an archive (named ".mqoz", or starting as zip archives do).
#include <functional>
#include <stop_token>
#include <string>

#include "mqo/model_input.h"

namespace corvida {

// Calls read with the model's bytes at path (the file system's bytes).
// Raises EFOpenError or EReadError, and EAbort at the next piece once stop
// is requested.
void ReadModelFile(const std::string& path, const std::function<void(TBytePieces&)>& read,
                   std::stop_token stop = {});

}  // namespace corvida
