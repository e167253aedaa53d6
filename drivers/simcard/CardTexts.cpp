#include "CardTexts.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "Env.h"
#include "Settings.h"

namespace simcard {

namespace {

constexpr std::string_view kDefaultProperty = "SimCard: simulated AD card";
constexpr std::string_view kDefaultSettingName = "SimCard settings";

struct PropertyState {
  std::mutex mutex;
  bool fixed = false;
  std::string text;
  bool noNul = false;
};

PropertyState& Property() {
  static PropertyState state;
  return state;
}

void FixProperty(PropertyState& state) {
  state.text = EnvText("SIMCARD_PROP", kDefaultProperty);
  state.noNul = EnvFlag("SIMCARD_PROP_NO_NUL");
  state.fixed = true;
}

template <typename T>
void Put(T* out, T value) {
  if (out != nullptr) *out = value;
}

}  // namespace

void WriteFixedText(char* buffer, size_t size, std::string_view text, bool noNul) {
  if (buffer == nullptr || size == 0) return;
  if (noNul) {
    const size_t n = std::min(size, text.size());
    std::memcpy(buffer, text.data(), n);
    std::memset(buffer + n, '_', size - n);
    return;
  }
  const size_t n = std::min(size - 1, text.size());
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

void ConfigInfo(char* cardName16, int32_t* maxChannels, int32_t* scratch1, int32_t* scratch2,
                int32_t* minBlockSamples, float* vZero, float* adMax, int32_t* maxSwitchInputs) {
  const CardSettings s = ReadCardSettings();
  WriteFixedText(cardName16, 16, s.name, s.nameNoNul);
  Put(maxChannels, static_cast<int32_t>(s.maxChannels));
  Put(scratch1, int32_t{0});
  Put(scratch2, int32_t{0});
  Put(minBlockSamples, static_cast<int32_t>(s.minBlockSamples));
  Put(vZero, s.vZero);
  Put(adMax, s.adMax);
  Put(maxSwitchInputs, static_cast<int32_t>(s.maxSwitchInputs));
}

int32_t PropertyTextSize() {
  PropertyState& state = Property();
  std::lock_guard lock(state.mutex);
  FixProperty(state);
  return static_cast<int32_t>(std::min<size_t>(state.text.size(), INT32_MAX - 1));
}

int32_t PropertyText(char* text) {
  PropertyState& state = Property();
  std::lock_guard lock(state.mutex);
  if (!state.fixed) FixProperty(state);
  const size_t length = std::min<size_t>(state.text.size(), INT32_MAX - 1);
  WriteFixedText(text, length + 1, state.text, state.noNul);
  return 1;
}

int32_t SettingName(char* text64) {
  WriteFixedText(text64, 64, EnvText("SIMCARD_SETTING_NAME", kDefaultSettingName),
                 EnvFlag("SIMCARD_SETTING_NAME_NO_NUL"));
  return 1;
}

}  // namespace simcard
