#include "session/DownloadForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "common/GbkText.h"
#include "foundation/APIUtils.h"
#include "foundation/Globals.h"
#include "foundation/ResDll.h"
#include "foundation/SkinData.h"
#include "session/DownloadHelper.h"
#include "session/SessionWidgets.h"
#include "session/Updater.h"
#include "session/WindowMessages.h"

TfrmDownload::TfrmDownload(QWidget* owner) : QDialog(owner) {
    setObjectName("frmDownload");
    setWindowTitle(QString::fromUtf8("软件更新"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* top = new QVBoxLayout(this);
    imgDownLoad = new QLabel(this);
    imgDownLoad->setObjectName("imgDownLoad");
    top->addWidget(imgDownLoad, 0, Qt::AlignHCenter);

    auto* grid = new QGridLayout;
    auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(name);
        return l;
    };
    lbl1 = label("lbl1", "任务名");
    lbl2 = label("lbl2", "大小(KB)");
    lbl3 = label("lbl3", "进度");
    lbl4 = label("lbl4", "速度(KB/S)");
    lbl5 = label("lbl5", "聊天室");
    lblSize = label("lblSize", "");
    lblProgress = label("lblProgress", "");
    lblSpeed = label("lblSpeed", "");
    grid->addWidget(lbl1, 0, 0);
    grid->addWidget(lbl2, 0, 1);
    grid->addWidget(lbl3, 0, 2);
    grid->addWidget(lbl4, 0, 3);
    grid->addWidget(lbl5, 1, 0);
    grid->addWidget(lblSize, 1, 1);
    grid->addWidget(lblProgress, 1, 2);
    grid->addWidget(lblSpeed, 1, 3);
    top->addLayout(grid);

    Gauge = new QProgressBar(this);
    Gauge->setObjectName("Gauge");
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    SetSkinName(Gauge, "gauge");
    top->addWidget(Gauge);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn1 = new QPushButton(QString::fromUtf8("取消更新"), this);
    btn1->setObjectName("btn1");
    btn2 = new QPushButton(QString::fromUtf8("全部取消"), this);
    btn2->setObjectName("btn2");
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);
    top->addLayout(buttons);
    connect(btn1, &QPushButton::clicked, this, &QWidget::close);
    connect(btn2, &QPushButton::clicked, this, &QWidget::close);

    tmr = new QTimer(this);
    tmr->setObjectName("tmr");
    tmr->setInterval(1000);
    connect(tmr, &QTimer::timeout, this, &TfrmDownload::tmrTimer);

    StartFile = &StartUpdater;
    ReportError = [this] {
        ShowMessage(this, Utf8ToGbk("下载错误，请稍后再试！"), "Error", QMessageBox::Critical);
    };
    ConfirmClose = [this] {
        return AskYesNo(this, Utf8ToGbk("正在下载更新程序，您确定要退出？"), Utf8ToGbk("提示"),
                        QMessageBox::Information, false);
    };

    // Creation: the picture, an empty gauge, the service.
    if (ResDll) {
        auto* movie = new QMovie(imgDownLoad);
        if (ResDll->LoadGif(*movie, "gifDownLoad", "GIF")) {
            imgDownLoad->setMovie(movie);
            movie->start();
        }
    }
    window_ = std::make_unique<TMessageWindow>(
        [this](std::uint32_t message, std::intptr_t, std::intptr_t value) {
            OnMessage(message, value);
        });
    helper_ = std::make_unique<TDownloadServiceHelper>();
    helper_->CreateInstance();
    resize(420, sizeHint().height());
}

TfrmDownload::~TfrmDownload() {
    window_.reset();  // no message reaches a half-destroyed dialog
    if (helper_ && helper_->Service && task_ != 0)
        helper_->Service->StopDownload(task_);
    helper_->CloseInstance();
}

std::uint32_t TfrmDownload::WindowHandle() const {
    return window_->Handle();
}

void TfrmDownload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (task_ != 0)
        return;
    finished_ = false;
    file_ = AppDir + kUpdaterFileName;
    TDownloadRequest request{};
    request.Window.Set(WindowHandle());
    request.FileName.Set(kUpdaterFileName);
    request.TargetFolder.Set(AppDir);
    request.SourceAddress.Set(WebAddress(13));
    if (helper_->Service)
        task_ = helper_->Service->StartDownload(request);
    else
        PostWindowMessage(WindowHandle(), kDownloadErrorMsg, 0, 0);  // no service to ask
}

void TfrmDownload::OnMessage(std::uint32_t message, std::intptr_t value) {
    switch (message) {
        case kDownloadSizeMsg:
            progress_.SetTotal(value);
            lblSize->setText(QString::number(progress_.TotalKB()));
            tmr->start();
            tmrTimer();
            break;
        case kDownloadProgressMsg:
            Gauge->setValue(progress_.SetReceived(value));
            lblProgress->setText(Qt8(progress_.ProgressText()));
            break;
        case kDownloadDoneMsg:
            finished_ = true;
            tmr->stop();
            if (StartFile)
                StartFile(file_);
            done(1);
            break;
        case kDownloadErrorMsg:
            if (value == 0 && ReportError)
                ReportError();
            break;
        default:
            break;
    }
}

void TfrmDownload::tmrTimer() {
    lblSpeed->setText(QString::number(progress_.Tick()));
}

void TfrmDownload::closeEvent(QCloseEvent* event) {
    if (!finished_ && ConfirmClose && !ConfirmClose()) {
        event->ignore();
        return;
    }
    // Not QDialog::closeEvent: it would call reject(), which comes back here.
    event->accept();
    done(0);
}

void TfrmDownload::hideEvent(QHideEvent* event) {
    // Every way the dialog goes away ends the task, finished or not.
    tmr->stop();
    if (task_ != 0 && helper_->Service)
        helper_->Service->StopDownload(task_);
    task_ = 0;
    QDialog::hideEvent(event);
}
