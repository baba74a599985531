#include "room/HintWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "common/GbkText.h"
#include "foundation/CursorUtils.h"

namespace {

constexpr int kMargin = 3;
const QColor kHintBack(255, 255, 225);  // the system's info background

// A carriage return breaks the line as it does in the platform's hints.
QString HintLines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

THK_HintWindow::THK_HintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName("FHintWindow");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QRect THK_HintWindow::CalcHintRect(int maxWidth, const QString& text) const {
    const int inner = std::max(1, maxWidth - 2 * kMargin);
    const QRect r = fontMetrics().boundingRect(QRect(0, 0, inner, 100000),
                                               Qt::AlignLeft | Qt::TextWordWrap, HintLines(text));
    return QRect(0, 0, r.width() + 2 * kMargin + 2, r.height() + 2 * kMargin);
}

void THK_HintWindow::ActivateHint(const QRect& rect, const QString& text) {
    text_ = HintLines(text);
    setGeometry(rect);
    show();
    raise();
    update();
}

void THK_HintWindow::ShowHintAt(const QPoint& cursorPos, const QString& text) {
    if (text.isEmpty()) {
        HideHint();
        return;
    }
    QScreen* screen = QGuiApplication::screenAt(cursorPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    QRect r = CalcHintRect(area.width(), text);
    const int margin = CursorHeightMargin();
    r.moveTo(cursorPos.x(), cursorPos.y() + margin);
    // Kept on the screen: shifted left at the right edge, above the pointer
    // at the bottom.
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.bottom() > area.bottom())
        r.moveBottom(cursorPos.y() - 1);
    ActivateHint(r, text);
}

void THK_HintWindow::ShowHintAt(const QPoint& cursorPos, const std::string& gbkText) {
    ShowHintAt(cursorPos, QString::fromStdString(GbkToUtf8(gbkText)));
}

void THK_HintWindow::HideHint() {
    text_.clear();
    hide();
}

void THK_HintWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kHintBack);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect().adjusted(kMargin + 1, kMargin, -kMargin, -kMargin),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
}
