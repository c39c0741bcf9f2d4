// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// verandix-demogen: writes the demo home (project files, settings, pictures, sounds, simulator
// timeline and address plan) into a staging folder, from which the packages are built.
#include "democonstants.h"
#include "demoproject.h"
#include "demosettings.h"
#include "houselayout.h"
#include "imagecatalog.h"
#include "pagepreview.h"
#include "planpainter.h"
#include "soundsynth.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QTextStream>

namespace {

using namespace DemoConstants;

bool writeFile(const QString &path, const QByteArray &data, QTextStream &err)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        err << "verandix-demogen: cannot write " << path << "\n";
        return false;
    }
    return true;
}

bool writeImage(const QString &path, const QImage &image, QTextStream &err)
{
    // Opaque pictures are stored without an alpha channel; PNG keeps them lossless and small
    // because the drawings are mostly flat colour.
    const QImage out = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                               : image.convertToFormat(QImage::Format_RGB32);
    QImageWriter writer(path, "png");
    writer.setQuality(0); // for PNG: the strongest zlib level, still lossless
    if (!writer.write(out)) {
        err << "verandix-demogen: cannot write " << path << ": " << writer.errorString() << "\n";
        return false;
    }
    return true;
}

// One picture with every generated picture on it, plans shrunk, icons at their size: a quick way
// to look the whole set over.
QImage contactSheet(const QList<QPair<QString, QImage>> &images)
{
    const int cell = 132;
    const int columns = 8;
    QList<QImage> thumbs;
    for (const auto &entry : images) {
        const QImage &img = entry.second;
        thumbs << (img.width() > cell - 8 || img.height() > cell - 8
                       ? img.scaled(cell - 8, cell - 8, Qt::KeepAspectRatio,
                                    Qt::SmoothTransformation)
                       : img);
    }
    const int rows = (thumbs.size() + columns - 1) / columns;
    QImage sheet(columns * cell, rows * cell, QImage::Format_RGB32);
    sheet.fill(QColor(0x30, 0x34, 0x3a));
    QPainter p(&sheet);
    for (int i = 0; i < thumbs.size(); ++i) {
        const QImage &t = thumbs.at(i);
        const int x = (i % columns) * cell + (cell - t.width()) / 2;
        const int y = (i / columns) * cell + (cell - t.height()) / 2;
        p.drawImage(x, y, t);
    }
    p.end();
    return sheet;
}

int usage(QTextStream &s, int code)
{
    s << "Usage: verandix-demogen --out FOLDER\n"
         "Writes the demo home into FOLDER:\n"
         "  configs/   project files (for configs.package)\n"
         "  images/    pictures (for images.package)\n"
         "  sounds/    alarm sounds (for sounds.package)\n"
         "  fone/      window background pictures\n"
         "  config.xml, demo.scenario (simulator timeline), address-plan.md\n"
         "  --sheet FILE     also writes all pictures side by side into FILE (PNG)\n"
         "  --preview DIR    also draws every page with its controls into DIR, for review\n"
         "  --flat           project files, pictures and sounds straight into FOLDER, as the\n"
         "                   program unpacks the demo (a configuration folder for the simulator)\n"
         "Everything is drawn and synthesised here; two runs write identical bytes.\n";
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures are painted off screen; no display is needed or wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString folder;
    QString sheetPath;
    QString previewPath;
    bool flat = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--help") || args.at(i) == QLatin1String("-h"))
            return usage(out, 0);
        if (args.at(i) == QLatin1String("--out") && i + 1 < args.size())
            folder = args.at(++i);
        else if (args.at(i) == QLatin1String("--sheet") && i + 1 < args.size())
            sheetPath = args.at(++i);
        else if (args.at(i) == QLatin1String("--preview") && i + 1 < args.size())
            previewPath = args.at(++i);
        else if (args.at(i) == QLatin1String("--flat"))
            flat = true;
        else
            return usage(err, 2);
    }
    if (folder.isEmpty())
        return usage(err, 2);

    QDir root(folder);
    const QString configs = flat ? QString() : QStringLiteral("configs/");
    const QString imagesDir = flat ? QString() : QStringLiteral("images/");
    const QString soundsDir = flat ? QString() : QStringLiteral("sounds/");
    for (const char *sub : {"configs", "images", "sounds", "fone"}) {
        if (flat && qstrcmp(sub, "fone") != 0)
            continue;
        if (!root.mkpath(QString::fromLatin1(sub))) {
            err << "verandix-demogen: cannot create " << root.filePath(QString::fromLatin1(sub))
                << "\n";
            return 1;
        }
    }

    const HouseLayout layout;
    const DemoProject project(layout);
    const QStringList problems = project.addressPlan().problems();
    for (const QString &p : problems)
        err << "verandix-demogen: address plan: " << p << "\n";
    if (!problems.isEmpty())
        return 1;

    bool ok = true;
    for (auto it = project.files().constBegin(); it != project.files().constEnd(); ++it)
        ok &= writeFile(root.filePath(configs + it.key()), it.value(), err);
    ok &= writeFile(root.filePath(kSettingsFile), DemoSettings::document(), err);
    ok &= writeFile(root.filePath(kScenarioFile), project.scenario(), err);
    ok &=
        writeFile(root.filePath(kAddressPlanFile), project.addressPlan().markdown().toUtf8(), err);

    const ImageCatalog catalog(layout);
    QStringList images = project.images().values();
    images.sort();
    QList<QPair<QString, QImage>> drawn;
    for (const QString &name : qAsConst(images)) {
        const QImage image = catalog.image(name);
        if (image.isNull()) {
            err << "verandix-demogen: no drawing for picture " << name << "\n";
            ok = false;
            continue;
        }
        drawn << qMakePair(name, image);
        ok &= writeImage(root.filePath(imagesDir + name), image, err);
    }
    const QStringList backgrounds = DemoSettings::backgrounds();
    for (int i = 0; i < backgrounds.size(); ++i)
        ok &= writeImage(root.filePath(QStringLiteral("fone/") + backgrounds.at(i)),
                         PlanPainter::windowBackground(i), err);

    if (!sheetPath.isEmpty()) {
        for (int i = 0; i < backgrounds.size(); ++i)
            drawn << qMakePair(backgrounds.at(i), PlanPainter::windowBackground(i));
        ok &= writeImage(sheetPath, contactSheet(drawn), err);
    }

    const QStringList sounds = DemoSettings::soundFiles();
    const QByteArray waves[] = {SoundSynth::alarm(), SoundSynth::chime(), SoundSynth::leak(),
                                SoundSynth::smoke()};
    for (int i = 0; i < sounds.size(); ++i)
        ok &= writeFile(root.filePath(soundsDir + sounds.at(i)), waves[i], err);

    if (ok && !previewPath.isEmpty()) {
        // The preview reads the written files back, pictures included.
        QDir previews;
        previews.mkpath(previewPath);
        QDir images(root.filePath(imagesDir));
        if (!flat) {
            for (const QString &name : project.files().keys())
                QFile::copy(root.filePath(configs + name), images.filePath(name));
        }
        for (const PagePreview::Page &page : PagePreview::render(images.path()))
            ok &= writeImage(QDir(previewPath).filePath(page.name + QStringLiteral(".png")),
                             page.image, err);
        if (!flat) {
            for (const QString &name : project.files().keys())
                QFile::remove(images.filePath(name));
        }
    }

    if (!ok)
        return 1;
    out << "verandix-demogen: " << project.files().size() << " project files, " << images.size()
        << " pictures, " << sounds.size() << " sounds written to " << root.absolutePath() << "\n";
    return 0;
}
