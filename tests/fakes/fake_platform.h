// An in-memory platform: labels that hold text and colour, timers fired by
// hand, scripted random draws, message boxes that record what they showed, and
// real files in a temporary folder.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"

namespace poroten::testing {

class FakeLabel : public platform::Label {
public:
    std::string text() const override { return text_; }
    void setText(std::string_view utf8) override { text_ = std::string(utf8); }
    void setBackColour(platform::Colour colour) override { colour_ = colour; }
    platform::Colour colour() const { return colour_; }

private:
    std::string text_;
    platform::Colour colour_ = 0;
};

class FakeTextBox : public platform::TextBox {
public:
    std::string text() const override { return text_; }
    void setText(std::string_view utf8) override { text_ = std::string(utf8); }

private:
    std::string text_;
};

class FakeWindowFactory;

class FakeWindow : public platform::Window {
public:
    FakeWindow(FakeWindowFactory& factory, const platform::WindowDesc& desc,
               platform::WindowEvents& events);
    ~FakeWindow() override;

    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool isVisible() const override { return visible_; }
    platform::Label& label(int id) override;
    platform::TextBox& textBox(int id) override;

    FakeLabel& fakeLabel(int id);
    const platform::WindowDesc& desc() const { return desc_; }

    // What the toolkit would report to the game.
    bool key(char32_t character, int control = platform::kNoControl) {
        return events_.onKeyPress(control, character);
    }
    void command(int id) { events_.onCommand(id); }
    void closeBox() { events_.onCloseRequest(); }
    // Types text into a text box the way a user would: each character first
    // offered to the game, inserted unless the game took it.
    void type(int control, const std::u32string& characters);

private:
    FakeWindowFactory& factory_;
    platform::WindowDesc desc_;
    platform::WindowEvents& events_;
    bool visible_ = false;
    std::map<int, FakeLabel> labels_;
    std::map<int, FakeTextBox> textBoxes_;
};

class FakeWindowFactory : public platform::WindowFactory {
public:
    std::unique_ptr<platform::Window> createWindow(const platform::WindowDesc& desc,
                                                   platform::WindowEvents& events) override;
    // The live window built from the description with this name, or null.
    FakeWindow* find(const std::string& name) const;
    int created(const std::string& name) const;

private:
    friend class FakeWindow;
    std::set<FakeWindow*> live_;
    std::map<std::string, int> created_;
};

class FakeTimer : public platform::Timer {
public:
    FakeTimer(std::chrono::milliseconds interval, std::function<void()> handler)
        : interval_(interval), handler_(std::move(handler)) {}
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    std::chrono::milliseconds interval() const { return interval_; }
    // One tick, as the toolkit would deliver it: only while enabled.
    void fire() {
        if (enabled_) {
            handler_();
        }
    }

private:
    std::chrono::milliseconds interval_;
    std::function<void()> handler_;
    bool enabled_ = false;
};

class FakeTimerFactory : public platform::TimerFactory {
public:
    std::unique_ptr<platform::Timer> createTimer(std::chrono::milliseconds interval,
                                                 std::function<void()> onTimer) override;
    // Timers in the order they were created.
    FakeTimer& timer(std::size_t index) { return *created_.at(index); }

private:
    std::vector<FakeTimer*> created_;
};

struct ShownBox {
    std::string title;
    std::vector<std::string> lines;
    std::string text;  // the lines as the game joined them, by carriage returns
};

// Closes each box before show returns, as a desktop toolkit does, unless
// holdOpen is set: then boxes stay open, as in a browser, until closeTop().
class FakeMessageBoxes : public platform::MessageBoxes {
public:
    std::vector<ShownBox> shown;
    // Runs while the box is "open", to act as a user could during a modal box.
    std::function<void(const ShownBox&)> whileOpen;
    bool holdOpen = false;
    std::size_t openCount() const { return open_.size(); }
    // Closes the box shown last; false when none is open.
    bool closeTop();

protected:
    void present(const platform::BoxContent& box, std::function<void()> closed) override;

private:
    std::vector<std::function<void()>> open_;
};

class FakeApplication : public platform::Application {
public:
    void quit() override { ++quits; }
    void onEnding(std::function<void(platform::Ending)> ending) override {
        ending_ = std::move(ending);
    }
    // What the system would do as it ends the program, or may.
    void end(platform::Ending how = platform::Ending::ForGood) {
        if (ending_) {
            ending_(how);
        }
    }
    bool listens() const { return static_cast<bool>(ending_); }
    int quits = 0;

private:
    std::function<void(platform::Ending)> ending_;
};

// Draws come from a script; running past its end fails the test.
class ScriptedRandom : public platform::Random {
public:
    void reseed() override { ++reseeds; }
    double next() override;
    void script(std::initializer_list<int> digits);  // each digit d is drawn as r = d / 10 + 0.05
    std::deque<double> draws;
    int reseeds = 0;
};

// A stand-in for code page 932 with just enough of it to test the game: ASCII
// as itself, "あ" as 82 A0, anything else as "?"; unknown bytes decode to U+FFFD.
class FakeCodec : public platform::TextCodec {
public:
    std::string toCodePage932(std::string_view utf8) const override;
    std::string fromCodePage932(std::string_view bytes) const override;
};

// Real files under a fresh temporary folder: the program folder is root/bin,
// the user's data folder root/data. Folders can be marked unwritable, since
// tests may run as root, where permissions do not stop writes.
class TempDirFiles : public platform::Files {
public:
    TempDirFiles();
    ~TempDirFiles() override;
    std::filesystem::path programDirectory() const override { return root_ / "bin"; }
    std::filesystem::path userDataDirectory() const override { return root_ / "data"; }
    platform::ReadResult readOrCreate(const std::filesystem::path& file,
                                      std::size_t longest) override;
    platform::WriteResult replace(const std::filesystem::path& file,
                                  std::string_view bytes) override;

    // Runs critical at once, unless holdLocks is set and it may wait: then it
    // waits, as if another copy held the lock, until releaseLocks().
    void whileLocked(const std::filesystem::path& file, platform::LockWait wait,
                     std::function<void()> critical, std::function<void()> afterwards) override;
    bool holdLocks = false;
    // Runs the held critical sections in order; returns how many ran.
    std::size_t releaseLocks();
    std::vector<std::filesystem::path> locked;  // each file asked for, in order
    std::vector<platform::LockWait> waits;      // and how it was waited for
    bool insideLock = false;                    // while a critical section runs

    std::set<std::filesystem::path> unwritable;
    // Runs as each file is opened for reading, to act as another copy could.
    std::function<void(const std::filesystem::path&)> onRead;
    std::string contents(const std::filesystem::path& file) const;
    void write(const std::filesystem::path& file, std::string_view bytes) const;

private:
    struct Section {
        std::function<void()> critical;
        std::function<void()> afterwards;
    };
    void run(Section& section);

    std::filesystem::path root_;
    std::vector<Section> held_;
};

// A valid record's bytes as the game writes them; the name in code page 932.
std::string record(std::int16_t score, std::string_view nameBytes);

struct FakePlatform {
    FakeWindowFactory windows;
    FakeTimerFactory timers;
    FakeMessageBoxes messageBoxes;
    FakeApplication application;
    ScriptedRandom random;
    FakeCodec codec;
    TempDirFiles files;

    platform::Services services() {
        return {windows, timers, messageBoxes, application, random, codec, files};
    }
};

}  // namespace poroten::testing
