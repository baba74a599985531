// Shared by the resource, skin and data module tests: the one application
// object of the test run and a builder for compressed resource files, made
// with the same rcc the installation data uses.
#pragma once

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "foundation/ChatApplication.h"

// The test run's application object, created on first use. Widgets, pixmaps
// and the exception tests all need it to be a TChatApplication.
inline TChatApplication& TestApp() {
    static int argc = 1;
    static char name[] = "FoundationTests";
    static char* argv[] = {name, nullptr};
    static TChatApplication* app = [] {
        if (auto* existing = TChatApplication::Instance()) {
            return existing;
        }
        return new TChatApplication(argc, argv);
    }();
    return *app;
}

// Collects entries ("BMP/UserLevel" -> bytes) and writes them as one binary
// resource file.
class ResourcePack {
  public:
    void Add(const QString& entry, const QByteArray& data) { entries_[entry] = data; }

    // False (with a test failure) when rcc is missing or refuses.
    bool Build(const QString& outputFile) const {
        QTemporaryDir work;
        if (!work.isValid()) {
            ADD_FAILURE() << "no temporary folder";
            return false;
        }
        QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
        int n = 0;
        for (const auto& [entry, data] : entries_) {
            const QString file = QStringLiteral("f%1.bin").arg(n++);
            QFile out(work.filePath(file));
            if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size()) {
                ADD_FAILURE() << "cannot write " << file.toStdString();
                return false;
            }
            qrc += QStringLiteral("<file alias=\"%1\">%2</file>\n").arg(entry, file);
        }
        qrc += QStringLiteral("</qresource></RCC>\n");
        QFile qrcFile(work.filePath("pack.qrc"));
        if (!qrcFile.open(QIODevice::WriteOnly)) {
            return false;
        }
        qrcFile.write(qrc.toUtf8());
        qrcFile.close();

        const QString rcc =
            QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/rcc");
        QProcess process;
        process.setWorkingDirectory(work.path());
        process.start(rcc, {"--binary", "--compress", "9", "-o", outputFile, "pack.qrc"});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            ADD_FAILURE() << "rcc failed: " << process.readAllStandardError().toStdString();
            return false;
        }
        return true;
    }

  private:
    std::map<QString, QByteArray> entries_;
};

// A picture file's bytes in the given format ("BMP", "JPG", "PNG").
inline QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Two 1×1 frames (black, then white) of an animated GIF; Qt writes no GIF.
inline QByteArray TwoFrameGif() {
    static const unsigned char bytes[] = {
        'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,  // screen
        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                                            // palette
        0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                                // 100 ms
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,                    // frame 1
        0x02, 0x02, 0x44, 0x01, 0x00,                                                  // index 0
        0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                                // 100 ms
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,                    // frame 2
        0x02, 0x02, 0x4C, 0x01, 0x00,                                                  // index 1
        0x3B};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}
