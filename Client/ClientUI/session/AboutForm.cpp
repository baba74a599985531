#include "session/AboutForm.h"

#include <QEvent>
#include <QLabel>

namespace {
// The maker lines are deployment texts.
constexpr const char* kProduct = "青梧视频聊天室";
constexpr const char* kMaker = "岚拓科技";
constexpr const char* kMakerEn = "Lantuo Technology Co., Ltd.";
}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(360, 120);
    lbApp = new QLabel(this);
    lbApp->setObjectName("lbApp");
    lbCompany = new QLabel(this);
    lbCompany->setObjectName("lbCompany");
    lbCompanyEn = new QLabel(this);
    lbCompanyEn->setObjectName("lbCompanyEn");
    QFont big = lbApp->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    lbApp->setFont(big);
    for (QLabel* l : {lbApp, lbCompany, lbCompanyEn})
        l->installEventFilter(this);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    lbApp->setText(QString::fromUtf8(kProduct));
    lbCompany->setText(QString::fromUtf8(kMaker));
    lbCompanyEn->setText(QString::fromUtf8(kMakerEn));
    PlaceLabels();
    QDialog::showEvent(event);
    activateWindow();
}

void TfrmAbout::resizeEvent(QResizeEvent* event) {
    PlaceLabels();
    QDialog::resizeEvent(event);
}

void TfrmAbout::PlaceLabels() {
    for (QLabel* l : {lbApp, lbCompany, lbCompanyEn})
        l->adjustSize();
    // Product and maker side by side, 20 pixels apart, the pair centred.
    const int pair = lbApp->width() + 20 + lbCompany->width();
    const int left = (width() - pair) / 2;
    lbApp->move(left, 30);
    lbCompany->move(left + lbApp->width() + 20, 30 + lbApp->height() - lbCompany->height());
    lbCompanyEn->move((width() - lbCompanyEn->width()) / 2, 30 + lbApp->height() + 16);
}

void TfrmAbout::mousePressEvent(QMouseEvent*) {
    close();
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmAbout::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate)
        close();
    return QDialog::event(event);
}
