// The GoogleTest fixture of the end-to-end tests: a fresh quillark.exe for
// each test, closed with "C&ancel" at the end (its exit code must be 0).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app_session.h"

#ifndef QUILLARK_EXE
#error "QUILLARK_EXE must name the program under test"
#endif

namespace e2e {

inline std::string quillarkExe() { return QUILLARK_EXE; }

// Boxes of one caption, for assertions ("expected 1 box, got 2").
inline size_t boxCount(const AppSession& app, const std::string& caption) {
    return app.boxes(caption).size();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<AppSession>(quillarkExe());
        ASSERT_TRUE(app->ok()) << "quillark.exe did not come up with the focus in the event field";
    }
    void TearDown() override {
        if (!app) return;
        if (HasFailure()) {
            // What the screen showed when the test failed, for the reader.
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            const std::string shot = std::string("/tmp/quillark-e2e-") + info->name() + ".png";
            if (saveScreenshot(shot)) std::printf("screen at failure: %s\n", shot.c_str());
        }
        if (app->alive()) {
            app->closeAllBoxes();
            EXPECT_EQ(0, app->close()) << "exit code after C&ancel";
        } else {
            const bool windowLeft = IsWindow(app->mainWindow()) != 0;
            ADD_FAILURE() << "the program ended during the test, exit code 0x" << std::hex << app->close()
                          << (windowLeft ? " (its window is still there)" : "");
        }
        app.reset();
    }

    // Clicks into a field, replaces its text by typing, and waits until the
    // field shows what was typed.
    void typeInto(int id, const std::string& text) {
        ASSERT_TRUE(app->click(id)) << "pointer did not reach control " << id;
        ASSERT_TRUE(app->waitFocus(id)) << "expected focus in " << id << ", got " << app->focusedId();
        app->selectAll();
        if (text.empty()) {
            app->key(VK_DELETE);
        } else {
            app->type(text);
        }
        ASSERT_TRUE(app->waitText(id, text)) << "field " << id << ": expected \"" << text << "\", got \""
                                             << app->text(id) << "\"";
    }

    // Types into the field that has the focus now.
    void typeHere(int id, const std::string& text) {
        ASSERT_EQ(id, app->focusedId()) << "expected focus in " << id;
        app->type(text);
        ASSERT_TRUE(app->waitText(id, text)) << "field " << id << ": expected \"" << text << "\", got \""
                                             << app->text(id) << "\"";
    }

    // Presses a key and waits until the focus is in the control given.
    void pressAndExpectFocus(WORD vk, int id, bool shift = false) {
        app->key(vk, shift);
        ASSERT_TRUE(app->waitFocus(id)) << "expected focus in " << id << ", got " << app->focusedId();
    }

    void expectText(int id, const std::string& expected) {
        EXPECT_TRUE(app->waitText(id, expected)) << "field " << id << ": expected \"" << expected
                                                 << "\", got \"" << app->text(id) << "\"";
    }

    std::unique_ptr<AppSession> app;
};

}  // namespace e2e
