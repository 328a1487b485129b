#include "frmAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppInfo.h"

namespace rzt::ui {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

  picIcon = new QLabel;
  picIcon->setObjectName(QStringLiteral("picIcon"));
  picIcon->setPixmap(appIcon().pixmap(64, 64));
  picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  lblTitle = new QLabel(QStringLiteral("(プログラム名)"));
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  QFont titleFont = lblTitle->font();
  titleFont.setPointSize(titleFont.pointSize() + 8);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);
  lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"));
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblDescription = new QLabel(displayNameJa());
  lblDescription->setObjectName(QStringLiteral("lblDescription"));
  lblDescription->setWordWrap(true);
  lblDisclaimer = new QLabel(disclaimer());
  lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
  lblDisclaimer->setWordWrap(true);
  Label1 = new QLabel(makerNotice());
  Label1->setObjectName(QStringLiteral("Label1"));
  cmdOK = new QPushButton(QStringLiteral("OK"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(lblVersion);
  text->addSpacing(8);
  text->addWidget(lblDescription);
  text->addWidget(Label1);

  auto* top = new QHBoxLayout;
  top->addWidget(picIcon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(text, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblDisclaimer, 1);
  bottom->addWidget(cmdOK, 0, Qt::AlignBottom);

  auto* body = new QVBoxLayout(this);
  body->addLayout(top);
  body->addWidget(line);
  body->addLayout(bottom);
  setMinimumWidth(460);

  Form_Load();
}

void frmAbout::Form_Load() {
  setWindowTitle(QStringLiteral("%1のﾊﾞｰｼﾞｮﾝ情報").arg(QString::fromLatin1(kAppTitle)));
  lblVersion->setText(versionText());
  lblTitle->setText(QString::fromLatin1(kAppTitle));
}

void frmAbout::cmdOK_Click() { close(); }

}  // namespace rzt::ui
