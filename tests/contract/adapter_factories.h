// Adapter contract tests are written once against the platform interfaces;
// each toolkit's test program links them with its own provider of these.
#pragma once

#include <memory>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec();
std::unique_ptr<platform::Files> makeAdapterFiles();

}  // namespace poroten::testing
