#include "view/FormPrintProp.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTabWidget>

#include <algorithm>
#include <vector>

#include "platform/PrintTarget.h"
#include "platform/qt/QtText.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"
#include "view/ColorDialogRules.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormPageProp";
// The designed window; at creation only its place is taken from the store.
constexpr int kDesignedLeft = 240, kDesignedTop = 160, kDesignedWidth = 470, kDesignedHeight = 366;
constexpr int kButtonWidth = 80, kButtonHeight = 25;
// Rows of the picture group: the page count shares the fixed-scale row.
constexpr int kFixedScaleRowTop = 88, kPageCountDesignedTop = 206;

// Graphical editors tried in order for a new cover text: a terminal editor
// ($EDITOR, often $VISUAL too) would wait for a terminal the program lacks.
const char* const kTextEditors[] = {"gedit", "gnome-text-editor", "kate", "mousepad", "xed", "pluma"};

QLabel* NewLabel(QWidget* parent, const char* caption, int left, int top, int width, const char* name = nullptr) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  if (name != nullptr) label->setObjectName(name);
  label->setGeometry(left, top, width, 22);
  return label;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, int left, int top, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(left, top, width, 22);
  return edit;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  box->setGeometry(left, top, width, 22);
  return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(left, top, width, kButtonHeight);
  return button;
}

// A file name in a sunken panel; the whole path is also its hint, for a
// path longer than the panel.
QLabel* NewFileLabel(QWidget* parent, const char* name, int top) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setGeometry(120, top, 310, 22);
  return label;
}

std::string S(const QString& text) { return text.toStdString(); }

void SetFileLabel(QLabel* label, const std::string& path) {
  label->setText(Q(path));
  label->setToolTip(Q(path));
}

QAction* NewItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  return item;
}

}  // namespace

TFormPrintProp::TFormPrintProp(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui), printerSetup_([this] { return ui_.PrinterSetup(); }) {
  setObjectName("FormPrintProp");
  setWindowTitle(QStringLiteral("打印输出设置"));

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(8, 8, kDesignedWidth - 20, kDesignedHeight - 8 - kButtonHeight - 10 - 8);

  // Content.
  TabSheetContent = new QWidget;
  TabSheetContent->setObjectName("TabSheetContent");
  PageControl1->addTab(TabSheetContent, QStringLiteral("内容属性"));
  QWidget* t = TabSheetContent;
  NewLabel(t, "文字行间距(cm)", 16, 12, 100);
  EditLineSpace = NewEdit(t, "EditLineSpace", 120, 12, 60);
  GroupBoxWave = new QGroupBox(QStringLiteral("图形打印属性"), t);
  GroupBoxWave->setObjectName("GroupBoxWave");
  GroupBoxWave->setGeometry(8, 44, 426, 236);
  QWidget* g = GroupBoxWave;
  CheckBoxWaveColor = NewCheckBox(g, "CheckBoxWaveColor", "彩色图形", 12, 24, 110);
  CheckBoxIncludeInst = NewCheckBox(g, "CheckBoxIncludeInst", "包含瞬时标线", 130, 24, 130);
  CheckBoxFixScale = NewCheckBox(g, "CheckBoxFixScale", "固定比例", 280, 24, 110);
  NewLabel(g, "波形刻度轴数", 12, 56, 90);
  EditScaleNum = NewEdit(g, "EditScaleNum", 104, 56, 56);
  NewLabel(g, "线宽", 220, 56, 34);
  EditLineWidth = NewEdit(g, "EditLineWidth", 256, 56, 56);
  LabelPerPoint = NewLabel(g, "每", 12, kFixedScaleRowTop, 18, "LabelPerPoint");
  EditPerPoint = NewEdit(g, "EditPerPoint", 32, kFixedScaleRowTop, 56);
  LabelPoints = NewLabel(g, "cm波形代表:", 92, kFixedScaleRowTop, 82, "LabelPoints");
  EditPerTime = NewEdit(g, "EditPerTime", 176, kFixedScaleRowTop, 72);
  LabelPerTime = NewLabel(g, "采样时间(ms):", 252, kFixedScaleRowTop, 110, "LabelPerTime");
  LabelWavePage = NewLabel(g, "满页打印页数：", 12, kPageCountDesignedTop, 100, "LabelWavePage");
  EditWavePage = NewEdit(g, "EditWavePage", 116, kPageCountDesignedTop, 56);
  LabelPageWidth = NewLabel(g, "", 12, 124, 400, "LabelPageWidth");
  LabelNumSamp = NewLabel(g, "", 12, 150, 400, "LabelNumSamp");
  LabelActualPages = NewLabel(g, "", 12, 176, 400, "LabelActualPages");

  // Page.
  TabSheetPage = new QWidget;
  TabSheetPage->setObjectName("TabSheetPage");
  PageControl1->addTab(TabSheetPage, QStringLiteral("页面设置"));
  t = TabSheetPage;
  LabelPrinterName = NewLabel(t, "打印机名称：缺省打印机", 16, 12, 410, "LabelPrinterName");
  ButtonPrinterProperty = NewButton(t, "ButtonPrinterProperty", "打印机设置", 16, 42, 110);
  ButtonSelectFont = NewButton(t, "ButtonSelectFont", "打印机字体", 136, 42, 110);
  ButtonWMFFont = NewButton(t, "ButtonWMFFont", "设置波形字体", 256, 42, 110);
  NewLabel(t, "页边距(cm):上", 16, 90, 96);
  EditPageSpaceUp = NewEdit(t, "EditPageSpaceUp", 114, 90, 52);
  NewLabel(t, "下", 176, 90, 16);
  EditPageSpaceBottom = NewEdit(t, "EditPageSpaceBottom", 194, 90, 52);
  NewLabel(t, "左", 256, 90, 16);
  EditPageSpaceLeft = NewEdit(t, "EditPageSpaceLeft", 274, 90, 52);
  NewLabel(t, "右", 336, 90, 16);
  EditPageSpaceRight = NewEdit(t, "EditPageSpaceRight", 354, 90, 52);
  NewLabel(t, "页眉文字:", 16, 136, 70);
  EditPageHeader = NewEdit(t, "EditPageHeader", 88, 136, 200);
  CheckBoxDate = NewCheckBox(t, "CheckBoxDate", "包含打印日期", 298, 136, 130);
  NewLabel(t, "页脚文字:", 16, 172, 70);
  EditPageFooter = NewEdit(t, "EditPageFooter", 88, 172, 200);
  CheckBoxPageNo = NewCheckBox(t, "CheckBoxPageNo", "包含页号", 298, 172, 130);

  // Cover.
  TabSheetCover = new QWidget;
  TabSheetCover->setObjectName("TabSheetCover");
  PageControl1->addTab(TabSheetCover, QStringLiteral("封面设置"));
  t = TabSheetCover;
  CheckBoxAutoCover = NewCheckBox(t, "CheckBoxAutoCover", "自动打印封面页", 16, 14, 160);
  ButtonSpecialPrint = NewButton(t, "ButtonSpecialPrint", "专用封面打印", 310, 12, 120);
  ButtonSpecialPrint->setToolTip(QStringLiteral("使用专用封面程序进行打印"));
  ButtonSelectTextFile = NewButton(t, "ButtonSelectTextFile", "文本封面", 12, 56, 100);
  NewLabel(t, "(缺省)文本封面文件：", 120, 58, 180);
  ButtonCreateTextFile = NewButton(t, "ButtonCreateTextFile", "建立文本", 330, 56, 100);
  LabelTextFile = NewFileLabel(t, "LabelTextFile", 86);
  ButtonSelectProgram = NewButton(t, "ButtonSelectProgram", "封面打印程序", 12, 130, 100);
  NewLabel(t, "专用封面打印程序：", 120, 132, 180);
  LabelProgFile = NewFileLabel(t, "LabelProgFile", 160);
  ButtonSelectDataFile = NewButton(t, "ButtonSelectDataFile", "封面数据文件", 12, 204, 100);
  NewLabel(t, "专用封面文件名：", 120, 206, 180);
  LabelDataFile = NewFileLabel(t, "LabelDataFile", 234);

  // Buttons.
  const int buttonTop = kDesignedHeight - 8 - kButtonHeight;
  ButtonOK = NewButton(this, "ButtonOK", "确认", 100, buttonTop, kButtonWidth);
  ButtonOK->setDefault(true);
  ButtonPreview = NewButton(this, "ButtonPreview", "打印预览", 195, buttonTop, kButtonWidth);
  ButtonCancel = NewButton(this, "ButtonCancel", "取消", 290, buttonTop, kButtonWidth);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  menuPreviewScale = NewItem(PopupMenu1, "menuPreviewScale", "按比例显示");
  menuPreviewScale->setCheckable(true);
  PopupMenu1->addSeparator();
  menuPreviewPrevPage = NewItem(PopupMenu1, "menuPreviewPrevPage", "上一页");
  menuPreviewNextPage = NewItem(PopupMenu1, "menuPreviewNextPage", "下一页");
  menuPreviewFirstPage = NewItem(PopupMenu1, "menuPreviewFirstPage", "首页");
  menuPreviewLastPage = NewItem(PopupMenu1, "menuPreviewLastPage", "末页");
  ButtonPreview->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ButtonPreview, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(ButtonPreview->mapToGlobal(at)); });
  SetPreviewCommand(nullptr);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonPreview, &QPushButton::clicked, this, [this] { ButtonPreviewClick(); });
  connect(menuPreviewScale, &QAction::triggered, this, [this] {
    // The menu has toggled the mark already; the handler does that itself.
    menuPreviewScale->setChecked(!menuPreviewScale->isChecked());
    menuPreviewScaleClick();
  });
  connect(menuPreviewPrevPage, &QAction::triggered, this, [this] { menuPreviewPrevPageClick(); });
  connect(menuPreviewNextPage, &QAction::triggered, this, [this] { menuPreviewNextPageClick(); });
  connect(menuPreviewFirstPage, &QAction::triggered, this, [this] { menuPreviewFirstPageClick(); });
  connect(menuPreviewLastPage, &QAction::triggered, this, [this] { menuPreviewLastPageClick(); });
  connect(CheckBoxFixScale, &QCheckBox::clicked, this, [this] { CheckBoxFixScaleClick(); });
  connect(CheckBoxAutoCover, &QCheckBox::clicked, this, [this] { CheckBoxAutoCoverClick(); });
  connect(EditPerPoint, &QLineEdit::editingFinished, this, [this] { EditPerPointExit(); });
  connect(EditPerTime, &QLineEdit::editingFinished, this, [this] { EditPerTimeExit(); });
  connect(EditPageSpaceLeft, &QLineEdit::editingFinished, this, [this] { EditPageSpaceLeftExit(); });
  connect(EditPageSpaceRight, &QLineEdit::editingFinished, this, [this] { EditPageSpaceRightExit(); });
  connect(EditWavePage, &QLineEdit::editingFinished, this, [this] { EditWavePageExit(); });
  connect(EditPerTime, &QLineEdit::textChanged, this, [this] { EditPerTimeChange(); });
  connect(EditPerPoint, &QLineEdit::textChanged, this, [this] { EditPerPointChange(); });
  connect(ButtonPrinterProperty, &QPushButton::clicked, this, [this] { ButtonPrinterPropertyClick(); });
  connect(ButtonSelectFont, &QPushButton::clicked, this, [this] { ButtonSelectFontClick(); });
  connect(ButtonWMFFont, &QPushButton::clicked, this, [this] { ButtonWMFFontClick(); });
  connect(ButtonSelectTextFile, &QPushButton::clicked, this, [this] { ButtonSelectTextFileClick(); });
  connect(ButtonSelectProgram, &QPushButton::clicked, this, [this] { ButtonSelectProgramClick(); });
  connect(ButtonSelectDataFile, &QPushButton::clicked, this, [this] { ButtonSelectDataFileClick(); });
  connect(ButtonSpecialPrint, &QPushButton::clicked, this, [this] { ButtonSpecialPrintClick(); });
  connect(ButtonCreateTextFile, &QPushButton::clicked, this, [this] { ButtonCreateTextFileClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormPrintProp::~TFormPrintProp() { FormDestroy(); }

void TFormPrintProp::SetPreviewCommand(std::function<void()> command) {
  previewCommand_ = std::move(command);
  const bool built = static_cast<bool>(previewCommand_);
  for (QAction* item : {menuPreviewPrevPage, menuPreviewNextPage, menuPreviewFirstPage, menuPreviewLastPage}) {
    item->setEnabled(built);
  }
  ButtonPreview->setEnabled(built);
}

void TFormPrintProp::FormCreate() {
  LoadPrintSettings(registry_, state_.startup.AppKeyName, state_.config, state_.print);
  menuPreviewScale->setChecked(state_.print.WavePrintPreviewScale != 0);
  // The place only: the dialog keeps its designed size.
  WindowGeometry place = CurrentWindowPlace(*this);
  ReadWindowGeometry(registry_, state_.startup.AppKeyName, kGeometryPrefix, place);
  place.Width = kDesignedWidth;
  place.Height = kDesignedHeight;
  place = OpeningPlace(place, DesktopScreens(), FrameMargins{});
  move(place.Left, place.Top);
  // The page count and the fixed-scale pair share a row; one is shown at a time.
  LabelWavePage->move(LabelWavePage->x(), kFixedScaleRowTop);
  EditWavePage->move(EditWavePage->x(), kFixedScaleRowTop);
  state_.print.CoverProgramRan = 0;
}

void TFormPrintProp::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SavePrintSettings(registry_, state_.startup.AppKeyName, state_.config, state_.print);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormPrintProp::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TFormPrintProp::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TFormPrintProp::FormShow() {
  SetEdits(PrintPropEditsOf(state_.config, state_.print));
  ShowPrinterName();
  CheckBoxFixScaleClick();
  UpdatePageModel();
  state_.print.CoverProgramRan = 0;
  UpdatePreviewHint();
}

void TFormPrintProp::FormResize() {
  const int top = std::max(height() - 8 - ButtonOK->height(), 0);
  for (QPushButton* button : {ButtonOK, ButtonPreview, ButtonCancel}) button->move(button->x(), top);
  PageControl1->resize(std::max(width() - PageControl1->x() - 12, 0), std::max(top - 10 - PageControl1->y(), 0));
}

void TFormPrintProp::ShowPrinterName() {
  LabelPrinterName->setText(Q(PrinterNameCaption(printer_ != nullptr ? printer_->PrinterName() : std::string())));
}

std::optional<PrintPage> TFormPrintProp::Page() const {
  if (printer_ == nullptr) return std::nullopt;
  return PrintPage{printer_->PageWidth(), printer_->PageHeight(), printer_->PixelsPerInchX()};
}

void TFormPrintProp::SetEdits(const PrintPropEdits& e) {
  EditPageHeader->setText(Q(e.PageHeader));
  EditPageFooter->setText(Q(e.PageFooter));
  CheckBoxDate->setChecked(e.IncludeDate);
  CheckBoxPageNo->setChecked(e.IncludePageNo);
  EditScaleNum->setText(Q(e.ScaleNum));
  EditPageSpaceLeft->setText(Q(e.PageSpaceLeft));
  EditPageSpaceRight->setText(Q(e.PageSpaceRight));
  EditPageSpaceUp->setText(Q(e.PageSpaceUp));
  EditPageSpaceBottom->setText(Q(e.PageSpaceBottom));
  EditLineSpace->setText(Q(e.LineSpace));
  EditWavePage->setText(Q(e.WavePage));
  CheckBoxWaveColor->setChecked(e.WaveColor);
  CheckBoxIncludeInst->setChecked(e.IncludeInst);
  CheckBoxFixScale->setChecked(e.FixScale);
  EditPerPoint->setText(Q(e.PerPoint));
  EditPerTime->setText(Q(e.PerTime));
  EditLineWidth->setText(Q(e.LineWidth));
  CheckBoxAutoCover->setChecked(e.AutoCover);
  SetFileLabel(LabelTextFile, e.TextFile);
  SetFileLabel(LabelProgFile, e.ProgFile);
  SetFileLabel(LabelDataFile, e.DataFile);
}

PrintPropEdits TFormPrintProp::Edits() const {
  PrintPropEdits e;
  e.PageHeader = S(EditPageHeader->text());
  e.PageFooter = S(EditPageFooter->text());
  e.IncludeDate = CheckBoxDate->isChecked();
  e.IncludePageNo = CheckBoxPageNo->isChecked();
  e.ScaleNum = S(EditScaleNum->text());
  e.PageSpaceLeft = S(EditPageSpaceLeft->text());
  e.PageSpaceRight = S(EditPageSpaceRight->text());
  e.PageSpaceUp = S(EditPageSpaceUp->text());
  e.PageSpaceBottom = S(EditPageSpaceBottom->text());
  e.LineSpace = S(EditLineSpace->text());
  e.WavePage = S(EditWavePage->text());
  e.WaveColor = CheckBoxWaveColor->isChecked();
  e.IncludeInst = CheckBoxIncludeInst->isChecked();
  e.FixScale = CheckBoxFixScale->isChecked();
  e.PerPoint = S(EditPerPoint->text());
  e.PerTime = S(EditPerTime->text());
  e.LineWidth = S(EditLineWidth->text());
  e.AutoCover = CheckBoxAutoCover->isChecked();
  e.TextFile = S(LabelTextFile->text());
  e.ProgFile = S(LabelProgFile->text());
  e.DataFile = S(LabelDataFile->text());
  return e;
}

void TFormPrintProp::ReadSettings() {
  SetEdits(ReadPrintSettings(Edits(), Page(), state_.config, state_.print));
}

void TFormPrintProp::UpdatePageModel() {
  PageModelInput in;
  in.PageSpaceLeft = S(EditPageSpaceLeft->text());
  in.PageSpaceRight = S(EditPageSpaceRight->text());
  in.PerPoint = S(EditPerPoint->text());
  in.PerTime = S(EditPerTime->text());
  in.WavePage = S(EditWavePage->text());
  in.FixedScale = CheckBoxFixScale->isChecked();
  in.Page = Page().value_or(PrintPage{});
  in.ChannelRate = state_.config.ChannelRate;
  in.ScaleOut = state_.wave.Options.ScaleOut;
  in.PictureLabelWidth = pictureLabelWidth_ ? pictureLabelWidth_() : state_.labels.PictureLabelWidth;
  in.DisplayWidth = state_.wave.DisplayWidth;
  in.MaxMultiFreq = state_.layout.MaxMultiFreq;
  in.Start = state_.wave.XPosition;
  in.DispPoints = state_.display.DispValid != 0 ? state_.display.DispPoints : 0;
  const PageModelTexts t = quelvar::UpdatePageModel(in, state_.config, state_.print);
  LabelPageWidth->setText(Q(t.PageWidth));
  LabelNumSamp->setText(Q(t.NumSamp));
  LabelActualPages->setText(Q(t.ActualPages));
  LabelPerTime->setToolTip(Q(t.PerTimeLabelHint));
  EditPerTime->setToolTip(Q(t.PerTimeEditHint));
  UpdatePreviewHint();
}

void TFormPrintProp::UpdatePreviewHint() { ButtonPreview->setToolTip(Q(quelvar::UpdatePreviewHint(state_.print))); }

void TFormPrintProp::ButtonOKClick() {
  ReadSettings();
  accept();
}

// The edited settings stay in force; only the print is not made.
void TFormPrintProp::ButtonCancelClick() {
  ReadSettings();
  reject();
}

void TFormPrintProp::ButtonPreviewClick() {
  if (!previewCommand_) return;
  ReadSettings();
  UpdatePreviewHint();
  previewCommand_();
}

void TFormPrintProp::StepPreview(int32_t page) {
  if (!previewCommand_) return;
  state_.print.PreviewPage = page;
  UpdatePreviewHint();
  ButtonPreviewClick();
}

void TFormPrintProp::menuPreviewPrevPageClick() {
  if (!previewCommand_) return;
  ReadSettings();
  StepPreview(state_.print.PreviewPage - 1);
}

void TFormPrintProp::menuPreviewNextPageClick() {
  if (!previewCommand_) return;
  ReadSettings();
  StepPreview(state_.print.PreviewPage + 1);
}

void TFormPrintProp::menuPreviewFirstPageClick() {
  if (!previewCommand_) return;
  ReadSettings();
  StepPreview(0);
}

void TFormPrintProp::menuPreviewLastPageClick() {
  if (!previewCommand_) return;
  ReadSettings();
  StepPreview(state_.print.PrintPageCount - 1);
}

void TFormPrintProp::menuPreviewScaleClick() {
  menuPreviewScale->setChecked(!menuPreviewScale->isChecked());
  state_.print.WavePrintPreviewScale = menuPreviewScale->isChecked() ? 1 : 0;
}

void TFormPrintProp::CheckBoxFixScaleClick() {
  const bool fixed = CheckBoxFixScale->isChecked();
  LabelWavePage->setVisible(!fixed);
  EditWavePage->setVisible(!fixed);
  for (QWidget* w : std::initializer_list<QWidget*>{LabelPerPoint, EditPerPoint, LabelPoints, LabelPerTime, EditPerTime,
                                                    LabelActualPages, LabelNumSamp}) {
    w->setVisible(fixed);
  }
  UpdatePageModel();
}

void TFormPrintProp::CheckBoxAutoCoverClick() { state_.config.IDAutoCover = CheckBoxAutoCover->isChecked() ? 1 : 0; }

void TFormPrintProp::ButtonPrinterPropertyClick() {
  if (printerSetup_) printerSetup_();
  ShowPrinterName();
  // The page size may have changed.
  UpdatePageModel();
}

void TFormPrintProp::ButtonSelectFontClick() {
  LiveConfig& c = state_.config;
  const platform::FontChoice current = FontChoiceOf(c.PrinterFontName, c.PrinterFontSize, c.PrinterFontStyle);
  TakeFontChoice(ui_.ChooseFont(current).value_or(current), c.PrinterFontName, c.PrinterFontSize, c.PrinterFontStyle);
}

void TFormPrintProp::ButtonWMFFontClick() {
  LiveConfig& c = state_.config;
  const platform::FontChoice current = FontChoiceOf(c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
  TakeFontChoice(ui_.ChooseFont(current).value_or(current), c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
}

void TFormPrintProp::ChooseFile(QLabel* label, const platform::FileDialogRequest& request) {
  platform::FileDialogRequest r = request;
  r.fileName = S(label->text());
  r.mustExist = true;
  if (const std::optional<std::string> chosen = ui_.OpenFileName(r)) SetFileLabel(label, *chosen);
}

void TFormPrintProp::ButtonSelectTextFileClick() {
  platform::FileDialogRequest r;
  r.title = "选定封面文本文件名";
  r.defaultExt = "TXT";
  r.filter = "封面文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*";
  ChooseFile(LabelTextFile, r);
}

void TFormPrintProp::ButtonSelectProgramClick() {
  platform::FileDialogRequest r;
  r.title = "选定封面打印程序名";
  // No default extension: programs here carry none, and one appended would
  // name a file that does not exist.
  r.filter = "封面打印程序(*.exe)|*.exe";
  ChooseFile(LabelProgFile, r);
}

void TFormPrintProp::ButtonSelectDataFileClick() {
  platform::FileDialogRequest r;
  r.title = "选定封面打印程序用数据文件名";
  r.filter = "文本文件 (*.txt)|*.txt|Word文件 (*.doc)|*.doc|所有文件 (*.*)|*.*";
  ChooseFile(LabelDataFile, r);
}

void TFormPrintProp::ButtonSpecialPrintClick() {
  // The program and data file of the last reading of the dialog.
  const PrintState& p = state_.print;
  if (p.CoverPageProgFile.empty()) return;
  std::vector<std::string> arguments;
  if (!p.CoverPageDataFile.empty()) arguments.push_back(p.CoverPageDataFile);
  // A program that did not start printed no cover: the next print keeps its own.
  if (!ui_.StartProgram(p.CoverPageProgFile, arguments, false)) {
    ui_.MessageBox("无法启动专用封面打印程序：" + p.CoverPageProgFile, S(windowTitle()), platform::MsgButtons::Ok,
                   platform::MsgIcon::Warning);
    return;
  }
  state_.print.CoverProgramRan = 1;
}

void TFormPrintProp::ButtonCreateTextFileClick() {
  for (const char* editor : kTextEditors) {
    if (ui_.StartProgram(editor, {}, true)) return;
  }
  ui_.MessageBox("无法启动文本编辑器", S(windowTitle()), platform::MsgButtons::Ok, platform::MsgIcon::Warning);
}

}  // namespace quelvar
