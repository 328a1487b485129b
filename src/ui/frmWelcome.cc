#include "frmWelcome.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

#include "FileControls.h"
#include "analysis/AnalyzerMain.h"
#include "frmAbout.h"
#include "frmOption.h"
#include "frmSplash.h"
#include "java/ModernFileAnalyzer.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace rzt::ui {

namespace {

std::string homeFolder() { return QFile::encodeName(QDir::homePath()).toStdString(); }

}  // namespace

frmWelcome::frmWelcome(QWidget* parent) : frmWelcome(Environment(), parent) {}

frmWelcome::frmWelcome(Environment environment, QWidget* parent)
    : QMainWindow(parent),
      environment_(std::move(environment)),
      boxes_(this),
      statusLine_(*(lblMsg = new QLabel)) {
  setObjectName(QStringLiteral("frmWelcome"));
  setWindowTitle(QStringLiteral("RZT - Java Source Metrics"));

  cmdOption = new QPushButton(QStringLiteral("オプション"));
  cmdOption->setObjectName(QStringLiteral("cmdOption"));
  Frame1 = new QGroupBox(QStringLiteral("解析対象"));
  Frame1->setObjectName(QStringLiteral("Frame1"));
  optFile = new QRadioButton(QStringLiteral("指定のファイル"));
  optFile->setObjectName(QStringLiteral("optFile"));
  optDir = new QRadioButton(QStringLiteral("指定のディレクトリ"));
  optDir->setObjectName(QStringLiteral("optDir"));
  optAllDir = new QRadioButton(QStringLiteral("配下の全ディレクトリ"));
  optAllDir->setObjectName(QStringLiteral("optAllDir"));
  cmdExit = new QPushButton(QStringLiteral("終了"));
  cmdExit->setObjectName(QStringLiteral("cmdExit"));
  filSelect = new FileList;
  filSelect->setObjectName(QStringLiteral("filSelect"));
  dirSelect = new DirectoryList;
  dirSelect->setObjectName(QStringLiteral("dirSelect"));
  drvSelect = new DriveList;
  drvSelect->setObjectName(QStringLiteral("drvSelect"));
  cmdOK = new QPushButton(QStringLiteral("解析実行"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  lblMsg->setObjectName(QStringLiteral("lblMsg"));
  // File and class names must never be taken for markup.
  lblMsg->setTextFormat(Qt::PlainText);
  lblMsg->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  lblMsg->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  lblMsg->setMinimumHeight(lblMsg->fontMetrics().height() + 8);
  lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);

  mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuExit = mnuFile->addAction(QStringLiteral("終了(&X)"));
  mnuExit->setObjectName(QStringLiteral("mnuExit"));
  mnuTool = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
  mnuTool->setObjectName(QStringLiteral("mnuTool"));
  mnuOption = mnuTool->addAction(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
  mnuOption->setObjectName(QStringLiteral("mnuOption"));
  mnuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuAbout = mnuHelp->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
  mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

  auto* choices = new QVBoxLayout(Frame1);
  choices->addWidget(optFile);
  choices->addWidget(optDir);
  choices->addWidget(optAllDir);

  auto* folders = new QVBoxLayout;
  folders->addWidget(drvSelect);
  folders->addWidget(dirSelect, 1);

  auto* commands = new QVBoxLayout;
  commands->addWidget(Frame1);
  commands->addStretch(1);
  commands->addWidget(cmdOK);
  commands->addWidget(cmdOption);
  commands->addWidget(cmdExit);

  auto* lists = new QHBoxLayout;
  lists->addLayout(folders, 3);
  lists->addWidget(filSelect, 3);
  lists->addLayout(commands, 0);

  auto* central = new QWidget;
  auto* body = new QVBoxLayout(central);
  body->addLayout(lists, 1);
  body->addWidget(lblMsg);
  setCentralWidget(central);
  resize(760, 460);
  setWindowIcon(QApplication::windowIcon());

  connect(drvSelect, &DriveList::changed, this, &frmWelcome::drvSelect_Change);
  connect(dirSelect, &DirectoryList::changed, this, &frmWelcome::dirSelect_Change);
  connect(optFile, &QRadioButton::clicked, this, &frmWelcome::optFile_Click);
  connect(optDir, &QRadioButton::clicked, this, &frmWelcome::optDir_Click);
  connect(optAllDir, &QRadioButton::clicked, this, &frmWelcome::optAllDir_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmWelcome::cmdOK_Click);
  connect(cmdOption, &QPushButton::clicked, this, &frmWelcome::cmdOption_Click);
  connect(cmdExit, &QPushButton::clicked, this, &frmWelcome::cmdExit_Click);
  connect(mnuExit, &QAction::triggered, this, &frmWelcome::mnuExit_Click);
  connect(mnuOption, &QAction::triggered, this, &frmWelcome::mnuOption_Click);
  connect(mnuAbout, &QAction::triggered, this, &frmWelcome::mnuAbout_Click);

  Form_Load();
}

frmWelcome::~frmWelcome() = default;

void frmWelcome::Form_Load() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* splash = qobject_cast<frmSplash*>(window)) splash->close();
  }
  // The home folder stands where the start folder was a drive's root.
  drvSelect->selectDrive(homeFolder());
  dirSelect->setPath(homeFolder());
  optDir->setChecked(true);
  optDir_Click();
}

bool frmWelcome::selectDirectory(const std::string& dir) {
  if (dirSelect->setPath(dir)) return true;
  statusLine_.setText("パスが見つかりません: " + dir);
  return false;
}

IUserMessage& frmWelcome::messages() {
  if (environment_.userMessage != nullptr) return *environment_.userMessage;
  return boxes_;
}

frmOption& frmWelcome::optionDialog() {
  if (option_ == nullptr) option_ = new frmOption(this);
  return *option_;
}

// ------------------------------------------------------------ event handlers

void frmWelcome::drvSelect_Change() {
  if (!dirSelect->setPath(drvSelect->drive())) {
    drvSelect->revert();
    messages().showMessage("ドライブが準備されていません");
  }
}

void frmWelcome::dirSelect_Change() {
  filSelect->setPath(dirSelect->path());
  drvSelect->followPath(dirSelect->path());
}

void frmWelcome::optFile_Click() { filSelect->setEnabled(true); }

void frmWelcome::optDir_Click() { filSelect->setEnabled(false); }

void frmWelcome::optAllDir_Click() { filSelect->setEnabled(false); }

void frmWelcome::cmdOption_Click() { optionDialog().exec(); }

void frmWelcome::mnuOption_Click() { cmdOption_Click(); }

void frmWelcome::mnuAbout_Click() {
  auto* about = new frmAbout;
  about->show();
}

void frmWelcome::cmdExit_Click() {
  if (busy_) return;
  close();
}

void frmWelcome::mnuExit_Click() { cmdExit_Click(); }

void frmWelcome::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      cmdOK->click();
      return;
    case Qt::Key_Escape:
      cmdExit->click();
      return;
    default:
      QMainWindow::keyPressEvent(event);
  }
}

void frmWelcome::closeEvent(QCloseEvent* event) {
  // The analysis runs inside this window's handler; it must not vanish under it.
  if (busy_) {
    event->ignore();
    return;
  }
  unloadAll();
  event->accept();
}

void frmWelcome::unloadAll() {
  analyzer.reset();
  outputMgr.reset();
  if (option_ != nullptr) {
    option_->hide();
    delete option_;
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<frmAbout*>(window) != nullptr || qobject_cast<frmSplash*>(window) != nullptr) {
      window->close();
    }
  }
}

// ------------------------------------------------------------- the analysis

void frmWelcome::cmdOK_Click() {
  if (busy_) return;
  busy_ = true;
  // The window takes no input while the analysis runs: input that arrives
  // meanwhile is held back, then dropped on the disabled controls below.
  QWidget* focus = QApplication::focusWidget();
  centralWidget()->setEnabled(false);
  menuBar()->setEnabled(false);

  statusLine_.setText("");
  statusLine_.setLive(true);
  bool analysing = false;
  try {
    if (!analyzer) analyzer = std::make_unique<AnalyzerMain>(statusLine_, messages());
    frmOption& options = optionDialog();
    if (!outputMgr) outputMgr = std::make_unique<OutputMgr>([this] { return makeWorkbook(); });
    // The syntax chosen in the dialog: the modern mode reads a syntax tree,
    // an empty factory brings back the word-level analysis.
    if (options.syntaxIsModern()) {
      analyzer->setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
    } else {
      analyzer->setFileAnalyzerFactory({});
    }
    analyzer->setEncoding(options.encoding());
    // Both halves of keep-going: the driver skips, the report lists.
    analyzer->setKeepGoing(options.keepGoing());
    outputMgr->setKeepGoing(options.keepGoing());
    analyzer->init(outputMgr.get(), options);
    analysing = true;
    if (runAnalysis()) presentWorkbook();
  } catch (const RztError& error) {
    reportError(error.fullDescription(), analysing);
  } catch (const std::exception& error) {
    reportError(error.what(), analysing);
  }
  statusLine_.setLive(false);

  QCoreApplication::processEvents();
  centralWidget()->setEnabled(true);
  menuBar()->setEnabled(true);
  if (focus != nullptr && focus->isEnabled()) focus->setFocus();
  busy_ = false;
}

bool frmWelcome::runAnalysis() {
  if (optFile->isChecked()) {
    const std::string fileName = filSelect->fileName();
    if (fileName.empty()) {
      messages().showMessage("ファイルを選択してください");
      return false;
    }
    analyzer->doAnalysisFile(filSelect->path(), fileName);
    return true;
  }
  if (dirSelect->path().empty()) {
    messages().showMessage("ディレクトリを選択してください");
    return false;
  }
  analyzer->doAnalysisDir(dirSelect->path(), optAllDir->isChecked());
  return true;
}

void frmWelcome::reportError(const std::string& description, bool duringAnalysis) {
  std::string text = description;
  if (duringAnalysis && !analyzer->currentFile().empty()) {
    text += "\n\n解析中のファイル: " + analyzer->currentFile();
  }
  // Whatever was measured before the error is kept in a workbook of its own.
  bool written = false;
  if (duringAnalysis && outputMgr && outputMgr->hasWorkbook()) {
    try {
      outputMgr->finishedWithError();
      written = true;
    } catch (const RztError& error) {
      text += "\n\n" + error.description();
    } catch (const std::exception& error) {
      text += "\n\n" + std::string(error.what());
    }
  }
  if (written) {
    pendingWorkbook_ = partialReportPath(pendingWorkbook_);
    lastWorkbook_ = pendingWorkbook_;
    text += "\n\nそれまでの結果を書き出しました: " + lastWorkbook_.string();
  }
  messages().showCritical(text);
  if (written) presentWorkbook();
}

std::unique_ptr<IWorkbook> frmWelcome::makeWorkbook() {
  pendingWorkbook_ = newWorkbookPath();
  return std::make_unique<XlsxWorkbook>(pendingWorkbook_);
}

std::filesystem::path frmWelcome::newWorkbookPath() const {
  const QString folder = environment_.outputFolder.isEmpty() ? QDir::tempPath() : environment_.outputFolder;
  const std::filesystem::path dir(QFile::encodeName(folder).toStdString());
  const std::string stem =
      "RZT-" + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
  // Two analyses within one second must not write the same file.
  std::filesystem::path path = dir / (stem + ".xlsx");
  for (int n = 2; std::filesystem::exists(path); ++n) {
    path = dir / (stem + "-" + std::to_string(n) + ".xlsx");
  }
  return path;
}

void frmWelcome::presentWorkbook() {
  lastWorkbook_ = pendingWorkbook_;
  const QString path = QFile::decodeName(QByteArray::fromStdString(lastWorkbook_.string()));
  if (outputMgr->excelIsMax()) {
    const bool opened = environment_.openWorkbook
                            ? environment_.openWorkbook(path)
                            : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (opened) return;
  }
  statusLine_.setText(lastWorkbook_.string());
}

}  // namespace rzt::ui
