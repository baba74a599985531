#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include "ChatTestSupport.h"
#include "chat/ChatFormat.h"
#include "chat/EmotionForm.h"
#include "chat/EmotionFrame.h"
#include "chat/EmotionManager.h"
#include "chat/FontFrame.h"
#include "chat/HTMLRoomNote.h"
#include "chat/HtmlChatEdit.h"
#include "chat/LabaForm.h"
#include "chat/MyInfoSetForm.h"
#include "chat/Reply.h"
#include "chat/ReplyEditForm.h"
#include "chat/ReplyInputForm.h"
#include "chat/RollingTipPanel.h"
#include "chat/RoomNoticeForm.h"
#include "chat/SelectFace.h"
#include "common/Cipher.h"
#include "common/IniFile.h"

namespace {

class WindowTest : public AppTest {
  protected:
    ScratchAppDir dir;
    BoxRecorder boxes;
};

// ------------------------------------------------------------- font bar

TEST_F(WindowTest, FontBarShowsALoadedStringAndReportsChanges) {
    TframeFont bar;
    bar.LoadFontString(G("宋体,12,255,1,0,1"));
    EXPECT_TRUE(bar.btnBold->isChecked());
    EXPECT_FALSE(bar.btnItalic->isChecked());
    EXPECT_TRUE(bar.btnUnderline->isChecked());
    EXPECT_EQ(bar.cmbFontName->currentText(), QString::fromUtf8("宋体"));
    EXPECT_EQ(bar.cmbFontSize->currentText(), "12");
    EXPECT_EQ(bar.FontString(), G("宋体,12,255,1,0,1"));

    bar.LoadFontString("Arial,13,0,0,0,0");
    EXPECT_EQ(bar.cmbFontSize->currentIndex(), -1);
    EXPECT_EQ(bar.CurrentFont().Size, 13);
    bar.LoadFontString("damaged");
    EXPECT_EQ(bar.CurrentFont().Name, "Arial");

    std::vector<std::string> reported;
    bar.OnChange = [&](const TChatFont&, const std::string& text) { reported.push_back(text); };
    bar.btnItalic->click();
    bar.cmbFontSize->setCurrentText("16");
    bar.PickColor = [](const QColor&) { return std::optional<QColor>(QColor(0, 0, 255)); };
    bar.btnColor->click();
    bar.PickColor = [](const QColor&) { return std::optional<QColor>(); };
    bar.btnColor->click();  // cancelled: no change
    EXPECT_EQ(reported, (std::vector<std::string>{"Arial,13,0,0,1,0", "Arial,16,0,0,1,0",
                                                  "Arial,16,16711680,0,1,0"}));
}

// ------------------------------------------------------------- emoticons

class EmotionTest : public WindowTest {
  protected:
    // `faces` faces per tab entry, pictures 1.gif, 2.gif, ... (a few missing).
    void WriteCatalogue(const std::vector<int>& facesPerTab, const std::string& extra = "") {
        dir.MakeFolder("emotions");
        std::string xml = "<?xml version=\"1.0\" encoding=\"gbk\"?><FaceConfig>";
        int picture = 1;
        for (std::size_t t = 0; t < facesPerTab.size(); ++t) {
            xml += "<FaceTab><nType>" + std::to_string(t + 5) + "</nType><TabName>T" +
                   std::to_string(t) + "</TabName></FaceTab>";
        }
        for (std::size_t t = 0; t < facesPerTab.size(); ++t) {
            for (int i = 0; i < facesPerTab[t]; ++i, ++picture) {
                xml += "<FC><FP>" + std::to_string(picture) + ".gif</FP><nType>" +
                       std::to_string(t + 1) + "</nType><FN>" + (i == 1 ? "" : "face") +
                       "</FN></FC>";
                WriteFile(dir.Path("emotions/" + std::to_string(picture) + ".gif"), AnimatedGif());
            }
        }
        xml += extra + "</FaceConfig>";
        WriteFile(dir.Path("emotions/faceconfig.xml"), G(xml.c_str()));
    }
};

TEST_F(EmotionTest, PickerPagesPerTab) {
    WriteCatalogue({91, 0, 1}, "<FC><FP>missing.gif</FP><nType>1</nType></FC>");
    TEmotionManager catalogue;
    TfrmEmotion picker(dir.Path("emotions/"), &catalogue);
    EXPECT_FALSE(picker.Built());
    EXPECT_TRUE(picker.pgTab->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return picker.Built(); }, 5000));
    EXPECT_FALSE(picker.pgTab->isHidden());

    ASSERT_EQ(picker.Frames.size(), 3u);
    EXPECT_EQ(picker.pgTab->tabText(0), "T0");
    EXPECT_EQ(picker.Frames[0]->objectName(), "FframeEmotion0");
    TframeEmotion* first = picker.Frames[0];
    EXPECT_EQ(first->Faces().size(), 91u);  // the face without a picture is left out
    EXPECT_EQ(first->lblPages->text(), "1/2");
    EXPECT_FALSE(first->btnPrior->isEnabled());
    EXPECT_TRUE(first->btnNext->isEnabled());
    first->btnNext->click();
    EXPECT_EQ(first->lblPages->text(), "2/2");
    EXPECT_TRUE(first->btnPrior->isEnabled());
    EXPECT_FALSE(first->btnNext->isEnabled());
    EXPECT_EQ(first->Strip().width(), 2 * 15 * 30);
    EXPECT_EQ(first->pbImgs->size(), QSize(15 * 30 + 1, 6 * 30 + 2));

    EXPECT_EQ(picker.Frames[1]->lblPages->text(), "1/0");
    EXPECT_FALSE(picker.Frames[1]->btnPrior->isEnabled());
    EXPECT_FALSE(picker.Frames[1]->btnNext->isEnabled());
    ASSERT_EQ(picker.Frames[2]->Faces().size(), 1u);
    EXPECT_EQ(picker.Frames[2]->Faces()[0].File, "92.gif");
}

TEST_F(EmotionTest, HoverPreviewTipAndChoice) {
    WriteCatalogue({20});
    TEmotionManager catalogue;
    TfrmEmotion picker(dir.Path("emotions/"), &catalogue);
    picker.BuildNow();
    picker.ShowEmotionPicker({10, 10});
    TframeEmotion* frame = picker.Frames[0];

    frame->GridMouseMove({2 * 30 + 5, 5}, {100, 100});
    EXPECT_TRUE(frame->pnlPreview->isVisible());
    EXPECT_EQ(frame->pnlPreview->x(), frame->pbImgs->width() - frame->pnlPreview->width());
    EXPECT_EQ(frame->tip->Text(), "face");
    frame->GridMouseMove({1 * 30 + 5, 5}, {100, 100});  // the face with no name
    EXPECT_EQ(frame->tip->Text(), "");
    frame->GridMouseMove({12 * 30 + 5, 5}, {100, 100});
    EXPECT_EQ(frame->pnlPreview->x(), 0);

    std::vector<std::string> chosen;
    QObject receiver;
    picker.SetReceiver(&receiver, [&](const std::string& file, const std::string& tab) {
        chosen.push_back(file + "|" + tab);
    });
    frame->GridClick();
    EXPECT_EQ(chosen, std::vector<std::string>{"13.gif|1"});
    EXPECT_FALSE(picker.isVisible());
    EXPECT_FALSE(frame->pnlPreview->isVisible());

    // Past the last face nothing is chosen.
    picker.ShowEmotionPicker({10, 10});
    frame->GridMouseMove({5 * 30 + 5, 2 * 30 + 5}, {100, 100});
    frame->GridClick();
    EXPECT_EQ(chosen.size(), 1u);

    // A receiver that is gone gets nothing.
    {
        QObject gone;
        picker.SetReceiver(
            &gone, [&](const std::string&, const std::string&) { chosen.push_back("late"); });
    }
    frame->GridMouseMove({0, 0}, {100, 100});
    frame->GridClick();
    EXPECT_EQ(chosen.size(), 1u);
}

TEST_F(WindowTest, AvatarPickerPagesAndChoice) {
    TImageList heads(60, 60);
    QImage head(60, 60, QImage::Format_RGB32);
    head.fill(Qt::blue);
    for (int i = 0; i < 45; ++i) {
        heads.Add(head, Qt::white);
    }
    TfrmSelectFace picker;
    picker.SetHeads(heads);
    EXPECT_EQ(picker.lblPages->text(), "1/2");
    picker.btnNext->click();
    EXPECT_EQ(picker.lblPages->text(), "2/2");

    int calls = 0;
    picker.ShowFacePicker(10, 10, nullptr, [&] { ++calls; });
    picker.GridMouseMove({41 * 2 + 3, 3});
    picker.GridClick();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(picker.ChosenIndex(), 42);
    EXPECT_FALSE(picker.isVisible());
    picker.GridMouseMove({41 * 7 + 3, 3});  // an empty cell of the last page
    picker.GridClick();
    EXPECT_EQ(picker.ChosenIndex(), -1);
}

// ------------------------------------------------------ horn and notices

TEST_F(WindowTest, HornSendsWithinTwoHundredBytesAtTenPoints) {
    const TUserFont saved = UserFonts;
    const std::string savedPath = CurrentConfigPath;
    CurrentConfigPath = dir.Path("Config.dat");
    WriteFile(CurrentConfigPath, "");
    UserFonts.Laba = "Arial,16,0,0,0,0";

    TfrmLaba horn;
    horn.show();
    QApplication::processEvents();  // the editor's page is ready
    EXPECT_TRUE(horn.CheckBoxWorldLaba->isHidden());
    EXPECT_TRUE(horn.pnlFont->isHidden());
    EXPECT_EQ(horn.htmlchtdt->FontStyle, "font:10pt Arial; color=#000000");

    // Bold red from the bar: stored and written, the size still 10.
    horn.frmFont->btnBold->click();
    EXPECT_EQ(horn.htmlchtdt->FontStyle, "font:bold 10pt Arial; color=#000000");
    EXPECT_EQ(IniFile(CurrentConfigPath).ReadString("Font", "Laba", ""), "Arial,16,0,1,0,0");
    EXPECT_TRUE(horn.frmFont->cmbFontSize->isHidden());

    std::vector<std::pair<std::string, bool>> sent;
    horn.OnSendHorn = [&](const std::string& text, bool world) { sent.emplace_back(text, world); };
    horn.htmlchtdt->PasteText(std::string(201, 'x'));
    horn.btnOK->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Caption, G("提示"));
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(horn.htmlchtdt->Editor()->document()->isEmpty());  // the text stays

    horn.htmlchtdt->ClearEditor();
    horn.htmlchtdt->PasteText(std::string(200, 'x'));
    horn.btnOK->click();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, "<FONT STYLE=\"font:bold 10pt Arial; color=#000000\">" +
                                 std::string(200, 'x') + "</FONT>");
    EXPECT_FALSE(sent[0].second);
    horn.btnOK->click();  // empty editor: nothing, no box
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(boxes.boxes.size(), 1u);

    horn.close();
    EXPECT_FALSE(horn.isVisible());  // hidden, kept for the next time

    UserFonts = saved;
    CurrentConfigPath = savedPath;
}

TEST_F(WindowTest, RoomNoticeAndSystemNoticeLimitsAndPrefix) {
    TfrmRoomNotice notice;
    std::vector<std::string> sent;
    notice.OnSendNotice = [&](const std::string& text) { sent.push_back(text); };
    notice.htmlchtdt->PasteText(std::string(801, 'n'));
    notice.btnOK->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Caption, G("错误"));
    notice.htmlchtdt->ClearEditor();
    notice.htmlchtdt->PasteText(std::string(800, 'n'));
    notice.btnOK->click();
    ASSERT_EQ(sent.size(), 1u);

    TfrmSystemNotice system;
    system.OnSendNotice = [&](const std::string& text) { sent.push_back(text); };
    EXPECT_FALSE(system.pnlFont->isHidden());
    system.htmlchtdt->PasteText(G("你好"));
    QTest::keyClick(system.htmlchtdt->Editor(), Qt::Key_Return);
    EXPECT_EQ(sent.size(), 1u);  // Enter sends nothing here
    system.btnSendNotice->click();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], G("<FONT STYLE=\"FONT:bold 11pt 宋体; color: red\">【系统通知】：</FONT>") +
                           WrapMessageBody(system.htmlchtdt->FontStyle, G("你好")));
    system.htmlchtdt->PasteText(std::string(201, 's'));
    system.btnSendNotice->click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].Caption, G("提示"));
}

TEST_F(WindowTest, RoomNotePageAndLinks) {
    EXPECT_EQ(RoomNotePage("", "#FEE9BC"),
              "<HEAD><STYLE>body{margin:2; font:10pt; color:000000; background-color:#FEE9BC; "
              "border: 0; overflow-X: hidden; overflow-Y: hidden};</STYLE></HEAD><BODY ></BODY>");
    EXPECT_NE(
        RoomNotePage("/x/NoteBK.bmp", "#FEE9BC").find("background: url(\"/x/NoteBK.bmp\") repeat"),
        std::string::npos);

    THTMLRoomNote note;
    note.InitRoomNote("", "#FEE9BC");
    EXPECT_EQ(note.Browser()->palette().color(QPalette::Base), QColor("#FEE9BC"));
    note.ShowRoomNote("<a href=\"http://example.com/\">go</a>");
    note.show();
    QApplication::processEvents();
    QTest::mouseClick(note.Browser()->viewport(), Qt::LeftButton, {},
                      note.Browser()->cursorRect(QTextCursor(note.Browser()->document())).center() +
                          QPoint(3, 0));
    EXPECT_TRUE(note.Browser()->source().isEmpty());
    EXPECT_EQ(note.Browser()->document()->toPlainText(), "go");
}

// ---------------------------------------------------------- rolling tips

TEST_F(WindowTest, RollingTipsTemporaryThenPermanentAgain) {
    TRollingTipPanel panel;
    panel.resize(200, 50);
    panel.ShowTemporaryTip("B");  // before any permanent tip: empty afterwards
    panel.tmrTempShowTimer();
    EXPECT_EQ(panel.ShownTip(), "");

    panel.ShowPermanentTip("A");
    panel.ShowTemporaryTip("B");
    EXPECT_EQ(panel.ShownTip(), "B");
    EXPECT_TRUE(panel.tmrTempShow->isActive());
    const int left = panel.tmrTempShow->remainingTime();
    QTest::qWait(30);
    panel.ShowTemporaryTip("C");  // the running timer is not restarted
    EXPECT_EQ(panel.ShownTip(), "C");
    EXPECT_LT(panel.tmrTempShow->remainingTime(), left);
    panel.tmrTempShowTimer();
    EXPECT_EQ(panel.ShownTip(), "A");
    EXPECT_FALSE(panel.tmrTempShow->isActive());
    EXPECT_EQ(panel.PermanentTip(), "A");

    // Scrolls from the right edge to the left.
    const int start = panel.ScrollOffset();
    EXPECT_EQ(start, 200);
    panel.Step();
    EXPECT_EQ(panel.ScrollOffset(), start - 2);
}

// ----------------------------------------------------------------- my info

TEST(CheckMyInfo, Refusals) {
    TMyInfoInput in;
    in.StoredDigest = Md5Hex("old");
    in.NickName = "  ";
    EXPECT_EQ(CheckMyInfo(in).ErrorText, G("昵称不能为空"));

    in.NickName = "a<b ";
    TMyInfoResult r = CheckMyInfo(in);
    ASSERT_TRUE(r.Accepted);
    EXPECT_EQ(r.NickName, "a&lt;b ");
    EXPECT_EQ(r.NewDigest, "");

    in.ModifyPassword = true;
    in.OldPassword = "wrong";
    r = CheckMyInfo(in);
    EXPECT_EQ(r.ErrorText, G("您输入的旧密码不正确，请重新输入"));
    EXPECT_EQ(r.ErrorCaption, G("密码修改错误"));
    EXPECT_TRUE(r.ClearPasswords);

    in.OldPassword = "old";
    in.NewPassword = " new ";
    in.AffirmPassword = "newer";
    EXPECT_EQ(CheckMyInfo(in).ErrorText, G("您两次输入的密码不一致，请重新输入。"));
    in.AffirmPassword = "new";
    r = CheckMyInfo(in);
    ASSERT_TRUE(r.Accepted);
    EXPECT_EQ(r.NewDigest, Md5Hex("new"));

    std::string digest = "d1";
    UpdatePasswordDigest(digest, "");
    EXPECT_EQ(digest, "d1");
    UpdatePasswordDigest(digest, "d2");
    EXPECT_EQ(digest, "d2");
}

TEST_F(WindowTest, MyInfoDialogClearsPasswordsAndCallsBack) {
    TfrmMyInfoSet dialog;
    dialog.Fill(12345, 7, Md5Hex("pw"), "nick");
    EXPECT_EQ(dialog.edtUserID->text(), "12345");
    EXPECT_FALSE(dialog.edtOldPwd->isEnabled());

    dialog.ChkModifyPwd->setChecked(true);
    dialog.edtOldPwd->setText("bad");
    dialog.edtNewPwd->setText("n");
    dialog.Confirm();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(dialog.edtOldPwd->text(), "");
    EXPECT_EQ(dialog.edtNewPwd->text(), "");

    dialog.edtNewPwd->setText("typed");
    dialog.ChkModifyPwd->setChecked(false);
    EXPECT_EQ(dialog.edtNewPwd->text(), "");

    std::vector<std::string> result;
    dialog.OnResult = [&](const std::string& stored, const std::string& nick,
                          const std::string& fresh, int face) {
        result = {stored, nick, fresh, std::to_string(face)};
    };
    dialog.SetFace(-1);  // a click beside the heads keeps the head
    dialog.Confirm();
    EXPECT_EQ(result, (std::vector<std::string>{Md5Hex("pw"), "nick", "", "7"}));
}

// ------------------------------------------------------------------ replies

TEST_F(WindowTest, ReplyEditDialogAddModifyDeleteConfirm) {
    TReply store(TReply::kShortCut, dir.Path("Reply.dat"));
    store.TakeTexts({"a", "b", "c"});
    TfrmReplyEdit dialog;
    std::vector<std::string> asked;
    std::string answer;
    dialog.InputText = [&](const std::string& text) {
        asked.push_back(text);
        return answer;
    };
    dialog.Open(store);
    ASSERT_EQ(dialog.lvReply->count(), 3);

    dialog.lvReply->setCurrentRow(2);
    dialog.Delete();
    EXPECT_EQ(dialog.lvReply->count(), 2);
    EXPECT_EQ(dialog.lvReply->currentRow(), 1);  // the new last row

    dialog.lvReply->setCurrentRow(0);
    answer = "A";
    dialog.Modify();
    EXPECT_EQ(dialog.lvReply->item(0)->text(), "A");
    answer = "";
    dialog.Add();  // cancelled input adds nothing
    EXPECT_EQ(dialog.lvReply->count(), 2);
    answer = G("再见");
    dialog.Add();
    EXPECT_EQ(dialog.lvReply->currentRow(), 2);
    EXPECT_EQ(asked, (std::vector<std::string>{"a", "", ""}));

    EXPECT_EQ(TReply(TReply::kShortCut, dir.Path("Reply.dat")).Texts().size(), 3u);  // not yet
    dialog.Confirm();
    EXPECT_EQ(TReply(TReply::kShortCut, dir.Path("Reply.dat")).Texts(),
              (std::vector<std::string>{"A", "b", G("再见")}));
}

TEST_F(WindowTest, ReplyInputShowsPicturesAndRefusesLongText) {
    dir.MakeFolder("Emotions");
    TfrmReplyInput input;
    input.SetInputText("hi \\e105 &lt;");
    EXPECT_EQ(input.hceInput->Editor()->toPlainText(), "hi \\e105 &lt;");
    input.Timer1Timer();
    EXPECT_EQ(input.hceInput->Editor()->toPlainText(), QString("hi ") + QChar(0xFFFC) + " <");
    EXPECT_EQ(input.Result(false), "");
    EXPECT_EQ(input.Result(true), "hi \\e105 &lt;");

    input.hceInput->PasteText(std::string(201, 'r'));
    EXPECT_EQ(input.Result(true), "");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Text, G("回复限制长度为200字符，您输入的字符数超过了此长度"));
}

}  // namespace
