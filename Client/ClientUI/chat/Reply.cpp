#include "chat/Reply.h"

#include <QActionGroup>
#include <QListWidget>
#include <QMenu>
#include <filesystem>
#include <system_error>

#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "foundation/AppPaths.h"

TReply::TReply(int kind, std::string fileName)
    : section_(kind == kAuto ? "Auto" : "ShortCut"),
      fileName_(fileName.empty() ? AppPath("Reply.dat") : std::move(fileName)) {
    LoadReplies();
}

void TReply::LoadReplies() {
    std::error_code ec;
    if (!std::filesystem::exists(fileName_, ec)) {
        return;
    }
    const IniFile ini(fileName_);
    texts_.clear();
    for (const std::string& key : ini.ReadSection(section_)) {
        texts_.push_back(ini.ReadString(section_, key, ""));
    }
}

bool TReply::SaveReplies() const {
    IniFile ini(fileName_);
    bool ok = ini.EraseSection(section_) || !ini.SectionExists(section_);
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        ok = ini.WriteString(section_, std::to_string(i + 1), texts_[i]) && ok;
    }
    return ok;
}

std::string TReply::GetReplyText(int index) const {
    if (index < 0 || index >= static_cast<int>(texts_.size())) {
        return {};
    }
    return texts_[index];
}

bool TReply::TakeTexts(std::vector<std::string> texts) {
    texts_ = std::move(texts);
    return SaveReplies();
}

std::string ReplyMenuCaption(const std::string& text) {
    return TruncateText(text, 24);
}

void TReply::FillReplyMenu(QMenu* menu) const {
    menu->clear();
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const std::string& text : texts_) {
        QAction* item = menu->addAction(GbkToQString(ReplyMenuCaption(text)));
        item->setCheckable(true);
        group->addAction(item);
    }
    menu->addSeparator();
    menu->addAction(GbkToQString(GbkText("编辑回复...")));
}

void TReply::FillReplyList(QListWidget* list) const {
    list->clear();
    for (const std::string& text : texts_) {
        list->addItem(GbkToQString(text));
    }
}

bool TReply::TakeReplyList(const QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.push_back(QStringToGbk(list->item(i)->text()));
    }
    return TakeTexts(std::move(texts));
}

const std::string& TAutoReplyState::Caption() const {
    return Active() ? GbkText("取消回复") : GbkText("自动回复");
}

TAutoReplyState::TPress TAutoReplyState::PressButton(int level) {
    if (level <= 1009) {
        return TPress::MemberNotice;
    }
    if (!Active()) {
        return TPress::OpenMenu;
    }
    SwitchOff();
    return TPress::SwitchedOff;
}

void TAutoReplyState::ChooseItem(int index, const TReply& store) {
    if (index == checked_) {
        SwitchOff();
        return;
    }
    checked_ = index;
    text_ = store.GetReplyText(index);
}

void TAutoReplyState::SwitchOff() {
    checked_ = -1;
    text_.clear();
}

std::string TAutoReplyState::ReplyBody(const std::string& fontStyle) const {
    if (!Active() || text_.empty()) {
        return {};
    }
    return WrapMessageBody(fontStyle, text_);
}

int RowAfterDelete(int count, int deleted) {
    const int left = count - 1;
    if (left <= 0) {
        return -1;
    }
    return deleted < left ? deleted : left - 1;
}
