#include "foundation/SkinData.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <QStyle>
#include <QWidget>

TSkinData::~TSkinData() {
    Clear();
}

bool TSkinData::LoadFromFile(const std::string& path, const QString& mapRoot) {
    Clear();
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    if (!QFileInfo(file).isFile() || !QResource::registerResource(file, mapRoot)) {
        return false;
    }
    file_ = file;
    root_ = mapRoot;
    QFile sheet(QLatin1Char(':') + mapRoot + QStringLiteral("/skin.qss"));
    if (!sheet.open(QIODevice::ReadOnly)) {
        Clear();
        return false;
    }
    styleSheet_ = QString::fromUtf8(sheet.readAll());
    if (styleSheet_.isEmpty()) {
        Clear();
        return false;
    }
    return true;
}

void TSkinData::Clear() {
    if (!file_.isEmpty()) {
        QResource::unregisterResource(file_, root_);
    }
    file_.clear();
    root_.clear();
    styleSheet_.clear();
}

void TSkinData::ApplyToApplication() const {
    if (IsEmpty()) {
        return;
    }
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->setStyleSheet(styleSheet_);
    }
}

void TSkinData::ApplyTo(QWidget* widget) const {
    if (widget == nullptr || IsEmpty()) {
        return;
    }
    widget->setStyleSheet(styleSheet_);
}

void SetSkinName(QWidget* widget, const char* name) {
    if (widget == nullptr) {
        return;
    }
    widget->setProperty("skin", QString::fromUtf8(name != nullptr ? name : ""));
    // Property selectors are only re-evaluated on a fresh polish.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}
