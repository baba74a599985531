#include "chat/EmotionManager.h"

#include <algorithm>

#include "chat/CatalogueText.h"
#include "common/TextUtils.h"
#include "common/XMLTag.h"

void TEmotionManager::LoadEmotionCatalogue(const std::string& folder) {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const auto root = XMLParser::ParseFile(folder + "faceconfig.xml");
    if (!root) {
        return;
    }
    for (const XMLTag* tab : root->ChildrenNamed("FaceTab")) {
        tabs_.push_back({ChildText(*tab, "nType", 2), ChildText(*tab, "TabName", 10)});
    }
    for (const XMLTag* face : root->ChildrenNamed("FC")) {
        faces_.push_back(
            {ChildText(*face, "FP", 10), ChildText(*face, "nType", 2), ChildText(*face, "FN", 20)});
    }
}

int FaceTabPosition(std::string_view tabNumber) {
    const std::string text = TrimBlanks(tabNumber);
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 1;
    }
    return std::stoi(text);
}

std::vector<std::vector<TFace>> TEmotionManager::FacesByTab() const {
    std::vector<std::vector<TFace>> pages(tabs_.size());
    for (const TFace& face : faces_) {
        const int position = FaceTabPosition(face.TabNumber);
        if (position >= 1 && position <= static_cast<int>(pages.size())) {
            pages[position - 1].push_back(face);
        }
    }
    return pages;
}

bool MayUseEmotion(int role, int level, std::string_view tabNumber) {
    if (role > 1 && level > 100) {
        return true;
    }
    return TrimBlanks(tabNumber) == "1";
}

void TPictureGrid::SetCount(int count) {
    count_ = std::max(0, count);
    page_ = 0;
    hovered_ = -1;
    previewed_ = -1;
}

std::string TPictureGrid::PageLabel() const {
    return std::to_string(page_ + 1) + "/" + std::to_string(PageCount());
}

void TPictureGrid::NextPage() {
    if (NextEnabled()) {
        ++page_;
    }
}

void TPictureGrid::PriorPage() {
    if (PriorEnabled()) {
        --page_;
    }
}

int TPictureGrid::StripX(int index, int offset) const {
    const int page = index / PerPage();
    return page * columns_ * cell_ + ColumnOf(index) * cell_ + offset;
}

int TPictureGrid::StripY(int index, int offset) const {
    return ((index % PerPage()) / columns_) * cell_ + offset;
}

int TPictureGrid::IndexAt(int x, int y) const {
    if (x < 0 || y < 0) {
        return -1;
    }
    const int column = x / cell_;
    const int row = y / cell_;
    if (column >= columns_ || row >= rows_) {
        return -1;
    }
    return column + row * columns_ + PerPage() * page_;
}

TPictureGrid::THoverChange TPictureGrid::MouseMove(int x, int y) {
    THoverChange change;
    const int index = IndexAt(x, y);
    if (index >= 0 && index == hovered_) {
        return change;
    }
    change.Changed = index != hovered_;
    change.OldHovered = hovered_;
    hovered_ = index;
    change.Updated = true;
    if (hovered_ == previewed_ || hovered_ < 0 || hovered_ >= count_) {
        previewed_ = -1;
        change.Preview = TPreview::Hide;
        return change;
    }
    const int column = ColumnOf(hovered_);
    change.Preview = column < 4    ? TPreview::TopRight
                     : column > 10 ? TPreview::TopLeft
                                   : TPreview::Keep;
    previewed_ = hovered_;
    return change;
}

void TPictureGrid::MouseLeave() {
    hovered_ = -1;
    previewed_ = -1;
}

int TPictureGrid::ClickedFace() const {
    return previewed_ >= 0 && previewed_ == hovered_ ? previewed_ : -1;
}
