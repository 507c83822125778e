#pragma once

#include <QHash>
#include <QPixmap>
#include <QWidget>
#include <memory>

#include "gui/skin/form/skin_description.h"

class SkinBundle;
class SkinObject;

// The skinned part of a window: a child that covers the whole window, paints the form's
// background and holds its named objects. It stays below the window's plain controls.
class SkinWindow : public QWidget {
    Q_OBJECT

  public:
    explicit SkinWindow(QWidget* window);

    // Shows a variant of a form. Objects that the window already has under the same names
    // are kept (moved, restyled), so pointers to them stay valid across variants and skins.
    void present(const std::shared_ptr<const SkinBundle>& bundle, const SkinForm& form,
                 const SkinVariant& variant);

    // The object of that name, compared exactly; null when the form has none.
    SkinObject* findObject(const QString& name) const;
    QList<SkinObject*> objects() const;
    const QString& formName() const { return formName_; }
    const QString& variantKey() const { return variantKey_; }

  signals:
    void objectClicked(SkinObject* object);
    void objectPressed(SkinObject* object, Qt::MouseButton button, QPoint position);
    void objectReleased(SkinObject* object, Qt::MouseButton button, QPoint position);
    // A press on the background, outside every object; `position` in window coordinates.
    void backgroundPressed(Qt::MouseButton button, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    SkinObject* objectFor(const SkinObjectDef& def);

    std::shared_ptr<const SkinBundle> bundle_;
    QString background_;  // the background's path in the bundle
    QHash<QString, SkinObject*> objects_;
    QString formName_;
    QString variantKey_;
};
