#include "chat/EmotionFrame.h"

#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "foundation/CursorUtils.h"

TFaceTip::TFaceTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), label_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 1, 3, 1);
    layout->addWidget(label_);
    QFont f(GbkToQString(GbkText("宋体")));
    f.setPointSize(9);
    label_->setFont(f);
    setStyleSheet(QStringLiteral("background-color: #FFFFE1; border: 1px solid #767676;"));
}

void TFaceTip::ShowTip(const QPoint& globalPos, const std::string& gbkText) {
    label_->setText(GbkToQString(gbkText));
    adjustSize();
    move(globalPos);
    show();
}

void TFaceTip::HideTip() {
    hide();
}

QString TFaceTip::Text() const {
    return isVisible() ? label_->text() : QString();
}

TframeEmotion::TframeEmotion(std::string folder, QWidget* parent)
    : QWidget(parent), folder_(std::move(folder)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    pbImgs = new QWidget(this);
    pbImgs->setMouseTracking(true);
    pbImgs->installEventFilter(this);
    pbImgs->setAttribute(Qt::WA_OpaquePaintEvent);
    layout->addWidget(pbImgs);

    auto* bar = new QHBoxLayout;
    btnPrior = new QPushButton(GbkToQString(GbkText("上页")), this);
    btnNext = new QPushButton(GbkToQString(GbkText("下页")), this);
    lblPages = new QLabel(this);
    btnClose = new QPushButton(GbkToQString(GbkText("关闭")), this);
    bar->addWidget(btnPrior);
    bar->addWidget(btnNext);
    bar->addWidget(lblPages);
    bar->addStretch(1);
    bar->addWidget(btnClose);
    layout->addLayout(bar);

    pnlPreview = new QFrame(pbImgs);
    pnlPreview->setStyleSheet(QStringLiteral("QFrame { background: white; border: 1px solid %1; }")
                                  .arg(QColorFromTColor(kHighlightColor).name()));
    imgPreview = new QLabel(pnlPreview);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setStyleSheet(QStringLiteral("border: 0;"));
    auto* previewLayout = new QVBoxLayout(pnlPreview);
    previewLayout->setContentsMargins(2, 2, 2, 2);
    previewLayout->addWidget(imgPreview);
    pnlPreview->resize(3 * kCell, 3 * kCell);
    pnlPreview->move(pbImgs->width() - pnlPreview->width(), 0);
    pnlPreview->hide();
    tip = new TFaceTip(this);

    connect(btnPrior, &QPushButton::clicked, this, [this] {
        grid_.PriorPage();
        UpdatePaging();
    });
    connect(btnNext, &QPushButton::clicked, this, [this] {
        grid_.NextPage();
        UpdatePaging();
    });
    LayoutFrame();
}

bool TframeEmotion::AddFace(const TFace& face) {
    QImageReader reader(GbkToQString(folder_ + face.File));
    const QImage first = reader.read();
    if (first.isNull()) {
        return false;
    }
    QImage thumb(kThumb, kThumb, QImage::Format_ARGB32);
    thumb.fill(Qt::transparent);
    {
        QPainter p(&thumb);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, kThumb, kThumb), first);
    }
    thumbnails_.Add(thumb, QColor::fromRgba(thumb.pixel(0, 0)));
    faces_.push_back(face);
    return true;
}

void TframeEmotion::LayoutFrame() {
    grid_.SetCount(static_cast<int>(faces_.size()));
    strip_ = QPixmap(grid_.StripWidth(), grid_.StripHeight());
    strip_.fill(Qt::white);
    {
        QPainter p(&strip_);
        for (int i = 0; i < thumbnails_.Count(); ++i) {
            thumbnails_.Draw(p, grid_.StripX(i, 3), grid_.StripY(i, 3), i);
        }
    }
    pbImgs->setFixedSize(kColumns * kCell + 1, grid_.StripHeight() + 1);
    UpdatePaging();
}

void TframeEmotion::UpdatePaging() {
    lblPages->setText(QString::fromStdString(grid_.PageLabel()));
    btnPrior->setEnabled(grid_.PriorEnabled());
    btnNext->setEnabled(grid_.NextEnabled());
    pbImgs->update();
}

void TframeEmotion::HidePreview() {
    grid_.HidePreview();
    pnlPreview->hide();
    tip->HideTip();
}

void TframeEmotion::PaintGrid() {
    QPainter p(pbImgs);
    p.fillRect(pbImgs->rect(), Qt::white);
    p.drawPixmap(-grid_.CurrentPage() * kColumns * kCell, 0, strip_);
    p.setPen(QColorFromTColor(kGridLineColor));
    for (int c = 0; c <= kColumns; ++c) {
        p.drawLine(c * kCell, 0, c * kCell, kRows * kCell);
    }
    for (int r = 0; r <= kRows; ++r) {
        p.drawLine(0, r * kCell, kColumns * kCell, r * kCell);
    }
    const int hovered = grid_.Hovered();
    if (hovered >= 0) {
        const int onPage = hovered % grid_.PerPage();
        p.setPen(QColorFromTColor(kHighlightColor));
        p.drawRect((onPage % kColumns) * kCell, (onPage / kColumns) * kCell, kCell, kCell);
    }
}

void TframeEmotion::ShowPreview(int face, TPictureGrid::TPreview place) {
    if (place == TPictureGrid::TPreview::TopRight) {
        pnlPreview->move(pbImgs->width() - pnlPreview->width(), 0);
    } else if (place == TPictureGrid::TPreview::TopLeft) {
        pnlPreview->move(0, 0);
    }
    delete previewMovie_;
    previewMovie_ = nullptr;
    const QString path = GbkToQString(folder_ + faces_[face].File);
    if (QFile::exists(path)) {
        previewMovie_ = new QMovie(path, QByteArray(), this);
        imgPreview->setMovie(previewMovie_);
        previewMovie_->start();
    } else {
        imgPreview->clear();
    }
    pnlPreview->show();
    pnlPreview->raise();
}

void TframeEmotion::GridMouseMove(const QPoint& pos, const QPoint& globalPos) {
    const TPictureGrid::THoverChange change = grid_.MouseMove(pos.x(), pos.y());
    if (change.Changed) {
        pbImgs->update();
    }
    if (!change.Updated) {
        return;
    }
    if (change.Preview == TPictureGrid::TPreview::Hide) {
        pnlPreview->hide();
        tip->HideTip();
        return;
    }
    const int face = grid_.Previewed();
    ShowPreview(face, change.Preview);
    if (faces_[face].Name.empty()) {
        tip->HideTip();
    } else {
        tip->ShowTip(globalPos + QPoint(0, CursorHeightMargin()), faces_[face].Name);
    }
}

void TframeEmotion::GridLeave() {
    grid_.MouseLeave();
    tip->HideTip();
    pnlPreview->hide();
    pbImgs->update();
}

void TframeEmotion::GridClick() {
    const int face = grid_.ClickedFace();
    if (face < 0 || face >= static_cast<int>(faces_.size())) {
        return;
    }
    if (OnChoose) {
        OnChoose(faces_[face].File, faces_[face].TabNumber);
    }
}

bool TframeEmotion::eventFilter(QObject* watched, QEvent* event) {
    if (watched != pbImgs) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Paint:
            PaintGrid();
            return true;
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            GridMouseMove(mouse->position().toPoint(), mouse->globalPosition().toPoint());
            return true;
        }
        case QEvent::Leave:
            GridLeave();
            return false;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                GridClick();
                return true;
            }
            return false;
        default:
            return false;
    }
}
