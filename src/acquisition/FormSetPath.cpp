#include "acquisition/FormSetPath.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "shell/WindowPlace.h"

namespace quelvar {

TFormSetPath::TFormSetPath(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormSetPath");
  setWindowTitle(QStringLiteral("指定路径"));
  auto* label3 = new QLabel(QStringLiteral("目录:"), this);
  label3->setObjectName("Label3");
  LabelPath = new QLabel(this);
  LabelPath->setObjectName("LabelPath");
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model_->setRootPath(QDir::rootPath());
  DirectoryListBox1 = new QTreeView(this);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  DirectoryListBox1->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) DirectoryListBox1->hideColumn(column);
  DirectoryListBox1->header()->hide();
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonProgPath = new QPushButton(QStringLiteral("运行目录"), this);
  ButtonProgPath->setObjectName("ButtonProgPath");
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(label3);
  pathRow->addWidget(LabelPath, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonProgPath);
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addWidget(DirectoryListBox1, 1);
  layout->addLayout(buttons);
  connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) { LabelPath->setText(model_->filePath(index)); });
  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ButtonProgPath, &QPushButton::clicked, this, [this] { ButtonProgPathClick(); });

  resize(360, 320);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSetPath");
}

TFormSetPath::~TFormSetPath() { FormDestroy(); }

bool TFormSetPath::SetDirectory(const std::string& directory) {
  const QString path = QString::fromStdString(directory);
  if (directory.empty() || !QDir(path).exists()) return false;
  const QModelIndex index = model_->index(QDir(path).absolutePath());
  if (!index.isValid()) return false;
  DirectoryListBox1->setCurrentIndex(index);
  DirectoryListBox1->scrollTo(index);
  LabelPath->setText(QDir(path).absolutePath());
  return true;
}

void TFormSetPath::ButtonProgPathClick() {
  std::string dir = state_.startup.ProgramDir;
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  SetDirectory(dir);
}

void TFormSetPath::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSetPath");
}

}  // namespace quelvar
