// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "addressplan.h"
#include "genelement.h"
#include "houselayout.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <memory>

// The demo home as project files: the home page, lighting and heating over the house layout and
// the further subsystems, with one address plan for all of them. It also writes the simulator
// scenario that brings the home to life, because only the project knows which lamp listens to
// which switch and where each text lives.
class DemoProject
{
public:
    explicit DemoProject(const HouseLayout &layout);
    ~DemoProject();

    // File name -> contents of every project file.
    const QMap<QString, QByteArray> &files() const;
    // Every picture a project file names, with the glyph hint the icon catalogue draws it from.
    const QSet<QString> &images() const;
    const AddressPlan &addressPlan() const;
    QByteArray scenario() const;

private:
    struct Page
    {
        QString file;
        QString caption;
        GenElement::Ptr element;
    };

    void buildMain();
    void buildLight();
    void buildHeat();
    void buildSecurity();
    void buildLeaks();
    void buildElectricity();
    void buildVentilation();
    void buildBoiler();
    void buildGarden();
    void buildGates();
    void buildCameras();
    void buildMedia();
    void buildWeather();

    GenElement::Ptr newRoot(const QString &file, const QString &name, const QString &caption,
                            const QString &image);
    // Starts one further subsystem: its address block, root element and heading.
    Page beginSubsystem(const QString &file, const QString &name);
    GenElement::Ptr addPage(const Page &parent, const QString &tag, const QString &name,
                            const QString &caption, const QString &image, const QString &icon,
                            double x, double y, Page *page);
    QString image(const QString &name);

    // Controls; x and y are the top left corner in plan pixels.
    void addBool(const Page &page, const QString &caption, double x, double y, int byteAddress,
                 int bit, const QString &on, const QString &off, bool readOnly);
    void addButton(const Page &page, const QString &caption, double x, double y, int byteAddress,
                   int bit, const QString &icon);
    void addByteButtons(const Page &page, int byteAddress, double x, double y, double dx,
                        const QList<QPair<QString, QString>> &captionsAndIcons,
                        const QList<int> &values);
    struct Number
    {
        QString caption;
        QString typeD = QStringLiteral("BYTE");
        int minimum = 0;
        int maximum = 255;
        int maxval = 255;
        int precision = 0;
        double step = 1.0;
        bool readOnly = true;
        bool editable = false;
        int width = 180;
        int height = 80;
    };
    int addNumber(const Page &page, double x, double y, const Number &n);
    int addSlider(const Page &page, const QString &tag, const QString &caption, double x, double y,
                  int width, int height, int minimum, int maximum, const QString &color);
    int addDynText(const Page &page, const QString &caption, double x, double y, int width,
                   int length, const QString &initial);
    int addTextWriter(const Page &page, const QString &caption, double x, double y, int length);
    void addText(const Page &page, const QString &text, double x, double y, int width, int height,
                 int fontSize, bool bold, const QString &align,
                 const QString &color = QStringLiteral("#FFFFFF"));
    void addLink(const Page &page, const QString &caption, const QString &systType,
                 const QString &fileName, const QString &icon, double x, double y);
    void addWeather(const Page &page, const QString &city, const QString &cityId, double x,
                    double y);
    void addCamera(const Page &page, const QString &tag, const QString &caption, int port,
                   const QString &path, double x, double y, int width, int height);

    void record(const Page &page, const QString &control, const QString &tag, int byteAddress,
                int length, int bit = -1, bool shared = false);
    void finish(const QString &file, const GenElement::Ptr &root);

    struct Private;
    std::unique_ptr<Private> d;
};
