#include "gui/settings_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/engine/jobs_at_once.h"

#include "gui/wrapping_radio_button.h"

Tfm_set::Tfm_set(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      group_(new QGroupBox(QStringLiteral("Settings"), this)),
      items_(new QButtonGroup(this)),
      stretch_(new QCheckBox(QStringLiteral("Stretch the picture to the chosen size"), this)),
      jobs_(new QComboBox(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Settings"));
    // Room below the finish actions for the picture's check box and the jobs at once.
    setFixedSize(277, 272);
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
    jobs_->addItem(QStringLiteral("Automatic"));
    for (int n = 1; n <= JobsAtOnce::cores(); ++n) {
        jobs_->addItem(QString::number(n));
    }
    jobs_->setToolTip(
        QStringLiteral("How many files are converted side by side. Automatic runs as many as "
                       "the processor's cores hold for the chosen profile, and one at a time "
                       "from a disc drive."));
    auto* jobsLabel = new QLabel(QStringLiteral("Jobs at once:"), this);
    jobsLabel->setBuddy(jobs_);
    auto* jobsRow = new QHBoxLayout;
    jobsRow->addWidget(jobsLabel);
    jobsRow->addWidget(jobs_, 1);
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
    layout->addLayout(jobsRow);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<SettingsChoices> Tfm_set::choose(const SettingsChoices& current) {
    items_->button(static_cast<int>(current.finishAction))->setChecked(true);
    // A count saved on a larger machine shows as this one's most.
    jobs_->setCurrentIndex(std::clamp(current.jobsAtOnce, 0, jobs_->count() - 1));
    stretch_->setChecked(current.stretch);
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().center() - rect().center());
    }
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return SettingsChoices{finishActionOf(items_->checkedId()), stretch_->isChecked(),
                           jobs_->currentIndex()};
}
