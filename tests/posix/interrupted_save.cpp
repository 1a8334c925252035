// Saves through the file service and is killed at the rename that would put the
// new file in place, as a power cut or kill -9 at that moment would end it.
//   poroten_interrupted_save FILE
#include <dlfcn.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "posix_test_support.h"

// Found before the C library's own: the service's rename is this one.
extern "C" int rename(const char* from, const char* to) noexcept {
    if (std::strstr(from, "m_score.sav.") != nullptr) {
        std::raise(SIGKILL);
    }
    using Rename = int (*)(const char*, const char*);
    static const auto next = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return next(from, to);
}

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    poroten::testing::FilesIn files(poroten::testing::ownFolder(), {});
    files.replace(std::filesystem::path(argv[1]), "new record");
    return 3;  // not reached: the rename kills it
}
