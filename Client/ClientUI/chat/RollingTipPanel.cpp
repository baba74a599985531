#include "chat/RollingTipPanel.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextOption>

#include "chat/ChatTexts.h"

TRollingTipPanel::TRollingTipPanel(QWidget* parent)
    : QWidget(parent), tmrTempShow(new QTimer(this)), scroll_(new QTimer(this)) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::NoFocus);
    QFont f(GbkToQString(GbkText("宋体")));
    f.setPointSize(10);
    doc_.setDefaultFont(f);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    doc_.setDefaultTextOption(option);
    doc_.setDocumentMargin(0);
    doc_.setUndoRedoEnabled(false);

    tmrTempShow->setInterval(kTemporaryMs);
    tmrTempShow->setSingleShot(false);
    connect(tmrTempShow, &QTimer::timeout, this, [this] { tmrTempShowTimer(); });
    scroll_->setInterval(kStepMs);
    connect(scroll_, &QTimer::timeout, this, [this] { Step(); });
}

void TRollingTipPanel::Show(const std::string& html) {
    shown_ = html;
    doc_.setHtml(GbkToQString(html));
    offset_ = width();
    if (html.empty()) {
        scroll_->stop();
    } else if (!scroll_->isActive()) {
        scroll_->start();
    }
    update();
}

void TRollingTipPanel::ShowPermanentTip(const std::string& html) {
    Show(html);
    permanent_ = html;
}

void TRollingTipPanel::ShowTemporaryTip(const std::string& html) {
    Show(html);
    if (!tmrTempShow->isActive()) {
        tmrTempShow->start();
    }
}

void TRollingTipPanel::tmrTempShowTimer() {
    tmrTempShow->stop();
    ShowPermanentTip(permanent_);
}

void TRollingTipPanel::Step() {
    offset_ -= kStepPixels;
    const int textWidth = static_cast<int>(doc_.idealWidth());
    if (offset_ + textWidth < 0) {
        offset_ = width();  // round again from the right edge
    }
    update();
}

void TRollingTipPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int y = (height() - static_cast<int>(doc_.size().height())) / 2;
    p.translate(offset_, y);
    doc_.drawContents(&p);
}

void TRollingTipPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (offset_ > width()) {
        offset_ = width();
    }
}
