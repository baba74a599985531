#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <set>

#include "ChatTestSupport.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"

namespace {

std::string Line(int n) {
    return "line " + std::to_string(n) + "<BR>";
}

// A point inside the first link whose target is `href`.
QPoint AnchorPoint(QTextBrowser* wb, const QString& href) {
    for (QTextBlock b = wb->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() == href) {
                QTextCursor c(wb->document());
                c.setPosition(it.fragment().position() + 1);
                return wb->cursorRect(c).center();
            }
        }
    }
    return {-1, -1};
}

QAction* ActionNamed(QMenu* menu, const char* utf8) {
    for (QAction* a : menu->actions()) {
        if (a->text() == QString::fromUtf8(utf8)) {
            return a;
        }
    }
    return nullptr;
}

class ChatViewTest : public AppTest {
  protected:
    void SetUp() override {
        TestApp();
        view.resize(400, 200);
        view.InitPageFrom(QString());
        view.show();
    }
    THtmlChatView view;
};

TEST_F(ChatViewTest, The151stAppendStartsOverWithTheFiveRecentLines) {
    for (int i = 1; i <= 150; ++i) {
        view.AppendLine(Line(i));
    }
    EXPECT_EQ(view.ShownLines().size(), 150u);
    EXPECT_EQ(view.Browser()->document()->blockCount(), 150);

    view.AppendLine(Line(151));
    std::vector<std::string> expected;
    for (int i = 146; i <= 151; ++i) {
        expected.push_back(Line(i));
    }
    EXPECT_EQ(view.ShownLines(), expected);
    EXPECT_EQ(view.LineCount(), 1);
    EXPECT_EQ(view.Browser()->document()->toPlainText(),
              "line 146\nline 147\nline 148\nline 149\nline 150\nline 151");
}

TEST_F(ChatViewTest, ClearingKeepsTheCountSoARebuildBringsOldLinesBack) {
    for (int i = 1; i <= 149; ++i) {
        view.AppendLine(Line(i));
    }
    view.ClearLines();
    EXPECT_TRUE(view.Browser()->document()->toPlainText().isEmpty());
    view.AppendLine(Line(150));
    view.AppendLine(Line(151));
    EXPECT_EQ(view.Browser()->document()->toPlainText(),
              "line 146\nline 147\nline 148\nline 149\nline 150\nline 151");
}

TEST_F(ChatViewTest, ScrollsToTheNewestLineOnlyWhenEnabled) {
    for (int i = 1; i <= 60; ++i) {
        view.AppendLine(Line(i));
    }
    QApplication::processEvents();
    QScrollBar* bar = view.Browser()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    view.SetEnableScroll(false);
    bar->setValue(0);
    view.AppendLine(Line(61));
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ChatViewTest, UserLinkMenuAndSelectionMenu) {
    QMenu* menu = view.ContextMenuAt({5, 5});
    EXPECT_EQ(menu, view.SelectionMenu());
    for (QAction* a : menu->actions()) {
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    }

    view.AppendLine("<a href=\"id:25:abc\">abc</a> said<BR>");
    view.AppendLine("<a href=\"id:26:a b\">ab</a><a href=\"id:x:y\">bad</a><BR>");
    QApplication::processEvents();
    ASSERT_EQ(view.ContextMenuAt(AnchorPoint(view.Browser(), "id:25:abc")), view.UserMenu());
    EXPECT_EQ(view.LinkUserId(), 25);
    EXPECT_EQ(view.LinkNickName(), "abc");
    ActionNamed(view.UserMenu(), "复制ID")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "25");
    ActionNamed(view.UserMenu(), "复制昵称")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "abc");

    std::vector<std::pair<int, std::string>> raised;
    view.OnSelectToChat = [&](int id, const std::string& nick) { raised.emplace_back(id, nick); };
    view.ContextMenuAt(AnchorPoint(view.Browser(), "id:26:a b"));
    ActionNamed(view.UserMenu(), "选中聊天对象")->trigger();
    view.ContextMenuAt(AnchorPoint(view.Browser(), "id:x:y"));
    ActionNamed(view.UserMenu(), "选中聊天对象")->trigger();
    EXPECT_EQ(raised, (std::vector<std::pair<int, std::string>>{{26, "a"}, {0, "y"}}));

    // Text but no selection: copying is the one thing left off.
    view.ContextMenuAt({300, 150});
    EXPECT_TRUE(ActionNamed(view.SelectionMenu(), "全选(Ctrl+A)")->isEnabled());
    EXPECT_FALSE(ActionNamed(view.SelectionMenu(), "复制(Ctrl+C)")->isEnabled());
}

TEST_F(ChatViewTest, ClickingALinkRaisesItsRawTargetAndNeverNavigates) {
    view.AppendLine(
        G("<a href=\"id:25:小明\">x</a> <a href=\"rm:agree_25\">yes</a> <a "
          "href=\"http://example.com/a b\">web</a><BR>"));
    QApplication::processEvents();
    std::vector<std::string> targets;
    view.OnSelect = [&](const std::string& t) { targets.push_back(t); };
    for (const char* href : {"id:25:小明", "rm:agree_25", "http://example.com/a b"}) {
        const QPoint at = AnchorPoint(view.Browser(), QString::fromUtf8(href));
        QTest::mouseClick(view.Browser()->viewport(), Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(targets,
              (std::vector<std::string>{G("id:25:小明"), "rm:agree_25", "http://example.com/a b"}));
    EXPECT_EQ(view.Browser()->document()->toPlainText(), "x yes web");
    EXPECT_TRUE(view.Browser()->source().isEmpty());
}

TEST_F(ChatViewTest, KeyTable) {
    view.AppendLine("text<BR>");
    EXPECT_TRUE(view.HandleKey(Qt::Key_F5, Qt::NoModifier));
    EXPECT_TRUE(view.HandleKey(Qt::Key_F, Qt::ControlModifier));
    EXPECT_FALSE(view.HandleKey(Qt::Key_F, Qt::NoModifier));
    EXPECT_TRUE(view.HandleKey(Qt::Key_A, Qt::ControlModifier));
    EXPECT_EQ(view.Browser()->textCursor().selectedText(), "text");
    EXPECT_TRUE(view.HandleKey(Qt::Key_C, Qt::ControlModifier));
    EXPECT_EQ(QApplication::clipboard()->text(), "text");
}

TEST_F(ChatViewTest, RewrittenElementShowsItsLineAgain) {
    view.AppendLine("before<BR>");
    view.AppendLine("<span id=\"action_25\">ask <a href=\"rm:agree_25\">yes</a></span><BR>");
    view.AppendLine("after<BR>");
    ASSERT_TRUE(view.RewriteElement("action_25", TElementRewrite::InnerToText));
    EXPECT_EQ(view.ShownLines()[1], "<span>ask yes</span><BR>");
    EXPECT_EQ(view.Browser()->document()->toPlainText(), "before\nask yes\nafter");
    QApplication::processEvents();
    EXPECT_TRUE(view.Browser()->anchorAt(AnchorPoint(view.Browser(), "rm:agree_25")).isEmpty());
    // A rebuild brings the rewritten line back, not the old one.
    EXPECT_EQ(view.RecentLines().Lines()[1], "<span>ask yes</span><BR>");
    EXPECT_FALSE(view.RewriteElement("action_25", TElementRewrite::InnerToText));
}

TEST_F(ChatViewTest, AnimatedPicturesPlayWhileTheirLinesAreShown) {
    ScratchAppDir dir;
    dir.MakeFolder("Emotions");
    WriteFile(dir.Path("Emotions/3.gif"), AnimatedGif());

    const std::string line = "<img src=\"" + dir.Path("Emotions/3.gif") + "\"> hi<BR>";
    view.AppendLine(line);
    view.AppendLine(line);
    EXPECT_EQ(view.MovieCount(), 1);
    EXPECT_EQ(view.RunningMovieCount(), 1);
    const QUrl url(QString::fromStdString(dir.Path("Emotions/3.gif")));
    std::set<QRgb> seen;
    for (int i = 0; i < 15; ++i) {
        const QImage frame = view.Browser()
                                 ->document()
                                 ->resource(QTextDocument::ImageResource, url)
                                 .value<QPixmap>()
                                 .toImage();
        ASSERT_FALSE(frame.isNull());
        seen.insert(frame.pixel(0, 0));
        QTest::qWait(30);
    }
    EXPECT_EQ(seen.size(), 2u) << "both frames should have been shown";

    view.ClearLines();
    EXPECT_EQ(view.RunningMovieCount(), 0);
}

class ChatEditTest : public AppTest {
  protected:
    void SetUp() override {
        TestApp();
        edit.show();
    }
    ScratchAppDir dir;
    THtmlChatEdit edit;
    BoxRecorder boxes;
};

TEST_F(ChatEditTest, EmoticonTextAndBreaksReadBackAsMessageText) {
    edit.PasteText("a < b");
    edit.InsertEmoticon(AppDir + "emotions/", "12.gif");
    edit.HandleKey(Qt::Key_Return, Qt::ControlModifier);
    edit.PasteText("c & d");
    EXPECT_EQ(edit.BodyHtml(), "<BODY>a &lt; b<IMG src=\"" + AppDir +
                                   "emotions/12.gif\"><BR><!--  -->c &amp; d</BODY>");
    EXPECT_EQ(edit.MessageLength(), 23);
    EXPECT_EQ(edit.GetChatMessage(),
              WrapMessageBody(DefaultFontStyle(), "a &lt; b\\e112 c &amp; d"));
    EXPECT_TRUE(edit.Editor()->document()->isEmpty());
    EXPECT_EQ(edit.GetChatMessage(), "");
}

TEST_F(ChatEditTest, UnreadablePictureKeepsTheContent) {
    edit.PasteText("x");
    edit.InsertEmoticon(AppDir + "emotions/", "smile.gif");
    EXPECT_EQ(edit.MessageLength(), -1);
    EXPECT_EQ(edit.ReadChatInfo(), "");
    EXPECT_FALSE(edit.Editor()->document()->isEmpty());
}

TEST_F(ChatEditTest, EnterSendsWithinTheLimitOnly) {
    int entered = 0;
    edit.MaxLength = 5;
    QTest::keyClick(edit.Editor(), Qt::Key_Return);
    EXPECT_TRUE(boxes.boxes.empty());  // nobody listens: nothing at all

    edit.OnEnterChat = [&] { ++entered; };
    QTest::keyClick(edit.Editor(), Qt::Key_Return);
    EXPECT_EQ(entered, 0);  // empty editor
    QTest::keyClicks(edit.Editor(), "abcde");
    QTest::keyClick(edit.Editor(), Qt::Key_Return);
    EXPECT_EQ(entered, 1);
    QTest::keyClicks(edit.Editor(), "f");
    QTest::keyClick(edit.Editor(), Qt::Key_Enter);
    EXPECT_EQ(entered, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Text, G("您输入的字数超过最大字符限制！"));
    EXPECT_EQ(boxes.boxes[0].Caption, G("提示"));
    EXPECT_EQ(edit.Editor()->toPlainText(), "abcdef");  // Enter never adds a line
}

TEST_F(ChatEditTest, PasteAndDropTakePlainTextWithinTheLimit) {
    QApplication::clipboard()->setText(QString(3000, QLatin1Char('x')));
    edit.HandleKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Editor()->toPlainText().size(), 2048);

    edit.ClearEditor();
    // Cut on a character boundary: 1025 two-byte characters give 1024.
    QApplication::clipboard()->setText(QString(1025, QChar(0x4E2D)));
    edit.HandleKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Editor()->toPlainText().size(), 1024);

    edit.ClearEditor();
    QApplication::clipboard()->setText("\r\nlater");
    edit.HandleKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(edit.Editor()->document()->isEmpty());

    QMimeData html;
    html.setHtml("<b>bold</b>");
    EXPECT_FALSE(edit.Editor()->canInsertFromMimeData(&html));
    QMimeData text;
    text.setText("<b>two\nlines</b>");
    edit.Editor()->insertFromMimeData(&text);
    EXPECT_EQ(edit.ReadChatInfo(), "&lt;b&gt;two lines&lt;/b&gt;");
}

TEST_F(ChatEditTest, ChatFontBuildsTheStyleString) {
    EXPECT_EQ(edit.FontStyle, G("font:10pt 宋体; color:#000000"));
    edit.SetChatFont(kFontBold | kFontUnderline, G("宋体"), 255, 12);
    EXPECT_EQ(edit.FontStyle, G("font:bold 12pt 宋体; color=#ff0000; text-decoration:underline"));
    EXPECT_TRUE(edit.Editor()->document()->defaultFont().bold());
    edit.SetChatFont(kFontItalic, "Arial", 0x00FF00, 9);
    EXPECT_EQ(edit.FontStyle, "font:italic 9pt Arial; color=#00ff00");
    EXPECT_FALSE(edit.Editor()->document()->defaultFont().bold());
}

TEST_F(ChatEditTest, ContextMenuAndKeys) {
    QMenu* menu = edit.ContextMenu();
    EXPECT_FALSE(ActionNamed(menu, "全选(Ctrl+A)")->isEnabled());
    EXPECT_FALSE(ActionNamed(menu, "剪切(Ctrl+X)")->isEnabled());
    EXPECT_TRUE(ActionNamed(menu, "粘贴(Ctrl+V)")->isEnabled());

    edit.PasteText("hello");
    EXPECT_TRUE(edit.HandleKey(Qt::Key_A, Qt::ControlModifier));
    menu = edit.ContextMenu();
    EXPECT_TRUE(ActionNamed(menu, "清除(Ctrl+Q)")->isEnabled());
    EXPECT_TRUE(ActionNamed(menu, "复制(Ctrl+C)")->isEnabled());
    EXPECT_TRUE(edit.HandleKey(Qt::Key_F, Qt::ControlModifier));
    EXPECT_TRUE(edit.HandleKey(Qt::Key_Q, Qt::ControlModifier));
    EXPECT_TRUE(edit.Editor()->document()->isEmpty());
    EXPECT_FALSE(edit.HandleKey(Qt::Key_B, Qt::NoModifier));
}

TEST_F(ChatEditTest, SetHtmlShowsPicturesThatReadBackAsCodes) {
    edit.SetHtml("hi <img src=\"" + AppDir + "emotions/5.gif\">");
    EXPECT_EQ(edit.ReadChatInfo(), "hi \\e105");
}

}  // namespace
