#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <memory>

#include "gui/skin/skin_bundle.h"

class QWidget;
class SkinObject;
class SkinWindow;

// Dresses windows from a skin bundle: loads "skn.skn", makes a window frameless with the
// form's size and background, places the form's named objects and reports their clicks,
// presses and releases. Whatever is wrong with the skin file (missing, cut, a form, an
// object or an image missing), the window gets the skin compiled into the program instead
// and the engine reports the first problem once, naming the file.
class SkinEngine : public QObject {
    Q_OBJECT

  public:
    // The main window's form.
    static const QString kMainForm;  // "voreriruredadazoz"

    // The layout variant of an edition and brand: "video-other", "video-kamzu",
    // "dvd-other" or "dvd-kamzu".
    static QString variantKey(bool dvdEdition, bool kamzuBrand);

    // What the main form must hold: the command objects of the main window, "profilestext",
    // "play_time", "play_bar", "close", "minimize" and "title".
    static const QList<RequiredSkinObject>& requiredObjects();

    explicit SkinEngine(QObject* parent = nullptr);
    ~SkinEngine() override;

    // Loads a skin file. False when it cannot be used; the built-in skin is then used and the
    // problem reported.
    bool loadSkinFile(const QString& path);

    // Prepares a window for skinning and returns its skinned-window object (the same one on
    // later calls). The window stays an ordinary window until a form is applied.
    SkinWindow* applySkin(QWidget* window);

    // Applies a variant of a form (the form's default variant when `variant` is empty):
    // the window becomes frameless at the form's size, gets the background, the objects and
    // the palette for its plain controls. Applying again (another variant) moves the same
    // objects. False only when not even the built-in skin could dress the window, which
    // then stays an ordinary framed window.
    bool applyForm(QWidget* window, const QString& formName, const QString& variant = {});

    // The skinned-window object of a window; null before applySkin.
    static SkinWindow* skinnedWindow(QWidget* window);
    // Shortcut for skinnedWindow(window)->findObject(name); null when there is none.
    static SkinObject* findObject(QWidget* window, const QString& name);

    // The problem reported, or empty; reported at most once per engine.
    const QString& problem() const { return problem_; }
    // Where the skin in use came from: the file's path or "the built-in skin".
    QString origin() const;

  signals:
    void objectClicked(SkinObject* object);
    // Position in the object's own coordinates; a bar has already moved to the pointer.
    void objectPressed(SkinObject* object, Qt::MouseButton button, QPoint position);
    void objectReleased(SkinObject* object, Qt::MouseButton button, QPoint position);
    // A press on the skin outside every object; position in window coordinates.
    void backgroundPressed(Qt::MouseButton button, QPoint position);
    // The one report of a skin problem, e.g. 'The skin file "/x/skn.skn" could not be used:
    // it is cut short. The built-in skin is shown instead.'
    void problemFound(const QString& message);

  private:
    bool tryApply(QWidget* window, const QString& formName, const QString& variant, QString* error);
    void useBuiltIn();
    void report(const QString& origin, const QString& reason);

    std::shared_ptr<SkinBundle> bundle_;  // shared with the objects, which draw from it
    QString problem_;
};
