// The offline filter panel and the main window's filter command: the
// settings kept by the panel, the refusals, and passes over the shown data.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FilterTestRecord.h"
#include "analysis/FormFilter.h"
#include "platform/RegistryKey.h"
#include "shell/MainWindowFixture.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\FilterSetting";

// Codes that every filter changes somewhere.
uint16_t Noisy(int32_t row, int32_t word) { return static_cast<uint16_t>(1000 + (row * 7919 + word * 31) % 97 * 9); }

class FormFilterTest : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormFilter> panel;

  void SetUp() override {
    MainWindowFixture::SetUp();
    form = NewMainWindow();
    form->Timer2Timer();  // past the deferred start-up
  }
  void TearDown() override {
    if (form) form->SetFilterPanel(nullptr);
    panel.reset();
    form.reset();
    MainWindowFixture::TearDown();
  }
  void HandOver() {
    panel = std::make_unique<TFormFilter>(state, registry, ui);
    form->SetFilterPanel(panel.get());
  }
  // The command with the panel's answer: `edit` sets its controls, then
  // "滤波" is pressed `passes` times and the panel closed.
  void FilterWith(const std::function<void(TFormFilter&)>& edit, int passes = 1) {
    ui.modalAnswers.push_back([edit, passes](platform::ModalDialog& modal) {
      auto& p = dynamic_cast<TFormFilter&>(modal);
      p.FormActivate();
      edit(p);
      for (int i = 0; i < passes; ++i) p.ButtonOKClick();
      p.ButtonCancelClick();
      return platform::kModalCancel;
    });
    form->menuDigiFilterClick();
  }
  uint16_t Sample(int32_t row, int32_t word) const {
    return state.history.Samples[static_cast<size_t>(row) * state.history.NumChn + word];
  }
  std::vector<uint16_t> Samples() const { return state.history.Samples; }
  // Back to earlier samples in the same buffer, which the display points at.
  void Restore(const std::vector<uint16_t>& words) { std::copy(words.begin(), words.end(), state.history.Samples.begin()); }
};

TEST_F(FormFilterTest, TheCommandIsEnabledWhileThePanelIsHandedOver) {
  EXPECT_FALSE(form->menuDigiFilter->isEnabled());
  HandOver();
  EXPECT_TRUE(form->menuDigiFilter->isEnabled());
  EXPECT_TRUE(form->menuDigiFilter->isVisible());  // shown by the deferred start-up
  EXPECT_EQ(panel->windowTitle().toStdString(), "数字滤波面板");
  form->SetFilterPanel(nullptr);
  EXPECT_FALSE(form->menuDigiFilter->isEnabled());
}

TEST_F(FormFilterTest, RefusalsGoToTheStatusBarWithoutThePanel) {
  HandOver();
  struct Case {
    std::function<void(AppState&)> set;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[](AppState& s) { s.display.DispValid = 0; }, "错误：没有波形数据或正在采集中!"},
      {[](AppState& s) { s.RunState = kRunRecording; }, "错误：没有波形数据或正在采集中!"},
      {[](AppState& s) { s.config.MaxMultiFreq = 2; }, "错误：数值滤波不支持多频率采集!"},
  };
  for (const Case& c : cases) {
    test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
    const std::vector<uint16_t> before = Samples();
    c.set(state);
    ui.prompts.clear();
    form->menuDigiFilterClick();
    EXPECT_EQ(form->PostedStatusText(), c.text);
    EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
    EXPECT_EQ(Samples(), before);
    state.RunState = kRunIdle;
    state.config.MaxMultiFreq = 1;
  }
}

TEST_F(FormFilterTest, APassChangesOnlyTheChosenChannelAndRowsAndRequestsARepaint) {
  HandOver();
  test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
  state.wave.XPosition = 10;
  state.wave.DisplayWidth = 20;
  state.wave.RepaintRequested = 0;
  const std::vector<uint16_t> before = Samples();
  struct Kind {
    int32_t type;
    int32_t lowPass;
  };
  for (const Kind k : {Kind{kFilterMedian, 0}, Kind{kFilterLowPass, kLowPassIir}, Kind{kFilterLowPass, kLowPassFir}}) {
    Restore(before);
    FilterWith([k](TFormFilter& p) {
      p.FilterTypeClick(k.type);
      p.LowPassTypeClick(k.lowPass);
      p.EditCoeA->setText("0.5");
      p.EditLowPassFrq->setText("50");
      p.FilterChnTypeClick(kFilterOneChannel);
      p.EditFilterChn->setText("2");
      p.FilterTimeTypeClick(kFilterScreenRows);
    });
    bool changed = false;
    for (int32_t r = 0; r < 100; ++r) {
      for (int32_t w = 0; w < 4; ++w) {
        const bool inside = w == 2 && r >= 10 && r <= 29;
        if (!inside) {
          ASSERT_EQ(Sample(r, w), before[static_cast<size_t>(r) * 4 + w]) << k.type << " row " << r << " word " << w;
        } else if (Sample(r, w) != before[static_cast<size_t>(r) * 4 + w]) {
          changed = true;
        }
      }
    }
    EXPECT_TRUE(changed) << k.type << "/" << k.lowPass;
    EXPECT_EQ(state.wave.RepaintRequested, 1);
  }
}

TEST_F(FormFilterTest, AConstantStaysConstantUnderEveryFilter) {
  HandOver();
  test::ShowFourChannelRecord(state, *form, 2, 50, [](int32_t, int32_t) { return uint16_t{1234}; });
  const std::vector<uint16_t> before = Samples();
  const std::vector<std::function<void(TFormFilter&)>> edits = {
      [](TFormFilter& p) { p.FilterTypeClick(kFilterMedian); },
      [](TFormFilter& p) {
        p.FilterTypeClick(kFilterLowPass);
        p.LowPassTypeClick(kLowPassIir);
        p.CheckBoxIntegerOP->setChecked(true);
        p.EditCoeA->setText("0");  // A becomes 1
      },
      [](TFormFilter& p) {
        p.FilterTypeClick(kFilterLowPass);
        p.LowPassTypeClick(kLowPassIir);
        p.CheckBoxIntegerOP->setChecked(true);
        p.EditCoeA->setText("1");  // A becomes 999999
      },
      [](TFormFilter& p) {
        p.FilterTypeClick(kFilterLowPass);
        p.LowPassTypeClick(kLowPassIir);
        p.CheckBoxIntegerOP->setChecked(false);
        p.EditCoeA->setText("0.95");
      },
      [](TFormFilter& p) {
        p.FilterTypeClick(kFilterLowPass);
        p.LowPassTypeClick(kLowPassFir);
        p.EditLowPassOrder->setText("31");
        p.EditLowPassFrq->setText("20");
      },
  };
  for (size_t i = 0; i < edits.size(); ++i) {
    FilterWith(edits[i], 2);
    EXPECT_EQ(Samples(), before) << i;
  }
}

TEST_F(FormFilterTest, TheCopyOptionFiltersACopyOrWarnsAndFiltersInPlace) {
  HandOver();
  test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
  const std::vector<uint16_t> before = Samples();
  FilterWith([](TFormFilter& p) {
    p.FilterTypeClick(kFilterMedian);
    p.FilterChnTypeClick(kFilterOneChannel);
    p.EditFilterChn->setText("0");
    p.CheckBoxSaveTo->setChecked(true);
    p.EditSaveChn->setText("3");
  });
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());
  bool filtered = false;
  for (int32_t r = 0; r < 100; ++r) {
    EXPECT_EQ(Sample(r, 0), before[static_cast<size_t>(r) * 4]);  // the source stays
    filtered |= Sample(r, 3) != before[static_cast<size_t>(r) * 4 + 3];
  }
  EXPECT_TRUE(filtered);
  EXPECT_EQ(Sample(0, 3), before[0]);  // the first rows of the copy are the source's

  // All channels, or the target being the source: warned, filtered in place.
  for (const int32_t scope : {kFilterAllChannels, kFilterOneChannel}) {
    Restore(before);
    ui.prompts.clear();
    FilterWith([scope](TFormFilter& p) {
      p.FilterTypeClick(kFilterMedian);
      p.FilterChnTypeClick(scope);
      p.EditFilterChn->setText("1");
      p.CheckBoxSaveTo->setChecked(true);
      p.EditSaveChn->setText("1");
    });
    const auto messages = ui.PromptsOf(Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "不能保存滤波结果到其它通道");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
    EXPECT_NE(Samples(), before);
    if (scope == kFilterOneChannel) {
      // Channel 1 alone, in place.
      for (int32_t r = 0; r < 100; ++r) {
        for (const int32_t w : {0, 2, 3}) ASSERT_EQ(Sample(r, w), before[static_cast<size_t>(r) * 4 + w]) << r;
      }
    }
  }
}

// A FIR that cannot be designed changes nothing, not even the copy target,
// and says why in the status bar.
TEST_F(FormFilterTest, ARefusedDesignLeavesEveryChannelAndSaysWhy) {
  HandOver();
  struct Case {
    const char* order;
    const char* cutoff;
    float rate;
  };
  const Case cases[] = {{"0", "20", 1000.0f}, {"2", "20", 1000.0f}, {"31", "0", 1000.0f}, {"31", "20", 0.0f}};
  for (const Case& c : cases) {
    test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
    state.config.ChannelRate = c.rate;
    state.wave.RepaintRequested = 0;
    const std::vector<uint16_t> before = Samples();
    ui.prompts.clear();
    form->PostStatusText("");
    FilterWith([&c](TFormFilter& p) {
      p.FilterTypeClick(kFilterLowPass);
      p.LowPassTypeClick(kLowPassFir);
      p.EditLowPassOrder->setText(c.order);
      p.EditLowPassFrq->setText(c.cutoff);
      p.FilterChnTypeClick(kFilterOneChannel);
      p.EditFilterChn->setText("0");
      p.CheckBoxSaveTo->setChecked(true);
      p.EditSaveChn->setText("3");
    });
    EXPECT_EQ(Samples(), before) << c.order << " " << c.cutoff << " " << c.rate;
    EXPECT_EQ(form->PostedStatusText(), "错误：滤波器参数无效!");
    EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());
    EXPECT_EQ(state.wave.RepaintRequested, 0);
  }
}

TEST_F(FormFilterTest, RowsBetweenTheMarksWhicheverIsLeft) {
  HandOver();
  test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
  const std::vector<uint16_t> before = Samples();
  std::vector<uint16_t> first;
  for (const auto& [m1, m2] : {std::pair{30, 11}, std::pair{11, 30}}) {
    Restore(before);
    state.wave.XPosition = 40;
    state.wave.Mark1X = m1;
    state.wave.Mark2X = m2;
    FilterWith([](TFormFilter& p) {
      p.FilterTypeClick(kFilterMedian);
      p.FilterTimeTypeClick(kFilterMarkRows);
    });
    for (int32_t r = 0; r < 100; ++r) {
      if (r < 50 || r > 69) {
        for (int32_t w = 0; w < 4; ++w) ASSERT_EQ(Sample(r, w), before[static_cast<size_t>(r) * 4 + w]) << r;
      }
    }
    if (first.empty()) first = Samples();
    else EXPECT_EQ(Samples(), first);
  }
  EXPECT_NE(first, before);
}

TEST_F(FormFilterTest, SettingsAreReadAtCreationClampedAndWrittenAtTheEnd) {
  {
    platform::RegistryKey key(registry, kKey);
    key.WriteInteger("FilterType", 3);  // band-pass: offered disabled
    key.WriteInteger("FilterChnType", 2);
    key.WriteInteger("LowPassType", 1);
    key.WriteInteger("LowPassOrder", 1025);
    key.WriteDouble("IIRCoeA", 0.25);
  }
  test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);
  const std::vector<uint16_t> before = Samples();
  {
    TFormFilter p(state, registry, ui);
    EXPECT_TRUE(p.RadioButtonType[3]->isChecked());
    EXPECT_FALSE(p.RadioButtonType[3]->isEnabled());
    EXPECT_TRUE(p.RadioButtonChn[2]->isChecked());
    EXPECT_TRUE(p.EditFilterChn->isEnabled());
    EXPECT_EQ(p.EditLowPassOrder->text().toStdString(), "1024");
    EXPECT_EQ(p.EditLowPassFrq->text().toStdString(), "10.00");
    EXPECT_EQ(p.EditCoeA->text().toStdString(), "0.25");
    EXPECT_TRUE(p.PageControl->isTabVisible(1));
    EXPECT_FALSE(p.PageControl->isTabVisible(2));  // the IIR has no response page
    EXPECT_FALSE(p.GroupBoxIIR->isHidden());
    EXPECT_TRUE(p.GroupBoxWindowType->isHidden());
    // Types 2 to 4 filter nothing.
    p.ButtonOKClick();
    EXPECT_EQ(Samples(), before);
    p.FilterTypeClick(kFilterMedian);
    EXPECT_FALSE(p.PageControl->isTabVisible(1));
    p.EditCoeA->setText("7");
    EXPECT_EQ(p.EditCoeA->text().toStdString(), "1");  // written back clamped
    p.EditLowPassFrq->setText("x");
    EXPECT_FLOAT_EQ(p.Setting.LowPassFrq, 10.0f);  // not a number keeps the value
    p.EditFilterChn->setText("9");
    p.EditFilterChnExit();
    EXPECT_EQ(p.EditFilterChn->text().toStdString(), "3");
    EXPECT_EQ(p.EditFilterChn->toolTip().toStdString(), "通道名称：" + state.config.AnalogChannelTable[3].ChnName);
  }
  const platform::RegistryKey key(registry, kKey);
  EXPECT_EQ(key.ReadInteger("FilterType"), 0);
  EXPECT_EQ(key.ReadInteger("FilterChnType"), 2);
  EXPECT_EQ(key.ReadInteger("LowPassOrder"), 1024);
  EXPECT_EQ(key.ReadDouble("IIRCoeA"), 1.0);
  EXPECT_EQ(key.ReadDouble("LowPassFrq"), 10.0);
  EXPECT_TRUE(key.ReadInteger("LowPassWindowType").has_value());
  EXPECT_TRUE(key.ReadInteger("FilterTimeType").has_value());
  EXPECT_TRUE(key.ReadInteger("LowPassType").has_value());
  EXPECT_TRUE(platform::RegistryKey(registry, "\\SOFTWARE\\QuelvarTorque\\FormSize").ReadInteger("FormFilter_Width"));
}

TEST_F(FormFilterTest, TheDesignHoldsTheCutOffToHalfTheRateAndDrawsTheResponse) {
  HandOver();
  test::ShowFourChannelRecord(state, *form, 2, 50, Noisy);  // 1000 rows a second
  panel->FilterTypeClick(kFilterLowPass);
  panel->LowPassTypeClick(kLowPassFir);
  panel->EditLowPassFrq->setText("900");
  panel->EditLowPassOrder->setText("-5");
  panel->TabSheetLowPassShow();
  EXPECT_EQ(panel->LabelSampFreq->text().toStdString(), "采样频率=1000.00Hz");
  panel->EditLowPassOrder->setText("21");
  panel->TabSheetRespShow();
  EXPECT_EQ(panel->EditLowPassFrq->text().toStdString(), "500.00");
  ASSERT_TRUE(panel->FirCoefficients.has_value());
  EXPECT_EQ(panel->FirCoefficients->taps, 21);
  const QImage& image = panel->ResponseImage;
  ASSERT_EQ(image.size(), panel->ImageHf->size());
  // The curve starts at gain 1: 100 pixels above the base line.
  EXPECT_EQ(image.pixelColor(0, image.height() - 130), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(image.width() - 1, 0), QColor(Qt::white));

  panel->EditLowPassOrder->setText("-5");
  panel->DesignFirLowPass();
  EXPECT_EQ(panel->EditLowPassOrder->text().toStdString(), "1");
  EXPECT_FALSE(panel->FirCoefficients.has_value());  // one tap is no filter
}

}  // namespace
