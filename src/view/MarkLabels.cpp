#include "view/MarkLabels.h"

#include <algorithm>

#include "acquisition/AlgorithmReport.h"
#include "common/NumberFormat.h"
#include "common/TextUtil.h"
#include "platform/DayTime.h"
#include "view/ChannelValues.h"
#include "view/DisplayReading.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

constexpr char kLineBreak[] = "\n\r";
// The oscilloscope's trace coupling that grounds the input.
constexpr int32_t kCouplingGround = 2;

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& c) { return std::clamp(c.SW_Num, 0, kMaxSwitchInputs); }

DisplayRows RowsOf(const DisplayDescriptor& d) {
  return {d.DispData, d.DispData != nullptr ? std::max(d.DispRows, 0) : 0, std::max(d.DispRowWords, 0)};
}

void AppendChannelLine(MarkSource& source, std::string& text, int64_t bufferPoint, int32_t key, bool pageScope,
                       int32_t kind, int32_t mark) {
  const LiveConfig& config = source.config;
  const int32_t analog = AnalogCount(config);
  if (key < 0) return;
  if (key < analog) {
    const int32_t channel = pageScope ? key : config.AnalogDisplayOrder[static_cast<size_t>(key)];
    if (channel < 0 || channel >= analog) return;
    text += kLineBreak + config.AnalogChannelTable[static_cast<size_t>(channel)].ChnName + ": " +
            ChannelValueAtMark(source, bufferPoint, channel, kind, mark);
    return;
  }
  const int32_t input = key - analog;
  if (input >= SwitchCount(config)) return;
  text += kLineBreak + config.SwitchChannelTable[static_cast<size_t>(input)].SWName + ": " +
          SwitchValueAtMark(source, bufferPoint, input, kind, mark);
}

// One trace's line of the oscilloscope label.
void AppendTraceLine(MarkSource& source, std::string& text, int32_t trace, int64_t bufferPoint, int32_t kind,
                     int32_t mark) {
  const OscilToolSettings& o = source.oscil;
  const LiveConfig& config = source.config;
  const int32_t d = trace == 1 ? o.ChnAd1 : o.ChnAD2;
  const bool ground = (trace == 1 ? o.ACDC1 : o.ACDC2) == kCouplingGround;
  const std::string tag = trace == 1 ? "(踪1): " : "(踪2): ";
  const int32_t analog = AnalogCount(config);
  if (d < 0) return;
  if (d < analog) {
    const AnalogChannel& c = config.AnalogChannelTable[static_cast<size_t>(d)];
    text += kLineBreak;
    text += " " + c.ChnName + tag;
    if (ground && kind == kMarkInstant) {
      const double value =
          RawToEngineering(config, source.torque, c, static_cast<float>(static_cast<int32_t>(config.VZero)));
      text += FormatFixed(value, 7, std::clamp(c.ChnDigiPoint, 0, 18)) + c.ChnUnits;
    } else if (ground && kind != kMarkHexCode) {
      text += trace == 1 ? "GND" : " GND";
    } else {
      text += ChannelValueAtMark(source, bufferPoint, d, kind, mark);
    }
    return;
  }
  const int32_t input = d - analog;
  if (input >= SwitchCount(config)) return;
  text += kLineBreak + config.SwitchChannelTable[static_cast<size_t>(input)].SWName + tag +
          SwitchValueAtMark(source, bufferPoint, input, kind, mark);
}

}  // namespace

std::string KindTitleText(const WaveViewState& marks, int32_t kind, int32_t mark) {
  const bool one = mark == 1;
  switch (kind) {
    case kMarkInstant:
      return "瞬时值:";
    case kMarkMean:
      return "平均值:";
    case kMarkRms:
      return "有效值:";
    case kMarkPhase:
      return "相位角度:";
    case kMarkFrequency1:
      return "一周波频率:";
    case kMarkFrequency2:
      return "二周波频率:";
    case kMarkFrequency4:
      return "四周波频率:";
    case kMarkHexCode:
      return "十六进制AD值:";
    case kMarkHarmonic:
      return std::to_string(one ? marks.MarkHarmonics1 : marks.MarkHarmonics2) + "次谐波量:";
    case kMarkAlgorithmList:
      return "算法触发情况:";
    case kMarkAlgorithmValue:
      return std::to_string(one ? marks.MarkAlgorithm1 : marks.MarkAlgorithm2) + " 号算法计算值:";
    case kMarkRate:
      return "前" + std::to_string(marks.MarkRatioN2) + "点变化率：";
    case kMarkRelativeRate:
      return "前" + std::to_string(marks.MarkRatioRN2) + "点相对变化率：";
    case kMarkPeriod:
      return "前" + std::to_string(marks.MarkPeriodN2) + "点周期：";
    case kMarkIncrement:
      return std::to_string(one ? marks.MarkInc1 : marks.MarkInc2) + "周波增量:";
    case kMarkSpeed:
      return "模拟量转速:";
    case kMarkSumBetween:
      return "标线间累加值:";
    case kMarkMeanBetween:
      return "标线间平均值:";
    default:
      return "未知类型:";
  }
}

MarkTitle MarkKindTitle(const MarkSource& source, int64_t a, int32_t mark) {
  MarkTitle t;
  t.Kind = mark == 1 ? source.view.MarkType1 : source.view.MarkType2;
  t.Point = MapMarkPoint(source.display, source.config.NumSamp, source.layout.MaxMultiFreq, a - 1);
  if (t.Point.InCompressedPart && t.Kind > kMarkMean) t.Kind = kMarkInstant;
  t.Title = KindTitleText(source.view, t.Kind, mark);
  return t;
}

bool AlgorithmLabelText(const MarkSource& source, std::string& text, int32_t kind, int32_t mark,
                        int64_t bufferPoint) {
  const int32_t point = SaturateToInt32(bufferPoint);
  if (kind == kMarkAlgorithmList) {
    text += TriggeredAlgorithmList(source.config, source.layout, RowsOf(source.display), point);
    return true;
  }
  if (kind == kMarkAlgorithmValue) {
    const int32_t index = mark == 1 ? source.view.MarkAlgorithm1 : source.view.MarkAlgorithm2;
    const AlgorithmReport report =
        EvaluateAlgorithmAt(source.config, source.layout, RowsOf(source.display), index, point);
    text += kLineBreak + report.text;
    text += report.fired != 0 ? "\n\r\n\r结论: 此算法被触发！" : "\n\r\n\r结论: 此算法未触发！";
    return true;
  }
  return false;
}

std::string MarkLabelText(MarkSource& source, int64_t a, int32_t mark) {
  const MarkTitle title = MarkKindTitle(source, a, mark);
  const ViewOptions& o = source.view.Options;
  const double seconds = MarkSeconds(title.Point, source.layout.MaxChannelRate);
  std::string text = title.Title;
  if (o.AbsoluteTime) {
    text += platform::FormatDayCount(source.BlockTime + seconds / 86400.0, "yy-m-d hh:nn:ss");
  } else {
    text += FormatTimeSpan(seconds);
    if (o.XAxialTime && source.display.DataSourceMode == 1)
      text += "\n\r(相对时间:" + FormatTimeSpan(seconds - source.view.FirstTickTime) + ")";
  }
  if (AlgorithmLabelText(source, text, title.Kind, mark, title.Point.BufferPoint)) return text;

  const WaveViewState& v = source.view;
  const bool pageScope = o.Scope == ChannelScope::Page;
  const int32_t drawn = std::clamp(v.DrawnAnalogCount + v.DrawnSwitchCount, 0, kMaxDisplayPositions);
  for (int32_t k = 0; k < drawn; ++k)
    AppendChannelLine(source, text, title.Point.BufferPoint, v.DrawnChannels[static_cast<size_t>(k)], pageScope,
                      title.Kind, mark);
  return text;
}

std::string OscMarkText(MarkSource& source, int64_t a, int32_t mark) {
  const DisplayDescriptor& d = source.display;
  const int32_t multi = std::max(source.layout.MaxMultiFreq, 1);
  const int64_t points = std::max(d.DispPoints, 0);
  int64_t t = 0;
  if (points > 0) {
    t = ((int64_t{d.DispFirstBlock} * source.config.NumSamp % points) * multi % points + (a - 1) % points) % points;
    if (t < 0) t += points;
  }
  int64_t origin = source.view.Options.AbsoluteTime ? 0 : source.view.XPosition;
  if (origin < 0) origin += points;
  const int32_t kind = mark == 1 ? source.view.MarkType1 : source.view.MarkType2;
  ChannelValueSource values{source.config, source.torque, source.display, source.layout};
  RefreshColdJunctionAt(values, t, multi);
  if (source.oscil.MeasTime == 0) return {};

  std::string text = KindTitleText(source.view, kind, mark) +
                     FormatGeneral(TimeMsOfPosition(a - 1, origin, source.layout.MaxChannelRate), 7, 4) + "ms";
  if (AlgorithmLabelText(source, text, kind, mark, t)) return text;
  if (source.oscil.UseChn1 != 0) AppendTraceLine(source, text, 1, t, kind, mark);
  if (source.oscil.UseChn2 != 0) AppendTraceLine(source, text, 2, t, kind, mark);
  return text;
}

}  // namespace quelvar
