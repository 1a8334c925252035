#include "adapter_factories.h"
#include "posix_test_support.h"

namespace poroten::testing {

// The contract asks nothing of the folders: the program's is this program's
// own, as any copy run from the build has it.
std::unique_ptr<platform::Files> makeAdapterFiles() {
    return std::make_unique<FilesIn>(ownFolder(), std::filesystem::path());
}

std::unique_ptr<platform::Files> makeInstalledCopyFiles(const std::filesystem::path& root) {
    const std::filesystem::path prefix = root / "opt" / "poroten";
    return std::make_unique<FilesIn>(prefix / "bin", root / "home" / ".local" / "share" / "poroten",
                                     prefix);
}

}  // namespace poroten::testing
