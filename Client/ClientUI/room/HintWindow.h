// A plain hint window: a borderless pop-up showing one text (line breaks at
// "\r" or "\n"), placed just below the mouse pointer and kept on screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>

class THK_HintWindow : public QWidget {
    Q_OBJECT

  public:
    explicit THK_HintWindow(QWidget* parent = nullptr);

    // The rectangle the text needs, at (0, 0), no wider than maxWidth.
    QRect CalcHintRect(int maxWidth, const QString& text) const;
    // Shows the text in the rectangle (screen co-ordinates).
    void ActivateHint(const QRect& rect, const QString& text);
    // Shows the text below the pointer at cursorPos (screen co-ordinates):
    // moved down by the cursor's height margin, as wide as the screen allows.
    // An empty text hides the window.
    void ShowHintAt(const QPoint& cursorPos, const QString& text);
    void ShowHintAt(const QPoint& cursorPos, const std::string& gbkText);
    void HideHint();

    const QString& Text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};
