#include "gui/power_off_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PowerOffDialog::PowerOffDialog(QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Shutting down"));
    setModal(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &PowerOffDialog::tick);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        timer_.stop();
        reject();
    });
}

void PowerOffDialog::start() {
    left_ = kSeconds;
    text_->setText(
        QStringLiteral("Converting has finished. The computer shuts down in %1 s.").arg(left_));
    timer_.start();
    show();
}

void PowerOffDialog::tick() {
    --left_;
    if (left_ <= 0) {
        timer_.stop();
        accept();
        return;
    }
    text_->setText(
        QStringLiteral("Converting has finished. The computer shuts down in %1 s.").arg(left_));
}
