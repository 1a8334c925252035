#include "adapter_factories.h"
#include "platform/web/web_codec.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<web::WebTextCodec>();
}

// The files contract works on real folders; the browser keeps the record in
// localStorage instead, which web_files_test.cpp covers.
std::unique_ptr<platform::Files> makeAdapterFiles() {
    return nullptr;
}

}  // namespace poroten::testing
