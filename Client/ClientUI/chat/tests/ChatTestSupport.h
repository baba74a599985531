// Shared by the chat tests: the one application object, a scratch program
// folder, GBK literals and a recorder for message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "chat/ChatBoxes.h"
#include "common/GbkText.h"
#include "foundation/Globals.h"

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "ChatTests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
            return existing;
        }
        return new QApplication(argc, argv);
    }();
    return *app;
}

// UTF-8 source text as the program's GBK bytes.
inline std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Points AppDir at a fresh folder for the test's life.
class ScratchAppDir {
  public:
    ScratchAppDir() : saved_(AppDir) { AppDir = dir_.path().toStdString() + "/"; }
    ~ScratchAppDir() { AppDir = saved_; }
    std::string Path(const std::string& relative) const { return AppDir + relative; }
    void MakeFolder(const std::string& relative) const;

  private:
    QTemporaryDir dir_;
    std::string saved_;
};

inline void ScratchAppDir::MakeFolder(const std::string& relative) const {
    QDir().mkpath(QString::fromStdString(AppDir + relative));
}

// Two 1x1 frames, black then white, looping.
inline std::string AnimatedGif() {
    // clang-format off
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,          // screen, 2 colours
        0, 0, 0, 0xFF, 0xFF, 0xFF,                                     // black, white
        0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,
        0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0,
        0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0,
        0x3B};
    // clang-format on
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

struct RecordedBox {
    std::string Text;
    std::string Caption;
    TBoxIcon Icon;
};

// Message boxes shown while it lives are recorded, not shown.
class BoxRecorder {
  public:
    BoxRecorder() {
        SetChatBoxHook([this](const std::string& text, const std::string& caption, TBoxIcon icon) {
            boxes.push_back({text, caption, icon});
        });
    }
    ~BoxRecorder() { SetChatBoxHook({}); }
    std::vector<RecordedBox> boxes;
};

// Fixtures with widget members derive from this, so the application object
// exists before the members are built.
class AppTest : public ::testing::Test {
  protected:
    AppTest() { TestApp(); }
};
