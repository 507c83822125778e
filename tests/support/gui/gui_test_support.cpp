#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "../test_media.h"

namespace orvex::test {

bool linkProgramFolder(const QString& folder) {
    bool ok = true;
    for (const char* name :
         {"register.dat", "profiles.pop", "skn.skn", "images", "orvex-preview.so"}) {
        const QString target = folder + '/' + QLatin1String(name);
        QFile::remove(target);
        ok = QFile::link(binDir() + '/' + QLatin1String(name), target) && ok;
    }
    return ok;
}

void onNextModal(std::function<void(QWidget* dialog)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
            // An act that failed an assertion must not leave the test waiting on the dialog.
            if (modal->isVisible()) {
                ADD_FAILURE() << "the dialog " << modal->metaObject()->className() << " \""
                              << modal->windowTitle().toStdString() << "\" was left open";
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                } else {
                    modal->close();
                }
            }
        }
    });
    poll->start();
}

void shot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("ORVEX_SHOT_DIR");
    if (dir.isEmpty() || widget == nullptr) {
        return;
    }
    QDir().mkpath(dir);
    widget->grab().save(dir + '/' + name + QStringLiteral(".png"));
}

}  // namespace orvex::test
