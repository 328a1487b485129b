#include "frmWelcome.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>
#include <initializer_list>
#include <thread>

#include "FileControls.h"
#include "ReportPanel.h"
#include "analysis/AnalyzerMain.h"
#include "analysis/FileEnumeration.h"
#include "compare/ComparisonSheet.h"
#include "compare/ReportComparer.h"
#include "compare/ReportComparison.h"
#include "compare/ReportReader.h"
#include "frmAbout.h"
#include "frmOption.h"
#include "frmSplash.h"
#include "java/ModernFileAnalyzer.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt::ui {

namespace {

namespace fs = std::filesystem;

constexpr int32_t kEndOfFileError = 500020;
constexpr const char* kNoFiles = "解析対象のファイルが存在しません";
constexpr const char* kModernHint =
    "構文「従来」では、Java 5以降の書き方を含むファイルが途中でEOFに到達することがあります。"
    "オプションの「特殊」で構文を「Java 5以降」にすると、このようなファイルも計測できます。";
// Held-back messages listed in the summary at most.
constexpr size_t kHeldListed = 10;

std::string homeFolder() { return QFile::encodeName(QDir::homePath()).toStdString(); }

std::string bytesOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString textOf(const std::string& s) { return QString::fromStdString(s); }

// A path as typed or pasted: blanks and quotes around it dropped, "~" for
// the home folder, a file URL for its file.
std::string typedPath(QString text) {
  text = text.trimmed();
  if (text.size() >= 2 && (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\'')) &&
      text.back() == text.front()) {
    text = text.mid(1, text.size() - 2);
  }
  if (text.startsWith(QStringLiteral("file://"))) text = QUrl(text).toLocalFile();
  if (text == QStringLiteral("~")) {
    text = QDir::homePath();
  } else if (text.startsWith(QStringLiteral("~/"))) {
    text = QDir::homePath() + text.mid(1);
  }
  return bytesOf(text);
}

// The first local file among dropped data; empty when there is none.
QString droppedPath(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

bool askWithBox(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Question, QString(), question, QMessageBox::Yes | QMessageBox::No, parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

int32_t defaultJobs() {
  const unsigned processors = std::thread::hardware_concurrency();
  return processors > 0 ? static_cast<int32_t>(processors) : 1;
}

}  // namespace

frmWelcome::frmWelcome(QWidget* parent) : frmWelcome(Environment(), parent) {}

frmWelcome::frmWelcome(Environment environment, QWidget* parent)
    : QMainWindow(parent),
      environment_(std::move(environment)),
      boxes_(this),
      analysisMessages_(*this, environment_.userMessage != nullptr ? *environment_.userMessage : boxes_),
      statusLine_(*(lblMsg = new QLabel)),
      settings_(environment_.settingsFile) {
  setObjectName(QStringLiteral("frmWelcome"));
  setWindowTitle(QStringLiteral("RZT - Java Source Metrics"));
  setAcceptDrops(true);

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

  lblPath = new QLabel(QStringLiteral("解析するパス"));
  lblPath->setObjectName(QStringLiteral("lblPath"));
  txtPath = new QLineEdit;
  txtPath->setObjectName(QStringLiteral("txtPath"));
  txtPath->setToolTip(QStringLiteral("フォルダかJavaのファイルのパスを入力するか貼り付けて、Enterで選びます。"
                                     "フォルダやファイルをこのウィンドウにドロップしても選べます。"));
  // A path dropped here is handled by the window, like one dropped anywhere.
  txtPath->setAcceptDrops(false);
  lblPath->setBuddy(txtPath);

  ReportPanel::Desktop desktop;
  desktop.openWorkbook = environment_.openWorkbook;
  desktop.openFolder = environment_.openFolder;
  desktop.askSavePath = environment_.askSavePath;
  fraResult = new ReportPanel(messages(), std::move(desktop));

  prgAnalysis = new QProgressBar;
  prgAnalysis->setObjectName(QStringLiteral("prgAnalysis"));
  prgAnalysis->setFormat(QStringLiteral("%v / %m"));
  prgAnalysis->setRange(0, 1);
  prgAnalysis->setValue(0);
  prgAnalysis->setMaximumWidth(220);
  prgAnalysis->setVisible(false);
  progress_ = std::make_unique<ProgressRelay>(*prgAnalysis);
  cmdStop = new QPushButton(QStringLiteral("中止"));
  cmdStop->setObjectName(QStringLiteral("cmdStop"));
  cmdStop->setAutoDefault(false);
  cmdStop->setEnabled(false);
  cmdStop->setToolTip(QStringLiteral("解析中のファイルが終わったところで止め、途中までのレポートを書き出します。"));

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

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(lblPath);
  pathRow->addWidget(txtPath, 1);

  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(lblMsg, 1);
  statusRow->addWidget(prgAnalysis);
  statusRow->addWidget(cmdStop);

  auto* central = new QWidget;
  auto* body = new QVBoxLayout(central);
  body->addLayout(lists, 1);
  body->addLayout(pathRow);
  body->addWidget(fraResult);
  body->addLayout(statusRow);
  setCentralWidget(central);
  resize(820, 560);
  setWindowIcon(QApplication::windowIcon());

  connect(drvSelect, &DriveList::changed, this, &frmWelcome::drvSelect_Change);
  connect(dirSelect, &DirectoryList::changed, this, &frmWelcome::dirSelect_Change);
  connect(filSelect, &QListWidget::itemSelectionChanged, this, &frmWelcome::updatePathField);
  connect(optFile, &QRadioButton::clicked, this, &frmWelcome::optFile_Click);
  connect(optDir, &QRadioButton::clicked, this, &frmWelcome::optDir_Click);
  connect(optAllDir, &QRadioButton::clicked, this, &frmWelcome::optAllDir_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmWelcome::cmdOK_Click);
  connect(cmdOption, &QPushButton::clicked, this, &frmWelcome::cmdOption_Click);
  connect(cmdExit, &QPushButton::clicked, this, &frmWelcome::cmdExit_Click);
  connect(cmdStop, &QPushButton::clicked, this, &frmWelcome::cmdStop_Click);
  connect(txtPath, &QLineEdit::editingFinished, this, &frmWelcome::txtPath_Change);
  connect(mnuExit, &QAction::triggered, this, &frmWelcome::mnuExit_Click);
  connect(mnuOption, &QAction::triggered, this, &frmWelcome::mnuOption_Click);
  connect(mnuAbout, &QAction::triggered, this, &frmWelcome::mnuAbout_Click);

  Form_Load();
}

frmWelcome::~frmWelcome() {
  if (!worker_) return;
  // Nothing may be left waiting for this window: a box the analysis waits
  // for is dropped, and it stops after the file at work. What it measured
  // is still written, as after a stop.
  analyzer->requestStop();
  analysisMessages_.abandon();
  worker_->wait();
  if (outcome_.kind != Outcome::Kind::kFinished) {
    std::string failure;
    writePartialWorkbook(failure);
  }
}

void frmWelcome::Form_Load() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* splash = qobject_cast<frmSplash*>(window)) splash->close();
  }
  // The home folder stands where the start folder was a drive's root; the
  // folder analysed last comes first when it is still there.
  drvSelect->selectDrive(homeFolder());
  const std::string last = settings_.lastFolder();
  if (last.empty() || !dirSelect->setPath(last)) dirSelect->setPath(homeFolder());
  optDir->setChecked(true);
  optDir_Click();
}

bool frmWelcome::selectDirectory(const std::string& dir) {
  if (dirSelect->setPath(dir)) return true;
  statusLine_.setText("パスが見つかりません: " + dir);
  return false;
}

bool frmWelcome::selectPath(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  bool chosen = false;
  if (fs::is_directory(status)) {
    chosen = selectDirectory(path);
    // A folder is analysed by the folder choices, not the file choice.
    if (chosen && optFile->isChecked()) {
      optDir->setChecked(true);
      optDir_Click();
    }
  } else if (fs::is_regular_file(status)) {
    const fs::path file = fs::absolute(fs::path(path), ec);
    const std::string name = file.filename().string();
    if (!FileEnumeration::isJavaFileName(name)) {
      statusLine_.setText("Javaのファイル(.java)かディレクトリを指定してください: " + path);
    } else if (selectDirectory(file.parent_path().string()) && filSelect->selectFile(name)) {
      optFile->setChecked(true);
      optFile_Click();
      chosen = true;
    }
  } else {
    statusLine_.setText("パスが見つかりません: " + path);
  }
  updatePathField();
  return chosen;
}

std::string frmWelcome::statusText() const { return lblMsg->text().toStdString(); }

IUserMessage& frmWelcome::messages() {
  if (environment_.userMessage != nullptr) return *environment_.userMessage;
  return boxes_;
}

frmOption& frmWelcome::optionDialog() {
  if (option_ == nullptr) option_ = new frmOption(this);
  return *option_;
}

void frmWelcome::updatePathField() {
  std::string path = dirSelect->path();
  if (optFile->isChecked() && !filSelect->fileName().empty()) {
    path = joinPath(filSelect->path(), filSelect->fileName());
  }
  txtPath->setText(displayPath(path));
  txtPath->setCursorPosition(txtPath->text().size());
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
  updatePathField();
}

void frmWelcome::optFile_Click() {
  filSelect->setEnabled(true);
  updatePathField();
}

void frmWelcome::optDir_Click() {
  filSelect->setEnabled(false);
  updatePathField();
}

void frmWelcome::optAllDir_Click() {
  filSelect->setEnabled(false);
  updatePathField();
}

void frmWelcome::txtPath_Change() {
  if (!txtPath->isModified()) return;
  txtPath->setModified(false);
  selectPath(typedPath(txtPath->text()));
}

void frmWelcome::cmdOption_Click() { optionDialog().exec(); }

void frmWelcome::mnuOption_Click() { cmdOption_Click(); }

void frmWelcome::mnuAbout_Click() {
  // One version window, in front of this one.
  if (about_ == nullptr) about_ = new frmAbout(this);
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void frmWelcome::cmdExit_Click() { close(); }

void frmWelcome::mnuExit_Click() { cmdExit_Click(); }

void frmWelcome::cmdStop_Click() {
  if (!worker_ || endPending_) return;
  analyzer->requestStop();
  cmdStop->setEnabled(false);
}

void frmWelcome::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter in the path field chooses the path; it does not start.
      if (focusWidget() == txtPath) return;
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
  if (worker_) {
    // The analysis must not vanish under the window: it is stopped first,
    // and the window closes when it has.
    event->ignore();
    if (closeRequested_ || askingToClose_) return;
    const QString question = QStringLiteral("解析中です。解析を中止して終了しますか？");
    askingToClose_ = true;
    const bool stop = environment_.askYesNo ? environment_.askYesNo(question) : askWithBox(this, question);
    askingToClose_ = false;
    if (stop) {
      closeRequested_ = true;
      cmdStop_Click();
    }
    // An analysis that ended while the question was open ends now, and
    // the window closes at once when the answer was yes.
    if (!endPending_) return;
    concludeAnalysis(false);
    if (!closeRequested_) return;
  }
  unloadAll();
  event->accept();
}

void frmWelcome::dragEnterEvent(QDragEnterEvent* event) {
  if (!worker_ && !droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmWelcome::dropEvent(QDropEvent* event) {
  const QString path = droppedPath(event->mimeData());
  if (worker_ || path.isEmpty()) return;
  event->acceptProposedAction();
  selectPath(bytesOf(path));
}

void frmWelcome::unloadAll() {
  analyzer.reset();
  comparer_.reset();
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
  if (worker_) return;
  statusLine_.setText("");
  // The settings are read here, on the window's thread: the report writer
  // reads the dialog in prepare, which also makes the new workbook.
  try {
    if (!analyzer) {
      analyzer = std::make_unique<AnalyzerMain>(statusLine_, analysisMessages_);
      analyzer->setProgressHandler([this](int32_t done, int32_t total) {
        filesDone_.store(done);
        progress_->setProgress(done, total);
      });
      analyzer->setSkippedFileHandler([this](const SkippedFileRecord& file) { skipped_.push_back(file); });
    }
    frmOption& options = optionDialog();
    if (!outputMgr) {
      outputMgr = std::make_unique<OutputMgr>([this] { return makeWorkbook(); });
      comparer_ = std::make_unique<ReportComparer>(*outputMgr);
    }
    // The syntax chosen in the dialog: the modern mode reads a syntax tree,
    // an empty factory brings back the word-level analysis.
    runModern_ = options.syntaxIsModern();
    if (runModern_) {
      analyzer->setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
    } else {
      analyzer->setFileAnalyzerFactory({});
    }
    analyzer->setEncoding(options.encoding());
    // Both halves of keep-going: the driver skips, the report lists.
    runKeepGoing_ = options.keepGoing();
    analyzer->setKeepGoing(runKeepGoing_);
    outputMgr->setKeepGoing(runKeepGoing_);
    analyzer->setJobs(environment_.jobs > 0 ? environment_.jobs : defaultJobs());
    prepareComparison(options);
    analyzer->init(outputMgr.get(), options);
  } catch (const RztError& error) {
    reportError(error.fullDescription(), error.number(), false);
    return;
  } catch (const std::exception& error) {
    reportError(error.what(), 0, false);
    return;
  }
  Target target;
  if (!chooseTarget(target)) return;
  startAnalysis(target);
}

void frmWelcome::prepareComparison(const frmOption& options) {
  const std::string path = options.comparePath();
  // A report that cannot be read stops here, before anything is analysed.
  comparer_->compareWith(nullptr);
  if (path.empty()) return;
  statusLine_.setText("前回のレポートを読んでいます: " + path);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Cursor and status line are put back however the reading ends, so that a
  // report that could not be read does not stay announced as being read.
  struct RestoreAfterReading {
    StatusLabel& statusLine;
    ~RestoreAfterReading() {
      QApplication::restoreOverrideCursor();
      statusLine.setText("");
    }
  } restore{statusLine_};
  auto earlier = std::make_shared<const ReportModel>(readReport(std::filesystem::path(path)));
  comparer_->compareWith(std::move(earlier),
                         runModern_ ? ReportModel::SyntaxMode::kModern : ReportModel::SyntaxMode::kClassic);
}

bool frmWelcome::chooseTarget(Target& target) {
  if (optFile->isChecked()) {
    target.isFile = true;
    target.fileName = filSelect->fileName();
    if (target.fileName.empty()) {
      messages().showMessage("ファイルを選択してください");
      return false;
    }
    target.dirName = filSelect->path();
    return true;
  }
  target.dirName = dirSelect->path();
  if (target.dirName.empty()) {
    messages().showMessage("ディレクトリを選択してください");
    return false;
  }
  target.subDir = optAllDir->isChecked();
  return true;
}

void frmWelcome::startAnalysis(const Target& target) {
  settings_.setLastFolder(target.dirName);
  skipped_.clear();
  filesDone_.store(0);
  outcome_ = Outcome();
  closeRequested_ = false;
  // While keeping going no box is shown per file; one summary comes at the end.
  analysisMessages_.setHoldBack(runKeepGoing_);
  analysisMessages_.takeHeld();
  setBusy(true);
  worker_.reset(QThread::create([this, target] { analyse(target); }));
  connect(worker_.get(), &QThread::finished, this, &frmWelcome::analysisFinished);
  worker_->start();
}

// On the analysis thread.
void frmWelcome::analyse(const Target& target) {
  const auto fail = [this](const std::string& text, int32_t number) {
    // What fails once the workbook is written and let go is the comparison
    // alone: the report itself is complete.
    std::error_code ec;
    if (!outputMgr->hasWorkbook() && std::filesystem::is_regular_file(pendingWorkbook_, ec)) {
      outcome_.kind = Outcome::Kind::kFinished;
      outcome_.comparisonFailure = text;
      return;
    }
    outcome_.kind = Outcome::Kind::kFailed;
    outcome_.errorNumber = number;
    outcome_.errorText = text;
  };
  try {
    if (target.isFile) {
      analyzer->doAnalysisFile(target.dirName, target.fileName);
    } else {
      analyzer->doAnalysisDir(target.dirName, target.subDir);
    }
    outcome_.kind = Outcome::Kind::kFinished;
  } catch (const AnalysisStopped&) {
    outcome_.kind = Outcome::Kind::kStopped;
  } catch (const RztError& error) {
    fail(error.fullDescription(), error.number());
  } catch (const std::exception& error) {
    fail(error.what(), 0);
  } catch (...) {
    outcome_.kind = Outcome::Kind::kFailed;
    outcome_.errorText = "予期しないエラーが発生しました";
  }
}

void frmWelcome::setBusy(bool busy) {
  if (busy) focusBeforeRun_ = QApplication::focusWidget();
  // The status line, the progress and "中止" stay usable: only what would
  // change the analysis is held still.
  for (QWidget* control : std::initializer_list<QWidget*>{Frame1, dirSelect, drvSelect, txtPath, cmdOK, cmdOption}) {
    control->setEnabled(!busy);
  }
  filSelect->setEnabled(!busy && optFile->isChecked());
  mnuOption->setEnabled(!busy);
  cmdStop->setEnabled(busy);
  if (busy) {
    fraResult->showBusy();
    progress_->start();
    prgAnalysis->setVisible(true);
    setCursor(Qt::BusyCursor);
    return;
  }
  unsetCursor();
  if (focusBeforeRun_ != nullptr && focusBeforeRun_->isEnabled()) focusBeforeRun_->setFocus();
}

void frmWelcome::analysisFinished() {
  // Nothing is shown over the question whether to stop and close.
  if (askingToClose_) {
    endPending_ = true;
    return;
  }
  concludeAnalysis(true);
}

void frmWelcome::concludeAnalysis(bool closeIfRequested) {
  endPending_ = false;
  // The thread has ended: what it wrote is ours to read now.
  worker_->wait();
  worker_.reset();
  const std::vector<GuiThreadUserMessage::Held> held = analysisMessages_.takeHeld();
  analysisMessages_.setHoldBack(false);
  setBusy(false);
  switch (outcome_.kind) {
    case Outcome::Kind::kFinished:
      showFinished(held);
      break;
    case Outcome::Kind::kStopped:
      showStopped();
      break;
    case Outcome::Kind::kFailed:
      reportError(outcome_.errorText, outcome_.errorNumber, true);
      break;
  }
  emit analysisEnded();
  if (closeIfRequested && closeRequested_) close();
}

void frmWelcome::showFinished(const std::vector<GuiThreadUserMessage::Held>& held) {
  lastWorkbook_ = pendingWorkbook_;
  const int32_t total = analyzer->fileTotal();
  const auto skipped = static_cast<int32_t>(skipped_.size());
  QString state;
  if (total == 0) {
    state = QStringLiteral("解析対象のファイルが存在しません。空のレポートを書き出しました。");
  } else {
    state = QStringLiteral("レポートを書き出しました（%1 ファイルを解析）。").arg(total - skipped);
    if (skipped > 0) {
      state += QStringLiteral("解析できなかった %1 ファイルはシート「エラー」に一覧があります。").arg(skipped);
    }
  }
  const Comparison* comparison = comparer_->lastComparison();
  if (comparison != nullptr) {
    state += QStringLiteral("シート「比較」に前回のレポートとの違いがあります。");
  }
  fraResult->showWorkbook(lastWorkbook_, state);
  if (!closeRequested_) {
    const std::string summary = keepGoingSummary(held);
    if (!summary.empty()) messages().showMessage(summary);
    if (!outcome_.comparisonFailure.empty()) {
      messages().showCritical("レポートは書き出しましたが、前回のレポートと比較できませんでした。\n\n" +
                              outcome_.comparisonFailure);
    }
  }
  presentWorkbook();
  // The finished text must not hide that there was nothing to analyse; the
  // comparison's line says what changed since the earlier report.
  if (total == 0) {
    statusLine_.setText(kNoFiles);
  } else if (comparison != nullptr) {
    statusLine_.setText(comparisonSummaryLine(comparison->counts()));
  }
}

void frmWelcome::showStopped() {
  std::string failure;
  const bool written = writePartialWorkbook(failure);
  statusLine_.setText("解析を中止しました");
  if (!written) {
    fraResult->showNone(QStringLiteral("解析を中止しました。レポートは書き出せませんでした。") + textOf(failure));
    return;
  }
  fraResult->showWorkbook(lastWorkbook_, QStringLiteral("途中までのレポートです。解析を中止するまでに終わった "
                                                        "%1 ファイルの結果で、集計はありません。")
                                             .arg(filesDone_.load()));
}

bool frmWelcome::writePartialWorkbook(std::string& failure) {
  if (!outputMgr || !outputMgr->hasWorkbook()) return false;
  try {
    outputMgr->finishedWithError();
  } catch (const RztError& error) {
    failure += "\n\n" + error.description();
    return false;
  } catch (const std::exception& error) {
    failure += "\n\n" + std::string(error.what());
    return false;
  }
  pendingWorkbook_ = partialReportPath(pendingWorkbook_);
  lastWorkbook_ = pendingWorkbook_;
  return true;
}

void frmWelcome::reportError(const std::string& description, int32_t number, bool duringAnalysis) {
  std::string text = description;
  if (duringAnalysis && !analyzer->currentFile().empty()) {
    text += "\n\n解析中のファイル: " + analyzer->currentFile();
  }
  if (duringAnalysis && number == kEndOfFileError && !runModern_) text += std::string("\n\n") + kModernHint;
  // Whatever was measured before the error is kept in a workbook of its own.
  bool written = false;
  if (duringAnalysis) {
    written = writePartialWorkbook(text);
    if (written) {
      text += "\n\nそれまでの結果を書き出しました: " + lastWorkbook_.string();
      fraResult->showWorkbook(lastWorkbook_, QStringLiteral("途中までのレポートです。エラーで解析が終了したため、"
                                                            "エラーまでの結果だけで集計はありません。"));
    } else {
      fraResult->showNone(QStringLiteral("エラーで解析が終了し、レポートは書き出せませんでした。"));
    }
  }
  if (!closeRequested_) messages().showCritical(text);
  if (written) presentWorkbook();
}

std::string frmWelcome::keepGoingSummary(const std::vector<GuiThreadUserMessage::Held>& held) const {
  std::vector<const GuiThreadUserMessage::Held*> listed;
  for (const auto& message : held) {
    // The end-of-file boxes are those of the skipped files, counted below.
    if (message.critical) listed.push_back(&message);
  }
  if (skipped_.empty() && listed.empty()) return {};
  std::string text;
  if (!skipped_.empty()) {
    int32_t endOfFile = 0;
    for (const SkippedFileRecord& file : skipped_) {
      if (file.number == kEndOfFileError) ++endOfFile;
    }
    text = "解析できなかった " + std::to_string(skipped_.size()) + " 個のファイルを飛ばしました。\n" +
           "飛ばしたファイルはレポートのシート「エラー」に一覧があります。";
    if (endOfFile > 0 && !runModern_) {
      text += "\n\nそのうち " + std::to_string(endOfFile) + " 個は解析の途中でEOFに到達したファイルです。" + kModernHint;
    }
  }
  if (!listed.empty()) {
    if (!text.empty()) text += "\n\n";
    text += "解析中のメッセージ " + std::to_string(listed.size()) + " 件は表示を省略しました:";
    for (size_t i = 0; i < listed.size() && i < kHeldListed; ++i) text += "\n" + listed[i]->text;
    if (listed.size() > kHeldListed) text += "\nほか " + std::to_string(listed.size() - kHeldListed) + " 件";
  }
  return text;
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
  // Two analyses within one second must not write the same file, nor the
  // partial report of one the complete report of another.
  std::filesystem::path path = dir / (stem + ".xlsx");
  for (int n = 2; std::filesystem::exists(path) || std::filesystem::exists(partialReportPath(path)); ++n) {
    path = dir / (stem + "-" + std::to_string(n) + ".xlsx");
  }
  return path;
}

void frmWelcome::presentWorkbook() {
  if (outputMgr->excelIsMax() && !closeRequested_) {
    if (fraResult->openWorkbook(false)) return;
  }
  statusLine_.setText(lastWorkbook_.string());
}

}  // namespace rzt::ui
