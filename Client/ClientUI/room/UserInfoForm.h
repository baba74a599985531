// "查看好友信息": the read-only details of one user of the room, as the
// engine answered a details query.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

struct TUserDetails {
    std::int32_t UserId = 0;
    std::string NickName;  // GBK
    std::int32_t Points = 0;
    std::int32_t Gold = 0;
    std::string Address;  // dotted
    std::uint8_t Role = 0;
    std::uint16_t Level = 0;
    QPixmap Face;
};

class TfrmUserInfo : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmUserInfo(QWidget* parent = nullptr);
    void Fill(const TUserDetails& details);

    QLineEdit* edtUserId;
    QLineEdit* edtNickName;
    QLineEdit* edtPoints;
    QLineEdit* edtGold;
    QLineEdit* edtAddress;
    QLineEdit* edtRole;
    QLineEdit* edtLevel;
    QLabel* imgFace;
    QPushButton* btnClose;
};
