// The emoticon catalogue of "emotions/faceconfig.xml" (tabs and faces in
// file order), the grid arithmetic of the picture pickers and the rule that
// keeps member emoticons from other users.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

struct TFaceTab {
    std::string Number;   // at most 2 bytes
    std::string Caption;  // at most 10 bytes
};

struct TFace {
    std::string File;       // picture file name, at most 10 bytes (12.gif)
    std::string TabNumber;  // at most 2 bytes
    std::string Name;       // tip, at most 20 bytes
};

class TEmotionManager {
  public:
    // Reads folder + "faceconfig.xml" once; a missing or broken file leaves
    // the catalogue empty. `folder` ends with "/".
    void LoadEmotionCatalogue(const std::string& folder);
    bool Loaded() const { return loaded_; }
    const std::vector<TFaceTab>& Tabs() const { return tabs_; }
    const std::vector<TFace>& Faces() const { return faces_; }

    // The faces of each tab by its position: a face's tab number counts tabs
    // from 1 whatever the tabs' own numbers are (not a number counts as 1);
    // faces whose number names no tab are left out.
    std::vector<std::vector<TFace>> FacesByTab() const;

  private:
    bool loaded_ = false;
    std::vector<TFaceTab> tabs_;
    std::vector<TFace> faces_;
};

// Position (from 1) of the tab a face's tab number selects.
int FaceTabPosition(std::string_view tabNumber);

// Users of role 1 or less, or level 100 or less, may only use tab "1".
bool MayUseEmotion(int role, int level, std::string_view tabNumber);

// Pages of picture cells: the emoticon pages (30-pixel cells, 6 x 15) and the
// avatar pages (41-pixel cells, 4 x 10). Hover, paging and the preview's
// placement; drawing is the widget's.
class TPictureGrid {
  public:
    TPictureGrid(int cell, int rows, int columns) : cell_(cell), rows_(rows), columns_(columns) {}

    int Cell() const { return cell_; }
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    int PerPage() const { return rows_ * columns_; }

    void SetCount(int count);
    int Count() const { return count_; }
    int PageCount() const { return (count_ + PerPage() - 1) / PerPage(); }
    int CurrentPage() const { return page_; }
    // "page/pages", the page counted from 1.
    std::string PageLabel() const;
    bool PriorEnabled() const { return page_ > 0; }
    bool NextEnabled() const { return page_ < PageCount() - 1; }
    void NextPage();
    void PriorPage();

    // Where picture `index` sits in the strip of all pages side by side.
    int StripX(int index, int offset) const;
    int StripY(int index, int offset) const;
    int StripWidth() const { return cell_ * columns_ * std::max(1, PageCount()); }
    int StripHeight() const { return cell_ * rows_ + 1; }

    // Index of the cell at a point of the current page (it may lie past the
    // last picture); -1 outside the cells.
    int IndexAt(int x, int y) const;
    // Column of an index on its page.
    int ColumnOf(int index) const { return (index % PerPage()) % columns_; }

    enum class TPreview { Hide, Keep, TopRight, TopLeft };
    struct THoverChange {
        bool Changed = false;  // the hovered cell changed (outlines to redraw)
        int OldHovered = -1;
        TPreview Preview = TPreview::Keep;
        bool Updated = false;  // the preview and the tip were updated
    };
    // The mouse moved to a point of the grid.
    THoverChange MouseMove(int x, int y);
    // The mouse left the grid.
    void MouseLeave();
    int Hovered() const { return hovered_; }
    int Previewed() const { return previewed_; }
    // A click reports the face only when it is the previewed and hovered one.
    int ClickedFace() const;
    void HidePreview() { previewed_ = -1; }

  private:
    int cell_;
    int rows_;
    int columns_;
    int count_ = 0;
    int page_ = 0;
    int hovered_ = -1;
    int previewed_ = -1;
};
