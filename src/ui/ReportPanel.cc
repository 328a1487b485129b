#include "ReportPanel.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QUrl>
#include <QVBoxLayout>

#include <string>
#include <utility>

#include "support/IUserMessage.h"

namespace rzt::ui {

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

bool openWithDesktop(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Whether path lies in the temporary folder, which is emptied at reboot.
bool inTemporaryFolder(const QString& path) {
  const QString temp = QDir(QDir::tempPath()).canonicalPath();
  const QString folder = QDir(folderOf(path)).canonicalPath();
  return !temp.isEmpty() && (folder == temp || folder.startsWith(temp + QLatin1Char('/')));
}

}  // namespace

QString copyWorkbook(const QString& from, const QString& to) {
  const QString source = QFileInfo(from).canonicalFilePath();
  if (!source.isEmpty() && source == QFileInfo(to).canonicalFilePath()) return {};
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly)) return in.errorString();
  QSaveFile out(to);
  if (!out.open(QIODevice::WriteOnly)) return out.errorString();
  QByteArray chunk;
  while (!(chunk = in.read(1 << 20)).isEmpty()) {
    if (out.write(chunk) != chunk.size()) {
      out.cancelWriting();
      return out.errorString();
    }
  }
  if (in.error() != QFileDevice::NoError) {
    out.cancelWriting();
    return in.errorString();
  }
  if (!out.commit()) return out.errorString();
  return {};
}

ReportPanel::ReportPanel(IUserMessage& messages, Desktop desktop, QWidget* parent)
    : QGroupBox(QStringLiteral("レポート"), parent), messages_(messages), desktop_(std::move(desktop)) {
  setObjectName(QStringLiteral("fraResult"));
  if (!desktop_.openWorkbook) desktop_.openWorkbook = openWithDesktop;
  if (!desktop_.openFolder) desktop_.openFolder = openWithDesktop;
  if (!desktop_.askSavePath) {
    desktop_.askSavePath = [this](const QString& suggested) {
      QFileDialog dialog(this, QStringLiteral("名前を付けて保存"), suggested,
                         QStringLiteral("Excel ブック (*.xlsx)"));
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setDefaultSuffix(QStringLiteral("xlsx"));
      dialog.selectFile(suggested);
      if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
      return dialog.selectedFiles().front();
    };
  }

  lblResult = new QLabel;
  lblResult->setObjectName(QStringLiteral("lblResult"));
  lblResult->setTextFormat(Qt::PlainText);
  lblResult->setWordWrap(true);
  lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Room for the state and two notes, so that the window does not jump.
  lblResult->setMinimumHeight(lblResult->fontMetrics().lineSpacing() * 3 + 4);
  lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  txtWorkbook = new QLineEdit;
  txtWorkbook->setObjectName(QStringLiteral("txtWorkbook"));
  txtWorkbook->setReadOnly(true);
  cmdOpenWorkbook = new QPushButton(QStringLiteral("開く"));
  cmdOpenWorkbook->setObjectName(QStringLiteral("cmdOpenWorkbook"));
  cmdOpenFolder = new QPushButton(QStringLiteral("フォルダを開く"));
  cmdOpenFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
  cmdSaveAs = new QPushButton(QStringLiteral("名前を付けて保存…"));
  cmdSaveAs->setObjectName(QStringLiteral("cmdSaveAs"));
  for (QPushButton* button : {cmdOpenWorkbook, cmdOpenFolder, cmdSaveAs}) button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(txtWorkbook, 1);
  buttons->addWidget(cmdOpenWorkbook);
  buttons->addWidget(cmdOpenFolder);
  buttons->addWidget(cmdSaveAs);
  auto* body = new QVBoxLayout(this);
  body->addWidget(lblResult);
  body->addLayout(buttons);

  connect(cmdOpenWorkbook, &QPushButton::clicked, this, &ReportPanel::cmdOpenWorkbook_Click);
  connect(cmdOpenFolder, &QPushButton::clicked, this, &ReportPanel::cmdOpenFolder_Click);
  connect(cmdSaveAs, &QPushButton::clicked, this, &ReportPanel::cmdSaveAs_Click);

  showNone(QStringLiteral("解析するとレポートの場所がここに表示されます。"));
}

void ReportPanel::showBusy() { showNone(QStringLiteral("解析しています…")); }

void ReportPanel::showNone(const QString& state) {
  workbook_.clear();
  txtWorkbook->clear();
  lblResult->setText(state);
  enableButtons(false);
}

void ReportPanel::showWorkbook(const std::filesystem::path& path, const QString& state) {
  workbook_ = QFile::decodeName(QByteArray::fromStdString(path.string()));
  txtWorkbook->setText(workbook_);
  txtWorkbook->setCursorPosition(0);
  lblResult->setText(state);
  if (inTemporaryFolder(workbook_)) {
    addNote(QStringLiteral("一時フォルダは再起動で空になります。残すときは「名前を付けて保存…」で保存してください。"));
  }
  enableButtons(true);
}

QString ReportPanel::stateText() const { return lblResult->text(); }

void ReportPanel::addNote(const QString& note) { lblResult->setText(lblResult->text() + QLatin1Char('\n') + note); }

void ReportPanel::enableButtons(bool enabled) {
  for (QPushButton* button : {cmdOpenWorkbook, cmdOpenFolder, cmdSaveAs}) button->setEnabled(enabled);
}

bool ReportPanel::openWorkbook(bool tellByBox) {
  if (workbook_.isEmpty()) return false;
  if (desktop_.openWorkbook(workbook_)) return true;
  const QString failure = QStringLiteral("レポートを開けませんでした: %1").arg(workbook_);
  const QString why = QStringLiteral(".xlsx のファイルを開くアプリケーションが見つからない可能性があります。");
  addNote(failure);
  if (tellByBox) messages_.showCritical(utf8(failure + QLatin1Char('\n') + why));
  return false;
}

void ReportPanel::cmdOpenWorkbook_Click() { openWorkbook(true); }

void ReportPanel::cmdOpenFolder_Click() {
  if (workbook_.isEmpty()) return;
  const QString folder = folderOf(workbook_);
  if (desktop_.openFolder(folder)) return;
  messages_.showCritical(utf8(QStringLiteral("フォルダを開けませんでした: %1").arg(folder)));
}

void ReportPanel::cmdSaveAs_Click() {
  if (workbook_.isEmpty()) return;
  const QString suggested = QDir::home().filePath(QFileInfo(workbook_).fileName());
  const QString target = desktop_.askSavePath(suggested);
  if (target.isEmpty()) return;
  const QString failure = copyWorkbook(workbook_, target);
  if (!failure.isEmpty()) {
    messages_.showCritical(utf8(QStringLiteral("保存できませんでした: %1\n%2").arg(target, failure)));
    return;
  }
  addNote(QStringLiteral("コピーを保存しました: %1").arg(target));
}

}  // namespace rzt::ui
