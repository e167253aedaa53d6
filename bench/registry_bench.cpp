#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/RegFileFormat.h"

namespace {

using quelvar::platform::FormatRegFile;
using quelvar::platform::ParseRegFile;
using quelvar::platform::RegistryBytes;
using quelvar::platform::RegistryNode;
using quelvar::platform::RegistryValue;

// A tree the size the program writes at shut-down: many keys of mixed values.
void FillTree(RegistryNode& root, int keys) {
  for (int k = 0; k < keys; ++k) {
    bool created = false;
    RegistryNode& key = root.CreateChild("Channel" + std::to_string(k), created);
    for (int v = 0; v < 20; ++v) {
      const std::string name = "Value" + std::to_string(v);
      if (v % 3 == 0) key.SetValue(name, RegistryValue(std::in_place_index<0>, static_cast<std::uint32_t>(v)));
      if (v % 3 == 1) key.SetValue(name, RegistryValue(std::string("text \"quoted\" ") + name));
      if (v % 3 == 2) key.SetValue(name, RegistryValue(RegistryBytes(8, static_cast<std::uint8_t>(v))));
    }
  }
}

void BM_FormatTree(benchmark::State& state) {
  RegistryNode root;
  FillTree(root, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FormatRegFile("QuelvarTorque", root));
}
BENCHMARK(BM_FormatTree)->Arg(250);

void BM_ParseTree(benchmark::State& state) {
  RegistryNode source;
  FillTree(source, static_cast<int>(state.range(0)));
  const std::string text = FormatRegFile("QuelvarTorque", source);
  for (auto _ : state) {
    RegistryNode root;
    std::string error;
    benchmark::DoNotOptimize(ParseRegFile(text, "QuelvarTorque", root, error));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseTree)->Arg(250);

}  // namespace
