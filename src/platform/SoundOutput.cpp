#include "platform/SoundOutput.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>
#else
#include <canberra.h>

#include <cstdint>
#endif

namespace pekto {
namespace {

#ifdef _WIN32

// PlaySound keeps one sound per process: a new call cuts off the one still playing.
class WinMmOutput final : public SoundOutput {
 public:
  ~WinMmOutput() override { Stop(); }
  void Stop() override {
    if (started_) PlaySoundW(nullptr, nullptr, 0);
  }
  bool Start(const std::filesystem::path& wave) override {
    started_ = true;
    return PlaySoundW(wave.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT) != FALSE;
  }

 private:
  bool started_ = false;
};

#else

class CanberraOutput final : public SoundOutput {
 public:
  void Stop() override {
    if (context_) ca_context_cancel(context_.get(), kSoundId);
  }
  bool Start(const std::filesystem::path& wave) override {
    if (!context_ && !Create()) return false;
    // Never cached by the sound server: a wave file replaced on disk plays its new content.
    return ca_context_play(context_.get(), kSoundId, CA_PROP_MEDIA_FILENAME, wave.c_str(),
                           CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr) == CA_SUCCESS;
  }

 private:
  // Every sound of this output carries one id, so that Stop can name it.
  static constexpr std::uint32_t kSoundId = 1;

  struct Destroy {
    void operator()(ca_context* context) const { ca_context_destroy(context); }
  };

  // Creating the context opens nothing yet; the driver connects on the first play.
  bool Create() {
    ca_context* created = nullptr;
    if (ca_context_create(&created) != CA_SUCCESS) return false;
    context_.reset(created);
    ca_context_change_props(created, CA_PROP_APPLICATION_NAME, "Pekto", nullptr);
    return true;
  }

  std::unique_ptr<ca_context, Destroy> context_;
};

#endif

}  // namespace

std::unique_ptr<SoundOutput> SystemSoundOutput() {
#ifdef _WIN32
  return std::make_unique<WinMmOutput>();
#else
  return std::make_unique<CanberraOutput>();
#endif
}

}  // namespace pekto
