#include "chat/HtmlChatEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QIODevice>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTimer>
#include <QVBoxLayout>

#include "chat/ChatBoxes.h"
#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "chat/HtmlChatView.h"
#include "common/GbkText.h"
#include "foundation/APIUtils.h"
#include "foundation/ResDll.h"

namespace {

constexpr char16_t kLineSeparator = 0x2028;

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

// Text as a browser writes it inside the body.
void AppendEscaped(const QString& text, QString& out) {
    for (QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                out += QLatin1String("&amp;");
                break;
            case u'<':
                out += QLatin1String("&lt;");
                break;
            case u'>':
                out += QLatin1String("&gt;");
                break;
            case 0x00A0:
                out += QLatin1String("&nbsp;");
                break;
            case kLineSeparator:
            case u'\n':
            case u'\r':
                out += QLatin1String(kEditorLineBreak.data(), kEditorLineBreak.size());
                break;
            default:
                out += c;
                break;
        }
    }
}

// Newlines of pasted text would cut the message at the receiver: blanks.
std::string FlattenLines(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::string CutToPasteLimit(const std::string& text) {
    return text.substr(0, GbkSafePrefix(text, kPasteLimit));
}

}  // namespace

std::string BuildFontStyle(int styles, const std::string& name, std::uint32_t color, int size) {
    std::string style = "font:";
    if (styles & kFontBold) {
        style += "bold ";
    }
    if (styles & kFontItalic) {
        style += "italic ";
    }
    style += std::to_string(size) + "pt " + name;
    // The colour as a browser reports it back: lower-case hexadecimal.
    style += "; color=" + LowerAscii(ColorToHtml(color));
    if (styles & kFontUnderline) {
        style += "; text-decoration:underline";
    }
    return style;
}

const std::string& DefaultFontStyle() {
    return GbkText("font:10pt 宋体; color:#000000");
}

bool TChatEditBox::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void TChatEditBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) {
        return;
    }
    const std::string text = CutToPasteLimit(QStringToGbk(source->text()));
    if (OnPasteText) {
        OnPasteText(text);
    }
}

THtmlChatEdit::THtmlChatEdit(QWidget* parent) : QWidget(parent), wb_(new TChatEditBox(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wb_);
    wb_->setAcceptRichText(false);
    wb_->setUndoRedoEnabled(false);
    wb_->setContextMenuPolicy(Qt::NoContextMenu);
    wb_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    wb_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wb_->OnPasteText = [this](const std::string& text) { PasteText(text); };
    wb_->installEventFilter(this);
    wb_->viewport()->installEventFilter(this);

    menu_ = new QMenu(this);
    miSelectAll_ = menu_->addAction(GbkToQString(GbkText("全选(Ctrl+A)")));
    miCopy_ = menu_->addAction(GbkToQString(GbkText("复制(Ctrl+C)")));
    miPaste_ = menu_->addAction(GbkToQString(GbkText("粘贴(Ctrl+V)")));
    miCut_ = menu_->addAction(GbkToQString(GbkText("剪切(Ctrl+X)")));
    miClear_ = menu_->addAction(GbkToQString(GbkText("清除(Ctrl+Q)")));
    connect(miSelectAll_, &QAction::triggered, wb_, &QTextEdit::selectAll);
    connect(miCopy_, &QAction::triggered, wb_, &QTextEdit::copy);
    connect(miPaste_, &QAction::triggered, this, [this] { PasteClipboard(); });
    connect(miCut_, &QAction::triggered, wb_, &QTextEdit::cut);
    connect(miClear_, &QAction::triggered, this, [this] { ClearEditor(); });

    InitPage();
}

THtmlChatEdit::~THtmlChatEdit() = default;

void THtmlChatEdit::InitPage() {
    QString page;
    if (ResDll != nullptr) {
        ResDll->Load();
        if (auto stream = ResDll->OpenResource("editor", "html")) {
            page = DecodePageBytes(stream->readAll());
        }
    }
    // The editable body's own style sits last in the page (written by its
    // load script); its background is the box's.
    QColor background(0xFB, 0xEF, 0xF7);
    static const QRegularExpression bg(QStringLiteral("background-color:\\s*(#[0-9A-Fa-f]{6})"));
    QString last;
    for (auto it = bg.globalMatch(page); it.hasNext();) {
        last = it.next().captured(1);
    }
    if (!last.isEmpty()) {
        background = QColor(last);
    }
    QPalette palette = wb_->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    wb_->setPalette(palette);
    QFont font = wb_->document()->defaultFont();
    font.setFamily(GbkToQString(GbkText("宋体")));
    font.setPointSize(10);
    wb_->document()->setDefaultFont(font);
    wb_->document()->setDocumentMargin(2);
    QTimer::singleShot(0, this, [this] {
        if (OnNavigateComplete2) {
            OnNavigateComplete2();
        }
    });
}

std::string THtmlChatEdit::BodyHtml() const {
    // Built as one text and converted once: the conversion dominates.
    QString out = QStringLiteral("<BODY>");
    const QTextDocument* doc = wb_->document();
    bool firstBlock = true;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (!firstBlock) {
            // A second paragraph only comes from foreign HTML; keep its text
            // on the same line rather than lose it.
            out += QLatin1String(kEditorLineBreak.data(), kEditorLineBreak.size());
        }
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) {
                continue;
            }
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QString src = format.toImageFormat().name();
                // One object character per picture in the fragment.
                for (int i = 0; i < fragment.length(); ++i) {
                    out += QLatin1String("<IMG src=\"") + src + QLatin1String("\">");
                }
                continue;
            }
            AppendEscaped(fragment.text(), out);
        }
    }
    out += QLatin1String("</BODY>");
    return QStringToGbk(out);
}

std::string THtmlChatEdit::ReadChatInfo() {
    const std::string html = BodyHtml();
    const std::optional<std::string> text = ConvertEditorHtml(html);
    if (!text) {
        WriteLog("ReadChatInfo: unreadable picture in " + html);
        return {};
    }
    ClearEditor();
    DebugLine("ReadChatInfo outerHtml:" + html);
    return *text;
}

std::string THtmlChatEdit::GetChatMessage() {
    const std::string text = ReadChatInfo();
    DebugLine("ReadChatInfo Result:" + text);
    if (text.empty()) {
        return {};
    }
    return WrapMessageBody(FontStyle, text);
}

int THtmlChatEdit::MessageLength() const {
    const std::optional<std::string> text = ConvertEditorHtml(BodyHtml());
    return text ? static_cast<int>(text->size()) : -1;
}

void THtmlChatEdit::InsertEmoticon(const std::string& folder, const std::string& fileName) {
    emotionFolder_ = folder;
    FocusEditor();
    QTextImageFormat image;
    image.setName(GbkToQString(folder + fileName));
    wb_->textCursor().insertImage(image);
}

void THtmlChatEdit::PasteHtml(const std::string& html) {
    FocusEditor();
    wb_->textCursor().insertHtml(GbkToQString(html));
}

void THtmlChatEdit::PasteText(const std::string& text) {
    FocusEditor();
    wb_->textCursor().insertText(GbkToQString(FlattenLines(text)));
}

void THtmlChatEdit::SetPlainText(const std::string& text) {
    wb_->setPlainText(GbkToQString(text));
}

void THtmlChatEdit::SetHtml(const std::string& html) {
    wb_->setHtml(GbkToQString(html));
    wb_->moveCursor(QTextCursor::End);
}

void THtmlChatEdit::ClearEditor() {
    wb_->clear();
}

void THtmlChatEdit::FocusEditor() {
    wb_->setFocus(Qt::OtherFocusReason);
}

void THtmlChatEdit::SetChatFont(int styles, const std::string& name, std::uint32_t color,
                                int size) {
    QFont font = wb_->document()->defaultFont();
    font.setFamily(GbkToQString(name));
    if (size > 0) {
        font.setPointSize(size);
    }
    font.setBold((styles & kFontBold) != 0);
    font.setItalic((styles & kFontItalic) != 0);
    font.setUnderline((styles & kFontUnderline) != 0);
    wb_->document()->setDefaultFont(font);
    QPalette palette = wb_->palette();
    palette.setColor(QPalette::Text, QColor(GbkToQString(ColorToHtml(color))));
    wb_->setPalette(palette);
    FontStyle = BuildFontStyle(styles, name, color, size);
}

QMenu* THtmlChatEdit::ContextMenu() {
    const bool hasText = !wb_->document()->isEmpty();
    const bool hasSelection = wb_->textCursor().hasSelection();
    miSelectAll_->setEnabled(hasText);
    miClear_->setEnabled(hasText);
    miCopy_->setEnabled(hasSelection);
    miCut_->setEnabled(hasSelection);
    miPaste_->setEnabled(true);
    return menu_;
}

void THtmlChatEdit::PasteClipboard() {
    const std::string text = QStringToGbk(QApplication::clipboard()->text());
    if (text.empty() || text[0] == '\r') {
        return;
    }
    PasteText(CutToPasteLimit(text));
}

void THtmlChatEdit::PressEnter() {
    if (!OnEnterChat) {
        return;
    }
    const int length = MessageLength();
    if (length > MaxLength) {
        ShowChatBox(this, GbkText("您输入的字数超过最大字符限制！"), GbkText("提示"),
                    TBoxIcon::Warning);
    } else if (length > 0) {
        OnEnterChat();
    }
}

bool THtmlChatEdit::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (ctrl) {
            wb_->textCursor().insertText(QString(QChar(kLineSeparator)));
        } else {
            PressEnter();
        }
        return true;
    }
    if (!ctrl) {
        return false;
    }
    switch (key) {
        case Qt::Key_A:
            wb_->selectAll();
            return true;
        case Qt::Key_C:
            wb_->copy();
            return true;
        case Qt::Key_V:
            PasteClipboard();
            return true;
        case Qt::Key_X:
            wb_->cut();
            return true;
        case Qt::Key_Q:
            ClearEditor();
            return true;
        case Qt::Key_F:
            return true;
        default:
            return false;
    }
}

bool THtmlChatEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched != wb_ && watched != wb_->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            return HandleKey(key->key(), key->modifiers());
        }
        case QEvent::ShortcutOverride: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers().testFlag(Qt::ControlModifier)) {
                switch (key->key()) {
                    case Qt::Key_A:
                    case Qt::Key_C:
                    case Qt::Key_V:
                    case Qt::Key_X:
                    case Qt::Key_Q:
                    case Qt::Key_F:
                        event->accept();
                        return true;
                    default:
                        break;
                }
            }
            return false;
        }
        case QEvent::ContextMenu: {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            ContextMenu()->popup(menuEvent->globalPos());
            return true;
        }
        case QEvent::MouseButtonDblClick:
            return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        default:
            return false;
    }
}
