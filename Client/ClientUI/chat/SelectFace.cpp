#include "chat/SelectFace.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "chat/EmotionFrame.h"
#include "foundation/ResModule.h"

namespace {
constexpr std::uint32_t kFaceGridColor = 255;  // red
}

TfrmSelectFace::TfrmSelectFace(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle(GbkToQString(GbkText("选择头像")));
    auto* layout = new QVBoxLayout(this);
    pbImgs = new QWidget(this);
    pbImgs->setMouseTracking(true);
    pbImgs->installEventFilter(this);
    pbImgs->setFixedSize(kColumns * kCell + 1, kRows * kCell + 1);
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
    connect(btnPrior, &QPushButton::clicked, this, [this] {
        grid_.PriorPage();
        UpdatePaging();
    });
    connect(btnNext, &QPushButton::clicked, this, [this] {
        grid_.NextPage();
        UpdatePaging();
    });
    connect(btnClose, &QPushButton::clicked, this, &QWidget::hide);
    SetHeads(gResModule != nullptr ? gResModule->FaceList : TImageList(60, 60));
}

void TfrmSelectFace::SetHeads(const TImageList& heads) {
    heads_ = heads;
    grid_.SetCount(heads_.Count());
    // One extra cell of room so the last heads' overhang is kept.
    strip_ = QPixmap(grid_.StripWidth() + 2 * kOffset + 60, grid_.StripHeight() + 2 * kOffset + 60);
    strip_.fill(Qt::white);
    {
        QPainter p(&strip_);
        for (int i = 0; i < heads_.Count(); ++i) {
            heads_.Draw(p, grid_.StripX(i, kOffset), grid_.StripY(i, kOffset), i);
        }
    }
    UpdatePaging();
}

void TfrmSelectFace::UpdatePaging() {
    lblPages->setText(QString::fromStdString(grid_.PageLabel()));
    btnPrior->setEnabled(grid_.PriorEnabled());
    btnNext->setEnabled(grid_.NextEnabled());
    pbImgs->update();
}

void TfrmSelectFace::ShowFacePicker(int left, int top, QObject* owner,
                                    std::function<void()> choice) {
    owner_ = owner;
    hasOwner_ = owner != nullptr;
    choice_ = std::move(choice);
    move(left, top);
    show();
    raise();
    activateWindow();
}

void TfrmSelectFace::PaintGrid() {
    QPainter p(pbImgs);
    p.fillRect(pbImgs->rect(), Qt::white);
    p.drawPixmap(-kOffset - grid_.CurrentPage() * kColumns * kCell, -kOffset, strip_);
    p.setPen(QColorFromTColor(kFaceGridColor));
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

void TfrmSelectFace::GridMouseMove(const QPoint& pos) {
    if (grid_.MouseMove(pos.x(), pos.y()).Changed) {
        pbImgs->update();
    }
}

void TfrmSelectFace::GridClick() {
    hide();
    const int hovered = grid_.Hovered();
    // An empty cell of the last page is no head.
    chosen_ = hovered >= 0 && hovered < heads_.Count() ? hovered : -1;
    if (choice_ && (!hasOwner_ || !owner_.isNull())) {
        choice_();
    }
}

bool TfrmSelectFace::eventFilter(QObject* watched, QEvent* event) {
    if (watched != pbImgs) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Paint:
            PaintGrid();
            return true;
        case QEvent::MouseMove:
            GridMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::Leave:
            grid_.MouseLeave();
            pbImgs->update();
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

bool TfrmSelectFace::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) {
        hide();
    }
    return QWidget::event(event);
}

TfrmSelectFace* SharedFacePicker() {
    static QPointer<TfrmSelectFace> picker;
    if (picker.isNull()) {
        picker = new TfrmSelectFace;
    }
    return picker;
}
