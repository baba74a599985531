#include "av/AVCtrl2_TLB.h"

#include <QMouseEvent>
#include <memory>

#include "engine/ModuleLibrary.h"
#include "foundation/APIUtils.h"
#include "foundation/ModuleNames.h"

namespace {

// The module stays loaded for the whole process once found: every frame of
// every room holds a control from it, and unloading under a live control
// would pull the code from under it. A missing module is looked for once.
struct TAVModule {
    TModuleLibrary library;
    CreateAVEngineFunc create = nullptr;
    bool tried = false;
};

TAVModule& Module() {
    static TAVModule module;
    return module;
}

CreateAVEngineFunc FindFactory() {
    TAVModule& module = Module();
    if (!module.tried) {
        module.tried = true;
        const std::string path = ModulePath(kAVControlModule);
        if (!module.library.Open(path)) {
            WriteLog("AV control module missing (" + path + "): " + module.library.LastError() +
                     "; video frames show their idle picture");
        } else {
            module.create = module.library.Find<CreateAVEngineFunc>("CreateAVEngine");
            if (module.create == nullptr) {
                WriteLog("AV control module has no CreateAVEngine: " + module.library.LastError());
            }
        }
    }
    return module.create;
}

}  // namespace

class TAVEngine2::TEventSink final : public IAVEngineEvents {
  public:
    explicit TEventSink(TAVEngine2& owner) : owner_(owner) {}
    ~TEventSink() = default;
    void OnVideoOut() override {
        if (owner_.OnVideoOut)
            owner_.OnVideoOut();
    }
    void OnVolumeOut(std::uint32_t volume) override {
        if (owner_.OnVolumeOut)
            owner_.OnVolumeOut(volume);
    }
    void OnFFTOut(const std::int16_t* data, std::int32_t length) override {
        if (owner_.OnFFTOut)
            owner_.OnFFTOut(data, length);
    }
    void OnClick() override {
        if (owner_.OnClick)
            owner_.OnClick();
    }
    void OnMouseDown() override {
        if (owner_.OnMouseDown)
            owner_.OnMouseDown();
    }

  private:
    TAVEngine2& owner_;
};

TAVEngine2::TAVEngine2(QWidget* parent) : QWidget(parent), events_(new TEventSink(*this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (CreateAVEngineFunc create = FindFactory()) {
        control_ = create(this, events_);
        if (control_ == nullptr) {
            WriteLog("AV control module created no control");
        }
    }
}

TAVEngine2::~TAVEngine2() {
    DropControl();
    delete events_;
}

IAVEngineEvents& TAVEngine2::Events() {
    return *events_;
}

void TAVEngine2::DropControl() {
    if (control_ != nullptr) {
        IAVEngine* control = control_;
        control_ = nullptr;
        control->Release();
    }
}

void TAVEngine2::SetControlForTests(IAVEngine* control) {
    DropControl();
    control_ = control;
}

bool TAVEngine2::Check(long result, const char* call) {
    if (result != kS_OK) {
        WriteLog(std::string("AV control ") + call + " failed: " + std::to_string(result));
        return false;
    }
    return true;
}

bool TAVEngine2::StartAV(const std::string& serverAddress, std::uint16_t port, std::int32_t quality,
                         bool localFlag) {
    return control_ != nullptr &&
           Check(control_->StartAV(serverAddress.c_str(), port, quality, localFlag ? 1 : 0),
                 "StartAV");
}

bool TAVEngine2::StopAV() {
    return control_ != nullptr && Check(control_->StopAV(), "StopAV");
}

bool TAVEngine2::SetTuningA(std::int32_t value) {
    return control_ != nullptr && Check(control_->SetTuningA(value), "SetTuningA");
}

bool TAVEngine2::SetTuningB(std::int32_t value) {
    return control_ != nullptr && Check(control_->SetTuningB(value), "SetTuningB");
}

bool TAVEngine2::ShowVideo(bool on) {
    return control_ != nullptr && Check(control_->ShowVideo(on ? 1 : 0), "ShowVideo");
}

bool TAVEngine2::PlayAudio(bool on) {
    return control_ != nullptr && Check(control_->PlayAudio(on ? 1 : 0), "PlayAudio");
}

bool TAVEngine2::ZoomIn() {
    return control_ != nullptr && Check(control_->ZoomIn(), "ZoomIn");
}

std::int32_t TAVEngine2::Capture(const std::string& path) {
    std::int32_t saved = 0;
    if (control_ == nullptr || !Check(control_->Capture(path.c_str(), &saved), "Capture")) {
        return 0;
    }
    return saved;
}

// A control draws into this widget and reports presses on its picture itself;
// without one the wrapper reports them, so floating frames still drag and the
// picture still selects its holder.
void TAVEngine2::mousePressEvent(QMouseEvent* event) {
    if (control_ == nullptr && event->button() == Qt::LeftButton) {
        pressed_ = true;
        events_->OnMouseDown();
    }
    QWidget::mousePressEvent(event);
}

void TAVEngine2::mouseReleaseEvent(QMouseEvent* event) {
    if (control_ == nullptr && pressed_ && event->button() == Qt::LeftButton) {
        pressed_ = false;
        if (rect().contains(event->position().toPoint())) {
            events_->OnClick();
        }
    }
    QWidget::mouseReleaseEvent(event);
}
