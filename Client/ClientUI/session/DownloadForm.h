// TfrmDownload: downloads the updater through the engine module's download
// service, shows the progress the service reports and starts the updater
// when it is complete (modal result 1).
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "session/DownloadProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TDownloadServiceHelper;
class TMessageWindow;

class TfrmDownload : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmDownload(QWidget* owner = nullptr);
    ~TfrmDownload() override;

    // Where the updater is written and started from.
    const std::string& DownloadedFile() const { return file_; }
    bool Finished() const { return finished_; }
    std::uint32_t WindowHandle() const;

    QLabel* imgDownLoad;
    QLabel* lbl1;
    QLabel* lbl2;
    QLabel* lbl3;
    QLabel* lbl4;
    QLabel* lbl5;
    QLabel* lblSize;
    QLabel* lblProgress;
    QLabel* lblSpeed;
    QProgressBar* Gauge;
    QPushButton* btn1;
    QPushButton* btn2;
    QTimer* tmr;

    // The dialog's outward actions, replaceable by tests: starting the
    // updater, the failure message, and the question before closing during
    // a download (true = close).
    std::function<bool(const std::string& path)> StartFile;
    std::function<void()> ReportError;
    std::function<bool()> ConfirmClose;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override { close(); }

  private:
    void OnMessage(std::uint32_t message, std::intptr_t value);
    void tmrTimer();

    std::unique_ptr<TDownloadServiceHelper> helper_;
    std::unique_ptr<TMessageWindow> window_;
    TDownloadProgress progress_;
    std::int32_t task_ = 0;
    bool finished_ = false;
    std::string file_;
};
