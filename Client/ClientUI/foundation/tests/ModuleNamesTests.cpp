#include <gtest/gtest.h>

#include <QPainter>
#include <string>

#include "ResourceTestSupport.h"
#include "foundation/Globals.h"
#include "foundation/ImageList.h"
#include "foundation/ModuleNames.h"

namespace {

TEST(ModuleNamesTest, WindowsNamesMapToLocalFilesWhateverTheirCase) {
    const struct {
        const char* windows;
        const char* local;
    } cases[] = {
        {"ClientModule.dll", "libClientModule.so"}, {"CLIENTMODULE.DLL", "libClientModule.so"},
        {"clientsocket.dll", "libClientSocket.so"}, {"ResModule.dll", "ResModule.rcc"},
        {"AVCtrl2.ocx", "libAVEngine.so"},          {"Other.dll", "Other.dll"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ModuleFileName(c.windows), c.local) << c.windows;
    }
    AppDir = "/opt/chatroom-missing/";
    EXPECT_EQ(ModulePath("ResModule.DLL"), "/opt/chatroom-missing/ResModule.rcc");
    AppDir.clear();
}

TEST(ImageListTest, DelphiColourAndBackgroundBehindTransparentPixels) {
    TestApp();
    // 0x00BBGGRR: the face list's light yellow.
    EXPECT_EQ(QColorFromTColor(14811135), QColor(255, 255, 225));

    TImageList list(4, 4);
    QImage frame(4, 4, QImage::Format_RGB32);
    frame.fill(qRgb(9, 9, 9));
    frame.setPixel(1, 1, qRgb(255, 0, 255));
    list.Add(frame, QColor(255, 0, 255));

    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        list.Draw(painter, 0, 0, 0);
        list.Draw(painter, 0, 0, 5);  // out of range: nothing
    }
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(0, 0, 0));  // transparent: what was there

    list.SetBkColor(QColorFromTColor(14811135));
    {
        QPainter painter(&canvas);
        list.Draw(painter, 0, 0, 0);
    }
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 255, 225));
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(9, 9, 9));
}

}  // namespace
