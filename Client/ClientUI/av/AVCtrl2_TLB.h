// The audio/video control: an outside module ("AVCtrl2.ocx", libAVEngine.so
// here) that receives one microphone holder's stream (or sends the user's
// own) and draws it into a host widget. TAVEngine2 is the windowed wrapper a
// video frame holds; it loads the module on first use and, while the module
// is missing, logs that once and accepts every call without effect, so the
// frame around it keeps working.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "common/ModuleApi.h"

// {0F8054AC-4F3E-4284-A39E-4895D962AD57}
inline constexpr TGuid IID_IAVEngine = {
    0x0F8054AC, 0x4F3E, 0x4284, {0xA3, 0x9E, 0x48, 0x95, 0xD9, 0x62, 0xAD, 0x57}};

// Raised by the control on the UI thread.
class IAVEngineEvents {
  public:
    // The first picture is on screen.
    virtual void OnVideoOut() = 0;
    virtual void OnVolumeOut(std::uint32_t volume) = 0;
    // Interleaved signed 16-bit real and imaginary parts; `length` counts the
    // 16-bit values. Valid during the call only.
    virtual void OnFFTOut(const std::int16_t* data, std::int32_t length) = 0;
    virtual void OnClick() = 0;
    virtual void OnMouseDown() = 0;

  protected:
    ~IAVEngineEvents() = default;
};

// Slots 3 on, in declaration order. Every method answers kS_OK or a failure
// code. Texts are GBK (addresses are plain ASCII).
class IAVEngine : public IUnknownBase {
  public:
    virtual long StartAV(const char* serverAddress, std::uint16_t port, std::int32_t quality,
                         std::uint8_t localFlag) = 0;
    virtual long StopAV() = 0;
    virtual long SetTuningA(std::int32_t value) = 0;
    virtual long SetTuningB(std::int32_t value) = 0;
    // Never called; keep the later slots in place.
    virtual long Reserved7() = 0;
    virtual long Reserved8() = 0;
    virtual long Reserved9() = 0;
    virtual long ShowVideo(std::int32_t on) = 0;
    virtual long PlayAudio(std::int32_t on) = 0;
    virtual long ZoomIn() = 0;
    // *saved := 1 when the picture was written to `path`.
    virtual long Capture(const char* path, std::int32_t* saved) = 0;

  protected:
    ~IAVEngine() = default;
};

extern "C" {
// The module's factory export, looked up by this name: one control drawing
// into `host` and raising its events through `events` (both outlive it). The
// control comes with one reference.
using CreateAVEngineFunc = IAVEngine* (*)(QWidget* host, IAVEngineEvents* events);
}

class TAVEngine2 : public QWidget {
    Q_OBJECT

  public:
    explicit TAVEngine2(QWidget* parent = nullptr);
    ~TAVEngine2() override;

    // True when the control was created from the module.
    bool HasControl() const { return control_ != nullptr; }

    // False when the control is missing or refused the call.
    bool StartAV(const std::string& serverAddress, std::uint16_t port, std::int32_t quality,
                 bool localFlag);
    bool StopAV();
    bool SetTuningA(std::int32_t value);
    bool SetTuningB(std::int32_t value);
    bool ShowVideo(bool on);
    bool PlayAudio(bool on);
    bool ZoomIn();
    // The control's answer: 1 when the picture was saved, 0 otherwise.
    std::int32_t Capture(const std::string& path);

    // Events, each raised only when set.
    std::function<void()> OnVideoOut;
    std::function<void(std::uint32_t)> OnVolumeOut;
    std::function<void(const std::int16_t*, std::int32_t)> OnFFTOut;
    std::function<void()> OnClick;
    std::function<void()> OnMouseDown;

    // Tests hand in a control of their own (the wrapper takes over its
    // reference); null drops the current one.
    void SetControlForTests(IAVEngine* control);
    // The event sink handed to the control.
    IAVEngineEvents& Events();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    class TEventSink;
    bool Check(long result, const char* call);
    void DropControl();

    IAVEngine* control_ = nullptr;
    TEventSink* events_;
    bool pressed_ = false;
};
