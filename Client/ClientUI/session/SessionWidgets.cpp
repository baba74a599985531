#include "session/SessionWidgets.h"

#include <QAbstractButton>

#include "common/GbkText.h"

QString Qt8(std::string_view gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

std::string Gbk(const QString& text) {
    return Utf8ToGbk(text.toStdString());
}

void ShowMessage(QWidget* owner, const std::string& gbkText, const std::string& gbkCaption,
                 QMessageBox::Icon icon) {
    QMessageBox box(icon, Qt8(gbkCaption), Qt8(gbkText), QMessageBox::Ok, owner);
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
    box.exec();
}

bool AskYesNo(QWidget* owner, const std::string& gbkText, const std::string& gbkCaption,
              QMessageBox::Icon icon, bool defaultYes) {
    QMessageBox box(icon, Qt8(gbkCaption), Qt8(gbkText), QMessageBox::Yes | QMessageBox::No, owner);
    // The questions name the buttons ("请选择“是”").
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8("是"));
    box.button(QMessageBox::No)->setText(QString::fromUtf8("否"));
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
