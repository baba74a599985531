#include "foundation/ResDll.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <QResource>
#include <map>

#include "foundation/ImageList.h"

TResDLL* ResDll = nullptr;

namespace {

// Every reader of the same pack shares one registration; the last one to go
// unregisters it. Different packs get different roots so they never shadow
// each other's entries.
struct Registration {
    QString root;
    int users = 0;
};

std::map<std::string, Registration>& Registry() {
    static std::map<std::string, Registration> registry;
    return registry;
}

QString FreeRoot() {
    const QString base = QStringLiteral("/ResModule");
    for (int n = 0;; ++n) {
        const QString root = n == 0 ? base : base + QLatin1Char('_') + QString::number(n);
        bool used = false;
        for (const auto& [path, reg] : Registry()) {
            used = used || reg.root == root;
        }
        if (!used) {
            return root;
        }
    }
}

// Names are matched without regard to case, as resource names always were.
QString FindEntry(const QString& folder, const QString& name) {
    const QString exact = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return folder + QLatin1Char('/') + entry;
        }
    }
    return {};
}

QImage DecodeImage(const QByteArray& data, const char* format) {
    QImage image;
    if (!image.loadFromData(data, format)) {
        return {};
    }
    return image;
}

}  // namespace

TResDLL::TResDLL(std::string path) : path_(std::move(path)) {}

TResDLL::~TResDLL() {
    Unload();
}

void TResDLL::Load() {
    if (IsLoaded()) {
        return;
    }
    auto& registry = Registry();
    if (auto it = registry.find(path_); it != registry.end()) {
        ++it->second.users;
        root_ = it->second.root;
        return;
    }
    const QString file = QFile::decodeName(QByteArray::fromStdString(path_));
    if (!QFileInfo(file).isFile()) {
        return;
    }
    const QString root = FreeRoot();
    if (!QResource::registerResource(file, root)) {
        return;
    }
    registry[path_] = Registration{root, 1};
    root_ = root;
}

void TResDLL::Unload() {
    if (!IsLoaded()) {
        return;
    }
    auto& registry = Registry();
    if (auto it = registry.find(path_); it != registry.end() && --it->second.users == 0) {
        QResource::unregisterResource(QFile::decodeName(QByteArray::fromStdString(path_)),
                                      it->second.root);
        registry.erase(it);
    }
    root_.clear();
}

std::optional<QByteArray> TResDLL::Read(const std::string& name, const std::string& type) {
    Load();
    if (!IsLoaded() || name.empty() || type.empty()) {
        return std::nullopt;
    }
    const QString folder = FindEntry(QLatin1Char(':') + root_, QString::fromStdString(type));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const QString entry = FindEntry(folder, QString::fromStdString(name));
    if (entry.isEmpty()) {
        return std::nullopt;
    }
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

std::unique_ptr<QIODevice> TResDLL::OpenResource(const std::string& name, const std::string& type) {
    auto data = Read(name, type);
    if (!data) {
        return nullptr;
    }
    auto stream = std::make_unique<QBuffer>();
    stream->setData(*data);
    stream->open(QIODevice::ReadOnly);
    return stream;
}

bool TResDLL::LoadJpeg(QLabel* image, const std::string& name, const std::string& type) {
    if (image == nullptr) {
        return false;
    }
    QImage picture;
    if (!LoadJpeg(picture, name, type)) {
        return false;
    }
    image->setPixmap(QPixmap::fromImage(picture));
    return true;
}

bool TResDLL::LoadJpeg(QImage& image, const std::string& name, const std::string& type) {
    auto data = Read(name, type);
    if (!data) {
        return false;
    }
    QImage decoded = DecodeImage(*data, "JPG");
    if (decoded.isNull()) {
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool TResDLL::LoadBitmap(QImage& bitmap, const std::string& name, const std::string& type) {
    auto data = Read(name, type);
    if (!data) {
        return false;
    }
    QImage decoded = DecodeImage(*data, "BMP");
    if (decoded.isNull()) {
        return false;
    }
    bitmap = std::move(decoded);
    return true;
}

bool TResDLL::LoadPng(QImage& image, const std::string& name, const std::string& type) {
    auto data = Read(name, type);
    if (!data) {
        return false;
    }
    QImage decoded = DecodeImage(*data, "PNG");
    if (decoded.isNull()) {
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool TResDLL::LoadBitmap(QPixmap& bitmap, const std::string& name, const std::string& type) {
    QImage image;
    if (!LoadBitmap(image, name, type)) {
        return false;
    }
    bitmap = QPixmap::fromImage(image);
    return true;
}

bool TResDLL::LoadGif(QMovie& movie, const std::string& name, const std::string& type) {
    auto data = Read(name, type);
    if (!data) {
        return false;
    }
    {
        QBuffer probe(&*data);
        probe.open(QIODevice::ReadOnly);
        QImageReader reader(&probe, "gif");
        if (!reader.canRead()) {
            return false;
        }
    }
    // The previous data buffer, if it was ours, goes with the change.
    QIODevice* previous = movie.device();
    movie.stop();
    auto* buffer = new QBuffer(&movie);
    buffer->setData(*data);
    buffer->open(QIODevice::ReadOnly);
    movie.setFormat("gif");
    movie.setDevice(buffer);
    if (previous != nullptr && previous->parent() == &movie) {
        delete previous;
    }
    return movie.isValid();
}

void TResDLL::LoadImageStrip(TImageList& list, const std::string& name, const std::string& type) {
    QImage bitmap;
    LoadBitmap(bitmap, name, type);
    const int w = list.Width();
    const int h = list.Height();
    const int W = bitmap.width();
    const int H = bitmap.height();
    if (w <= 0 || h <= 0 || bitmap.isNull()) {
        return;
    }
    const bool byColumns = W > w && W % w == 0;
    const bool byRows = H > h && H % h == 0;
    if (!byColumns && !byRows) {
        return;
    }
    const int columns = byColumns ? W / w : 1;
    const int rows = byRows ? H / h : 1;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            // Cells beyond the bitmap (a strip narrower or lower than one
            // frame) come out transparent-black, as a blit from outside would.
            const QImage frame = bitmap.copy(column * w, row * h, w, h);
            list.Add(frame, frame.pixelColor(0, h - 1));
        }
    }
}
