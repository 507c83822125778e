#include "core/engine/saved_jobs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace {

// Bumped when the layout changes in a way an older reader would misread.
constexpr int kFormat = 1;

QJsonObject recordOf(const Toriginalinfo& info) {
    return {{"dimensions", info.dimensions},
            {"duration", info.duration},
            {"videoKbps", info.videoKbps},
            {"audioKbps", info.audioKbps}};
}

Toriginalinfo recordFrom(const QJsonObject& o) {
    Toriginalinfo info;
    info.dimensions = o.value("dimensions").toString();
    info.duration = o.value("duration").toString();
    info.videoKbps = o.value("videoKbps").toString();
    info.audioKbps = o.value("audioKbps").toString();
    return info;
}

// The source's shape and frame rate, which a file row's output is made to keep: a restored
// row is not probed again.
void putPicture(const PictureFacts& facts, QJsonObject& o) {
    if (facts.displayAspect > 0) {
        o.insert("aspect", facts.displayAspect);
    }
    if (facts.frameRate.isValid()) {
        o.insert("frameRate", QString::fromStdString(facts.frameRate.text()));
    }
}

PictureFacts pictureFrom(const QJsonObject& o) {
    PictureFacts facts;
    const double aspect = o.value("aspect").toDouble();
    facts.displayAspect = std::isfinite(aspect) && aspect > 0.1 && aspect < 10 ? aspect : 0;
    facts.frameRate =
        orvex::encoder::FrameRate::parse(o.value("frameRate").toString().toStdString())
            .value_or(orvex::encoder::FrameRate{});
    return facts;
}

QJsonObject sourceOf(const JobSource& source) {
    if (const auto* file = std::get_if<FileSource>(&source)) {
        return {{"file", file->path}, {"hasVideo", file->hasVideo}, {"hasAudio", file->hasAudio}};
    }
    const auto& dvd = std::get<TConvertInfo>(source);
    return {{"ifo", dvd.ifoPath},
            {"audioStream", dvd.audioStream},
            {"subtitleStream", dvd.subtitleStream},
            {"startSector", dvd.startSector},
            {"endSector", dvd.endSector},
            {"titleSeconds", dvd.titleSeconds},
            {"chapterStart", dvd.chapterStart},
            {"chapterEnd", dvd.chapterEnd}};
}

std::optional<JobSource> sourceFrom(const QJsonObject& o) {
    if (o.value("file").isString()) {
        return FileSource{o.value("file").toString(), o.value("hasVideo").toBool(true),
                          o.value("hasAudio").toBool(true)};
    }
    if (!o.value("ifo").isString()) {
        return std::nullopt;
    }
    TConvertInfo dvd;
    dvd.ifoPath = o.value("ifo").toString();
    dvd.audioStream = o.value("audioStream").toString(dvd.audioStream);
    dvd.subtitleStream = o.value("subtitleStream").toString(dvd.subtitleStream);
    dvd.startSector = o.value("startSector").toInt();
    dvd.endSector = o.value("endSector").toInt();
    dvd.titleSeconds = o.value("titleSeconds").toInteger();
    dvd.chapterStart = o.value("chapterStart").toInt();
    dvd.chapterEnd = o.value("chapterEnd").toInt();
    return dvd;
}

}  // namespace

int SavedJobs::unfinished() const {
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const Row& r) { return !r.finished; }));
}

QByteArray SavedJobs::toJson() const {
    QJsonArray rowArray;
    for (const Row& r : rows) {
        QJsonObject o{{"caption", r.row.caption},
                      {"record", recordOf(r.row.info)},
                      {"source", sourceOf(r.row.source)},
                      {"checked", r.row.checked},
                      {"finished", r.finished}};
        putPicture(r.row.picture, o);
        if (std::holds_alternative<TConvertInfo>(r.row.source)) {
            o.insert("audioChoice", r.row.audioChoice);
            o.insert("subtitleChoice", r.row.subtitleChoice);
        }
        rowArray.append(o);
    }
    const QJsonObject top{{"format", kFormat},
                          {"program", program},
                          {"profile", profile},
                          {"choices", QJsonArray{choices[0], choices[1], choices[2], choices[3]}},
                          {"output", outputText},
                          {"rows", rowArray}};
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

std::optional<SavedJobs> SavedJobs::fromJson(const QByteArray& text, QString* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parse);
    const QJsonObject top = doc.object();
    auto fail = [error](const QString& why) {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    if (parse.error != QJsonParseError::NoError) {
        return fail(parse.errorString() + QStringLiteral(" at byte %1").arg(parse.offset));
    }
    if (top.value("format").toInt() != kFormat || !top.value("rows").isArray()) {
        return fail(QStringLiteral("not a job list this version can read"));
    }
    SavedJobs saved;
    saved.program = top.value("program").toString();
    saved.profile = top.value("profile").toInt();
    const QJsonArray choices = top.value("choices").toArray();
    for (int i = 0; i < 4 && i < choices.size(); ++i) {
        saved.choices[static_cast<size_t>(i)] = choices[i].toInt(-1);
    }
    saved.outputText = top.value("output").toString();
    const QJsonArray rows = top.value("rows").toArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject o = rows[i].toObject();
        const std::optional<JobSource> source = sourceFrom(o.value("source").toObject());
        if (!source) {
            return fail(QStringLiteral("row %1 has no source").arg(i + 1));
        }
        Row r;
        r.row.caption = o.value("caption").toString();
        r.row.info = recordFrom(o.value("record").toObject());
        r.row.source = *source;
        if (const auto* file = std::get_if<FileSource>(&*source)) {
            r.row.info.source = file->path;
        }
        r.row.picture = pictureFrom(o);
        r.row.checked = o.value("checked").toBool();
        r.row.audioChoice = o.value("audioChoice").toInt();
        r.row.subtitleChoice = o.value("subtitleChoice").toInt();
        r.finished = o.value("finished").toBool();
        saved.rows.push_back(std::move(r));
    }
    return saved;
}
