#include "adapter_factories.h"
#include "platform/cp932_codec.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<platform::Cp932Codec>();
}

// The files contract works on real folders; the browser keeps the record in
// localStorage instead, which web_files_test.cpp covers.
std::unique_ptr<platform::Files> makeAdapterFiles() {
    return nullptr;
}

// The page has one place for the record, wherever it was loaded from.
std::unique_ptr<platform::Files> makeInstalledCopyFiles(const std::filesystem::path&) {
    return nullptr;
}

}  // namespace poroten::testing
