#include "adapter_factories.h"
#include "platform/cp932_codec.h"
#include "platform/qt/qt_files.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<platform::Cp932Codec>();
}

std::unique_ptr<platform::Files> makeAdapterFiles() {
    return std::make_unique<platform::qt::QtFiles>();
}

}  // namespace poroten::testing
