#include "chat/HTMLRoomNote.h"

#include <QPixmap>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "chat/HtmlChatView.h"

std::string RoomNotePage(const std::string& picture, const std::string& colour) {
    std::string style;
    if (picture.empty()) {
        style = "body{margin:2; font:10pt; color:000000; background-color:" + colour +
                "; border: 0; overflow-X: hidden; overflow-Y: hidden};";
    } else {
        style =
            "body{margin:0; font:11pt; color:000000; border: 0; overflow-X: hidden; overflow-Y: "
            "hidden; background: url(\"" +
            picture + "\") repeat fixed center center};";
    }
    return "<HEAD><STYLE>" + style + "</STYLE></HEAD><BODY ></BODY>";
}

THTMLRoomNote::THTMLRoomNote(QWidget* parent) : QWidget(parent), wb_(new TChatBrowser(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wb_);
    wb_->setOpenLinks(false);
    wb_->setOpenExternalLinks(false);
    wb_->setUndoRedoEnabled(false);
    wb_->setContextMenuPolicy(Qt::NoContextMenu);
    wb_->viewport()->setContextMenuPolicy(Qt::NoContextMenu);
    wb_->setFrameShape(QFrame::NoFrame);
    wb_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wb_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void THTMLRoomNote::InitRoomNote(const std::string& picture, const std::string& colour) {
    page_ = RoomNotePage(picture, colour);
    wb_->setHtml(GbkToQString(page_));
    // Rich text draws no page background of its own; the viewport carries it.
    QPalette p = wb_->palette();
    if (!picture.empty()) {
        p.setBrush(QPalette::Base, QBrush(QPixmap(GbkToQString(picture))));
    } else {
        p.setColor(QPalette::Base, QColor(GbkToQString(colour)));
    }
    wb_->setPalette(p);
}

void THTMLRoomNote::ShowRoomNote(const std::string& html) {
    // A note brings its own markup and look; the first page's goes.
    page_ = html;
    wb_->setPalette(palette());
    wb_->setHtml(GbkToQString(html));
}
