// The emoticon picker shared by every window: one tab per catalogue tab,
// built a few faces at a time so the program stays responsive while the
// pictures are decoded. Whoever opens it names the receiver of the choice.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QTabWidget;
class TEmotionManager;
class TframeEmotion;

class TfrmEmotion : public QWidget {
    Q_OBJECT

  public:
    using TChoice = std::function<void(const std::string& file, const std::string& tabNumber)>;

    // Builds from the catalogue (loaded from `folder` if it is not yet).
    TfrmEmotion(std::string folder, TEmotionManager* catalogue, QWidget* parent = nullptr);

    // The window that receives the next choice; a receiver that is gone by
    // then receives nothing.
    void SetReceiver(QObject* owner, TChoice choice);
    // Shows the picker with its corner at a screen point, kept on the screen.
    void ShowEmotionPicker(const QPoint& at);
    // Finishes the building at once (normally spread over the event loop).
    void BuildNow();
    bool Built() const { return built_; }

    int EmotionID = 0;  // kept for the form's published property; unused

    QTabWidget* pgTab;
    QLabel* lblLoading;
    std::vector<TframeEmotion*> Frames;

  protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void BuildStep();
    void Choose(const std::string& file, const std::string& tabNumber);

    std::string folder_;
    TEmotionManager* catalogue_;
    std::size_t nextFace_ = 0;
    std::vector<int> faceTabs_;  // per face of the catalogue: tab position from 0, -1 none
    bool built_ = false;
    QPointer<QObject> owner_;
    bool hasOwner_ = false;
    TChoice choice_;
};

// The program's picker (null until first used).
extern TfrmEmotion* EmotionPicker;
// The picker, created on first use over AppDir + "emotions/" and the
// program's catalogue.
TfrmEmotion* SharedEmotionPicker();
// Frees it (program end).
void DestroyEmotionPicker();
