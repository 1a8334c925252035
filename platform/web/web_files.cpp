#include "platform/web/web_files.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <map>
#include <utility>

extern "C" {
// Implemented in library_storage.js. Each returns a malloc'd buffer the
// caller frees: on success the file's bytes, on failure the browser's reason.
char* poroten_storage_read(const char* key, int longest, int* size, int* ok);
char* poroten_storage_write(const char* key, const char* bytes, int size);
// Calls poroten_storage_locked(id) once, holding the key's lock when it can
// have it within patience milliseconds, then poroten_storage_released(id)
// once the lock is let go.
void poroten_storage_lock(const char* key, int patience, int id);
}

namespace poroten::platform::web {

namespace {

std::string keyOf(const std::filesystem::path& file) {
    return file.filename().string();
}

struct Section {
    std::function<void()> critical;
    std::function<void()> afterwards;
};

// The sections waiting for their lock or its release, by the id the page
// calls back with.
std::map<int, Section>& waiting() {
    static std::map<int, Section> sections;
    return sections;
}

std::string take(char* buffer, int size) {
    std::string out(buffer ? buffer : "", buffer ? static_cast<std::size_t>(size) : 0);
    std::free(buffer);
    return out;
}

}  // namespace

platform::ReadResult WebFiles::readOrCreate(const std::filesystem::path& file,
                                            std::size_t longest) {
    int size = 0;
    int ok = 0;
    char* buffer = poroten_storage_read(keyOf(file).c_str(), static_cast<int>(longest), &size, &ok);
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

void WebFiles::whileLocked(const std::filesystem::path& file, LockWait wait,
                           std::function<void()> critical, std::function<void()> afterwards) {
    // The page's lock is granted later, and a page being left may not run
    // again: such a section runs now, without it.
    if (!wait.mayDefer) {
        critical();
        if (afterwards) {
            afterwards();
        }
        return;
    }
    static int next = 0;
    const int id = ++next;
    waiting().emplace(id, Section{std::move(critical), std::move(afterwards)});
    poroten_storage_lock(keyOf(file).c_str(), static_cast<int>(wait.patience.count()), id);
}

}  // namespace poroten::platform::web

extern "C" EMSCRIPTEN_KEEPALIVE void poroten_storage_locked(int id) {
    auto& sections = poroten::platform::web::waiting();
    const auto found = sections.find(id);
    if (found == sections.end() || !found->second.critical) {
        return;  // called twice or for no request of ours: runs once only
    }
    const std::function<void()> critical = std::move(found->second.critical);
    found->second.critical = nullptr;
    critical();
}

extern "C" EMSCRIPTEN_KEEPALIVE void poroten_storage_released(int id) {
    auto& sections = poroten::platform::web::waiting();
    const auto found = sections.find(id);
    if (found == sections.end()) {
        return;
    }
    if (found->second.critical) {
        poroten_storage_locked(id);  // never granted: the section still runs first
    }
    const auto again = sections.find(id);
    std::function<void()> afterwards = std::move(again->second.afterwards);
    sections.erase(again);
    if (afterwards) {
        afterwards();
    }
}
