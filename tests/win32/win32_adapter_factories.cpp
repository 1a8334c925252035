#include "adapter_factories.h"
#include "platform/cp932_codec.h"
#include "platform/win32/win32_files.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<platform::Cp932Codec>();
}

std::unique_ptr<platform::Files> makeAdapterFiles() {
    return std::make_unique<platform::win32::Win32Files>();
}

}  // namespace poroten::testing
