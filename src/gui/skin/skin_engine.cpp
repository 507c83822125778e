#include "gui/skin/skin_engine.h"

#include <QMetaEnum>
#include <QPalette>
#include <QWidget>

#include "gui/skin/skin_object.h"
#include "gui/skin/skin_window.h"

const QString SkinEngine::kMainForm = QStringLiteral("voreriruredadazoz");

namespace {

QPalette paletteFor(const SkinVariant& variant, QPalette palette) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    for (auto it = variant.palette.begin(); it != variant.palette.end(); ++it) {
        bool known = false;
        const int role = roles.keyToValue(it.key().toLatin1().constData(), &known);
        const QColor colour(it.value());
        if (known && colour.isValid()) {
            palette.setColor(QPalette::ColorRole(role), colour);
        }
    }
    return palette;
}

}  // namespace

QString SkinEngine::variantKey(bool dvdEdition, bool kamzuBrand) {
    return QStringLiteral("%1-%2").arg(
        dvdEdition ? QStringLiteral("dvd") : QStringLiteral("video"),
        kamzuBrand ? QStringLiteral("kamzu") : QStringLiteral("other"));
}

const QList<RequiredSkinObject>& SkinEngine::requiredObjects() {
    static const QList<RequiredSkinObject> required = [] {
        QList<RequiredSkinObject> list;
        for (const char* name :
             {"profiles", "openfiles", "chapter", "ifoopen", "dvdopen", "openfolder", "converter",
              "remove", "clear", "stopconverter", "browse", "open", "help", "file", "dvdfile",
              "play", "stopplay", "pause", "settings"}) {
            list.append({QLatin1String(name), SkinObjectKind::Command});
        }
        list.append({QStringLiteral("profilestext"), SkinObjectKind::Text});
        list.append({QStringLiteral("play_time"), SkinObjectKind::Text});
        list.append({QStringLiteral("play_bar"), SkinObjectKind::Bar});
        list.append({QStringLiteral("close"), SkinObjectKind::Close});
        list.append({QStringLiteral("minimize"), SkinObjectKind::Minimize});
        list.append({QStringLiteral("title"), SkinObjectKind::Title});
        return list;
    }();
    return required;
}

SkinEngine::SkinEngine(QObject* parent) : QObject(parent) {
    // For queued connections and signal spies on the events.
    qRegisterMetaType<SkinObject*>();
}

SkinEngine::~SkinEngine() = default;

QString SkinEngine::origin() const {
    return bundle_ ? bundle_->origin() : QString();
}

void SkinEngine::report(const QString& origin, const QString& reason) {
    if (!problem_.isEmpty()) {
        return;
    }
    if (bundle_ && bundle_->isBuiltIn() && origin == bundle_->origin()) {
        problem_ = QStringLiteral("The built-in skin could not be used: %1.").arg(reason);
    } else {
        problem_ = QStringLiteral(
                       "The skin file \"%1\" could not be used: %2. The built-in skin is shown "
                       "instead.")
                       .arg(origin, reason);
    }
    emit problemFound(problem_);
}

void SkinEngine::useBuiltIn() {
    if (bundle_ && bundle_->isBuiltIn()) {
        return;
    }
    QString error;
    bundle_ = SkinBundle::builtIn(&error);
    if (!bundle_) {
        report(QStringLiteral("the built-in skin"), error);
    }
}

bool SkinEngine::loadSkinFile(const QString& path) {
    QString error;
    auto bundle = SkinBundle::fromFile(path, &error);
    if (!bundle) {
        report(path, error);
        useBuiltIn();
        return false;
    }
    bundle_ = std::move(bundle);
    return true;
}

SkinWindow* SkinEngine::skinnedWindow(QWidget* window) {
    return window ? window->findChild<SkinWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

SkinObject* SkinEngine::findObject(QWidget* window, const QString& name) {
    SkinWindow* skinned = skinnedWindow(window);
    return skinned ? skinned->findObject(name) : nullptr;
}

SkinWindow* SkinEngine::applySkin(QWidget* window) {
    SkinWindow* skinned = skinnedWindow(window);
    if (skinned) {
        return skinned;
    }
    skinned = new SkinWindow(window);
    connect(skinned, &SkinWindow::objectClicked, this, &SkinEngine::objectClicked);
    connect(skinned, &SkinWindow::objectPressed, this, &SkinEngine::objectPressed);
    connect(skinned, &SkinWindow::objectReleased, this, &SkinEngine::objectReleased);
    connect(skinned, &SkinWindow::backgroundPressed, this, &SkinEngine::backgroundPressed);
    skinned->lower();
    return skinned;
}

bool SkinEngine::tryApply(QWidget* window, const QString& formName, const QString& variant,
                          QString* error) {
    const SkinForm* form = bundle_->description().form(formName);
    if (!form) {
        *error = QStringLiteral("it has no form \"%1\"").arg(formName);
        return false;
    }
    const QString key = variant.isEmpty() ? form->defaultVariant : variant;
    const SkinVariant* layout = form->variant(key);
    if (!layout) {
        *error = QStringLiteral("its form \"%1\" has no layout \"%2\"").arg(formName, key);
        return false;
    }
    const QList<RequiredSkinObject> none;
    if (!bundle_->checkVariant(*form, *layout, formName == kMainForm ? requiredObjects() : none,
                               error)) {
        return false;
    }
    SkinWindow* skinned = applySkin(window);
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    window->setFixedSize(form->size);
    window->setPalette(paletteFor(*layout, window->palette()));
    skinned->present(bundle_, *form, *layout);
    skinned->lower();
    if (wasVisible) {
        window->show();  // changing the frame hides a shown window
    }
    return true;
}

bool SkinEngine::applyForm(QWidget* window, const QString& formName, const QString& variant) {
    if (!window) {
        return false;
    }
    if (!bundle_) {
        useBuiltIn();
    }
    QString error;
    if (bundle_ && tryApply(window, formName, variant, &error)) {
        return true;
    }
    if (bundle_) {
        report(bundle_->origin(), error);
    }
    if (bundle_ && bundle_->isBuiltIn()) {
        return false;
    }
    useBuiltIn();
    if (!bundle_) {
        return false;
    }
    // The built-in skin has the main form in every layout; another form it lacks falls back
    // to the main one, a layout it lacks to the default one.
    const SkinForm* form = bundle_->description().form(formName);
    const QString name = form ? formName : kMainForm;
    form = bundle_->description().form(name);
    const QString key = (form && form->variant(variant)) ? variant : QString();
    if (tryApply(window, name, key, &error)) {
        return true;
    }
    report(bundle_->origin(), error);
    return false;
}
