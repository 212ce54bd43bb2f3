#include "platform/headless/headless_system.h"

#include <algorithm>
#include <deque>

#include "platform/desktop_form/desktop_text.h"
#include "platform/desktop_form/window_core.h"
#include "platform/devices/disk_files.h"
#include "platform/devices/display_device.h"
#include "platform/graphics/text_renderer.h"
#include "platform/headless/headless_devices.h"
#include "platform/headless/headless_screen.h"

namespace kraylo {
namespace {

constexpr WindowHandle kHeadlessWindow = 1;

// The disk as it is, but for the place's environment and read-only folders.
class PlaceProbe final : public DiskProbe {
 public:
  explicit PlaceProbe(HeadlessPlace place)
      : DiskProbe([this](const std::string& name) { return Variable(name); }),
        place_(std::move(place)) {}
  bool CanWriteIn(const std::string& path) override {
    return place_.read_only_folders.count(path) == 0 && DiskProbe::CanWriteIn(path);
  }

 private:
  std::optional<std::string> Variable(const std::string& name) const {
    const auto found = place_.environment.find(name);
    return found == place_.environment.end() ? std::nullopt
                                             : std::optional<std::string>(found->second);
  }
  HeadlessPlace place_;
};

FileLocations FindHeadlessLocations(const std::string& program_folder, HeadlessPlace place) {
  PlaceProbe probe(std::move(place));
  return FindFileLocations(program_folder, kInstalledData, probe);
}

}  // namespace

// The machine's parts, and the window system the window core runs on.
struct HeadlessSystem::Impl : public WindowHost {
  Impl(const std::string& program_folder, HeadlessPlace place)
      : files(FindHeadlessLocations(program_folder, std::move(place)), faults),
        text(CreateTextRenderer()),
        recorder(*text, frame_texts),
        screen(frame_texts),
        display(CreateDisplay(screen, recorder, faults)),
        keyboard(faults),
        audio(faults),
        core(kHeadlessWindow, clock, *this, EstimateTextWidth) {
    core.WatchFocus([this](bool focused) { pads.SetFocus(focused); });
  }

  void CollectEvents(std::deque<InputEvent>& queue) override {
    clock.Advance(yield_step);
    ++passes;
    if (hook) {
      // A copy, so that the hook may replace itself.
      const auto current = hook;
      current(passes);
    }
    queue.insert(queue.end(), pushed.begin(), pushed.end());
    pushed.clear();
  }

  bool Wait(double, bool idle) override {
    idle_passes = idle ? idle_passes + 1 : 0;
    ended_idle = idle_passes >= idle_limit;
    return !ended_idle;
  }

  bool IsFullScreen() const override { return screen.full_screen(); }
  void ToggleFullScreen() override { screen.ToggleWindowed(); }
  std::optional<PicturePoint> SystemPointer() const override {
    return screen.full_screen() ? pointer : std::nullopt;
  }
  // A desktop gives the window it shows the keyboard focus.
  void ShowWindow() override { pushed.push_back(InputEvent::FocusGained()); }
  void Paint(const Form&) override { ++repaints; }
  void ApplyCursor(bool) override {}
  void ReportError(const std::string& report) override { error_reports.push_back(report); }
  std::string ClipboardText() override { return clipboard; }
  void AcceptText(bool accept) override { accepts_text = accept; }
  void GiveDesktopBack() override { screen.LeaveFullScreen(); }

  Faults faults;
  DiskFiles files;
  HeadlessClock clock;
  HeadlessRandom random;
  std::unique_ptr<TextRenderer> text;
  FrameTexts frame_texts;
  TextRecorder recorder;
  HeadlessScreen screen;
  std::unique_ptr<Display> display;
  HeadlessKeyboard keyboard;
  HeadlessPads pads;
  HeadlessAudio audio;
  PadId next_pad = 1;
  std::optional<PicturePoint> pointer;
  char decimal_separator = '.';
  std::deque<InputEvent> pushed;
  double yield_step = 0.001;
  std::function<void(int)> hook;
  int passes = 0;
  int idle_limit = 1000;
  int idle_passes = 0;
  bool ended_idle = false;
  int repaints = 0;
  std::vector<std::string> error_reports;
  std::string clipboard;
  bool accepts_text = false;
  WindowCore core;
};

HeadlessSystem::HeadlessSystem(const std::string& program_folder, HeadlessPlace place)
    : impl_(std::make_unique<Impl>(program_folder, std::move(place))) {}

HeadlessSystem::~HeadlessSystem() = default;

Clock& HeadlessSystem::clock() { return impl_->clock; }
Random& HeadlessSystem::random() { return impl_->random; }
Files& HeadlessSystem::files() { return impl_->files; }
Window& HeadlessSystem::window() { return impl_->core; }
Display& HeadlessSystem::display() { return *impl_->display; }
KeyboardApi& HeadlessSystem::keyboard() { return impl_->keyboard; }
Pads& HeadlessSystem::pads() { return impl_->pads; }
AudioOutput& HeadlessSystem::audio() { return impl_->audio; }
void HeadlessSystem::HoldAudioOpen(bool held) { impl_->audio.HoldOpen(held); }
bool HeadlessSystem::AudioOpen() const { return impl_->audio.IsOpen(); }
std::vector<int16_t> HeadlessSystem::PullAudio(size_t frames) { return impl_->audio.Pull(frames); }
Faults& HeadlessSystem::faults() { return impl_->faults; }
char HeadlessSystem::DecimalSeparator() { return impl_->decimal_separator; }

int HeadlessSystem::Run(const WindowEvents& events) {
  impl_->idle_passes = 0;
  impl_->ended_idle = false;
  return impl_->core.Run(events);
}

void HeadlessSystem::Push(const InputEvent& event) { impl_->pushed.push_back(event); }
void HeadlessSystem::AdvanceClock(double seconds) { impl_->clock.Advance(seconds); }
void HeadlessSystem::SetYieldStep(double seconds) { impl_->yield_step = seconds; }
void HeadlessSystem::SetNow(const CalendarTime& now) { impl_->clock.SetNow(now); }
void HeadlessSystem::SetDecimalSeparator(char separator) { impl_->decimal_separator = separator; }
KeyTable& HeadlessSystem::HeldKeys() { return impl_->keyboard.held(); }
void HeadlessSystem::ScriptRandom(std::vector<float> values) {
  impl_->random.Script(std::move(values));
}
void HeadlessSystem::OnYield(std::function<void(int yield_number)> hook) {
  impl_->hook = std::move(hook);
}
PadId HeadlessSystem::PlugPad(std::string name) {
  const PadId pad = impl_->next_pad++;
  impl_->pads.Connect(pad, std::move(name));
  return pad;
}
void HeadlessSystem::UnplugPad(PadId pad) { impl_->pads.Disconnect(pad); }
void HeadlessSystem::SetPadButton(PadId pad, PadButton button, bool down) {
  impl_->pads.SetButton(pad, button, down);
}
void HeadlessSystem::SetPadAxis(PadId pad, PadAxis axis, int16_t value) {
  impl_->pads.SetAxis(pad, axis, value);
}
bool HeadlessSystem::AcceptsText() const { return impl_->accepts_text; }
void HeadlessSystem::SetClipboard(std::string text) { impl_->clipboard = std::move(text); }
void HeadlessSystem::SetPointer(float x, float y) { impl_->pointer = PicturePoint{x, y}; }
void HeadlessSystem::SetIdleLimit(int passes) { impl_->idle_limit = std::max(1, passes); }

const Surface* HeadlessSystem::LastFrame() const { return impl_->screen.last_frame(); }
int HeadlessSystem::FramesShown() const { return impl_->screen.frames_shown(); }
const std::vector<TextDraw>& HeadlessSystem::TextsOfLastFrame() const {
  return impl_->frame_texts.last_frame;
}
bool HeadlessSystem::IsFullScreen() const { return impl_->screen.full_screen(); }
bool HeadlessSystem::IsWindowed() const { return impl_->screen.windowed(); }
bool HeadlessSystem::HasFocus() const { return impl_->core.focused(); }
const std::vector<std::string>& HeadlessSystem::PadMappingFiles() const {
  return impl_->pads.mapping_files();
}
int HeadlessSystem::CursorCount() const { return impl_->core.cursor_count(); }
int HeadlessSystem::Yields() const { return impl_->core.yields(); }
int HeadlessSystem::TimerTicks() const { return impl_->core.timer_ticks(); }
bool HeadlessSystem::TimerRunning() const { return impl_->core.timer_running(); }
bool HeadlessSystem::Unloaded() const { return impl_->core.unloaded(); }
int HeadlessSystem::HandlerRuns() const { return impl_->core.handler_runs(); }
const std::vector<std::string>& HeadlessSystem::ErrorReports() const {
  return impl_->error_reports;
}
std::optional<Control> HeadlessSystem::Focus() const { return impl_->core.form().focus(); }
int HeadlessSystem::Repaints() const { return impl_->repaints; }
bool HeadlessSystem::EndedIdle() const { return impl_->ended_idle; }

std::vector<std::string> HeadlessSystem::LogRowsInView() const {
  const LogBox& log = impl_->core.form().log();
  const auto& rows = log.rows();
  const auto first = rows.begin() + log.top_row();
  const auto last = rows.begin() + std::min<ptrdiff_t>(static_cast<ptrdiff_t>(rows.size()),
                                                       log.top_row() + LogBoxLayout::kVisibleRows);
  return {first, last};
}

}  // namespace kraylo
