// The rolling tip strip across the top of the chat: tips the engine pushes,
// scrolled from right to left (2 pixels every 90 ms). A temporary tip shows
// for ten seconds, then the last permanent one comes back.
#pragma once

#include <QTextDocument>
#include <QTimer>
#include <QWidget>
#include <string>

class TRollingTipPanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kTemporaryMs = 10000;
    static constexpr int kStepMs = 90;
    static constexpr int kStepPixels = 2;

    explicit TRollingTipPanel(QWidget* parent = nullptr);

    void ShowPermanentTip(const std::string& html);
    // A second temporary tip while the timer runs does not restart it: the
    // first one's ten seconds decide when the permanent tip returns.
    void ShowTemporaryTip(const std::string& html);
    // The timer's tick.
    void tmrTempShowTimer();

    const std::string& ShownTip() const { return shown_; }
    const std::string& PermanentTip() const { return permanent_; }
    QTimer* tmrTempShow;
    // Left edge of the scrolling text, in pixels from the panel's left.
    int ScrollOffset() const { return offset_; }
    // One scrolling step (normally run by its own timer).
    void Step();

    QSize sizeHint() const override { return {200, 50}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Show(const std::string& html);

    std::string shown_;
    std::string permanent_;
    QTextDocument doc_;
    QTimer* scroll_;
    int offset_ = 0;
};
