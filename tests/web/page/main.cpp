// The page tests' start: GoogleTest's, with its status handed to the runner
// (run_in_browser.py), since the page outlives main.
#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

// clang-format off
EM_JS(void, report_exit, (int status), { window.testExit = status; });
// clang-format on

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    report_exit(status);
    return status;
}
