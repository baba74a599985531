// Reader of the resource pack: named pictures and pages that are not part of
// the skins, kept as "/<TYPE>/<Name>" entries of a compressed Qt resource file
// (see docs/formats.md).
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class QIODevice;
class QImage;
class QLabel;
class QMovie;
class QPixmap;
class TImageList;

class TResDLL {
  public:
    // Nothing is read yet; a missing file is not an error.
    explicit TResDLL(std::string path);
    ~TResDLL();
    TResDLL(const TResDLL&) = delete;
    TResDLL& operator=(const TResDLL&) = delete;

    const std::string& Path() const { return path_; }
    // True once the pack is registered.
    bool IsLoaded() const { return !root_.isEmpty(); }

    // Registers the pack when it is not yet: a pack registered by another
    // reader of the same path is shared. A missing or unreadable file leaves
    // the reader empty.
    void Load();

    // A read stream over a copy of the entry (so it outlives the reader), or
    // none when the pack or the entry is missing; never throws.
    std::unique_ptr<QIODevice> OpenResource(const std::string& name, const std::string& type);

    // Decode the entry into the target; false, with the target unchanged,
    // when the entry is missing or does not decode.
    bool LoadJpeg(QLabel* image, const std::string& name, const std::string& type);
    bool LoadJpeg(QImage& image, const std::string& name, const std::string& type);
    bool LoadBitmap(QImage& bitmap, const std::string& name, const std::string& type);
    bool LoadBitmap(QPixmap& bitmap, const std::string& name, const std::string& type);
    // PNG pictures keep their alpha channel, which the bitmap path would not.
    bool LoadPng(QImage& image, const std::string& name, const std::string& type);
    // The movie gets its own copy of the data (a buffer it owns), so it may
    // outlive this reader.
    bool LoadGif(QMovie& movie, const std::string& name, const std::string& type);

    // Cuts the bitmap into frames of the list's size, row by row, and appends
    // them; each frame's bottom-left pixel is its transparent colour. A bitmap
    // that is a single frame in both directions adds nothing.
    void LoadImageStrip(TImageList& list, const std::string& name, const std::string& type);

  private:
    std::optional<QByteArray> Read(const std::string& name, const std::string& type);
    void Unload();

    std::string path_;
    QString root_;  // resource root while registered, else empty
};

// The program's one reader, owned by the data module (null before it runs).
extern TResDLL* ResDll;
