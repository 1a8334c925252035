// A small JSON writer for what the program and the build hand to the page, and
// the build to the test suites: objects, arrays, strings, numbers and
// booleans, commas placed by it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace poroten::platform::web {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the object being written.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view utf8);
    JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    const std::string& text() const { return out_; }

private:
    void separate();

    std::string out_;
    // Per open object or array: whether it has a member yet.
    std::vector<bool> started_;
    bool afterKey_ = false;
};

// text as a JSON string, quotes included; control characters escaped.
std::string jsonString(std::string_view utf8);

}  // namespace poroten::platform::web
