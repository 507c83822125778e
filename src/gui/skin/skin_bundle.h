#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <future>
#include <memory>

#include "gui/skin/form/skin_description.h"

// An object a form must hold, with the kind it must have.
struct RequiredSkinObject {
    QString name;
    SkinObjectKind kind;
};

// One skin: its form description and its artwork, read from a bundle file ("skn.skn") or from
// the copy compiled into the program. A file bundle is checked, then registered with QResource
// under a root of its own for as long as this object lives.
class SkinBundle {
  public:
    // Reads and checks a bundle file; nothing with the reason in `error` when it is missing,
    // cut, scribbled or holds no valid description.
    static std::unique_ptr<SkinBundle> fromFile(const QString& path, QString* error);
    // The skin compiled into the program.
    static std::unique_ptr<SkinBundle> builtIn(QString* error);

    ~SkinBundle();
    SkinBundle(const SkinBundle&) = delete;
    SkinBundle& operator=(const SkinBundle&) = delete;

    const SkinDescription& description() const { return description_; }
    // The file it came from, or a name for the compiled copy; used in messages.
    const QString& origin() const { return origin_; }
    bool isBuiltIn() const { return image_.isEmpty(); }

    // An image of the bundle by its path in the description; null when missing or unreadable.
    QPixmap pixmap(const QString& path) const;
    // Starts decoding these images on a thread of their own, so that they are ready when first
    // drawn while the window is still being built; pixmap() waits for them if they are not.
    void prefetch(const QStringList& paths) const;

    // Checks that a variant of a form is complete: it holds every object in `required` with
    // its kind and every image it names is an intact PNG (every chunk's checksum right), without
    // decoding them: images are decoded when first drawn. False with the reason otherwise.
    bool checkVariant(const SkinForm& form, const SkinVariant& variant,
                      const QList<RequiredSkinObject>& required, QString* error) const;

  private:
    SkinBundle(QString origin, QString root, QByteArray image);
    bool imageIntact(const QString& path) const;
    static std::unique_ptr<SkinBundle> finish(std::unique_ptr<SkinBundle> bundle, QString* error);

    QString origin_;
    QString root_;      // resource root, e.g. ":/orvex-skin-3"
    QByteArray image_;  // the registered file image; empty for the compiled copy
    SkinDescription description_;
    mutable QHash<QString, QPixmap> pixmaps_;
    mutable QStringList prefetching_;
    mutable std::shared_future<QHash<QString, QImage>> prefetched_;
};
