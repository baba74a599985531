// Small helpers at the widget edge of the session windows: GBK texts to and
// from Qt, and the message boxes with fixed captions and icons.
#pragma once

#include <QMessageBox>
#include <QString>
#include <string>
#include <string_view>

class QWidget;

QString Qt8(std::string_view gbk);     // GBK -> QString
std::string Gbk(const QString& text);  // QString -> GBK

// A message box owned by `owner` with an OK button; returns when closed.
void ShowMessage(QWidget* owner, const std::string& gbkText, const std::string& gbkCaption,
                 QMessageBox::Icon icon);
// Yes/No question; true for Yes. `defaultYes` picks the default button.
bool AskYesNo(QWidget* owner, const std::string& gbkText, const std::string& gbkCaption,
              QMessageBox::Icon icon, bool defaultYes = true);
