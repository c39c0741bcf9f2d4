// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// mkpackage: builds a package archive from files, for shipping a project with the program, and
// unpacks the packages of a folder into a configuration the program opens.
#include "corenames.h"
#include "epackage.h"
#include "loadreport.h"
#include "packagewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace {

int usage(QTextStream &stream, int code)
{
    stream
        << "Usage: mkpackage --type N OUTPUT [FILE...] [--list LISTFILE]\n"
           "       mkpackage --unpack FOLDER [TARGET]\n"
           "Builds a package archive from the files given (stored under their plain file names).\n"
           "  --type N         1 pictures, 2 project files, 3 sounds\n"
           "  --list LISTFILE  also add the files named in LISTFILE, one path per line\n"
           "With no files an empty package is written.\n"
           "  --unpack FOLDER  unpack the packages of FOLDER (configs.package, images.package,\n"
           "                   sounds.package) into TARGET, by default FOLDER itself, so that\n"
           "                   the program opens it as a configuration\n";
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--unpack")) {
        if (args.size() < 2 || args.size() > 3)
            return usage(err, 2);
        const QString source = args.at(1);
        const QString target = args.value(2, source);
        if (!QDir().mkpath(target)) {
            err << "mkpackage: cannot make " << target << "\n";
            return 1;
        }
        // Each package that is there: a project may ship without sounds.
        LoadReport report;
        int found = 0;
        bool ok = true;
        for (const char *name : {CoreNames::kConfigsPackage, CoreNames::kImagesPackage,
                                 CoreNames::kSoundsPackage}) {
            const QString path = QDir(source).filePath(QLatin1String(name));
            if (!QFile::exists(path))
                continue;
            ++found;
            ok = EPackage::unpack(path, target, &report) && ok;
        }
        for (const QString &problem : report.toStringList())
            err << "mkpackage: " << problem << "\n";
        if (found == 0)
            err << "mkpackage: no packages in " << source << "\n";
        return found > 0 && ok && report.isEmpty() ? 0 : 1;
    }
    int type = 0;
    QString output;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(out, 0);
        if (a == QLatin1String("--type") && i + 1 < args.size()) {
            type = args.at(++i).toInt();
        } else if (a == QLatin1String("--list") && i + 1 < args.size()) {
            QFile list(args.at(++i));
            if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
                err << "mkpackage: cannot read " << list.fileName() << "\n";
                return 1;
            }
            while (!list.atEnd()) {
                const QString line = QString::fromUtf8(list.readLine()).trimmed();
                if (!line.isEmpty())
                    files.append(line);
            }
        } else if (output.isEmpty()) {
            output = a;
        } else {
            files.append(a);
        }
    }
    if (type < 1 || type > 3 || output.isEmpty())
        return usage(err, 2);

    PackageWriter writer(type);
    for (const QString &f : qAsConst(files)) {
        if (!writer.addFile(f)) {
            err << "mkpackage: cannot read " << f << "\n";
            return 1;
        }
    }
    if (!writer.write(output)) {
        err << "mkpackage: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}
