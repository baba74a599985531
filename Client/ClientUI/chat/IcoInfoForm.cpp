#include "chat/IcoInfoForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "foundation/ResDll.h"

TfrmIcoInfo::TfrmIcoInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(GbkToQString(GbkText("图标说明")));
    auto* layout = new QVBoxLayout(this);
    imgicoinfos = new QLabel(this);
    imgicoinfos->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgicoinfos);
    if (ResDll != nullptr) {
        ResDll->Load();
        auto* movie = new QMovie(this);
        if (ResDll->LoadGif(*movie, "icoinfos", "GIF") && movie->isValid()) {
            movie_ = movie;
            imgicoinfos->setMovie(movie_);
            movie_->start();
        } else {
            delete movie;
        }
    }
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}
