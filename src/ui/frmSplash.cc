#include "frmSplash.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "AppInfo.h"
#include "frmWelcome.h"

namespace rzt::ui {

namespace {

QLabel* makeLabel(const char* name, const QString& text, int pointSizeDelta = 0, bool bold = false) {
  auto* label = new QLabel(text);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setPointSize(font.pointSize() + pointSizeDelta);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

frmSplash::frmSplash(std::string startDirectory, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), startDirectory_(std::move(startDirectory)) {
  setObjectName(QStringLiteral("frmSplash"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromLatin1(kAppTitle));

  Frame1 = new QFrame;
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setFrameStyle(QFrame::Box | QFrame::Raised);
  Frame1->setLineWidth(2);

  auto* icon = new QLabel;
  icon->setPixmap(appIcon().pixmap(96, 96));
  icon->setAlignment(Qt::AlignCenter);
  lblCompanyProduct = makeLabel("lblCompanyProduct", displayNameJa(), 2);
  lblProductName = makeLabel("lblProductName", QString(), 18, true);
  Label1 = makeLabel("Label1", displayNameEn(), 1);
  lblVersion = makeLabel("lblVersion", QString(), 1);
  lblWarning = makeLabel("lblWarning", QString());
  lblCompany = makeLabel("lblCompany", makerNotice());

  auto* inner = new QVBoxLayout(Frame1);
  inner->setContentsMargins(36, 24, 36, 24);
  inner->setSpacing(8);
  inner->addWidget(icon);
  inner->addWidget(lblCompanyProduct);
  inner->addWidget(lblProductName);
  inner->addWidget(Label1);
  inner->addWidget(lblVersion);
  inner->addSpacing(12);
  inner->addWidget(lblWarning);
  inner->addWidget(lblCompany);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(Frame1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  Form_Load();
}

void frmSplash::Form_Load() {
  lblVersion->setText(versionText());
  lblProductName->setText(QString::fromLatin1(kAppTitle));
  Timer1->start();
}

void frmSplash::Timer1_Timer() {
  Timer1->stop();
  auto* welcome = new frmWelcome;
  welcome->setAttribute(Qt::WA_DeleteOnClose);
  if (!startDirectory_.empty()) welcome->selectDirectory(startDirectory_);
  welcome->show();
}

}  // namespace rzt::ui
