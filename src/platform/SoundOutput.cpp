// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <dlfcn.h>

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

// libcanberra, opened with the first sound rather than at start-up: it brings five libraries of
// its own, and most exercises make no error sound. Kept open for the rest of the run.
class Canberra {
 public:
  // Nothing when the library or one of its calls is missing.
  static const Canberra* Get() {
    static const Canberra loaded;
    return loaded.handle_ ? &loaded : nullptr;
  }

  decltype(&ca_context_create) create = nullptr;
  decltype(&ca_context_destroy) destroy = nullptr;
  decltype(&ca_context_change_props) changeProps = nullptr;
  decltype(&ca_context_play) play = nullptr;
  decltype(&ca_context_cancel) cancel = nullptr;

 private:
  struct Close {
    void operator()(void* handle) const { dlclose(handle); }
  };

  Canberra() : handle_(dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) return;
    if (!Bind(create, "ca_context_create") || !Bind(destroy, "ca_context_destroy") ||
        !Bind(changeProps, "ca_context_change_props") || !Bind(play, "ca_context_play") ||
        !Bind(cancel, "ca_context_cancel")) {
      handle_.reset();
    }
  }

  template <class Function>
  bool Bind(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(handle_.get(), name));
    return function != nullptr;
  }

  std::unique_ptr<void, Close> handle_;
};

class CanberraOutput final : public SoundOutput {
 public:
  void Stop() override {
    if (context_) Canberra::Get()->cancel(context_.get(), kSoundId);
  }
  bool Start(const std::filesystem::path& wave) override {
    if (!context_ && !Create()) return false;
    // Never cached by the sound server: a wave file replaced on disk plays its new content.
    return Canberra::Get()->play(context_.get(), kSoundId, CA_PROP_MEDIA_FILENAME, wave.c_str(),
                                 CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr) == CA_SUCCESS;
  }

 private:
  // Every sound of this output carries one id, so that Stop can name it.
  static constexpr std::uint32_t kSoundId = 1;

  struct Destroy {
    void operator()(ca_context* context) const { Canberra::Get()->destroy(context); }
  };

  // Creating the context opens nothing yet; the driver connects on the first play. Without the
  // library every sound is refused, as without an audio device.
  bool Create() {
    const Canberra* canberra = Canberra::Get();
    ca_context* created = nullptr;
    if (canberra == nullptr || canberra->create(&created) != CA_SUCCESS) return false;
    context_.reset(created);
    canberra->changeProps(created, CA_PROP_APPLICATION_NAME, "Pekto", nullptr);
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
