// An algorithm file as the algorithm page loads it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "setup/AlgorithmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("algorithms.alg");
  const AlgorithmFileResult result = ReadAlgorithmFile(file.Write(data, size));
  if (result.Records.size() > kAlgorithmFileMaxRecords) std::abort();
  if (result.Status != AlgorithmFileStatus::Ok && !result.Records.empty()) std::abort();
  AlgorithmFileMessage(result.Status);
  return 0;
}
