#include "gui/skin/skin_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSet>

#include "gui/skin/skin_bundle.h"
#include "gui/skin/skin_object.h"

SkinWindow::SkinWindow(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("skinWindow"));
}

SkinObject* SkinWindow::objectFor(const SkinObjectDef& def) {
    SkinObject* object = objects_.value(def.name);
    if (object) {
        object->adopt(def);
        return object;
    }
    object = new SkinObject(def, this);
    connect(object, &SkinObject::clicked, this, &SkinWindow::objectClicked);
    connect(object, &SkinObject::pressed, this, &SkinWindow::objectPressed);
    connect(object, &SkinObject::released, this, &SkinWindow::objectReleased);
    objects_.insert(def.name, object);
    return object;
}

void SkinWindow::present(const std::shared_ptr<const SkinBundle>& bundle, const SkinForm& form,
                         const SkinVariant& variant) {
    if (formName_ != form.name) {
        // Another form: none of the old objects belongs to it.
        qDeleteAll(objects_);
        objects_.clear();
    }
    formName_ = form.name;
    variantKey_ = variant.key;
    bundle_ = bundle;
    background_ = variant.background;
    // Decoding the first pictures overlaps with building the rest of the window.
    QStringList first{variant.background};
    for (const SkinPlacement& placement : std::as_const(variant.placements)) {
        for (const QString& state : {QStringLiteral("normal"), QStringLiteral("track"),
                                     QStringLiteral("fill"), QStringLiteral("thumb")}) {
            if (placement.looks.contains(state) && placement.visible) {
                first << placement.looks.value(state);
            }
        }
    }
    bundle->prefetch(first);
    setGeometry(0, 0, form.size.width(), form.size.height());

    QSet<QString> kept;
    for (const SkinObjectDef& def : form.objects) {
        const SkinPlacement placement = variant.placements.value(def.name);
        objectFor(def)->place(placement.rect, placement.visible, placement.looks, bundle);
        kept.insert(def.name);
    }
    for (auto it = objects_.begin(); it != objects_.end();) {
        if (kept.contains(it.key())) {
            ++it;
        } else {
            delete it.value();
            it = objects_.erase(it);
        }
    }
    update();
}

SkinObject* SkinWindow::findObject(const QString& name) const {
    return objects_.value(name);
}

QList<SkinObject*> SkinWindow::objects() const {
    return objects_.values();
}

void SkinWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (bundle_) {
        painter.drawPixmap(0, 0, bundle_->pixmap(background_));
    }
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
    emit backgroundPressed(event->button(), event->position().toPoint());
}
