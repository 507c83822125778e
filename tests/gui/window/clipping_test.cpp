// Every window, dialog and picker panel of five programs, checked for text cut off by its room:
// a visible label, button, radio button, drop-down list or skin text shows its text whole, or
// shortened with "…" and the whole in its tooltip. ctest runs it again at QT_SCALE_FACTOR 1.5.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStyleOptionComboBox>
#include <functional>

#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "core/profiles/profile_catalog.h"
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

QString withoutMnemonics(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));  // "&&" shows "&"
}

// Why the visible widget `w` shows its text cut, or nothing.
QString clipped(QWidget* w) {
    QString shown;
    QString whole;
    QRect room = w->contentsRect();
    int flags = 0;
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && label->pixmap().isNull()) {
        shown = whole = label->buddy() != nullptr ? withoutMnemonics(label->text()) : label->text();
        const int m = label->margin();
        room.adjust(m, m, -m, -m);
        flags = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
    } else if (auto* wrapping = qobject_cast<WrappingRadioButton*>(w)) {
        shown = whole = wrapping->text();
        room = wrapping->textRect();
        flags = WrappingRadioButton::kTextFlags;
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        // The room is what the button's own size leaves its text beside frame, indicator and
        // icon, the text measured as the button measures it.
        shown = whole = withoutMnemonics(button->text());
        const int text = w->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
        room.setWidth(w->width() - (button->sizeHint().width() - text));
    } else if (auto* combo = qobject_cast<QComboBox*>(w);
               combo != nullptr && !combo->isEditable()) {
        const auto* choice = qobject_cast<ChoiceCombo*>(combo);
        whole = combo->currentText();
        shown = choice != nullptr ? choice->shownText() : whole;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        room =
            combo->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                .adjusted(1, 0, -1, 0);  // where the style draws the entry
    } else if (auto* skin = qobject_cast<SkinObject*>(w);
               skin && skin->kind() == SkinObjectKind::Text) {
        shown = skin->shownText();  // in a font of its own that it shrinks, then shortens
        whole = skin->text().isEmpty() ? shown : skin->text();
        room.setWidth(QWIDGETSIZE_MAX);
    }
    const QString what =
        QStringLiteral("%1 %2 \"%3\"")
            .arg(QLatin1String(w->metaObject()->className()), w->objectName(), shown);
    if (shown.isEmpty()) {
        return {};
    }
    const bool shortened = shown != whole || shown.contains(QChar(0x2026));
    const bool tipHasWhole =
        !w->toolTip().isEmpty() && (shown == whole || w->toolTip().contains(whole));
    if (shortened && !tipHasWhole) {
        return what + QStringLiteral(" is shortened; its tooltip lacks the whole text");
    }
    const QRect need =
        w->fontMetrics().boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX), flags, shown);
    const bool lines = (flags & Qt::TextWordWrap) || shown.contains(QLatin1Char('\n'));
    auto px = [](QSize size) {
        return QStringLiteral("%1 x %2 px").arg(size.width()).arg(size.height());
    };
    const bool cut = need.width() > room.width() || (lines && need.height() > room.height());
    return cut ? what + " needs " + px(need.size()) + ", has " + px(room.size()) : QString();
}

// What is cut in `top` and the widgets it shows; a drop-down list entry by entry.
QStringList clippedIn(QWidget* top) {
    QStringList found;
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        if (!w->isVisible() || w->window() != top->window()) {
            continue;
        }
        auto* combo = qobject_cast<QComboBox*>(w);
        const int chosen = combo != nullptr ? combo->currentIndex() : -1;
        // Every entry, then the one chosen again.
        for (int i = 0; i <= (combo != nullptr ? combo->count() : 0); ++i) {
            if (combo != nullptr) {
                combo->setCurrentIndex(i < combo->count() ? i : chosen);
            }
            if (const QString why = clipped(w); !why.isEmpty() && !found.contains(why)) {
                found << why;
            }
        }
    }
    return found;
}

class ClippingCheck : public WindowTest {
  protected:
    void check(const QString& scene, QWidget* top) {
        QApplication::processEvents();  // what waits to be laid out, as before anyone sees it
        for (const QString& why : clippedIn(top)) {
            found_ << QStringLiteral("%1 / %2: %3").arg(program_, scene, why);
        }
        shot(top, QString(program_ + '-' + scene).replace(' ', '-'));
    }
    // The window as full as it gets: a row, the profile with the longest name, long streams.
    static void fill(Session& s) {
        JobList::Row row;
        row.caption = QStringLiteral("A holiday film with a rather long name");
        row.info = {"/videos/holiday.avi", "1920x1080", "01:02:03", {}, "4000", "192"};
        row.source = FileSource{row.info.source, true, true};
        s.jobs().addRow(row);
        s.jobs().setVisible(true);
        int longest = 1;
        for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
            if (ProfileCatalog::displayNameOf(n).value_or("").size() >
                ProfileCatalog::displayNameOf(longest)->size()) {
                longest = n;
            }
        }
        s.selection().setCurrentProfile(longest);
        ASSERT_TRUE(s.selection().selectProfile(longest));
        for (ChoiceList* box : {&s.dvdTitles().audioBox(), &s.dvdTitles().subtitleBox()}) {
            box->addItem("Slovenscina AC-3 6ch (0x80)");
            box->setItemIndex(0);
        }
        emit s.problem(
            "Not added: /videos/broken-recording-from-the-holiday-trip.mkv (not a video "
            "the encoder can read)");
    }

    QString program_;
    QStringList found_;
};

TEST_F(ClippingCheck, EveryWindowShowsItsTextsWholeOrShortenedWithTheWholeInItsTooltip) {
    // A modal dialog is checked once it shows; the others are returned to be checked.
    struct Scene {
        const char* name;
        std::function<QWidget*(Tfm_main&)> open;
        bool modal = false;
    };
    const Scene scenes[] = {
        {"main window", [](Tfm_main& w) { return &w; }},
        {"message log",
         [](Tfm_main& w) {
             w.messages()->showLog();
             return w.messages();
         }},
        {"row details",
         [](Tfm_main& w) {
             emit w.lv()->rowActivated(0);
             return w.findChild<QMessageBox*>();
         }},
        {"power-off countdown",
         [](Tfm_main& w) {
             // One of its own, tied to nothing that could power the machine off.
             auto* countdown = new PowerOffDialog(&w);
             countdown->setAttribute(Qt::WA_DeleteOnClose);
             countdown->start();
             return countdown;
         }},
        {"settings",
         [](Tfm_main& w) {
             return w.session().ui().chooseSettings({FinishAction::PowerOff, true, 1}), nullptr;
         },
         true},
        {"about", [](Tfm_main& w) { return w.showAbout(), nullptr; }, true},
        {"folder dialog", [](Tfm_main& w) { return w.session().ui().chooseFolder("Add"), nullptr; },
         true},
        {"file dialog", [](Tfm_main& w) { return w.session().ui().chooseFiles(), nullptr; }, true},
        {"question",
         [](Tfm_main& w) { return w.session().ui().confirm(FileSources::kClearQuestion), nullptr; },
         true},
    };
    for (const char* program :
         {"orvex", "orvex-dvd", "orvex-kamzu", "orvex-kamzu-dvd", "orvex-ipod"}) {
        program_ = QLatin1String(program);
        Tfm_main& w = start(program_);
        fill(w.session());
        for (const Scene& scene : scenes) {
            if (scene.modal) {
                onNextModal([&](QWidget* dialog) {
                    check(scene.name, dialog);
                    dialog->close();
                });
            }
            if (QWidget* shown = scene.open(w)) {
                check(scene.name, shown);
                shown->close();
            }
        }
        // Each picker panel as the picker shows it over the window.
        for (int p = 0; p < ProfilePicker::PanelCount; ++p) {
            QWidget* panel = w.picker()->panel(ProfilePicker::Panel(p));
            panel->show();
            check(panel->objectName(), panel);
            panel->hide();
        }
    }
    EXPECT_TRUE(found_.isEmpty()) << found_.join('\n').toStdString();
}

}  // namespace
