// "个人设置": the user's nickname, head and, optionally, password. The checks
// are a plain function; the dialog only collects the fields.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

struct TMyInfoInput {
    std::string StoredDigest;  // Md5Hex of the password the room entered with
    std::string NickName;
    bool ModifyPassword = false;
    std::string OldPassword;
    std::string NewPassword;
    std::string AffirmPassword;
    int Face = 0;
};

struct TMyInfoResult {
    bool Accepted = false;
    std::string ErrorText;  // for the error box when refused
    std::string ErrorCaption;
    bool ClearPasswords = false;
    // Accepted: what the room hands to the engine.
    std::string NickName;   // escaped, not trimmed
    std::string NewDigest;  // empty when the password stays
};

TMyInfoResult CheckMyInfo(const TMyInfoInput& input);

// The room's digest after a confirmed dialog: a new digest replaces it.
void UpdatePasswordDigest(std::string& roomDigest, const std::string& newDigest);

class TfrmMyInfoSet : public QDialog {
    Q_OBJECT

  public:
    using TResult = std::function<void(const std::string& storedDigest, const std::string& nickName,
                                       const std::string& newDigest, int face)>;

    explicit TfrmMyInfoSet(QWidget* parent = nullptr);

    // Fills the dialog (ShowMyInfo does this and then runs it modally).
    void Fill(std::int32_t userId, int face, const std::string& storedDigest,
              const std::string& nickName);
    void ShowMyInfo(std::int32_t userId, int face, const std::string& storedDigest,
                    const std::string& nickName);
    // "确定": the checks, the callback and the close, or an error box.
    void Confirm();
    void SetFace(int face);
    int Face() const { return face_; }

    TResult OnResult;

    QLineEdit* edtUserID;
    QLineEdit* edtNickName;
    QLabel* Image1;
    QCheckBox* ChkModifyPwd;
    QLineEdit* edtOldPwd;
    QLineEdit* edtNewPwd;
    QLineEdit* edtAffirmPwd;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PasswordsEnabled(bool on);

    std::string storedDigest_;
    int face_ = 0;
};
