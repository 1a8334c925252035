#include "platform/web/json.h"

#include <cstdio>

namespace poroten::platform::web {

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!started_.empty()) {
        if (started_.back()) {
            out_ += ',';
        }
        started_.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    started_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    started_.pop_back();
    out_ += '}';
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    started_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    started_.pop_back();
    out_ += ']';
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += jsonString(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view utf8) {
    separate();
    out_ += jsonString(utf8);
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    separate();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    return *this;
}

}  // namespace poroten::platform::web
