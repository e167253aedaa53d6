#include "view/PictureOptions.h"

#include <algorithm>

#include "common/ConfigBounds.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr int32_t kDefaultUserSide = 100;
constexpr int32_t kDefaultScaleNum = 8;
constexpr int32_t kDefaultLineWidth = 1;

int32_t IntegerOr(const std::string& text, int32_t fallback) { return ParseDialogInteger(text).value_or(fallback); }

}  // namespace

void FillPictureOptionFields(const LiveConfig& config, PictureOptionFields& fields) {
  fields.Metafile = config.GraphMetafile != 0;
  fields.ScreenSize = config.SizeScreen == 0;
  fields.PrinterPage = config.SizeScreen == 1;
  fields.Colour = config.IsColor != 0;
  fields.ScaleNum = std::to_string(config.WMFScaleNum);
  fields.LineWidth = std::to_string(config.WMFLineWidth);
  fields.WhiteBG = config.IDBGWhite != 0;
  fields.IncludeInst = config.IDIncludeInst != 0;
}

void ReadPictureOptions(PictureOptionFields& fields, LiveConfig& config, PictureSize& userSize) {
  config.GraphMetafile = fields.Metafile ? 1 : 0;
  config.SizeScreen = fields.ScreenSize ? 0 : fields.PrinterPage ? 1 : 2;
  userSize.Width = IntegerOr(fields.Width, kDefaultUserSide);
  userSize.Height = IntegerOr(fields.Height, kDefaultUserSide);
  config.IsColor = fields.Colour ? 1 : 0;
  config.WMFScaleNum = std::clamp(IntegerOr(fields.ScaleNum, kDefaultScaleNum), kMinPictureScaleNum, kMaxPictureScaleNum);
  fields.ScaleNum = std::to_string(config.WMFScaleNum);
  config.WMFLineWidth = std::clamp(IntegerOr(fields.LineWidth, kDefaultLineWidth), kMinPictureLineWidth, kMaxPictureLineWidth);
  fields.LineWidth = std::to_string(config.WMFLineWidth);
  config.IDBGWhite = fields.WhiteBG ? 1 : 0;
  config.IDIncludeInst = fields.IncludeInst ? 1 : 0;
}

PictureSize ChoosePictureSize(int32_t sizeScreen, PictureSize screen, PictureSize page, PictureSize user) {
  const PictureSize chosen = sizeScreen == 0 ? screen : sizeScreen == 1 ? page : user;
  return {std::clamp(chosen.Width, kMinPictureSide, kMaxPictureSide),
          std::clamp(chosen.Height, kMinPictureSide, kMaxPictureSide)};
}

}  // namespace quelvar
