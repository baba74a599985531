#include "chat/EmotionForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "chat/ChatCatalogues.h"
#include "chat/ChatTexts.h"
#include "chat/EmotionFrame.h"
#include "chat/EmotionManager.h"
#include "foundation/AppPaths.h"

TfrmEmotion* EmotionPicker = nullptr;

namespace {
// Faces decoded between two turns of the event loop.
constexpr int kFacesPerStep = 3;
}  // namespace

TfrmEmotion::TfrmEmotion(std::string folder, TEmotionManager* catalogue, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      folder_(std::move(folder)),
      catalogue_(catalogue) {
    setWindowTitle(GbkToQString(GbkText("选择表情")));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    auto* stack = new QStackedLayout(this);
    stack->setStackingMode(QStackedLayout::StackAll);
    lblLoading = new QLabel(GbkToQString(GbkText("正在加载表情......")), this);
    lblLoading->setAlignment(Qt::AlignCenter);
    pgTab = new QTabWidget(this);
    stack->addWidget(lblLoading);
    stack->addWidget(pgTab);
    pgTab->hide();

    if (catalogue_ != nullptr) {
        catalogue_->LoadEmotionCatalogue(folder_);
        const auto& tabs = catalogue_->Tabs();
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            auto* frame = new TframeEmotion(folder_, pgTab);
            frame->setObjectName(QStringLiteral("FframeEmotion%1").arg(i));
            frame->OnChoose = [this](const std::string& file, const std::string& tab) {
                Choose(file, tab);
            };
            connect(frame->btnClose, &QPushButton::clicked, this, &QWidget::close);
            pgTab->addTab(frame, GbkToQString(tabs[i].Caption));
            Frames.push_back(frame);
        }
        for (const TFace& face : catalogue_->Faces()) {
            const int position = FaceTabPosition(face.TabNumber);
            faceTabs_.push_back(
                position >= 1 && position <= static_cast<int>(Frames.size()) ? position - 1 : -1);
        }
    }
    QTimer::singleShot(0, this, [this] { BuildStep(); });
    resize(TframeEmotion::kColumns * TframeEmotion::kCell + 24,
           TframeEmotion::kRows * TframeEmotion::kCell + 80);
}

void TfrmEmotion::BuildStep() {
    if (built_) {
        return;
    }
    const auto& faces = catalogue_ != nullptr ? catalogue_->Faces() : std::vector<TFace>{};
    for (int n = 0; n < kFacesPerStep && nextFace_ < faces.size(); ++n, ++nextFace_) {
        if (faceTabs_[nextFace_] >= 0) {
            Frames[faceTabs_[nextFace_]]->AddFace(faces[nextFace_]);
        }
    }
    if (nextFace_ < faces.size()) {
        QTimer::singleShot(1, this, [this] { BuildStep(); });
        return;
    }
    built_ = true;
    for (TframeEmotion* frame : Frames) {
        frame->LayoutFrame();
    }
    lblLoading->hide();
    pgTab->show();
    adjustSize();
}

void TfrmEmotion::BuildNow() {
    while (!built_) {
        BuildStep();
    }
}

void TfrmEmotion::SetReceiver(QObject* owner, TChoice choice) {
    owner_ = owner;
    hasOwner_ = owner != nullptr;
    choice_ = std::move(choice);
}

void TfrmEmotion::ShowEmotionPicker(const QPoint& at) {
    QPoint pos = at;
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        const QSize size = frameGeometry().size();
        if (pos.x() + size.width() > area.right() + 1) {
            pos.rx() -= size.width();
        }
        if (pos.y() + size.height() > area.bottom() + 1) {
            pos.ry() -= size.height();
        }
    }
    if (built_) {
        pgTab->show();
        for (TframeEmotion* frame : Frames) {
            frame->LayoutFrame();
        }
    }
    move(pos);
    show();
    raise();
    activateWindow();
}

void TfrmEmotion::Choose(const std::string& file, const std::string& tabNumber) {
    const TChoice choice = choice_;
    const bool receiverAlive = !hasOwner_ || !owner_.isNull();
    close();
    if (choice && receiverAlive) {
        choice(file, tabNumber);
    }
}

bool TfrmEmotion::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) {
        close();
    }
    return QWidget::event(event);
}

void TfrmEmotion::hideEvent(QHideEvent* event) {
    for (TframeEmotion* frame : Frames) {
        frame->HidePreview();
    }
    QWidget::hideEvent(event);
}

TfrmEmotion* SharedEmotionPicker() {
    if (EmotionPicker == nullptr) {
        CreateChatCatalogues();
        EmotionPicker = new TfrmEmotion(AppPath("emotions/"), EmotionCatalogue);
    }
    return EmotionPicker;
}

void DestroyEmotionPicker() {
    delete EmotionPicker;
    EmotionPicker = nullptr;
}
