#include "gui/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/wrapping_radio_button.h"

Tfm_set::Tfm_set(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      group_(new QGroupBox(QStringLiteral("Settings"), this)),
      items_(new QButtonGroup(this)),
      stretch_(new QCheckBox(QStringLiteral("Stretch the picture to the chosen size"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Settings"));
    // Room below the finish actions for the picture's check box.
    setFixedSize(277, 236);
    auto* radios = new QVBoxLayout(group_);
    const char* texts[] = {"Do nothing after converting finished",
                           "Open the target folder after converting finished",
                           "Automatically shutdown after converting finished"};
    for (int index = 0; index < 3; ++index) {
        // The dialog keeps its size; the long choices take two lines.
        auto* item = new WrappingRadioButton(QString::fromLatin1(texts[index]), group_);
        items_->addButton(item, index);
        radios->addWidget(item);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group_);
    stretch_->setToolTip(
        QStringLiteral("Off: the picture keeps its shape inside the chosen size, with black bars "
                       "where the shapes differ.\nOn: the picture fills the chosen size, "
                       "squeezed or widened."));
    layout->addWidget(stretch_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<SettingsChoices> Tfm_set::choose(const SettingsChoices& current) {
    items_->button(static_cast<int>(current.finishAction))->setChecked(true);
    stretch_->setChecked(current.stretch);
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().center() - rect().center());
    }
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return SettingsChoices{finishActionOf(items_->checkedId()), stretch_->isChecked()};
}
