// The main window's picture copy: refusal without data, the options dialog,
// the vector picture of the chosen size or the screen's bitmap on the
// clipboard, the marks in the picture, the preview over the paint box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt/QtVectorPicture.h"
#include "platform/RecordingPrintTarget.h"
#include "shell/FormMain.h"
#include "view/MainWindowWithData.h"
#include "view/FormGraphType.h"
#include "view/PaintBox.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

class FormMainPictures : public test::MainWindowWithData {
 protected:
  // A shown main window with a recorder ring of 4 blocks on display, every
  // word at the middle code.
  std::unique_ptr<TFormMain> ShownWithData() {
    auto form = WithData(0, 800, 600);
    std::fill(state.acq.RingBuffer.begin(), state.acq.RingBuffer.end(), uint16_t{0x8000});
    return form;
  }
  // Answers the options dialog: `edit` sets its controls, then OK or Cancel.
  void Answer(bool ok, std::function<void(TFormGraphType&)> edit = {}) {
    ui.modalAnswers.push_back([this, ok, edit](platform::ModalDialog& modal) {
      auto& dialog = dynamic_cast<TFormGraphType&>(modal);
      shownCaption = dialog.windowTitle().toStdString();
      shownCaller = dialog.Caller;
      if (edit) edit(dialog);
      if (!ok) {
        dialog.ButtonCancelClick();
        return platform::kModalCancel;
      }
      dialog.ButtonOKClick();
      return platform::kModalOk;
    });
  }
  static std::function<void(TFormGraphType&)> UserSize(const char* width, const char* height) {
    return [width, height](TFormGraphType& d) {
      d.RadioButtonMetafile->click();
      d.RadioButtonUserSize->click();
      d.EditWidth->setText(width);
      d.EditHeight->setText(height);
    };
  }
  std::vector<platform::ScriptedUiHost::Prompt> Clipboard() const { return ui.PromptsOf(Kind::Clipboard); }
  static QImage Rendered(const platform::QtVectorPicture& picture) { return picture.ToImage(100000); }
  QColor Stored(int row, int slot) const {
    const platform::Color c = platform::Color::FromStored(state.config.ColorPalette[row][slot]);
    return QColor(c.red, c.green, c.blue);
  }

  std::string shownCaption;
  int32_t shownCaller = -1;
};

TEST_F(FormMainPictures, WithoutDataOnlyTheStatusTextSaysSo) {
  auto form = NewMainWindow();
  form->menuCopyWave->trigger();
  EXPECT_EQ(form->PostedStatusText(), "提示：没有波形！");
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FormMainPictures, TheWaveformViewComesFirstThenTheDialogForTheMainWindow) {
  auto form = ShownWithData();
  form->menuViewTextClick();
  ASSERT_EQ(state.wave.ViewMode, 1);
  Answer(false);
  form->menuCopyWaveClick();
  EXPECT_EQ(state.wave.ViewMode, 0);
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormGraphType");
  EXPECT_EQ(shownCaption, "图形格式选项-AD时域波形");
  EXPECT_EQ(shownCaller, 0);
}

TEST_F(FormMainPictures, CancelRepaintsAndCopiesNothing) {
  auto form = ShownWithData();
  state.wave.RepaintRequested = 0;
  Answer(false);
  form->menuCopyWaveClick();
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_TRUE(Clipboard().empty());
}

TEST_F(FormMainPictures, OkWithTheMetafileCopiesAPictureOfTheChosenSize) {
  auto form = ShownWithData();
  state.wave.RepaintRequested = 0;
  Answer(true, UserSize("640", "480"));
  form->menuCopyWaveClick();
  EXPECT_TRUE(form->RepaintRequested());
  ASSERT_EQ(Clipboard().size(), 1u);
  EXPECT_EQ(Clipboard()[0].pictureWidth, 640);
  EXPECT_EQ(Clipboard()[0].pictureHeight, 480);
  EXPECT_EQ(state.config.GraphMetafile, 1);
  EXPECT_EQ(state.config.SizeScreen, 2);
  // The view is drawn into it: not one colour.
  const QImage image = Rendered(form->SharedPicture());
  EXPECT_EQ(image.size(), QSize(640, 480));
  EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 2);
}

TEST_F(FormMainPictures, ScreenAndPrinterPageSizes) {
  auto form = ShownWithData();
  platform::RecordingPrintTarget printer(2480, 3508, 300);
  form->SetPrintTarget(&printer);
  Answer(true, [](TFormGraphType& d) { d.RadioButtonPrinterPage->click(); });
  form->menuCopyWaveClick();
  EXPECT_EQ(form->SharedPicture().Width(), 2480);
  EXPECT_EQ(form->SharedPicture().Height(), 3508);
  EXPECT_EQ(form->SharedPicture().FontResolution(), 300);
  Answer(true, [](TFormGraphType& d) { d.RadioButtonScreen->click(); });
  form->menuCopyWaveClick();
  EXPECT_EQ(form->SharedPicture().Width(), form->Image1->width());
  EXPECT_EQ(form->SharedPicture().Height(), form->Image1->height());
  EXPECT_EQ(form->SharedPicture().FontResolution(), form->OffscreenBitmap().logicalDpiY());
}

TEST_F(FormMainPictures, AUserSizeOfNothingOrMillionsIsHeldWithinSaneSides) {
  auto form = ShownWithData();
  Answer(true, UserSize("0", "2000000"));
  form->menuCopyWaveClick();
  ASSERT_EQ(Clipboard().size(), 1u);
  EXPECT_EQ(Clipboard()[0].pictureWidth, kMinPictureSide);
  EXPECT_EQ(Clipboard()[0].pictureHeight, kMaxPictureSide);
}

TEST_F(FormMainPictures, OkWithTheBitmapCopiesTheScreenWithItsMarks) {
  auto form = ShownWithData();
  Answer(true, [](TFormGraphType& d) { d.RadioButtonBitmap->click(); });
  form->menuCopyWaveClick();
  EXPECT_EQ(state.config.GraphMetafile, 0);
  ASSERT_EQ(Clipboard().size(), 1u);
  EXPECT_EQ(Clipboard()[0].pictureWidth, form->OffscreenBitmap().width());
  EXPECT_EQ(Clipboard()[0].pictureHeight, form->OffscreenBitmap().height());
  // The marks lie in their own layer over the bitmap; the copy has them.
  const QImage* layer = form->MarksLayer();
  ASSERT_NE(layer, nullptr);
  const QImage screen = form->ScreenPicture();
  int marked = 0;
  for (int y = 0; y < layer->height(); y += 7) {
    for (int x = 0; x < layer->width(); ++x) {
      if (layer->pixelColor(x, y).alpha() == 255) {
        ++marked;
        EXPECT_EQ(screen.pixelColor(x, y).rgb(), layer->pixelColor(x, y).rgb());
      }
    }
  }
  EXPECT_GT(marked, 0);
}

TEST_F(FormMainPictures, TheMarksAreInThePictureOnlyWhenIncluded) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  v.Mark1X = v.DisplayWidth / 3;
  form->DrawMarks();
  const QColor yellow = Stored(kPaletteRowWhite, kSlotYellowMark);
  const auto columnHas = [&](const QImage& image, const QColor& colour) {
    int hits = 0;
    for (int x = 0; x < image.width(); ++x) hits += image.pixelColor(x, image.height() - 2) == colour ? 1 : 0;
    return hits;
  };
  for (int32_t include : {1, 0}) {
    Answer(true, [include](TFormGraphType& d) {
      d.RadioButtonMetafile->click();
      d.RadioButtonScreen->click();
      d.RadioButtonColor->click();
      d.CheckBoxBG->setChecked(true);
      d.CheckBoxIncludeInst->setChecked(include == 1);
    });
    form->menuCopyWaveClick();
    // On the bottom row only the plot frame and the marks' lines stand.
    EXPECT_EQ(columnHas(Rendered(form->SharedPicture()), yellow) > 0, include == 1) << include;
  }
}

TEST_F(FormMainPictures, ThePreviewShowsThePictureOverThePaintBoxUntilTheNextDrawing) {
  auto form = ShownWithData();
  Answer(false, [](TFormGraphType& d) {
    d.RadioButtonMetafile->click();
    d.RadioButtonUserSize->click();
    d.EditWidth->setText("3000");
    d.EditHeight->setText("2000");
    d.CheckBoxBG->setChecked(true);
    d.ButtonPreviewClick();
  });
  form->menuCopyWaveClick();
  EXPECT_TRUE(form->ShowsPictureOverImage1());
  EXPECT_EQ(form->SharedPicture().Width(), 3000);
  EXPECT_TRUE(Clipboard().empty());
  // The previewed options stay in force after Cancel.
  EXPECT_EQ(state.config.IDBGWhite, 1);
  // The white-background picture is what the paint box shows, not the
  // screen's black one.
  const QImage shown = form->Image1->grab().toImage();
  EXPECT_EQ(shown.pixelColor(shown.width() / 2, 1), QColor(Qt::white));
  form->RedrawWaveform();
  EXPECT_FALSE(form->ShowsPictureOverImage1());
}

}  // namespace
