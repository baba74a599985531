// The user list's row view: paints the model's rows (only the visible ones,
// so a room of thousands costs no more than a screenful) and turns mouse and
// keys into the panel's selection events.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>

class TUserListPanel;
class TRoomUser;

class TUserListView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 22;  // what the 22 x 22 state images give a row

    explicit TUserListView(TUserListPanel* panel);

    // -1 for a point below the last row.
    int RowAt(int y) const;
    // -1 right of the last column.
    static int ColumnAt(int x);
    static int ColumnLeft(int column);
    QRect RowRect(int row) const;

    void UpdateScrollRange();
    void ScrollToRow(int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void PaintRow(QPainter& p, int row, const TRoomUser& user, bool selected, const QRect& exposed);
    void UpdateHint(const QPoint& pos, const QPoint& globalPos);
    void HideHint();

    TUserListPanel* panel_;
    int hintRow_ = -1;
    int hintColumn_ = -1;
};
