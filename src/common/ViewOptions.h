#pragma once

#include <cstdint>

namespace quelvar {

// Which channels a waveform view shows, in the order of the scope items of
// its menu (the stored IDScope counts the same way).
enum class ChannelScope : int32_t {
  Channel = 0,  // one channel
  Line = 1,     // one line (channel group)
  Four = 2,
  Eight = 3,
  Sixteen = 4,
  All = 5,
  Overall = 6,  // analog and switch channels together
  Page = 7,     // a predefined page, the universal page or the trigger page
};

// How a waveform window decorates what it shows: the check marks of its view
// menus. The record is what the renderer reads; the window's menu items only
// mirror it, and the settings tree stores it through MainViewSettings.
struct ViewOptions {
  ChannelScope Scope = ChannelScope::Channel;
  bool PhaseMultiple = false;  // a line's channels share one row (else one row each)
  bool ViewSwitch = false;     // the scrolled rows are switch inputs (else analog)
  bool ScaleOut = true;        // scale labels outside the plot
  bool NoGridLines = false;    // only short ticks, no grid lines
  bool GridDotted = false;     // grid lines dotted
  bool YGrid = false;          // horizontal grid lines in every row
  bool XScale = true;          // short extra ticks on each row's vertical scale
  bool ScaleAlways = false;    // scale values in every row, not only with one row
  bool In1Axial = false;       // every row over the whole plot height
  bool Trace = true;           // the marks' value labels are shown
  bool BGTrans = true;         // the mark labels are transparent
  bool ViewV = false;          // the marks' level lines are drawn
  bool XAxialTime = true;      // time-aligned X axis
  bool AbsoluteTime = false;   // X labels in calendar time
  bool Monitor = true;         // the live data are shown
  bool TopMost = false;        // the window stays on top
};

}  // namespace quelvar
