#include "chat/HtmlChatView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QMovie>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "common/GbkText.h"
#include "foundation/ResDll.h"

namespace {

// Used when the resource pack has no page: the two classes the client's own
// lines need.
const char* const kFallbackStyle = ".nickrgb { color: #1F4E9A; } .red { color: #FF0000; }";

QString LocalPathOf(const QUrl& url) {
    if (url.isLocalFile()) {
        return url.toLocalFile();
    }
    if (url.scheme().isEmpty()) {
        return url.path();
    }
    return {};
}

// One line per text block: the block break stands for the line's "<BR>".
std::string WithoutTrailingBreak(const std::string& html) {
    std::size_t end = html.size();
    while (end > 0 && (html[end - 1] == ' ' || html[end - 1] == '\r' || html[end - 1] == '\n')) {
        --end;
    }
    if (end >= 4) {
        const std::string tail = html.substr(end - 4, 4);
        if (tail == "<BR>" || tail == "<br>" || tail == "<Br>" || tail == "<bR>") {
            return html.substr(0, end - 4);
        }
    }
    return html;
}

bool IsGifSource(const std::string& src) {
    return src.size() > 4 && (src.compare(src.size() - 4, 4, ".gif") == 0 ||
                              src.compare(src.size() - 4, 4, ".GIF") == 0);
}

}  // namespace

void TMsgArray::Add(std::string line) {
    if (capacity_ == 0) {
        return;
    }
    if (lines_.size() >= capacity_) {
        lines_.pop_front();
    }
    lines_.push_back(std::move(line));
}

bool TMsgArray::ReplaceFirst(const std::string& from, const std::string& to) {
    for (std::string& line : lines_) {
        if (line == from) {
            line = to;
            return true;
        }
    }
    return false;
}

QVariant TChatBrowser::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::ImageResource) {
        return {};
    }
    const QString path = LocalPathOf(name);
    if (path.isEmpty()) {
        return {};
    }
    QImage image(path);
    if (image.isNull()) {
        return {};
    }
    return image;
}

QString DecodePageBytes(const QByteArray& bytes) {
    const QString utf8 = QString::fromUtf8(bytes);
    if (!utf8.contains(QChar::ReplacementCharacter)) {
        return utf8;
    }
    return QString::fromStdString(GbkToUtf8(std::string_view(bytes.constData(), bytes.size())));
}

QString PageStyleSheet(const QString& page) {
    static const QRegularExpression style(
        QStringLiteral("<style[^>]*>(.*?)</style>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString css;
    for (auto it = style.globalMatch(page); it.hasNext();) {
        css += it.next().captured(1);
        css += QLatin1Char('\n');
    }
    return css;
}

THtmlChatView::THtmlChatView(QWidget* parent) : QWidget(parent), wb_(new TChatBrowser(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wb_);
    wb_->setOpenLinks(false);
    wb_->setOpenExternalLinks(false);
    wb_->setUndoRedoEnabled(false);
    wb_->setContextMenuPolicy(Qt::NoContextMenu);
    wb_->document()->setUndoRedoEnabled(false);
    wb_->document()->setDefaultStyleSheet(QString::fromLatin1(kFallbackStyle));
    wb_->installEventFilter(this);
    wb_->viewport()->installEventFilter(this);
    connect(wb_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (enableScroll_) {
            ScrollToEnd();
        }
    });

    selectionMenu_ = new QMenu(this);
    miSelectAll_ = selectionMenu_->addAction(GbkToQString(GbkText("全选(Ctrl+A)")));
    miCopy_ = selectionMenu_->addAction(GbkToQString(GbkText("复制(Ctrl+C)")));
    miClear_ = selectionMenu_->addAction(GbkToQString(GbkText("清除(Ctrl+Q)")));
    connect(miSelectAll_, &QAction::triggered, this, [this] { SelectAll(); });
    connect(miCopy_, &QAction::triggered, this, [this] { CopySelection(); });
    connect(miClear_, &QAction::triggered, this, [this] { ClearLines(); });

    userMenu_ = new QMenu(this);
    connect(userMenu_->addAction(GbkToQString(GbkText("复制昵称"))), &QAction::triggered, this,
            [this] { CopyText(linkNickName_); });
    connect(userMenu_->addAction(GbkToQString(GbkText("复制ID"))), &QAction::triggered, this,
            [this] { CopyText(std::to_string(linkUserId_)); });
    userMenu_->addSeparator();
    connect(userMenu_->addAction(GbkToQString(GbkText("选中赠送用户"))), &QAction::triggered, this,
            [this] {
                if (OnSelectToGift) {
                    OnSelectToGift(linkUserId_, linkNickName_);
                }
            });
    connect(userMenu_->addAction(GbkToQString(GbkText("选中聊天对象"))), &QAction::triggered, this,
            [this] {
                if (OnSelectToChat) {
                    OnSelectToChat(linkUserId_, linkNickName_);
                }
            });
    connect(userMenu_->addAction(GbkToQString(GbkText("用户定位"))), &QAction::triggered, this,
            [this] {
                if (OnFindinUserList) {
                    OnFindinUserList(linkUserId_, linkNickName_);
                }
            });
}

THtmlChatView::~THtmlChatView() = default;

void THtmlChatView::InitPage() {
    QString page;
    if (ResDll != nullptr) {
        ResDll->Load();
        if (auto stream = ResDll->OpenResource("template", "html")) {
            page = DecodePageBytes(stream->readAll());
        }
    }
    InitPageFrom(page);
}

void THtmlChatView::InitPageFrom(const QString& page) {
    const QString css = PageStyleSheet(page);
    wb_->document()->setDefaultStyleSheet(
        css.trimmed().isEmpty() ? QString::fromLatin1(kFallbackStyle) : css);
    // The page's body gives the look (colours, margins); its text, if any,
    // is not chat and goes with the first clear.
    wb_->setHtml(page);
    wb_->document()->setUndoRedoEnabled(false);
    pageEmpty_ = wb_->document()->isEmpty();
    shown_.clear();
}

void THtmlChatView::AppendLine(const std::string& html) {
    if (lineCount_ >= kRebuildAfter) {
        ClearLines();
        for (const std::string& line : recent_.Lines()) {
            InsertLine(line);
        }
        lineCount_ = 0;
    }
    ++lineCount_;
    recent_.Add(html);
    InsertLine(html);
    if (enableScroll_) {
        ScrollToEnd();
    }
}

void THtmlChatView::ClearLines() {
    QTextCursor cursor(wb_->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.block().setUserState(-1);
    for (const TShownLine& line : shown_) {
        UseMovies(line.Html, -1);
    }
    shown_.clear();
    pageEmpty_ = true;
}

void THtmlChatView::SelectAll() {
    wb_->selectAll();
}

void THtmlChatView::CopySelection() {
    if (wb_->textCursor().hasSelection()) {
        wb_->copy();
    }
}

void THtmlChatView::SetEnableScroll(bool on) {
    enableScroll_ = on;
}

std::vector<std::string> THtmlChatView::ShownLines() const {
    std::vector<std::string> out;
    out.reserve(shown_.size());
    for (const TShownLine& line : shown_) {
        out.push_back(line.Html);
    }
    return out;
}

int THtmlChatView::RunningMovieCount() const {
    int n = 0;
    for (const auto& [src, slot] : movies_) {
        n += slot.Movie->state() == QMovie::Running ? 1 : 0;
    }
    return n;
}

void THtmlChatView::InsertLine(const std::string& html) {
    const int id = nextLineId_++;
    UseMovies(html, +1);
    QTextCursor cursor(wb_->document());
    cursor.movePosition(QTextCursor::End);
    if (!pageEmpty_) {
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    pageEmpty_ = false;
    InsertBlocks(cursor, html, id);
    shown_.push_back({id, html});
}

void THtmlChatView::InsertBlocks(QTextCursor& cursor, const std::string& html, int id) {
    const int first = cursor.blockNumber();
    cursor.insertHtml(GbkToQString(WithoutTrailingBreak(html)));
    const int last = cursor.blockNumber();
    QTextBlock block = wb_->document()->findBlockByNumber(first);
    for (int n = first; n <= last && block.isValid(); ++n, block = block.next()) {
        block.setUserState(id);
    }
}

bool THtmlChatView::RewriteElement(const std::string& id, TElementRewrite how) {
    for (TShownLine& line : shown_) {
        std::string html = line.Html;
        if (!RewriteElementById(html, id, how)) {
            continue;
        }
        recent_.ReplaceFirst(line.Html, html);
        UseMovies(html, +1);
        UseMovies(line.Html, -1);
        line.Html = html;

        QTextDocument* doc = wb_->document();
        QTextBlock first;
        QTextBlock last;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (b.userState() == line.Id) {
                if (!first.isValid()) {
                    first = b;
                }
                last = b;
            } else if (first.isValid()) {
                break;
            }
        }
        if (!first.isValid()) {
            return true;
        }
        QTextCursor cursor(doc);
        cursor.setPosition(first.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.setCharFormat(QTextCharFormat());
        InsertBlocks(cursor, html, line.Id);
        return true;
    }
    return false;
}

void THtmlChatView::UseMovies(const std::string& html, int delta) {
    if (html.find("<img") == std::string::npos && html.find("<IMG") == std::string::npos) {
        return;
    }
    for (const std::string& src : ImageSources(html)) {
        if (!IsGifSource(src)) {
            continue;
        }
        const QString key = GbkToQString(src);
        auto it = movies_.find(key);
        if (it == movies_.end()) {
            if (delta < 0) {
                continue;
            }
            auto* movie = new QMovie(LocalPathOf(QUrl(key)), QByteArray(), this);
            if (!movie->isValid()) {
                delete movie;
                continue;
            }
            const QUrl url(key);
            connect(movie, &QMovie::frameChanged, this, [this, movie, url] {
                wb_->document()->addResource(QTextDocument::ImageResource, url,
                                             movie->currentPixmap());
                wb_->viewport()->update();
            });
            it = movies_.emplace(key, TMovieSlot{movie, 0}).first;
            // The first frame is in place before the line is laid out, so the
            // picture has its size from the start.
            movie->jumpToFrame(0);
        }
        TMovieSlot& slot = it->second;
        slot.Uses = std::max(0, slot.Uses + delta);
        if (slot.Uses > 0 && slot.Movie->state() != QMovie::Running &&
            slot.Movie->frameCount() != 1) {
            slot.Movie->start();
        } else if (slot.Uses == 0 && slot.Movie->state() == QMovie::Running) {
            slot.Movie->setPaused(true);
        }
    }
}

void THtmlChatView::ScrollToEnd() {
    wb_->horizontalScrollBar()->setValue(0);
    QScrollBar* bar = wb_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void THtmlChatView::CopyText(const std::string& gbk) {
    QApplication::clipboard()->setText(GbkToQString(gbk));
}

bool THtmlChatView::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (key == Qt::Key_F5) {
        return true;
    }
    if (!ctrl) {
        return false;
    }
    switch (key) {
        case Qt::Key_A:
            SelectAll();
            return true;
        case Qt::Key_C:
            CopySelection();
            return true;
        case Qt::Key_F:
            return true;
        default:
            return false;
    }
}

QMenu* THtmlChatView::ContextMenuAt(const QPoint& viewportPos) {
    const QString href = wb_->anchorAt(viewportPos);
    if (href.startsWith(QLatin1String("id:"))) {
        static const QRegularExpression separators(QStringLiteral("[: ]"));
        const QStringList fields = href.split(separators, Qt::SkipEmptyParts);
        bool ok = false;
        const int id = fields.size() > 1 ? fields[1].toInt(&ok) : 0;
        linkUserId_ = ok ? id : 0;
        linkNickName_ = fields.size() > 2 ? QStringToGbk(fields[2]) : std::string();
        return userMenu_;
    }
    const bool hasText = !wb_->document()->toPlainText().isEmpty();
    miSelectAll_->setEnabled(hasText);
    miClear_->setEnabled(hasText);
    miCopy_->setEnabled(!wb_->textCursor().selectedText().isEmpty());
    return selectionMenu_;
}

bool THtmlChatView::NavigateAt(const QPoint& viewportPos) {
    const QString href = wb_->anchorAt(viewportPos);
    if (href.isEmpty()) {
        return false;
    }
    if (OnSelect) {
        OnSelect(QStringToGbk(href));
    }
    return true;
}

bool THtmlChatView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != wb_ && watched != wb_->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            return HandleKey(key->key(), key->modifiers());
        }
        case QEvent::ShortcutOverride: {
            // Keep the application's shortcuts away from the pane's own keys.
            auto* key = static_cast<QKeyEvent*>(event);
            const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
            if (key->key() == Qt::Key_F5 ||
                (ctrl &&
                 (key->key() == Qt::Key_A || key->key() == Qt::Key_C || key->key() == Qt::Key_F))) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::ContextMenu: {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            const QPoint pos = watched == wb_->viewport()
                                   ? menuEvent->pos()
                                   : wb_->viewport()->mapFrom(wb_, menuEvent->pos());
            ContextMenuAt(pos)->popup(menuEvent->globalPos());
            return true;
        }
        case QEvent::MouseButtonDblClick:
            return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        case QEvent::MouseButtonPress:
            if (watched == wb_->viewport()) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                pressedAnchor_ = mouse->button() == Qt::LeftButton
                                     ? wb_->anchorAt(mouse->position().toPoint())
                                     : QString();
            }
            return false;
        case QEvent::MouseButtonRelease:
            if (watched == wb_->viewport()) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                const QPoint pos = mouse->position().toPoint();
                if (mouse->button() == Qt::LeftButton && !pressedAnchor_.isEmpty() &&
                    wb_->anchorAt(pos) == pressedAnchor_) {
                    pressedAnchor_.clear();
                    NavigateAt(pos);
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}
