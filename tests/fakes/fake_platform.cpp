#include "fake_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "highscore/score_file.h"

namespace poroten::testing {

namespace {

std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

FakeWindow::FakeWindow(FakeWindowFactory& factory, const platform::WindowDesc& desc,
                       platform::WindowEvents& events)
    : factory_(factory), desc_(desc), events_(events) {
    for (const auto& control : desc.controls) {
        if (control.kind == platform::ControlKind::Label) {
            FakeLabel& l = labels_[control.id];
            l.setText(control.text);
            if (control.backColour) {
                l.setBackColour(*control.backColour);
            }
        } else if (control.kind == platform::ControlKind::TextBox) {
            textBoxes_[control.id].setText(control.text);
        }
    }
    factory_.live_.insert(this);
}

FakeWindow::~FakeWindow() {
    factory_.live_.erase(this);
}

platform::Label& FakeWindow::label(int id) {
    return fakeLabel(id);
}

FakeLabel& FakeWindow::fakeLabel(int id) {
    auto it = labels_.find(id);
    if (it == labels_.end()) {
        throw std::out_of_range("no label " + std::to_string(id));
    }
    return it->second;
}

platform::TextBox& FakeWindow::textBox(int id) {
    auto it = textBoxes_.find(id);
    if (it == textBoxes_.end()) {
        throw std::out_of_range("no text box " + std::to_string(id));
    }
    return it->second;
}

void FakeWindow::type(int control, const std::u32string& characters) {
    for (char32_t c : characters) {
        // The game may destroy this window while handling the key.
        const bool live = factory_.live_.count(this) != 0;
        if (!live) {
            return;
        }
        if (!key(c, control) && factory_.live_.count(this) != 0) {
            FakeTextBox& box = textBoxes_.at(control);
            box.setText(box.text() + utf8Of(c));
        }
    }
}

std::unique_ptr<platform::Window> FakeWindowFactory::createWindow(const platform::WindowDesc& desc,
                                                                  platform::WindowEvents& events) {
    ++created_[desc.name];
    return std::make_unique<FakeWindow>(*this, desc, events);
}

FakeWindow* FakeWindowFactory::find(const std::string& name) const {
    for (FakeWindow* w : live_) {
        if (w->desc().name == name) {
            return w;
        }
    }
    return nullptr;
}

int FakeWindowFactory::created(const std::string& name) const {
    auto it = created_.find(name);
    return it == created_.end() ? 0 : it->second;
}

std::unique_ptr<platform::Timer> FakeTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                               std::function<void()> onTimer) {
    auto timer = std::make_unique<FakeTimer>(interval, std::move(onTimer));
    created_.push_back(timer.get());
    return timer;
}

void FakeMessageBoxes::present(const platform::BoxContent& content, std::function<void()> closed) {
    ShownBox box{content.title, content.lines, {}};
    for (std::size_t i = 0; i < content.lines.size(); ++i) {
        box.text += (i ? "\r" : "") + content.lines[i];
    }
    shown.push_back(box);
    if (holdOpen) {
        open_.push_back(std::move(closed));
        return;
    }
    if (whileOpen) {
        whileOpen(box);
    }
    if (closed) {
        closed();
    }
}

bool FakeMessageBoxes::closeTop() {
    if (open_.empty()) {
        return false;
    }
    auto closed = std::move(open_.back());
    open_.pop_back();
    if (closed) {
        closed();
    }
    return true;
}

double ScriptedRandom::next() {
    if (draws.empty()) {
        ADD_FAILURE() << "the game drew more random numbers than the test scripted";
        return 0.0;
    }
    const double r = draws.front();
    draws.pop_front();
    return r;
}

void ScriptedRandom::script(std::initializer_list<int> digits) {
    for (int d : digits) {
        draws.push_back(d / 10.0 + 0.05);
    }
}

std::string FakeCodec::toCodePage932(std::string_view utf8) const {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        out += utf8.substr(i, length) == "あ" ? std::string("\x82\xA0") : std::string("?");
        i += length;
    }
    return out;
}

std::string FakeCodec::fromCodePage932(std::string_view bytes) const {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b == 0x82 && i + 1 < bytes.size() &&
                   static_cast<unsigned char>(bytes[i + 1]) == 0xA0) {
            out += "あ";
            ++i;
        } else {
            out += "\xEF\xBF\xBD";
        }
    }
    return out;
}

TempDirFiles::TempDirFiles() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "x";
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    root_ = std::filesystem::temp_directory_path() /
            ("poroten-test-" + name + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(programDirectory());
}

TempDirFiles::~TempDirFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

platform::ReadResult TempDirFiles::readOrCreate(const std::filesystem::path& file,
                                                std::size_t longest) {
    if (onRead) {
        onRead(file);
    }
    if (unwritable.count(file.parent_path())) {
        return {false, {}, "Permission denied"};
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (std::filesystem::is_directory(file)) {
        return {false, {}, "Is a directory"};
    }
    { std::ofstream create(file, std::ios::binary | std::ios::app); }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {false, {}, "cannot open"};
    }
    std::ostringstream content;
    content << in.rdbuf();
    return {true, content.str().substr(0, longest), {}};
}

platform::WriteResult TempDirFiles::replace(const std::filesystem::path& file,
                                            std::string_view bytes) {
    if (unwritable.count(file.parent_path())) {
        return {false, "Permission denied"};
    }
    const auto temp = std::filesystem::path(file).concat(".new");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            return {false, "cannot write"};
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        return {false, ec.message()};
    }
    return {true, {}};
}

void TempDirFiles::whileLocked(const std::filesystem::path& file, platform::LockWait wait,
                               std::function<void()> critical, std::function<void()> afterwards) {
    locked.push_back(file);
    waits.push_back(wait);
    Section section{std::move(critical), std::move(afterwards)};
    if (holdLocks && wait.mayDefer) {
        held_.push_back(std::move(section));
    } else {
        run(section);
    }
}

void TempDirFiles::run(Section& section) {
    insideLock = true;
    section.critical();
    insideLock = false;
    if (section.afterwards) {
        section.afterwards();
    }
}

std::size_t TempDirFiles::releaseLocks() {
    std::vector<Section> held;
    held.swap(held_);
    holdLocks = false;
    for (auto& section : held) {
        run(section);
    }
    return held.size();
}

std::string TempDirFiles::contents(const std::filesystem::path& file) const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void TempDirFiles::write(const std::filesystem::path& file, std::string_view bytes) const {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string record(std::int16_t score, std::string_view nameBytes) {
    return highscore::scoreRecBytes(
        {.Score = score, .Name = std::string(nameBytes), .Marker = highscore::kValidMarker});
}

}  // namespace poroten::testing
