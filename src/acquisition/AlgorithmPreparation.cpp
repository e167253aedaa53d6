#include "acquisition/AlgorithmPreparation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "common/AlgorithmTypeTable.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

using RunLog = std::function<void(const std::string&)>;

// Nodes the list can ever need: seven operands for each of 60 algorithms.
constexpr size_t kMaxNodes = 7 * kMaxAlgorithms;

// The set points as the engine compares them: absolute codes, amplitudes as
// code differences, RMS values as the squared peak amplitude of a phasor.
class SetPointScale {
 public:
  explicit SetPointScale(const LiveConfig& live) : c_(live), span_(double{live.ADMax} - double{live.VZero}) {}

  double Span() const { return span_; }
  double B(int32_t ch) const { return c_.AnalogChannelTable[static_cast<size_t>(ch)].ChnCoeB; }
  // An engineering value as an absolute code; beyond full scale it is clamped
  // to the codes rather than wrapped.
  int64_t Dc(double v, int32_t ch) const {
    const AnalogChannel& a = c_.AnalogChannelTable[static_cast<size_t>(ch)];
    return std::clamp<int64_t>(TruncToInt64(c_.VZero + (v - a.ChnCoeA) * span_ / (a.ChnCoeB * 5.0)), 0, 65535);
  }
  double Ac(double v, int32_t ch) const { return span_ * v / (B(ch) * 5.0); }
  int64_t Sq(double v, int32_t ch) const { return TruncToInt64(Ac(v, ch) * Ac(v, ch) * 2.0); }

 private:
  const LiveConfig& c_;
  double span_;
};

// The input slots whose scale B a type's thresholds divide by.
std::vector<int32_t> DivisorSlots(int32_t type) {
  switch (type) {
    case 8: case 11: case 12: case 21: return {0, 1, 2};
    case 14: return {0, 2};
    case 17: return {0, 3, 4};
    case 19: case 20: return {0, 1};
    case 22: return {0, 3};
    default: return type >= 3 && type <= 22 ? std::vector<int32_t>{0} : std::vector<int32_t>{};
  }
}

// Inputs a type reads, whatever its record's UsedChn says.
int32_t ChannelsRead(const AlgorithmConfig& a) {
  const int32_t typeChannels = a.Type >= 0 && a.Type < kAlgorithmTypeCount ? AlgorithmTypeTable[a.Type].UsedChn : 0;
  return std::clamp(std::max(a.UsedChn, typeChannels), 0, kAlgorithmChannels);
}

enum class Failure { None, Memory, Composites, Frequencies };

std::string FailureText(int32_t type, Failure failure) {
  switch (failure) {
    case Failure::Memory: return (type >= 3 && type <= 12) || type == 18 ? ":分配内存失败!" : ": 分配内存失败!";
    case Failure::Composites: return type == 10 ? ": 总组合通道数多于80" : ": 组合通道数超过80";
    case Failure::Frequencies: return type == 15 ? ": 求频率的通道数太多!" : ": 求频率的通道太多!";
    case Failure::None: break;
  }
  return {};
}

// The prepared values also go into unused set-point slots of the live
// record, as raw bits, so configuration records and files written after a
// start carry them as they always have. Nothing reads them back.
void StoreRaw(AlgorithmConfig& a, int slot, const void* bits, size_t size) {
  std::memcpy(&a.SetPoint[slot], bits, size);
}
void StoreRawInt(AlgorithmConfig& a, int slot, int64_t v) {
  const int32_t raw = SaturateToInt32(v);
  StoreRaw(a, slot, &raw, sizeof raw);
}

class PlanBuilder {
 public:
  PlanBuilder(AppState& state, const RunLog& runLog)
      : c_(state.config), a_(state.acq), plan_(state.plan), triggers_(state.triggers), log_(runLog), scale_(c_) {}

  void Run();

 private:
  bool ChannelsValid();
  void PreparePeaksAndValleys();
  bool ScalesValid();
  bool Pass(int pass);
  bool Algorithm(int pass, int32_t i);
  void Thresholds(int32_t i);
  void Needs(int32_t rows, bool cycle);
  void BuildSourceIndex();

  bool Op(int pass, int32_t source, int32_t kind);
  int32_t Row(int pass, int32_t a, int32_t b, int32_t c, int32_t kind);
  int32_t Freq(int pass, int32_t channel, bool mark);

  LiveConfig& c_;
  AcquisitionState& a_;
  TriggerPlan& plan_;
  TriggerState& triggers_;
  const RunLog& log_;
  SetPointScale scale_;
  int32_t algorithms_ = 0;
  int32_t operandCount_ = 0;
  Failure failure_ = Failure::None;
};

bool PlanBuilder::ChannelsValid() {
  for (int32_t i = 0; i < algorithms_; ++i) {
    const AlgorithmConfig& a = c_.AlgorithmTable[i];
    // The type's own inputs are checked too: a record claiming fewer
    // channels than its type reads must not send the engine off the tables.
    for (int32_t j = 0; j < ChannelsRead(a); ++j) {
      if (a.Channel[j] < 0 || a.Channel[j] >= c_.Analog_Num) {
        log_("\r\n 错误: 启动算法" + std::to_string(i) + ",第" + std::to_string(j + 1) + "通道: " +
             std::to_string(a.Channel[j]) + " 非法!");
        return false;
      }
    }
  }
  return true;
}

void PlanBuilder::PreparePeaksAndValleys() {
  bool any = false;
  for (int32_t i = 0; i < algorithms_; ++i) {
    AlgorithmConfig& a = c_.AlgorithmTable[i];
    if (a.Type != 1 && a.Type != 2) continue;
    // A channel without scale gives a threshold never crossed.
    const int64_t code = scale_.B(a.Channel[0]) != 0.0 ? scale_.Dc(a.SetPoint[0], a.Channel[0]) : (a.Type == 1 ? 65535 : 0);
    triggers_.ThresholdCode[i] = static_cast<uint16_t>(code);
    const uint16_t raw = triggers_.ThresholdCode[i];
    StoreRaw(a, 5, &raw, sizeof raw);
    any = true;
  }
  if (any) {
    a_.ThresholdTriggerActive = 1;
    log_("\r\n 提示:有峰值或谷值启动算法!");
  }
}

bool PlanBuilder::ScalesValid() {
  for (int32_t i = 0; i < algorithms_; ++i) {
    const AlgorithmConfig& a = c_.AlgorithmTable[i];
    for (int32_t j : DivisorSlots(a.Type)) {
      const double b = scale_.B(a.Channel[j]);
      if (b == 0.0 || !std::isfinite(b)) {
        log_("\r\n 错误: 启动算法" + std::to_string(i) + ",第" + std::to_string(j + 1) + "通道: " +
             std::to_string(a.Channel[j]) + " 的系数B为0,定值不能换算!");
        return false;
      }
    }
    if (a.Type == 15 && a.SetPoint[0] == 0.0f) {
      log_("\r\n 错误: 启动算法" + std::to_string(i) + ": 频率阈值为0,定值不能换算!");
      return false;
    }
  }
  return true;
}

bool PlanBuilder::Op(int pass, int32_t source, int32_t kind) {
  if (pass == 1) {
    plan_.OperandTable[static_cast<size_t>(operandCount_++)] = FindMeasurement(plan_, source, kind);
    return true;
  }
  ++operandCount_;
  if (FindMeasurement(plan_, source, kind) >= 0) return true;
  try {
    MeasurementNode node;
    node.Source = source;
    node.Kind = kind;
    plan_.MeasurementList.push_back(node);
  } catch (const std::bad_alloc&) {
    failure_ = Failure::Memory;
    return false;
  }
  return true;
}

int32_t PlanBuilder::Row(int pass, int32_t a, int32_t b, int32_t c, int32_t kind) {
  auto& rows = plan_.CompositeSourceTable;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].ChannelA == a && rows[r].ChannelB == b && rows[r].ChannelC == c && rows[r].Kind == kind) {
      return static_cast<int32_t>(r);
    }
  }
  if (pass == 1) return static_cast<int32_t>(rows.size());  // not reached: pass 0 registered it
  if (rows.size() >= kMaxCompositeSources) {
    failure_ = Failure::Composites;
    return -1;
  }
  CompositeSource row;
  row.Kind = kind;
  row.ChannelA = a;
  row.ChannelB = b;
  row.ChannelC = c;
  rows.push_back(row);  // capacity reserved: never reallocates
  return static_cast<int32_t>(rows.size() - 1);
}

int32_t PlanBuilder::Freq(int pass, int32_t channel, bool mark) {
  if (pass == 1) {
    for (size_t f = 0; f < plan_.FrequencyRecords.size(); ++f) {
      FrequencyRecord& record = plan_.FrequencyRecords[f];
      if (record.Channel != channel) continue;
      if (mark) record.LongHistory = 1;
      return static_cast<int32_t>(f);
    }
    return static_cast<int32_t>(plan_.FrequencyRecords.size());
  }
  auto& list = plan_.FrequencyChannelList;
  const auto found = std::find(list.begin(), list.end(), channel);
  if (found != list.end()) return static_cast<int32_t>(found - list.begin());
  if (list.size() >= kMaxFrequencyChannels) {
    failure_ = Failure::Frequencies;
    return -1;
  }
  list.push_back(channel);  // capacity reserved
  return static_cast<int32_t>(list.size() - 1);
}

void PlanBuilder::Needs(int32_t rows, bool cycle) {
  plan_.HistoryRowsNeeded = std::max(plan_.HistoryRowsNeeded, rows);
  if (cycle) a_.NeedsCycleSampling = 1;
}

// Registers (pass 0) or resolves (pass 1) one algorithm's operands, in the
// order the criteria read them.
bool PlanBuilder::Algorithm(int pass, int32_t i) {
  const AlgorithmConfig& a = c_.AlgorithmTable[i];
  const int32_t type = a.Type;
  if (type < 3 || type > 22) {
    if (pass == 1) plan_.AlgorithmFirstOperand[static_cast<size_t>(i)] = 0;
    return true;
  }
  if (pass == 1) plan_.AlgorithmFirstOperand[static_cast<size_t>(i)] = operandCount_;
  const auto& ch = a.Channel;
  const int32_t n = c_.Analog_Num;
  const int32_t spc = c_.SamplesPerCycle;
  const int32_t t12 = a_.SamplesPerTwelfthCycle;
  bool ok = true;
  switch (type) {
    case 3: case 4: case 9:
      ok = Op(pass, ch[0], kDcMean);
      break;
    case 5: case 6: case 7: case 18:
      ok = Op(pass, ch[0], kFundamental);
      break;
    case 8: case 11: case 12: case 14:
      ok = Op(pass, ch[0], kFundamental) && Op(pass, ch[1], kFundamental) && Op(pass, ch[2], kFundamental) &&
           (type != 14 || Op(pass, ch[3], kFundamental));
      break;
    case 10: {
      const int32_t r = Row(pass, ch[0], ch[1], ch[2], kNegativeSequence);
      ok = r >= 0 && Op(pass, n + r, kFundamental);
      break;
    }
    case 13:
      ok = Op(pass, ch[0], kFundamental) && Op(pass, ch[0], kThirdHarmonic) && Op(pass, ch[1], kThirdHarmonic);
      break;
    case 15: {
      const int32_t f = Freq(pass, ch[0], false);
      ok = f >= 0 && Op(pass, f, kFrequency) && Op(pass, ch[0], kFundamental);
      break;
    }
    case 16: {
      ok = Op(pass, ch[0], kFundamental);
      const int32_t f = ok ? Freq(pass, ch[0], false) : -1;
      ok = f >= 0 && Op(pass, f, kFrequency);
      break;
    }
    case 17:
      ok = Op(pass, ch[0], kFundamental) && Op(pass, ch[1], kFundamental) && Op(pass, ch[2], kFundamental) &&
           Op(pass, ch[3], kDcMean) && Op(pass, ch[4], kFundamental) && Op(pass, ch[5], kFundamental) &&
           Op(pass, ch[6], kFundamental);
      break;
    case 19: case 20:
      ok = Op(pass, ch[0], kFundamental) && Op(pass, ch[1], kFundamental);
      break;
    case 21: {
      const int32_t f = Freq(pass, ch[0], true);
      ok = f >= 0 && Op(pass, f, kFrequencyRate) && Op(pass, ch[0], kFundamental) &&
           Op(pass, ch[1], kFundamental) && Op(pass, ch[2], kFundamental);
      break;
    }
    case 22: {
      const int32_t r1 = Row(pass, ch[0], ch[1], ch[2], kNegativeSequence);
      const int32_t i1 = r1 >= 0 ? Row(pass, n + r1, 0, 0, kIncrement) : -1;
      const int32_t r2 = i1 >= 0 ? Row(pass, ch[3], ch[4], ch[5], kNegativeSequence) : -1;
      const int32_t i2 = r2 >= 0 ? Row(pass, n + r2, 0, 0, kIncrement) : -1;
      ok = i2 >= 0 && Op(pass, n + i1, kFundamental) && Op(pass, n + i2, kFundamental);
      break;
    }
    default:
      break;
  }
  if (!ok) {
    log_("\r\n 提示:算法" + std::to_string(i) + FailureText(type, failure_));
    return false;
  }
  if (pass == 0) return true;

  Thresholds(i);
  switch (type) {
    case 3: case 4: case 9: Needs(4, false); break;
    case 10: Needs(spc + 2 * t12, true); break;
    case 15: case 16: case 21: Needs(spc * 3 / 2, true); break;
    case 22: Needs(2 * (spc + t12), true); break;
    default: Needs(spc, true); break;
  }
  return true;
}

void PlanBuilder::Thresholds(int32_t i) {
  AlgorithmConfig& a = c_.AlgorithmTable[i];
  PreparedThresholds& t = plan_.Thresholds[static_cast<size_t>(i)];
  t = PreparedThresholds{};
  const auto& ch = a.Channel;
  const double sp0 = a.SetPoint[0], sp1 = a.SetPoint[1], sp2 = a.SetPoint[2];
  const double span = scale_.Span();
  const double rate = c_.ChannelRate;
  int ints = 1;  // how many of T0..T3 are integer thresholds of this type
  switch (a.Type) {
    case 3: case 4: case 9:
      t.T[0] = scale_.Dc(sp0, ch[0]);
      break;
    case 5: case 6: case 7: case 18:
      t.T[0] = scale_.Sq(sp0, ch[0]);
      break;
    case 8: case 11: case 12:
      for (int k = 0; k < 3; ++k) t.T[static_cast<size_t>(k)] = scale_.Sq(sp0, ch[k]);
      ints = 3;
      break;
    case 10:
      t.T[0] = TruncToInt64(scale_.Ac(sp0, ch[0]) * scale_.Ac(sp0, ch[0]) * 9.0 * 2.0);
      break;
    case 13:
      t.T[0] = scale_.Sq(sp0, ch[0]);
      t.T[1] = scale_.Sq(sp1, ch[0]);
      // The criterion compares the ratio of the squared code amplitudes; the
      // set point is a ratio of engineering values, so each side carries its
      // own channel's scale.
      t.F = static_cast<float>((sp2 * scale_.B(ch[1]) / scale_.B(ch[0])) * (sp2 * scale_.B(ch[1]) / scale_.B(ch[0])));
      ints = 2;
      break;
    case 14:
      // The engine's power is Re(U x conj I) of peak phasors, twice the mean
      // power the set point states.
      t.T[0] = TruncToInt64(2.0 * span * scale_.Ac(sp0, ch[0]) / (scale_.B(ch[2]) * 5.0));
      break;
    case 15:
      t.T[0] = TruncToInt64(rate * 8.0 / sp0);
      t.T[1] = scale_.Sq(sp1, ch[0]);
      ints = 2;
      break;
    case 16:
      t.D = (scale_.Ac(sp0, ch[0]) * rate * 8.0) * (scale_.Ac(sp0, ch[0]) * rate * 8.0) * 2.0;
      ints = 0;
      break;
    case 17:
      t.T[0] = scale_.Sq(sp0, ch[0]);
      t.T[1] = scale_.Dc(sp1, ch[3]);
      // Twice, like type 14: the engine's reactive power comes from peak phasors.
      t.T[2] = TruncToInt64(2.0 * span * scale_.Ac(sp2, ch[0]) / (scale_.B(ch[4]) * 5.0));
      ints = 3;
      break;
    case 19: case 20:
      t.T[0] = scale_.Sq(sp0, ch[0]);
      t.T[1] = scale_.Sq(sp1, ch[1]);
      ints = 2;
      break;
    case 21:
      t.F = static_cast<float>(sp0 / (rate * rate * 8.0));
      for (int k = 0; k < 3; ++k) t.T[static_cast<size_t>(k + 1)] = scale_.Sq(sp1, ch[k]);
      ints = 4;
      break;
    case 22: {
      t.T[0] = TruncToInt64(scale_.Ac(sp0, ch[0]) * scale_.Ac(sp0, ch[0]) * 9.0 * 2.0);
      t.T[1] = TruncToInt64(scale_.Ac(sp1, ch[3]) * scale_.Ac(sp1, ch[3]) * 9.0 * 2.0);
      const double ac2 = span * scale_.Ac(sp2, ch[3]) / (scale_.B(ch[0]) * 5.0);
      t.T[2] = TruncToInt64(ac2 * 9.0 * 2.0);
      ints = 3;
      break;
    }
    default:
      ints = 0;
      break;
  }
  static constexpr int kSlots[4] = {5, 7, 9, 11};
  for (int k = 0; k < ints; ++k) {
    if ((a.Type == 13 && k == 2) || (a.Type == 21 && k == 0)) continue;
    StoreRawInt(a, kSlots[k], t.T[static_cast<size_t>(k)]);
  }
  if (a.Type == 13) StoreRaw(a, 9, &t.F, sizeof t.F);
  if (a.Type == 21) StoreRaw(a, 5, &t.F, sizeof t.F);
  if (a.Type == 16) StoreRaw(a, 5, &t.D, sizeof t.D);  // slots 5 and 6
}

bool PlanBuilder::Pass(int pass) {
  operandCount_ = 0;
  for (int32_t i = 0; i < algorithms_; ++i) {
    if (!Algorithm(pass, i)) return false;
  }
  return true;
}

void PlanBuilder::BuildSourceIndex() {
  const size_t sources = static_cast<size_t>(c_.Analog_Num) + plan_.CompositeSourceTable.size();
  plan_.SourceNodeCount.assign(sources, 0);
  plan_.SourceNodeStart.assign(sources, 0);
  plan_.SourceNodes.assign(plan_.MeasurementList.size(), 0);
  for (const MeasurementNode& node : plan_.MeasurementList) plan_.SourceNodeCount[static_cast<size_t>(node.Source)] += 1;
  int32_t sum = 0;
  for (size_t s = 0; s < sources; ++s) {
    plan_.SourceNodeStart[s] = sum;
    sum += plan_.SourceNodeCount[s];
  }
  std::vector<int32_t> filled(sources, 0);
  for (size_t k = 0; k < plan_.MeasurementList.size(); ++k) {
    const auto s = static_cast<size_t>(plan_.MeasurementList[k].Source);
    plan_.SourceNodes[static_cast<size_t>(plan_.SourceNodeStart[s] + filled[s]++)] = static_cast<int32_t>(k);
  }
}

void PlanBuilder::Run() {
  algorithms_ = std::clamp(c_.Algorithm_Num, 0, kMaxAlgorithms);
  if (!ChannelsValid()) return;
  PreparePeaksAndValleys();
  if (!ScalesValid()) return;

  plan_.MeasurementList.clear();
  plan_.CompositeSourceTable.clear();
  plan_.FrequencyChannelList.clear();
  plan_.FrequencyRecords.clear();
  plan_.HistoryRowsNeeded = 0;
  try {
    plan_.MeasurementList.reserve(kMaxNodes);
    plan_.CompositeSourceTable.reserve(kMaxCompositeSources);
    plan_.FrequencyChannelList.reserve(kMaxFrequencyChannels);
    plan_.AlgorithmFirstOperand.assign(static_cast<size_t>(algorithms_), 0);
  } catch (const std::bad_alloc&) {
    log_("\r\n 警告:设置算法数据时分配内存失败!");
    return;
  }

  if (!Pass(0)) {
    a_.NeedsCycleSampling = 0;
    return;
  }
  if (operandCount_ == 0) {
    log_("\r\n 注:无有效的启动算法需处理!");
    return;
  }
  try {
    plan_.OperandTable.assign(static_cast<size_t>(operandCount_), -1);
    if (!plan_.FrequencyChannelList.empty()) {
      const int32_t spc = std::max(c_.SamplesPerCycle, 1);
      // Checked before narrowing: a block of 2^31 rows at one sample a cycle
      // needs more crossings than a count (or any memory) holds.
      const int64_t length = int64_t{c_.NumSamp} * 3 / (2 * int64_t{spc}) + 66 + 5;
      if (length >= INT32_MAX) throw std::bad_alloc();
      plan_.FrequencyHistoryLength = static_cast<int32_t>(length);
      for (int32_t channel : plan_.FrequencyChannelList) {
        FrequencyRecord record;
        record.Channel = channel;
        record.Crossings.assign(static_cast<size_t>(plan_.FrequencyHistoryLength) + 1, 0);
        plan_.FrequencyRecords.push_back(std::move(record));
      }
    }
  } catch (const std::bad_alloc&) {
    log_("\r\n 警告:设置算法数据时分配内存失败!");
    return;
  }
  if (!Pass(1)) {
    a_.NeedsCycleSampling = 0;
    return;
  }
  BuildSourceIndex();
  for (int32_t i = 0; i < algorithms_; ++i) triggers_.AlgorithmConfirmState[static_cast<size_t>(i)] = AlgorithmConfirm{};
  triggers_.SwitchConfirmState.fill(0);
  a_.AnalogTriggerActive = 1;
}

}  // namespace

int32_t FindMeasurement(const TriggerPlan& plan, int32_t source, int32_t kind) {
  for (size_t k = 0; k < plan.MeasurementList.size(); ++k) {
    if (plan.MeasurementList[k].Source == source && plan.MeasurementList[k].Kind == kind) return static_cast<int32_t>(k);
  }
  return -1;
}

void PrepareTriggerAlgorithms(AppState& state, const std::function<void(const std::string&)>& runLog) {
  PlanBuilder(state, runLog).Run();
}

}  // namespace quelvar
