#include "platform/web/web_files.h"

#include <cstdlib>

extern "C" {
// Implemented in library_poroten.js. Each returns a malloc'd buffer the
// caller frees: on success the file's bytes, on failure the browser's reason.
char* poroten_storage_read(const char* key, int* size, int* ok);
char* poroten_storage_write(const char* key, const char* bytes, int size);
}

namespace poroten::web {

namespace {

std::string keyOf(const std::filesystem::path& file) {
    return file.filename().string();
}

std::string take(char* buffer, int size) {
    std::string out(buffer ? buffer : "", buffer ? static_cast<std::size_t>(size) : 0);
    std::free(buffer);
    return out;
}

}  // namespace

platform::ReadResult WebFiles::readOrCreate(const std::filesystem::path& file) {
    int size = 0;
    int ok = 0;
    char* buffer = poroten_storage_read(keyOf(file).c_str(), &size, &ok);
    platform::ReadResult result;
    result.ok = ok != 0;
    (result.ok ? result.bytes : result.error) = take(buffer, size);
    return result;
}

platform::WriteResult WebFiles::replace(const std::filesystem::path& file, std::string_view bytes) {
    const std::string data(bytes);
    char* error =
        poroten_storage_write(keyOf(file).c_str(), data.data(), static_cast<int>(data.size()));
    platform::WriteResult result;
    result.ok = error == nullptr;
    if (error) {
        result.error = take(error, static_cast<int>(std::string_view(error).size()));
    }
    return result;
}

}  // namespace poroten::web
