// Adapter contract tests are written once against the platform interfaces;
// each toolkit's test program links them with its own provider of these.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "platform/wake_up.h"
#include "platform/window.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec();
std::unique_ptr<platform::Files> makeAdapterFiles();
// The files of a copy of the program that the adapter counts as installed,
// with both of its folders below root; nothing where every copy keeps its
// record where it lies.
std::unique_ptr<platform::Files> makeInstalledCopyFiles(const std::filesystem::path& root);

// A toolkit's windows, wake-ups and boxes as a player meets them. What it reads
// comes from the toolkit itself (its widgets, windows or page), never back
// through the interfaces under test; what it does is what a player does.
class AdapterProbe {
public:
    virtual ~AdapterProbe() = default;
    virtual platform::WindowFactory& windows() = 0;
    virtual std::unique_ptr<platform::WakeUp> makeWakeUp() = 0;
    virtual platform::MessageBoxes& boxes() = 0;

    // Runs the toolkit's events until done() holds or the limit has passed;
    // whether done() held.
    virtual bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;

    // The window built from the description of this name, as drawn.
    virtual bool isShown(const platform::WindowDesc& window) = 0;
    virtual std::string caption(const platform::WindowDesc& window) = 0;
    virtual std::string text(const platform::WindowDesc& window,
                             const platform::ControlDesc& control) = 0;
    virtual platform::Colour backColour(const platform::WindowDesc& window,
                                        const platform::ControlDesc& control) = 0;

    virtual void pressCloseBox(const platform::WindowDesc& window) = 0;
    virtual void click(const platform::WindowDesc& window, const platform::ControlDesc& button) = 0;
    virtual void choose(const platform::WindowDesc& window, const platform::MenuDesc& item) = 0;

    // Runs act once a message box is open: a desktop toolkit's from within
    // the box's own modal loop.
    virtual void whenBoxOpens(std::function<void()> act) = 0;
    // The box open now, as drawn, and its OK pressed.
    virtual platform::BoxContent openBox() = 0;
    virtual void pressBoxOk() = 0;
};

std::unique_ptr<AdapterProbe> makeAdapterProbe();

}  // namespace poroten::testing
