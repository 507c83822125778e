#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// One encoder call. Option texts are kept as the displayed command line writes them: those the
// program builds start with a blank (" -ac 2") or are empty; a profile's codec options are
// taken from profiles.pop as they stand.
struct intputrec {
    QString inputName;           // a file path or a DVD locator ("vts://...")
    QString outputName;          // full path of the output file
    QString encoderPath;         // full path of register.dat
    QString workFolder;          // the child's current directory
    QString videoOption;         // " -r 25 -b 1000000"
    QString filterOption;        // " -vf fps=25,scale=640:360,pad=640:480:0:60"
    QString audioOption;         // " -ab 128000"
    qint32 durationSeconds = 0;  // progress denominator; not part of the command line
    QString profileArgs;         // the profile's codec options, or " -target pal-dvd "
    QString sizeOption;          // " -s 320x240"
    QString rateOption;          // " -ar 44100 "
    QString channelOption;       // " -ac 2"
    QString aspectOption;        // " -aspect 1.3333"
    QString note;                // said to the user ("the picture is enlarged ..."); not passed
};

// A text with a blank goes between double quotes; embedded quotes are not escaped.
QString Quote(const QString& text);

// The command line as people see it and as it is logged.
QString commandLineText(const intputrec& rec);

// The arguments actually handed to the process (no shell ever sees them). Built from the same
// fields as commandLineText: option texts split on blanks, input and output paths whole.
QStringList argumentList(const intputrec& rec);
