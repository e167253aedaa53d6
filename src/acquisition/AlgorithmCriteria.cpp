#include "acquisition/AlgorithmCriteria.h"

#include <algorithm>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// An algorithm's verdicts at one point.
struct Verdict {
  bool gate = true;  // false: not tested here at all
  bool trigger = false;
  bool release = false;  // the quantity is back by the hysteresis margin
};

// The operands of one algorithm, in the order the plan stored them.
class Operands {
 public:
  Operands(const TriggerPlan& plan, int32_t algorithm)
      : plan_(plan), first_(plan.AlgorithmFirstOperand[static_cast<size_t>(algorithm)]) {}

  const MeasurementNode& operator[](int32_t m) const {
    return plan_.MeasurementList[static_cast<size_t>(plan_.OperandTable[static_cast<size_t>(first_ + m)])];
  }
  int64_t V(int32_t m) const { return (*this)[m].Value0; }
  int64_t I(int32_t m) const { return (*this)[m].Value1; }
  int64_t M(int32_t m) const { return static_cast<int64_t>((*this)[m].Value2); }

 private:
  const TriggerPlan& plan_;
  int32_t first_;
};

// v x vFactor < t x tFactor, exactly: saturated thresholds times the
// hysteresis factors leave 64 bits.
bool ScaledLess(int64_t v, int64_t vFactor, int64_t t, int64_t tFactor) {
  return static_cast<__int128>(v) * vFactor < static_cast<__int128>(t) * tFactor;
}

bool Below(int64_t m, int64_t t, double factor) { return static_cast<double>(m) < factor * static_cast<double>(t); }
bool Above(int64_t m, int64_t t, double factor) { return static_cast<double>(m) > factor * static_cast<double>(t); }

// Im(u) Re(i) - Re(u) Im(i) of two operands' phasors.
int64_t Cross(const Operands& op, int32_t u, int32_t i) { return op.I(u) * op.V(i) - op.V(u) * op.I(i); }

Verdict Judge(int32_t type, const Operands& op, const PreparedThresholds& th, int64_t pointIndex, int32_t spc) {
  const auto& t = th.T;
  Verdict v;
  switch (type) {
    case 3: case 9:
      v.trigger = op.V(0) > t[0];
      v.release = ScaledLess(op.V(0), 10, t[0], 9);
      break;
    case 4:
      v.trigger = op.V(0) < t[0];
      v.release = ScaledLess(t[0], 11, op.V(0), 10);
      break;
    case 5: case 7: case 10: case 18:
      v.trigger = op.M(0) > t[0];
      v.release = Below(op.M(0), t[0], 0.9);
      break;
    case 6:
      v.trigger = op.M(0) < t[0];
      v.release = Above(op.M(0), t[0], 1.1);
      break;
    case 8: case 11: case 12:
      v.trigger = op.M(0) > t[0] || op.M(1) > t[1] || op.M(2) > t[2];
      v.release = Below(op.M(0), t[0], 0.9) && Below(op.M(1), t[1], 0.9) && Below(op.M(2), t[2], 0.9);
      break;
    case 13: {
      v.gate = op.M(2) != 0;
      if (!v.gate) break;
      const double ratio = static_cast<double>(op.M(1)) / static_cast<double>(op.M(2));
      v.trigger = op.M(0) > t[0] || (op.M(1) < t[1] && ratio > th.F);
      v.release = Below(op.M(0), t[0], 0.9) && ratio < 0.9 * th.F;
      break;
    }
    case 14: {
      // Re(Uab x conj Iab): line voltage a-b against line current a-b.
      const int64_t p = (op.V(0) - op.V(1)) * (op.V(2) - op.V(3)) + (op.I(0) - op.I(1)) * (op.I(2) - op.I(3));
      v.trigger = p < t[0];
      v.release = ScaledLess(t[0], 11, p, 10) && p > 0;
      break;
    }
    case 15:
      v.trigger = op.V(0) > t[0] && op.M(1) > t[1];
      v.release = ScaledLess(op.V(0), 10, t[0], 9);
      break;
    case 16: {
      const double w = static_cast<double>(op.M(0)) * static_cast<double>(op.V(1)) * static_cast<double>(op.V(1));
      v.trigger = w > th.D;
      v.release = w < 0.9 * th.D;
      break;
    }
    case 17: {
      // The three-phase reactive power: one term per phase.
      const int64_t r = -(Cross(op, 0, 4) + Cross(op, 1, 5) + Cross(op, 2, 6));
      v.trigger = op.V(3) < t[1] && r < t[2];
      v.release = ScaledLess(t[1], 11, op.V(3), 10);
      break;
    }
    case 19:
      v.trigger = op.M(0) < t[0] && op.M(1) > t[1];
      v.release = Below(op.M(1), t[1], 0.9);
      break;
    case 20:
      v.trigger = op.M(0) > t[0] || op.M(1) > t[1];
      v.release = Below(op.M(0), t[0], 0.9) && Below(op.M(1), t[1], 0.9);
      break;
    case 21: {
      // Tested once per 32 cycles of continuous data, when the rate is new.
      v.gate = pointIndex % (int64_t{32} * spc) == 0;
      if (!v.gate) break;
      const float rate = op[0].RateValue;
      v.trigger = rate > th.F && op.M(1) > t[1] && op.M(2) > t[2] && op.M(3) > t[3];
      v.release = rate < 0.9f * th.F;
      break;
    }
    case 22: {
      const int64_t direction = op.V(0) * op.V(1) + op.I(0) * op.I(1);
      v.trigger = (op.M(0) > t[0] || op.M(1) > t[1]) && direction > t[2];
      v.release = Below(op.M(0), t[0], 0.9) && Below(op.M(1), t[1], 0.9);
      break;
    }
    default:
      v.gate = false;
      break;
  }
  return v;
}

void Fire(AppState& state, int32_t i, int32_t row) {
  const AlgorithmConfig& a = state.config.AlgorithmTable[static_cast<size_t>(i)];
  RecordState& rec = state.record;
  rec.Recording = 1;
  rec.TriggerPoint = row;
  rec.TriggerKind = 2;
  rec.TriggerChannel = a.Channel[0];
  rec.TriggerAlgorithm = i;
  state.triggers.AlgorithmConfirmState[static_cast<size_t>(i)].HoldCount = state.config.ConfirmTriggerNum;
  rec.TriggerEdge = a.Type;
  rec.RecordTime = a.RecordTime;
  // The pre-trigger time covers the half cycles the confirmation took.
  rec.PreRecordTime = TruncToInt32(static_cast<float>(a.PreRecordTime) + state.plan.ConfirmDelayMs);
  rec.CompressRecordTime = a.CompressRecordTime;
}

}  // namespace

void TestAlgorithmsAtPoint(AppState& state, int32_t row) {
  const LiveConfig& c = state.config;
  const TriggerPlan& plan = state.plan;
  const int32_t algorithms =
      std::min(std::clamp(c.Algorithm_Num, 0, kMaxAlgorithms), static_cast<int32_t>(plan.AlgorithmFirstOperand.size()));
  const int64_t pointIndex = int64_t{state.acq.ValidHistorySamples} + row;
  for (int32_t i = 0; i < algorithms; ++i) {
    const int32_t type = c.AlgorithmTable[static_cast<size_t>(i)].Type;
    if (type < 3 || type > 22) continue;
    const Verdict v = Judge(type, Operands(plan, i), plan.Thresholds[static_cast<size_t>(i)], pointIndex,
                            std::max(c.SamplesPerCycle, 1));
    if (!v.gate) continue;
    AlgorithmConfirm& confirm = state.triggers.AlgorithmConfirmState[static_cast<size_t>(i)];
    if (confirm.HoldCount >= 1 && c.IDPreventSameAlgorithm) {
      confirm.HoldCount = v.release ? confirm.HoldCount - 1 : c.ConfirmTriggerNum;
      continue;
    }
    if (state.record.Recording == 1) continue;
    if (!v.trigger) {
      confirm.HitCount = 0;
      continue;
    }
    confirm.HitCount += 1;
    if (confirm.HitCount >= c.ConfirmTriggerNum) Fire(state, i, row);
  }
}

}  // namespace quelvar
