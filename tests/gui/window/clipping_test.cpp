// Every window, dialog and picker panel of every kind of program, checked for text cut off by
// its room: a visible label, button, radio button, drop-down list or skin text must show its
// text whole, or shortened with "…" and the whole in its tooltip. ctest runs this once more at
// a scale of 1.5 (QT_SCALE_FACTOR), where fonts and rooms round differently.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <functional>

#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "core/profiles/profile_catalog.h"
#include "core/shell/command_guards.h"
#include "core/sources/file_sources.h"
#include "gui/choice_combo.h"
#include "gui/job_list_view.h"
#include "gui/message_log.h"
#include "gui/picker_view.h"
#include "gui/power_off_dialog.h"
#include "gui/skin/skin_object.h"
#include "gui/wrapping_radio_button.h"

using namespace orvex::test;

namespace {

const QChar kEllipsis(0x2026);

QString withoutMnemonics(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

QString describe(const QWidget* w, const QString& text) {
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QLatin1String(w->metaObject()->className()), w->objectName(), text);
}

// A text shown shortened must have the whole in the widget's tooltip.
QString shortenedWithoutTip(const QWidget* w, const QString& shown, const QString& whole) {
    if (shown == whole || w->toolTip().contains(whole)) {
        return {};
    }
    return describe(w, shown) +
           QStringLiteral(" is shortened; its tooltip lacks \"%1\"").arg(whole);
}

QString tooWide(const QWidget* w, const QString& text, int needed, int room) {
    return needed <= room
               ? QString()
               : describe(w, text) + QStringLiteral(" needs %1 px, has %2").arg(needed).arg(room);
}

// Text laid out with `flags` in `room` (lines broken only where the flags allow).
QString overflows(const QWidget* w, const QString& text, const QRect& room, int flags) {
    const QRect need =
        w->fontMetrics().boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX), flags, text);
    if (need.width() > room.width()) {
        return tooWide(w, text, need.width(), room.width());
    }
    const bool lines = (flags & Qt::TextWordWrap) || text.contains(QLatin1Char('\n'));
    if (lines && need.height() > room.height()) {
        return describe(w, text) + QStringLiteral(" needs %1 px of height, has %2")
                                       .arg(need.height())
                                       .arg(room.height());
    }
    return {};
}

QString labelClipped(const QLabel* label) {
    if (label->text().isEmpty() || !label->pixmap().isNull()) {
        return {};
    }
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    }
    if (label->buddy() != nullptr) {
        text = withoutMnemonics(text);
    }
    if (text.contains(kEllipsis) && label->toolTip().isEmpty()) {
        return describe(label, text) + QStringLiteral(" is shortened without a tooltip");
    }
    const int m = label->margin();
    return overflows(label, text, label->contentsRect().adjusted(m, m, -m, -m),
                     label->wordWrap() ? int(Qt::TextWordWrap) : 0);
}

QString buttonClipped(QAbstractButton* button) {
    const QString text = withoutMnemonics(button->text());
    if (text.isEmpty()) {
        return {};
    }
    if (auto* wrapping = qobject_cast<WrappingRadioButton*>(button)) {
        return overflows(button, text, wrapping->textRect(), WrappingRadioButton::kTextFlags);
    }
    QSize content = button->fontMetrics().size(Qt::TextShowMnemonic, text);
    if (!button->icon().isNull()) {
        content += QSize(button->iconSize().width() + 4, 0);
    }
    int needed = 0;
    if (auto* tool = qobject_cast<QToolButton*>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly) {
            return {};
        }
        needed = tool->sizeHint().width();
    } else if (qobject_cast<QPushButton*>(button) != nullptr) {
        // Without its text the style leaves out the least width it gives buttons with one.
        QStyleOptionButton option;
        option.initFrom(button);
        needed = button->style()
                     ->sizeFromContents(QStyle::CT_PushButton, &option, content, button)
                     .width();
    } else {
        needed = button->sizeHint().width();  // check boxes and radio buttons
    }
    return tooWide(button, text, needed, button->width());
}

QString comboClipped(const QComboBox* combo) {
    if (combo->isEditable() || combo->currentText().isEmpty()) {
        return {};
    }
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    // The style draws the entry one pixel in from each side of the field.
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const auto* choice = qobject_cast<const ChoiceCombo*>(combo);
    const QString shown = choice != nullptr ? choice->shownText() : combo->currentText();
    const QString problem = shortenedWithoutTip(combo, shown, combo->currentText());
    return !problem.isEmpty() ? problem
                              : tooWide(combo, shown, combo->fontMetrics().horizontalAdvance(shown),
                                        field.width() - 2);
}

QString clipped(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return labelClipped(label);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return buttonClipped(button);
    }
    if (auto* skin = qobject_cast<SkinObject*>(w)) {
        if (skin->kind() == SkinObjectKind::Text && !skin->text().isEmpty()) {
            return shortenedWithoutTip(w, skin->shownText(), skin->text());
        }
        return {};
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // Each entry in turn, as the user can choose it.
        const int chosen = combo->currentIndex();
        QString first;
        for (int i = 0; i < combo->count() && first.isEmpty(); ++i) {
            combo->setCurrentIndex(i);
            first = comboClipped(combo);
        }
        combo->setCurrentIndex(chosen);
        return first;
    }
    return {};
}

// What is cut in `top` and the widgets it shows.
QStringList clippedIn(QWidget* top) {
    QStringList found;
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        if (w->isVisible() && w->window() == top->window()) {
            const QString why = clipped(w);
            if (!why.isEmpty()) {
                found << why;
            }
        }
    }
    return found;
}

class ClippingCheck : public WindowTest {
  protected:
    // Checks the dialog that opens next, then closes it.
    void checkNextModal(const QString& scene) {
        onNextModal([this, scene](QWidget* dialog) {
            check(scene, dialog);
            dialog->close();
        });
    }
    void check(const QString& scene, QWidget* top) {
        for (const QString& why : clippedIn(top)) {
            found_ << program_ + QStringLiteral(" / ") + scene + QStringLiteral(": ") + why;
        }
        shot(top, QString(program_ + '-' + scene).replace(' ', '-'));
    }
    // The window as full as it gets: a row, the profile with the longest name, long stream names.
    void fill(Tfm_main& w) {
        Session& s = w.session();
        JobList::Row row;
        row.caption = QStringLiteral("A holiday film with a rather long name");
        row.info = {
            QStringLiteral("/videos/holiday.avi"), "1920x1080", "01:02:03", {}, "4000", "192"};
        row.source = FileSource{row.info.source, true, true};
        s.jobs().addRow(row);
        s.jobs().setVisible(true);
        int longest = 1;
        for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
            if (ProfileCatalog::displayNameOf(n).value_or(QString()).size() >
                ProfileCatalog::displayNameOf(longest).value_or(QString()).size()) {
                longest = n;
            }
        }
        s.selection().setCurrentProfile(longest);
        ASSERT_TRUE(s.selection().selectProfile(longest));
        for (ChoiceList* box : {&s.dvdTitles().audioBox(), &s.dvdTitles().subtitleBox()}) {
            box->clear();
            box->addItem(QStringLiteral("Slovenscina AC-3 6ch (0x80)"));
            box->addItem(QStringLiteral("Francais (0x21)"));
            box->setItemIndex(0);
        }
        emit s.problem(QStringLiteral(
            "Not added: /videos/broken-recording-from-the-holiday-trip.mkv (not a video the "
            "encoder can read)"));
    }

    QString program_;
    QStringList found_;
    QStringList shown_;  // the picker panels of the program checked so far
};

TEST_F(ClippingCheck, EveryWindowShowsItsTextsWholeOrShortenedWithTheWholeInItsTooltip) {
    using Scene = std::pair<const char*, std::function<void(Tfm_main&)>>;
    const std::vector<Scene> scenes = {
        {"main window", [this](Tfm_main& w) { check("main window", &w); }},
        {"picker panels",
         [this](Tfm_main& w) {
             // Each category's panel, the second pages and the sub-panels of the video entries.
             ProfilePicker& picker = w.session().picker();
             std::vector<std::function<void()>> moves;
             for (int k = 1; k <= ProfilePicker::kCategories; ++k) {
                 moves.push_back([&picker, k] { picker.moveOverCategory(k); });
             }
             using Page = ProfilePicker::Paging;
             for (const auto& [k, image] : {std::pair{1, Page::Image94},
                                            {1, Page::Image93},
                                            {2, Page::Image2},
                                            {2, Page::Image5}}) {
                 moves.push_back([&picker, k, image] {
                     picker.moveOverCategory(k);
                     picker.clickPaging(image);
                 });
             }
             for (int n : ProfilePicker::entriesOf(ProfilePicker::Video1)) {
                 if (ProfilePicker::entryKind(n) == ProfilePicker::EntryKind::HoverOnly) {
                     moves.push_back([&picker, n] {
                         picker.moveOverCategory(1);
                         picker.moveOverEntry(n);
                     });
                 }
             }
             for (const auto& move : moves) {
                 picker.openPicker(w.session().selection().previousProfile());
                 // A single-panel edition shows its one panel and no categories to point at.
                 if (picker.panel(ProfilePicker::Main).visible) {
                     move();
                 }
                 QTest::qWait(1);
                 for (int p = 0; p < ProfilePicker::PanelCount; ++p) {
                     QWidget* panel = w.picker()->panel(ProfilePicker::Panel(p));
                     if (panel->isVisible() && !shown_.contains(panel->objectName())) {
                         shown_ << panel->objectName();
                         check(panel->objectName(), panel);
                     }
                 }
             }
             picker.hidePicker();
         }},
        {"settings",
         [this](Tfm_main& w) {
             checkNextModal("settings");
             w.session().ui().chooseSettings({FinishAction::PowerOff, 1});
         }},
        {"about",
         [this](Tfm_main& w) {
             checkNextModal("about");
             w.showAbout();
         }},
        {"folder dialog",
         [this](Tfm_main& w) {
             checkNextModal("folder dialog");
             w.session().ui().chooseFolder(QStringLiteral("Select DVD Directory"));
         }},
        {"file dialog",
         [this](Tfm_main& w) {
             checkNextModal("file dialog");
             w.session().ui().chooseFiles();
         }},
        {"message boxes",
         [this](Tfm_main& w) {
             checkNextModal("warning");
             w.session().ui().warning(CommandGuards::kStopPlayText);
             checkNextModal("question");
             w.session().ui().confirm(FileSources::kClearQuestion);
         }},
        {"message log",
         [this](Tfm_main& w) {
             w.messages()->showLog();
             check("message log", w.messages());
             w.messages()->close();
         }},
        {"row details",
         [this](Tfm_main& w) {
             emit w.lv()->rowActivated(0);
             for (QWidget* top : QApplication::topLevelWidgets()) {
                 if (qobject_cast<QMessageBox*>(top) != nullptr && top->isVisible()) {
                     check("row details", top);
                     top->close();
                 }
             }
         }},
        {"power-off countdown",
         [this](Tfm_main& w) {
             // One of its own, tied to nothing that could power the machine off.
             PowerOffDialog countdown(&w);
             countdown.start();
             check("power-off countdown", &countdown);
             countdown.reject();
         }},
    };
    for (const char* program :
         {"orvex", "orvex-dvd", "orvex-kamzu", "orvex-kamzu-dvd", "orvex-ipod"}) {
        program_ = QLatin1String(program);
        shown_.clear();
        Tfm_main& w = start(program_);
        fill(w);
        for (const auto& [name, open] : scenes) {
            SCOPED_TRACE(program_.toStdString() + " / " + name);
            open(w);
        }
        // Every panel the program can show was looked at.
        EXPECT_EQ(shown_.size(), program_ == "orvex-ipod" ? 1 : int(ProfilePicker::PanelCount))
            << program;
    }
    EXPECT_TRUE(found_.isEmpty()) << found_.join('\n').toStdString();
}

}  // namespace
