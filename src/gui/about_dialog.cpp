#include "gui/about_dialog.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "core/shell/help_links.h"
#include "core/shell/machine_requests.h"
#include "gui/app_icon.h"
#include "platform/edition.h"
#include "platform/install/program_files.h"

namespace {

// The link's blue and red, light enough to read on the dark dialog.
QColor linkBlue() {
    return QColor(0x6e, 0xa8, 0xff);
}

QColor linkRed() {
    return QColor(0xff, 0x6b, 0x70);
}

void setColour(QWidget* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

}  // namespace

Tfm_about::Tfm_about(const QString& programFileName, MachineRequests& machine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      programFileName_(programFileName),
      machine_(machine),
      title_(new QLabel(this)),
      version_(new QLabel(this)),
      maker_(new QLabel(this)),
      web_(new QLabel(QStringLiteral("Visit our web"), this)),
      contact_(new QPushButton(QStringLiteral("Contact us "), this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(293, 208);
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon(platform::isDvdEdition(programFileName)).pixmap(48, 48));
    icon->setGeometry(22, 20, 48, 48);
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title_->setFont(bold);
    title_->setGeometry(84, 29, 200, 22);
    version_->setText(QStringLiteral("Version %1").arg(QLatin1String(platform::version())));
    version_->setGeometry(84, 53, 200, 18);
    maker_->setGeometry(22, 92, 260, 30);
    maker_->setWordWrap(true);
    web_->setGeometry(187, 125, 90, 18);
    web_->setCursor(Qt::PointingHandCursor);
    web_->installEventFilter(this);
    setColour(web_, linkBlue());
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Plain);
    setColour(separator, palette().color(QPalette::Light));
    separator->setGeometry(14, 150, 270, 2);
    contact_->setGeometry(41, 165, 90, 26);
    close_->setGeometry(180, 165, 90, 26);
    connect(contact_, &QPushButton::clicked, this,
            [this] { machine_.openAddress(help_links::aboutContactPage()); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void Tfm_about::showAbout() {
    maker_->setText(help_links::makerLineOf(programFileName_));
    title_->setText(help_links::aboutTitleOf(programFileName_));
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().topLeft() + QPoint(160, 100));
    }
    exec();
}

bool Tfm_about::eventFilter(QObject* watched, QEvent* event) {
    if (watched == web_) {
        switch (event->type()) {
            case QEvent::Enter:
                setColour(web_, linkRed());
                break;
            case QEvent::Leave:
                setColour(web_, linkBlue());
                break;
            case QEvent::MouseButtonRelease:
                machine_.openAddress(help_links::siteOf(programFileName_));
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
