#include "core/engine/invocation.h"

#include <QList>

namespace {

// One piece of the encoder call: option text as written, or a path that stays one argument.
struct Piece {
    enum Kind { Options, Path };
    Kind kind;
    QString text;
};

// An output name that begins with "-" would be read as an option by the encoder; "./" names
// the same file (the child runs in workFolder) without that risk. Full paths never need it.
QString safeOutputName(const QString& name) {
    return name.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + name : name;
}

// The single description of the command line; commandLineText and argumentList both read it,
// so the text people see and the arguments the encoder gets cannot drift apart.
QList<Piece> pieces(const intputrec& rec) {
    return {
        {Piece::Path, rec.encoderPath},
        {Piece::Options, QStringLiteral(" -y ")},
        {Piece::Options, QStringLiteral(" -i ")},
        {Piece::Path, rec.inputName},
        {Piece::Options, rec.videoOption},
        {Piece::Options, rec.audioOption},
        {Piece::Options, rec.channelOption},
        {Piece::Options, rec.aspectOption},
        {Piece::Options, rec.sizeOption},
        {Piece::Options, rec.filterOption},
        {Piece::Options, QStringLiteral(" ")},
        {Piece::Options, rec.rateOption},
        {Piece::Options, rec.profileArgs},
        {Piece::Options, QStringLiteral(" ")},
        {Piece::Path, safeOutputName(rec.outputName)},
    };
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Splits an option text on blanks. A double-quoted run keeps its blanks and loses its quotes,
// as a command-line parser would treat it, so an option value such as "a b" stays one argument.
void appendTokens(const QString& text, QStringList& out) {
    QString token;
    bool inToken = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inToken = true;
        } else if (isBlank(c) && !quoted) {
            if (inToken) {
                out.append(token);
                token.clear();
                inToken = false;
            }
        } else {
            token.append(c);
            inToken = true;
        }
    }
    if (inToken) {
        out.append(token);
    }
}

}  // namespace

QString Quote(const QString& text) {
    if (text.contains(QLatin1Char(' '))) {
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString commandLineText(const intputrec& rec) {
    QString line;
    for (const Piece& p : pieces(rec)) {
        line += p.kind == Piece::Path ? Quote(p.text) : p.text;
    }
    return line;
}

QStringList argumentList(const intputrec& rec) {
    QStringList args;
    const QList<Piece> all = pieces(rec);
    // Neighbouring option texts are joined before splitting, as they are in the displayed
    // line, so an option text without its leading blank reads the same in both.
    QString options;
    // The first piece names the program; it is not one of its arguments.
    for (qsizetype i = 1; i < all.size(); ++i) {
        if (all[i].kind == Piece::Options) {
            options += all[i].text;
            continue;
        }
        appendTokens(options, args);
        options.clear();
        args.append(all[i].text);
    }
    appendTokens(options, args);
    return args;
}
