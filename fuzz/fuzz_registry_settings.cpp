// The settings a start reads from the settings tree, with the tree's file
// holding the input: every value is read by itself and the configuration it
// makes is laid out for a start.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/RegFileFormat.h"
#include "platform/TreeRegistry.h"
#include "shell/RegistrySettings.h"

namespace {

// A store whose one tree is parsed from the input, as the file store does.
class TextRegistry final : public quelvar::platform::TreeRegistry {
 public:
  explicit TextRegistry(std::string_view text) : text_(text) {}

 protected:
  void LoadTree(AppTree& tree) override {
    std::string error;
    if (quelvar::platform::ParseRegFile(text_, tree.name, tree.root, error)) {
      tree.exists = true;
    } else {
      tree.root.Clear();
    }
  }
  bool SaveTree(AppTree&) override { return true; }
  std::vector<std::string> StoredTreeNames() override { return {}; }

 private:
  std::string_view text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  TextRegistry store(std::string_view(reinterpret_cast<const char*>(data), size));
  RegistryContext ctx;
  ctx.PidMode = 1;  // the PID key is read too
  ctx.channelFrq = [](int32_t analogNum, int32_t frqSamp) {
    return analogNum > 0 ? static_cast<float>(frqSamp) / static_cast<float>(analogNum) : 0.0f;
  };
  LiveConfig live;
  MainViewSettings view;
  WaveViewState wave;
  LoadCardAndViewSettings(store, ctx, live, view, wave);
  LoadAlgorithmSettings(store, ctx, live);
  fuzz::TakeConfig(live);
  fuzz::PrepareRuns(live);
  return 0;
}
