// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "demoproject.h"

#include "democonstants.h"
#include "mainstructv1.h"
#include "planpainter.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "xmldocument.h"

#include <QLineF>

namespace {

using namespace DemoConstants;

double pctX(double x)
{
    return x / kPlanWidth * 100.0;
}
double pctY(double y)
{
    return y / kPlanHeight * 100.0;
}

void place(GenElement &e, double x, double y, double zIndex = 0.5)
{
    e.set(QStringLiteral("posX"), pctX(x)).set(QStringLiteral("posY"), pctY(y));
    e.set(QStringLiteral("zIndex"), zIndex);
}

const QStringList kLightRoomScenes = {QStringLiteral("Bright"), QStringLiteral("Cosy"),
                                      QStringLiteral("Dim"), QStringLiteral("Night light")};
const QStringList kLightFloorScenes = {QStringLiteral("All on"), QStringLiteral("Evening"),
                                       QStringLiteral("Night"), QStringLiteral("All off")};
const QStringList kHeatScenes = {QStringLiteral("Comfort"), QStringLiteral("Economy"),
                                 QStringLiteral("Frost guard"), QStringLiteral("Boost")};

// With the editing tools on, a room screen floats the edit toolbox over the top right corner of
// its plan and the undo and redo arrows over the bottom right corner. Links to related pages stand
// in a column at the right edge that starts below the one and ends above the other.
constexpr double kLinkColumnX = 880;
double linkRowY(int row)
{
    return 100 + row * 130;
}

// Pages are known to people by their names: back captions and titles read them, so a name says
// where the page is and what it is for ("Ground floor · lighting"), and no two pages share one.
QString pageName(const QString &caption, const char *subsystem)
{
    return caption + QStringLiteral(" \u00B7 ") + QLatin1String(subsystem);
}

QString hex(int v)
{
    return QStringLiteral("0x%1").arg(v, 2, 16, QLatin1Char('0'));
}

} // namespace

struct DemoProject::Private
{
    explicit Private(const HouseLayout &l) : layout(l) {}

    const HouseLayout &layout;
    AddressPlan plan;
    QMap<QString, QByteArray> files;
    QSet<QString> images;
    QStringList scenarioSetup; // lines run once at start
    int nextLamp = 1;
    int nextSwitch = 1;
    int nextSensor = 1;
    int nextThermostat = 1;
    int nameCounter = 0;
    // Scenario anchors found while building.
    int hallSensor = 0;
    int landingSensor = 0;
    int hallSwitch = 0;
    int gateByte = 0;
    int leakByte = 0;
    int securityContactsByte = 0;
    int frontDoorMask = 0;
    int securityEventText = 0;
    int boilerStatusText = 0;
    int boilerFlow = 0;
    int mediaNowPlaying = 0;
    int forecastText = 0;
    int weatherTemp = 0;
    int electricVoltage = 0;
    int electricPower = 0;
    int waterMeter = 0;
    int ventCo2 = 0;
    int ventHumidity = 0;
};

DemoProject::DemoProject(const HouseLayout &layout) : d(std::make_unique<Private>(layout))
{
    buildMain();
    buildLight();
    buildHeat();
    buildSecurity();
    buildLeaks();
    buildElectricity();
    buildVentilation();
    buildBoiler();
    buildGarden();
    buildGates();
    buildCameras();
    buildMedia();
    buildWeather();
}

DemoProject::~DemoProject() = default;

const QMap<QString, QByteArray> &DemoProject::files() const
{
    return d->files;
}

const QSet<QString> &DemoProject::images() const
{
    return d->images;
}

const AddressPlan &DemoProject::addressPlan() const
{
    return d->plan;
}

QString DemoProject::image(const QString &name)
{
    d->images.insert(name);
    return name;
}

GenElement::Ptr DemoProject::newRoot(const QString &file, const QString &name,
                                     const QString &caption, const QString &imageName)
{
    Q_UNUSED(file);
    GenElement::Ptr root = GenElement::create(QStringLiteral("subsystems"));
    root->set(QStringLiteral("name"), name)
        .set(QStringLiteral("textB"), caption)
        .set(QStringLiteral("fontColor"), QStringLiteral("#FFFFFF"))
        .set(QStringLiteral("image"), image(imageName))
        .set(QStringLiteral("pageID"), 0)
        .set(QStringLiteral("showScenes"), true);
    return root;
}

DemoProject::Page DemoProject::beginSubsystem(const QString &file, const QString &name)
{
    const SubsystemInfo &info = subsystem(file);
    d->plan.beginBlock(info.file, info.firstByte, kSubsystemBlockBytes);
    Q_UNUSED(name);
    // The root's name is its title on screen and what back captions read.
    const Page page{info.file, info.caption,
                    newRoot(info.file, info.caption, info.caption, info.background)};
    addText(page, info.caption, 40, 34, 400, 40, 26, true, QStringLiteral("left"));
    return page;
}

GenElement::Ptr DemoProject::addPage(const Page &parent, const QString &tag, const QString &name,
                                     const QString &caption, const QString &imageName,
                                     const QString &icon, double x, double y, Page *page)
{
    GenElement::Ptr e = parent.element->append(tag);
    e->set(QStringLiteral("name"), name)
        .set(QStringLiteral("textB"), caption)
        .set(QStringLiteral("fontColor"), QStringLiteral("#FFFFFF"))
        .set(QStringLiteral("image"), image(imageName))
        .set(QStringLiteral("showScenes"), true)
        .set(QStringLiteral("drawRect"), false)
        .set(QStringLiteral("pageID"), ++d->nameCounter)
        .set(QStringLiteral("posX"), pctX(x))
        .set(QStringLiteral("posY"), pctY(y))
        .set(QStringLiteral("zIndex"), 1.0)
        .set(QStringLiteral("width"), kIconSize)
        .set(QStringLiteral("height"), kIconSize)
        .set(QStringLiteral("cont_image"), image(icon));
    if (page)
        *page = Page{parent.file, caption, e};
    return e;
}

void DemoProject::record(const Page &page, const QString &control, const QString &tag,
                         int byteAddress, int length, int bit, bool shared)
{
    AddressPlan::Entry entry;
    entry.file = page.file;
    entry.page = page.caption;
    entry.control = control;
    entry.tag = tag;
    entry.byteAddress = byteAddress;
    entry.length = length;
    entry.bit = bit;
    entry.shared = shared;
    d->plan.add(entry);
}

void DemoProject::finish(const QString &file, const GenElement::Ptr &root)
{
    // Read into the program's model and written by its own writer: the file is then exactly
    // what the panel saves for it, so saving an untouched demo home changes no file.
    XmlDocument doc;
    const bool parsed = doc.parse(root->document());
    Q_ASSERT(parsed);
    Q_UNUSED(parsed);
    QStringList problems;
    const std::unique_ptr<MainStructV1> tree =
        ProjectReaderV1::readSubsystem(doc.root(), file, &problems);
    Q_ASSERT_X(problems.isEmpty(), "finish", qPrintable(problems.join(QLatin1Char('\n'))));
    d->files.insert(file, XmlDocument::toByteArray(ProjectWriterV1::buildTree(tree.get())));
}

void DemoProject::addBool(const Page &page, const QString &caption, double x, double y,
                          int byteAddress, int bit, const QString &on, const QString &off,
                          bool readOnly)
{
    GenElement::Ptr e = page.element->append(QStringLiteral("boolcnt"));
    e->set(QStringLiteral("name"), QStringLiteral("bool%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y);
    e->set(QStringLiteral("imageOn"), image(on))
        .set(QStringLiteral("imageOff"), image(off))
        .set(QStringLiteral("byteAddress"), byteAddress)
        .set(QStringLiteral("bitNumber"), bit)
        .set(QStringLiteral("isReadOnly"), readOnly);
    record(page, caption, QStringLiteral("boolcnt"), byteAddress, 1, bit);
}

void DemoProject::addButton(const Page &page, const QString &caption, double x, double y,
                            int byteAddress, int bit, const QString &icon)
{
    GenElement::Ptr e = page.element->append(QStringLiteral("btncnt"));
    e->set(QStringLiteral("name"), QStringLiteral("button%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y);
    e->set(QStringLiteral("width"), 200)
        .set(QStringLiteral("height"), 48)
        .set(QStringLiteral("image"), image(icon))
        .set(QStringLiteral("byteAddress"), byteAddress)
        .set(QStringLiteral("bitNumber"), bit);
    record(page, caption, QStringLiteral("btncnt"), byteAddress, 1, bit);
}

void DemoProject::addByteButtons(const Page &page, int byteAddress, double x, double y, double dx,
                                 const QList<QPair<QString, QString>> &captionsAndIcons,
                                 const QList<int> &values)
{
    Q_ASSERT(captionsAndIcons.size() == values.size());
    for (int i = 0; i < captionsAndIcons.size() && i < values.size(); ++i) {
        const QString &caption = captionsAndIcons.at(i).first;
        const QString &icon = captionsAndIcons.at(i).second;
        GenElement::Ptr e = page.element->append(QStringLiteral("resbt"));
        e->set(QStringLiteral("name"), QStringLiteral("bytebutton%1").arg(++d->nameCounter))
            .set(QStringLiteral("textB"), caption);
        place(*e, x + i * dx, y);
        e->set(QStringLiteral("imageOn"), image(icon + QStringLiteral("_on.png")))
            .set(QStringLiteral("imageOff"), image(icon + QStringLiteral("_off.png")))
            .set(QStringLiteral("byteAddress"), byteAddress)
            .set(QStringLiteral("val"), values.at(i));
        // The buttons of one group write and show the same mode byte: that is their purpose.
        record(page, caption, QStringLiteral("resbt"), byteAddress, 1, -1, true);
    }
}

int DemoProject::addNumber(const Page &page, double x, double y, const Number &n)
{
    const int address = d->plan.allocate(kByteControlLength);
    GenElement::Ptr e = page.element->append(QStringLiteral("bytecnt"));
    e->set(QStringLiteral("name"), QStringLiteral("byte%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), n.caption);
    place(*e, x, y);
    e->set(QStringLiteral("width"), n.width)
        .set(QStringLiteral("height"), n.height)
        .set(QStringLiteral("image"), QStringLiteral("none"))
        .set(QStringLiteral("byteAddress"), address)
        .set(QStringLiteral("maximum"), n.maximum)
        .set(QStringLiteral("minimum"), n.minimum)
        .set(QStringLiteral("precisionView"), n.precision)
        .set(QStringLiteral("step"), n.step)
        .set(QStringLiteral("maxval"), n.maxval)
        .set(QStringLiteral("typeD"), n.typeD)
        .set(QStringLiteral("isReadOnly"), n.readOnly)
        .set(QStringLiteral("isEditable"), n.editable)
        .set(QStringLiteral("fontColor"), QStringLiteral("#FFFFFF"))
        .set(QStringLiteral("titleColor"), QStringLiteral("#9FD3FF"))
        .set(QStringLiteral("showRound"), true)
        .set(QStringLiteral("fontSize"), 22);
    const int valueBytes = n.typeD == QLatin1String("DWORD")  ? 4
                           : n.typeD == QLatin1String("WORD") ? 2
                                                              : 1;
    record(page, n.caption, QStringLiteral("bytecnt ") + n.typeD, address, valueBytes);
    return address;
}

int DemoProject::addSlider(const Page &page, const QString &tag, const QString &caption, double x,
                           double y, int width, int height, int minimum, int maximum,
                           const QString &color)
{
    const int address = d->plan.allocate(kByteControlLength);
    GenElement::Ptr e = page.element->append(tag);
    e->set(QStringLiteral("name"), QStringLiteral("slider%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y);
    e->set(QStringLiteral("width"), width)
        .set(QStringLiteral("height"), height)
        .set(QStringLiteral("byteAddress"), address)
        .set(QStringLiteral("maximum"), maximum)
        .set(QStringLiteral("minimum"), minimum)
        .set(QStringLiteral("precisionView"), 0)
        .set(QStringLiteral("step"), 1.0)
        .set(QStringLiteral("maxval"), 255)
        .set(QStringLiteral("sliderColor"), color)
        .set(QStringLiteral("typeD"), QStringLiteral("BYTE"))
        .set(QStringLiteral("showRound"), true);
    record(page, caption, tag, address, 1);
    return address;
}

int DemoProject::addDynText(const Page &page, const QString &caption, double x, double y, int width,
                            int length, const QString &initial)
{
    const int address = d->plan.allocate(length);
    GenElement::Ptr e = page.element->append(QStringLiteral("dyntextcnt"));
    e->set(QStringLiteral("name"), QStringLiteral("dyntext%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y);
    e->set(QStringLiteral("width"), width)
        .set(QStringLiteral("height"), 40)
        .set(QStringLiteral("fontType"), 50)
        .set(QStringLiteral("fontColor"), QStringLiteral("#FFE082"))
        .set(QStringLiteral("fontFamily"), QStringLiteral("Arial"))
        .set(QStringLiteral("fontSize"), 20)
        .set(QStringLiteral("showRound"), true)
        .set(QStringLiteral("byteAddress"), address)
        .set(QStringLiteral("textAlign"), QStringLiteral("left"))
        .set(QStringLiteral("maximum"), length);
    record(page, caption, QStringLiteral("dyntextcnt"), address, length);
    // The controller starts with a text in place, so the field is never blank in the demo.
    const QByteArray bytes = initial.toLatin1().left(length - 1);
    for (int i = 0; i < length; ++i) {
        const int v = i < bytes.size() ? static_cast<unsigned char>(bytes.at(i)) : 0;
        d->scenarioSetup << QStringLiteral("0 set byte %1 %2").arg(address + i).arg(hex(v));
    }
    return address;
}

int DemoProject::addTextWriter(const Page &page, const QString &caption, double x, double y,
                               int length)
{
    // The controller takes a text write only as whole registers: keep the length even.
    Q_ASSERT(length % 2 == 0);
    const int address = d->plan.allocate(length);
    GenElement::Ptr e = page.element->append(QStringLiteral("textwritecnt"));
    e->set(QStringLiteral("name"), QStringLiteral("textwrite%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y);
    e->set(QStringLiteral("width"), 420)
        .set(QStringLiteral("height"), 96)
        .set(QStringLiteral("byteAddress"), address)
        .set(QStringLiteral("maximum"), length)
        .set(QStringLiteral("fontColor"), QStringLiteral("black"))
        .set(QStringLiteral("showRound"), true)
        .set(QStringLiteral("fontSize"), 18);
    record(page, caption, QStringLiteral("textwritecnt"), address, length);
    return address;
}

void DemoProject::addText(const Page &page, const QString &text, double x, double y, int width,
                          int height, int fontSize, bool bold, const QString &align,
                          const QString &color)
{
    GenElement::Ptr e = page.element->append(QStringLiteral("textcnt"));
    e->set(QStringLiteral("name"), QStringLiteral("text%1").arg(++d->nameCounter))
        .set(QStringLiteral("textB"), text);
    place(*e, x, y);
    e->set(QStringLiteral("width"), width)
        .set(QStringLiteral("height"), height)
        .set(QStringLiteral("fontType"), bold ? 75 : 50)
        .set(QStringLiteral("fontColor"), color)
        .set(QStringLiteral("fontFamily"), QStringLiteral("Arial"))
        .set(QStringLiteral("fontSize"), fontSize)
        .set(QStringLiteral("showRound"), false)
        .set(QStringLiteral("textAlign"), align);
}

void DemoProject::addLink(const Page &page, const QString &caption, const QString &systType,
                          const QString &fileName, const QString &icon, double x, double y)
{
    GenElement::Ptr e = page.element->append(QStringLiteral("syscontrol"));
    e->set(QStringLiteral("name"), QStringLiteral("link%1").arg(++d->nameCounter))
        .set(QStringLiteral("fileName"), fileName)
        .set(QStringLiteral("textB"), caption);
    place(*e, x, y, 0.8);
    e->set(QStringLiteral("systType"), systType).set(QStringLiteral("image"), image(icon));
}

void DemoProject::addWeather(const Page &page, const QString &city, const QString &cityId, double x,
                             double y)
{
    GenElement::Ptr e = page.element->append(QStringLiteral("weather"));
    e->set(QStringLiteral("cityName"), city).set(QStringLiteral("cityId"), cityId);
    place(*e, x, y, 0.8);
}

void DemoProject::addCamera(const Page &page, const QString &tag, const QString &caption, int port,
                            const QString &path, double x, double y, int width, int height)
{
    GenElement::Ptr e = page.element->append(tag);
    e->set(QStringLiteral("camname"), caption)
        .set(QStringLiteral("ipaddress"), QStringLiteral("//") + QLatin1String(kLoopback));
    place(*e, x, y, 0.6);
    e->set(QStringLiteral("width"), width)
        .set(QStringLiteral("height"), height)
        .set(QStringLiteral("showptz"), true)
        .set(QStringLiteral("port"), QString::number(port))
        .set(QStringLiteral("initial"), path)
        .set(QStringLiteral("ptzMoveLeft"), QStringLiteral("/ptz?move=left"))
        .set(QStringLiteral("ptzMoveRight"), QStringLiteral("/ptz?move=right"))
        .set(QStringLiteral("ptzMoveUp"), QStringLiteral("/ptz?move=up"))
        .set(QStringLiteral("ptzMoveDown"), QStringLiteral("/ptz?move=down"))
        .set(QStringLiteral("ptzMoveHome"), QStringLiteral("/ptz?move=home"))
        .set(QStringLiteral("ptzZoomIn"), QStringLiteral("/ptz?zoom=in"))
        .set(QStringLiteral("ptzZoomOut"), QStringLiteral("/ptz?zoom=out"))
        .set(QStringLiteral("login"), QStringLiteral("demo"))
        .set(QStringLiteral("password"), QStringLiteral("demo"))
        .set(QStringLiteral("fps"), 10)
        .set(QStringLiteral("showRound"), true);
}

// ---- the home page -----------------------------------------------------------------------

void DemoProject::buildMain()
{
    GenElement::Ptr root = newRoot(kMainFile, QStringLiteral("Home"), QStringLiteral("Home"),
                                   QStringLiteral("home.png"));
    root->set(QStringLiteral("showScenes"), false);
    const Page page{kMainFile, QStringLiteral("Home"), root};

    // Centred over the house, which stands left of the middle to leave three columns on the right.
    addText(page, QStringLiteral("Verandix demo home"), 192, 22, 520, 44, 28, true,
            QStringLiteral("center"));

    // System screens down the left, further subsystems on the right, the house between them. Both
    // groups share the rows; the right group keeps its top row below the edit toolbox and its
    // bottom right corner free for the undo and redo arrows, where the weather tile ends short.
    struct Button
    {
        const char *caption;
        const char *type;
        const char *icon;
    };
    const Button system[] = {{"Lighting", "light", "sys_light.png"},
                             {"Heating", "heat", "sys_heat.png"},
                             {"Keypad", "secure", "sys_secure.png"},
                             {"Alerts", "alerts", "sys_alerts.png"},
                             {"Scenes", "scenes", "sys_scenes.png"},
                             {"Settings", "settings", "sys_settings.png"},
                             {"Connection", "connection", "sys_connection.png"},
                             {"Info", "info", "sys_info.png"},
                             {"Exit", "exit", "sys_exit.png"},
                             {"History", "history", "sys_history.png"}};
    for (int i = 0; i < int(std::size(system)); ++i) {
        const double x = i < 5 ? 26 : 132;
        const double y = 96 + (i < 5 ? i : i - 5) * 118;
        addLink(page, QString::fromUtf8(system[i].caption), QString::fromLatin1(system[i].type),
                QString(), QString::fromLatin1(system[i].icon), x, y);
    }
    for (int i = 0; i < kSubsystems.size(); ++i) {
        const SubsystemInfo &s = kSubsystems.at(i);
        const double x = 698 + (i % 3) * 106;
        const double y = 96 + (i / 3) * 118;
        addLink(page, s.caption, QStringLiteral("subst"), s.file, s.icon, x, y);
    }
    // Beside the weather link, under the last full row.
    addWeather(page, QStringLiteral("Demo Town"), QStringLiteral("26063"), 804, 450);
    finish(kMainFile, root);
}

// ---- lighting ----------------------------------------------------------------------------

void DemoProject::buildLight()
{
    GenElement::Ptr root = newRoot(kLightFile, QStringLiteral("Lighting"),
                                   QStringLiteral("Lighting"), QStringLiteral("elev_light.png"));
    for (const QString &scene : {QStringLiteral("Evening"), QStringLiteral("Night"),
                                 QStringLiteral("Party"), QStringLiteral("Away")})
        root->append(QStringLiteral("glscene"))->set(QStringLiteral("textB"), scene);
    const Page rootPage{kLightFile, QStringLiteral("Lighting"), root};

    const QList<HouseLayout::Floor> &floors = d->layout.floors();
    for (int f = 0; f < floors.size(); ++f) {
        const HouseLayout::Floor &floor = floors.at(f);
        Page floorPage;
        // The storeys of the cut-away elevation: first floor above, ground floor below.
        const double storeyY = f == 0 ? 450 : 295;
        GenElement::Ptr fe =
            addPage(rootPage, QStringLiteral("floor"), pageName(floor.caption, "lighting"),
                    floor.caption, floor.planImage, floor.icon, 480, storeyY, &floorPage);
        for (int s = 0; s < kLightFloorScenes.size(); ++s)
            fe->append(QStringLiteral("scene"))
                ->set(QStringLiteral("name"), QStringLiteral("scene%1").arg(s + 1))
                .set(QStringLiteral("textB"), kLightFloorScenes.at(s));

        const QTransform ft = PlanPainter::floorTransform();
        for (const HouseLayout::Room &room : floor.rooms) {
            const QPointF c = ft.map(room.rect.center());
            Page roomPage;
            GenElement::Ptr re =
                addPage(floorPage, QStringLiteral("room"), pageName(room.caption, "lighting"),
                        room.caption, room.planImage, room.icon, c.x() - kIconSize / 2.0,
                        c.y() - kIconSize / 2.0, &roomPage);
            for (int s = 0; s < kLightRoomScenes.size(); ++s)
                re->append(QStringLiteral("scene"))
                    ->set(QStringLiteral("name"), QStringLiteral("scene%1").arg(s + 1))
                    .set(QStringLiteral("textB"), kLightRoomScenes.at(s));

            const QTransform rt = PlanPainter::roomTransform(room.rect);
            QList<int> switches;
            for (const QPointF &pos : room.switches) {
                const int number = d->nextSwitch++;
                switches << number;
                const QPointF p = rt.map(pos);
                GenElement::Ptr e = re->append(QStringLiteral("switch"));
                e->set(QStringLiteral("name"), QStringLiteral("switch%1").arg(number))
                    .set(QStringLiteral("textB"), QStringLiteral("Switch %1").arg(number));
                place(*e, p.x() - kIconSize / 2.0, p.y() - kIconSize / 2.0, 0.6);
                e->set(QStringLiteral("imageOn"), image(QStringLiteral("switch.png")))
                    .set(QStringLiteral("imageScene"), image(QStringLiteral("switchscn.png")))
                    .set(QStringLiteral("swcNumber"), number);
            }
            QList<int> sensors;
            for (const QPointF &pos : room.sensors) {
                const int number = d->nextSensor++;
                sensors << number;
                const QPointF p = rt.map(pos);
                GenElement::Ptr e = re->append(QStringLiteral("sensor"));
                e->set(QStringLiteral("name"), QStringLiteral("sensor%1").arg(number))
                    .set(QStringLiteral("textB"), QStringLiteral("Motion"));
                place(*e, p.x() - kIconSize / 2.0, p.y() - kIconSize / 2.0, 0.6);
                e->set(QStringLiteral("imageOn"), image(QStringLiteral("piron.png")))
                    .set(QStringLiteral("imageOff"), image(QStringLiteral("piroff.png")))
                    .set(QStringLiteral("imageDis"), image(QStringLiteral("pirdis.png")))
                    .set(QStringLiteral("snrNumber"), number);
            }
            if (room.name == QLatin1String("hall")) {
                d->hallSensor = sensors.value(0);
                d->hallSwitch = switches.value(0);
            }
            if (room.name == QLatin1String("landing"))
                d->landingSensor = sensors.value(0);

            d->scenarioSetup << QStringLiteral("# %1: lamps, the switches and sensor they follow")
                                    .arg(room.caption);
            for (int i = 0; i < room.lamps.size(); ++i) {
                const HouseLayout::Lamp &lamp = room.lamps.at(i);
                const int number = d->nextLamp++;
                const int address = kLampBase + kLampRecordBytes * number;
                const QPointF p = rt.map(lamp.pos);
                GenElement::Ptr e = re->append(QStringLiteral("lamp"));
                e->set(QStringLiteral("name"), QStringLiteral("lamp%1").arg(number))
                    .set(QStringLiteral("textB"), lamp.caption);
                place(*e, p.x() - kIconSize / 2.0, p.y() - kIconSize / 2.0, 0.6);
                e->set(QStringLiteral("dimmer"), lamp.dimmer)
                    .set(QStringLiteral("isSlider"), lamp.dimmer)
                    .set(QStringLiteral("imageOn"), image(QStringLiteral("lighton.png")))
                    .set(QStringLiteral("imageOff"), image(QStringLiteral("lightoff.png")))
                    .set(QStringLiteral("sliderColor"), lamp.sliderColor)
                    .set(QStringLiteral("lmpNumber"), number);
                record(roomPage, lamp.caption, QStringLiteral("lamp"), address, kLampRecordBytes,
                       -1, true);

                // Controller-side bindings: the room's first switch toggles every lamp of the
                // room; its sensor drives the first lamp; a second switch is the room's scene
                // switch (scene 2) on the second lamp.
                int state = 0;
                if (!sensors.isEmpty() && i == 0)
                    state |= kLampSensorBit;
                // A dimmed accent light is on, at half brightness, when the demo opens.
                if (lamp.dimmer && i == 2)
                    state |= kLampOnBit | ((kLampBrightnessLevels / 2) << kLampBrightnessShift);
                if (state)
                    d->scenarioSetup << QStringLiteral("0 set byte %1 %2")
                                            .arg(address + kLampState)
                                            .arg(hex(state));
                if (!switches.isEmpty())
                    d->scenarioSetup << QStringLiteral("0 set byte %1 %2")
                                            .arg(address + kLampSwitch1)
                                            .arg(switches.first());
                if (!sensors.isEmpty() && i == 0)
                    d->scenarioSetup << QStringLiteral("0 set byte %1 %2")
                                            .arg(address + kLampSensor)
                                            .arg(sensors.first());
                if (switches.size() > 1 && i == 1) {
                    d->scenarioSetup << QStringLiteral("0 set byte %1 %2")
                                            .arg(address + kLampSceneSwitch)
                                            .arg(switches.at(1));
                    d->scenarioSetup
                        << QStringLiteral("0 set byte %1 2").arg(address + kLampSceneNumber);
                }
            }
        }
    }
    finish(kLightFile, root);
}

// ---- heating -----------------------------------------------------------------------------

void DemoProject::buildHeat()
{
    GenElement::Ptr root = newRoot(kHeatFile, QStringLiteral("Heating"), QStringLiteral("Heating"),
                                   QStringLiteral("elev_heat.png"));
    for (const QString &scene : {QStringLiteral("Comfort"), QStringLiteral("Economy"),
                                 QStringLiteral("Away"), QStringLiteral("Night")})
        root->append(QStringLiteral("glscene"))->set(QStringLiteral("textB"), scene);
    const Page rootPage{kHeatFile, QStringLiteral("Heating"), root};

    // Set-points in 0.2 degree steps: warm bathroom, cool bedrooms, frost guard in the boiler room.
    const QMap<QString, double> setPoints = {
        {QStringLiteral("living_room"), 21.6}, {QStringLiteral("kitchen"), 21.0},
        {QStringLiteral("hall"), 19.0},        {QStringLiteral("boiler_room"), 12.0},
        {QStringLiteral("study"), 21.0},       {QStringLiteral("bedroom"), 19.0},
        {QStringLiteral("kids_room"), 20.6},   {QStringLiteral("guest_room"), 18.0},
        {QStringLiteral("landing"), 19.0},     {QStringLiteral("bathroom"), 23.0}};

    const QList<HouseLayout::Floor> &floors = d->layout.floors();
    for (int f = 0; f < floors.size(); ++f) {
        const HouseLayout::Floor &floor = floors.at(f);
        Page floorPage;
        const double storeyY = f == 0 ? 450 : 295;
        GenElement::Ptr fe =
            addPage(rootPage, QStringLiteral("floor"), pageName(floor.caption, "heating"),
                    floor.caption, floor.planImage, floor.icon, 480, storeyY, &floorPage);
        for (int s = 0; s < kHeatScenes.size(); ++s)
            fe->append(QStringLiteral("scene"))->set(QStringLiteral("textB"), kHeatScenes.at(s));
        const QTransform ft = PlanPainter::floorTransform();
        for (const HouseLayout::Room &room : floor.rooms) {
            const QPointF c = ft.map(room.rect.center());
            Page roomPage;
            GenElement::Ptr re =
                addPage(floorPage, QStringLiteral("room"), pageName(room.caption, "heating"),
                        room.caption, room.planImage, room.icon, c.x() - kIconSize / 2.0,
                        c.y() - kIconSize / 2.0, &roomPage);
            for (int s = 0; s < kHeatScenes.size(); ++s)
                re->append(QStringLiteral("scene"))
                    ->set(QStringLiteral("textB"), kHeatScenes.at(s));
            const int number = d->nextThermostat++;
            const int address = kThermostatBase + kThermostatRecordBytes * number;
            const QPointF p = PlanPainter::roomTransform(room.rect).map(room.thermostat);
            GenElement::Ptr e = re->append(QStringLiteral("heat"));
            e->set(QStringLiteral("name"), QStringLiteral("thermostat%1").arg(number))
                .set(QStringLiteral("textB"), room.caption);
            place(*e, p.x() - kThermostatWidth / 2.0, p.y() - kThermostatHeight / 2.0, 0.6);
            e->set(QStringLiteral("width"), kThermostatWidth)
                .set(QStringLiteral("height"), kThermostatHeight)
                .set(QStringLiteral("swcNumber"), number)
                .set(QStringLiteral("fontColor"), QStringLiteral("#FFFFFF"))
                .set(QStringLiteral("titleColor"), QStringLiteral("#FFD28A"))
                .set(QStringLiteral("fontSize"), 16);
            record(roomPage, room.caption, QStringLiteral("heat"), address, kThermostatRecordBytes,
                   -1, true);
            const int steps = qRound(setPoints.value(room.name, 20.0) / kTemperatureStep);
            d->scenarioSetup << QStringLiteral("0 set byte %1 %2  # %3 set-point %4 C")
                                    .arg(address + kThermostatSetPoint)
                                    .arg(steps)
                                    .arg(room.caption)
                                    .arg(steps * kTemperatureStep);
        }
    }
    finish(kHeatFile, root);
}

// ---- further subsystems ------------------------------------------------------------------

void DemoProject::buildSecurity()
{
    const Page page = beginSubsystem(QStringLiteral("security.xml"), QStringLiteral("security"));

    // Arming and disarming take a code: they go through the keypad, never through a button that
    // writes the mode. The mode byte keeps its place in the block so that nothing else moves.
    d->plan.allocate(1);
    addText(page, QStringLiteral("Arm or disarm"), 40, 214, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    addLink(page, QStringLiteral("Keypad"), QStringLiteral("secure"), QString(),
            QStringLiteral("sys_secure.png"), 40, 250);
    const int state = d->plan.allocate(1);
    addBool(page, QStringLiteral("Siren"), 520, 250, state, 0, QStringLiteral("siren_on.png"),
            QStringLiteral("siren_off.png"), true);
    addBool(page, QStringLiteral("Intrusion"), 630, 250, state, 1, QStringLiteral("alert_on.png"),
            QStringLiteral("alert_off.png"), true);
    const int panic = d->plan.allocate(1);
    addButton(page, QStringLiteral("Panic alarm"), 40, 390, panic, 0,
              QStringLiteral("cmd_panic.png"));
    addText(page, QStringLiteral("Last event"), 40, 470, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    d->securityEventText = addDynText(page, QStringLiteral("Last event"), 40, 506, 460, kTextBytes,
                                      QStringLiteral("System disarmed"));
    addLink(page, QStringLiteral("Cameras"), QStringLiteral("subst"), QStringLiteral("cameras.xml"),
            QStringLiteral("sub_cameras.png"), kLinkColumnX, linkRowY(0));
    addLink(page, QStringLiteral("Gates"), QStringLiteral("subst"), QStringLiteral("gates.xml"),
            QStringLiteral("sub_gates.png"), kLinkColumnX, linkRowY(1));

    // One page per storey over its plan: door and window contacts where they are, smoke
    // detectors in the rooms that have them.
    const QTransform ft = PlanPainter::floorTransform();
    const QList<HouseLayout::Floor> &floors = d->layout.floors();
    for (int f = 0; f < floors.size(); ++f) {
        const HouseLayout::Floor &floor = floors.at(f);
        Page floorPage;
        addPage(page, QStringLiteral("floor"), pageName(floor.caption, "security"), floor.caption,
                floor.planImage, floor.icon, 40 + f * 120, 100, &floorPage);
        int contactByte = -1;
        int bit = 8;
        for (const HouseLayout::Opening &o : floor.openings) {
            const bool vertical = qFuzzyCompare(o.a.x(), o.b.x());
            const bool exterior =
                vertical ? (o.a.x() <= 0.01 || o.a.x() >= HouseLayout::kHouseWidth - 0.01)
                         : (o.a.y() <= 0.01 || o.a.y() >= HouseLayout::kHouseDepth - 0.01);
            if (!exterior)
                continue;
            if (bit == 8) {
                contactByte = d->plan.allocate(1);
                bit = 0;
            }
            if (!o.window && f == 0) {
                d->securityContactsByte = contactByte;
                d->frontDoorMask = 1 << bit;
            }
            // The icon sits just inside the wall, in the room the opening belongs to.
            QPointF mid = (o.a + o.b) / 2;
            QPointF inward = vertical ? QPointF(o.a.x() <= 0.01 ? 0.55 : -0.55, 0)
                                      : QPointF(0, o.a.y() <= 0.01 ? 0.55 : -0.55);
            mid += inward;
            QString where;
            for (const HouseLayout::Room &room : floor.rooms) {
                if (room.rect.contains(mid))
                    where = room.caption;
            }
            const QPointF p = ft.map(mid);
            const QString caption = o.window ? where : QStringLiteral("Front door");
            addBool(floorPage, caption, p.x() - 24, p.y() - 24, contactByte, bit++,
                    o.window ? QStringLiteral("window_open.png") : QStringLiteral("door_open.png"),
                    o.window ? QStringLiteral("window_closed.png")
                             : QStringLiteral("door_closed.png"),
                    true);
        }
        const int smokeByte = d->plan.allocate(1);
        int smokeBit = 0;
        for (const HouseLayout::Room &room : floor.rooms) {
            if (room.name != QLatin1String("kitchen") && room.name != QLatin1String("hall") &&
                room.name != QLatin1String("bedroom") && room.name != QLatin1String("landing"))
                continue;
            const QPointF p = ft.map(room.rect.center() + QPointF(0.9, -0.6));
            addBool(floorPage, QStringLiteral("Smoke"), p.x() - 24, p.y() - 24, smokeByte,
                    smokeBit++, QStringLiteral("smoke_on.png"), QStringLiteral("smoke_off.png"),
                    true);
        }
    }
    finish(page.file, page.element);
}

void DemoProject::buildLeaks()
{
    const Page page = beginSubsystem(QStringLiteral("leaks.xml"), QStringLiteral("leaks"));

    d->leakByte = d->plan.allocate(1);
    const QStringList places = {QStringLiteral("Kitchen sink"), QStringLiteral("Dishwasher"),
                                QStringLiteral("Boiler room"), QStringLiteral("Bathroom"),
                                QStringLiteral("Washing machine")};
    addText(page, QStringLiteral("Leak sensors"), 40, 100, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    for (int i = 0; i < places.size(); ++i)
        addBool(page, places.at(i), 40 + i * 130, 136, d->leakByte, i,
                QStringLiteral("leak_on.png"), QStringLiteral("leak_off.png"), true);
    const int valves = d->plan.allocate(1);
    addText(page, QStringLiteral("Shut-off valves"), 40, 260, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    addBool(page, QStringLiteral("Main valve"), 40, 296, valves, 0,
            QStringLiteral("valve_open.png"), QStringLiteral("valve_closed.png"), false);
    addBool(page, QStringLiteral("Boiler room valve"), 170, 296, valves, 1,
            QStringLiteral("valve_open.png"), QStringLiteral("valve_closed.png"), false);
    d->scenarioSetup << QStringLiteral("0 set byte %1 0x03  # both valves open").arg(valves);
    const int reset = d->plan.allocate(1);
    addButton(page, QStringLiteral("Reset leak alarm"), 320, 310, reset, 0,
              QStringLiteral("cmd_reset.png"));

    Number meter;
    meter.caption = QStringLiteral("Water meter, m3");
    meter.typeD = QStringLiteral("DWORD");
    meter.maximum = 1000;
    meter.maxval = 100000;
    meter.precision = 2;
    meter.width = 220;
    d->waterMeter = addNumber(page, 40, 430, meter);
    Number pressure;
    pressure.caption = QStringLiteral("Pressure, bar");
    pressure.maximum = 10;
    pressure.maxval = 100;
    pressure.precision = 1;
    const int pressureByte = addNumber(page, 300, 430, pressure);
    d->scenarioSetup << QStringLiteral("0 set byte %1 38  # 3.8 bar").arg(pressureByte);
    addLink(page, QStringLiteral("Boiler room"), QStringLiteral("subst"),
            QStringLiteral("boiler.xml"), QStringLiteral("sub_boiler.png"), kLinkColumnX,
            linkRowY(0));
    finish(page.file, page.element);
}

void DemoProject::buildElectricity()
{
    const Page page =
        beginSubsystem(QStringLiteral("electricity.xml"), QStringLiteral("electricity"));

    Number voltage;
    voltage.caption = QStringLiteral("Mains voltage, V");
    voltage.typeD = QStringLiteral("WORD");
    voltage.maximum = 300;
    voltage.maxval = 300;
    d->electricVoltage = addNumber(page, 40, 100, voltage);
    Number current;
    current.caption = QStringLiteral("Current, A");
    current.typeD = QStringLiteral("WORD");
    current.maximum = 63;
    current.maxval = 630;
    current.precision = 1;
    const int currentAddress = addNumber(page, 240, 100, current);
    Number power;
    power.caption = QStringLiteral("Power, kW");
    power.typeD = QStringLiteral("DWORD");
    power.maximum = 30;
    power.maxval = 30000;
    power.precision = 2;
    d->electricPower = addNumber(page, 440, 100, power);
    Number energy;
    energy.caption = QStringLiteral("Energy today, kWh");
    energy.typeD = QStringLiteral("DWORD");
    energy.maximum = 1000;
    energy.maxval = 10000;
    energy.precision = 1;
    const int energyAddress = addNumber(page, 640, 100, energy);

    const int status = d->plan.allocate(1);
    addText(page, QStringLiteral("Supply"), 40, 220, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    addBool(page, QStringLiteral("Mains"), 40, 256, status, 0, QStringLiteral("power_on.png"),
            QStringLiteral("power_off.png"), true);
    addBool(page, QStringLiteral("Generator"), 150, 256, status, 1,
            QStringLiteral("generator_on.png"), QStringLiteral("generator_off.png"), true);
    addBool(page, QStringLiteral("UPS on battery"), 260, 256, status, 2,
            QStringLiteral("alert_on.png"), QStringLiteral("alert_off.png"), true);
    const int relays = d->plan.allocate(1);
    addText(page, QStringLiteral("Circuits"), 40, 380, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    const QStringList circuits = {QStringLiteral("Kitchen sockets"),
                                  QStringLiteral("Outdoor sockets"), QStringLiteral("Sauna"),
                                  QStringLiteral("Car charger")};
    for (int i = 0; i < circuits.size(); ++i)
        addBool(page, circuits.at(i), 40 + i * 130, 416, relays, i, QStringLiteral("plug_on.png"),
                QStringLiteral("plug_off.png"), false);
    d->scenarioSetup << QStringLiteral("0 set byte %1 0x01  # mains present").arg(status);
    d->scenarioSetup << QStringLiteral("0 set byte %1 0x0b  # circuits 1, 2 and 4 on").arg(relays);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2").arg(d->electricVoltage).arg(230 & 0xff);
    d->scenarioSetup
        << QStringLiteral("0 set byte %1 %2").arg(d->electricVoltage + 1).arg(230 >> 8);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2  # 12.4 A").arg(currentAddress).arg(124);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2").arg(energyAddress).arg(187 & 0xff);
    addLink(page, QStringLiteral("Ventilation"), QStringLiteral("subst"),
            QStringLiteral("ventilation.xml"), QStringLiteral("sub_ventilation.png"), kLinkColumnX,
            linkRowY(0));
    addLink(page, QStringLiteral("Boiler room"), QStringLiteral("subst"),
            QStringLiteral("boiler.xml"), QStringLiteral("sub_boiler.png"), kLinkColumnX,
            linkRowY(1));
    finish(page.file, page.element);
}

void DemoProject::buildVentilation()
{
    const Page page =
        beginSubsystem(QStringLiteral("ventilation.xml"), QStringLiteral("ventilation"));

    const int speed = d->plan.allocate(1);
    addText(page, QStringLiteral("Fan speed"), 40, 100, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    addByteButtons(page, speed, 40, 136, 110,
                   {{QStringLiteral("Off"), QStringLiteral("fan0")},
                    {QStringLiteral("Low"), QStringLiteral("fan1")},
                    {QStringLiteral("Medium"), QStringLiteral("fan2")},
                    {QStringLiteral("High"), QStringLiteral("fan3")}},
                   {0, 1, 2, 3});
    d->scenarioSetup << QStringLiteral("0 set byte %1 2  # medium speed").arg(speed);
    const int fresh = addSlider(page, QStringLiteral("hslider"), QStringLiteral("Fresh air, %"), 40,
                                270, 420, 80, 0, 100, QStringLiteral("#4dd0a8"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 153  # 60 %").arg(fresh);
    const int extract =
        addSlider(page, QStringLiteral("vslider"), QStringLiteral("Bathroom extract"), 680, 100, 90,
                  300, 0, 100, QStringLiteral("#4dd0a8"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 102  # 40 %").arg(extract);

    Number supply;
    supply.caption = QStringLiteral("Supply air, C");
    supply.minimum = -20;
    supply.maximum = 60;
    supply.maxval = 160;
    supply.precision = 1;
    const int supplyAddress = addNumber(page, 40, 400, supply);
    d->scenarioSetup << QStringLiteral("0 set byte %1 77  # 18.5 C").arg(supplyAddress);
    Number humidity;
    humidity.caption = QStringLiteral("Humidity, %");
    humidity.maximum = 100;
    humidity.maxval = 100;
    d->ventHumidity = addNumber(page, 240, 400, humidity);
    Number co2;
    co2.caption = QStringLiteral("CO2, ppm");
    co2.typeD = QStringLiteral("WORD");
    co2.maximum = 5000;
    co2.maxval = 5000;
    d->ventCo2 = addNumber(page, 440, 400, co2);

    const int flags = d->plan.allocate(1);
    addBool(page, QStringLiteral("Filter service"), 40, 520, flags, 0,
            QStringLiteral("alert_on.png"), QStringLiteral("alert_off.png"), true);
    addBool(page, QStringLiteral("Heat recovery"), 170, 520, flags, 1, QStringLiteral("on.png"),
            QStringLiteral("off.png"), false);
    d->scenarioSetup << QStringLiteral("0 set byte %1 0x02  # heat recovery on").arg(flags);
    addLink(page, QStringLiteral("Electricity"), QStringLiteral("subst"),
            QStringLiteral("electricity.xml"), QStringLiteral("sub_electricity.png"), kLinkColumnX,
            linkRowY(0));
    finish(page.file, page.element);
}

void DemoProject::buildBoiler()
{
    const Page page = beginSubsystem(QStringLiteral("boiler.xml"), QStringLiteral("boiler"));

    const int states = d->plan.allocate(1);
    addBool(page, QStringLiteral("Burner"), 40, 100, states, 0, QStringLiteral("flame_on.png"),
            QStringLiteral("flame_off.png"), true);
    addBool(page, QStringLiteral("Heating pump"), 150, 100, states, 1,
            QStringLiteral("pump_on.png"), QStringLiteral("pump_off.png"), true);
    addBool(page, QStringLiteral("Hot water pump"), 260, 100, states, 2,
            QStringLiteral("pump_on.png"), QStringLiteral("pump_off.png"), true);
    d->scenarioSetup
        << QStringLiteral("0 set byte %1 0x03  # burner and heating pump running").arg(states);
    const int mode = d->plan.allocate(1);
    addText(page, QStringLiteral("Season"), 460, 64, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    addByteButtons(page, mode, 460, 100, 110,
                   {{QStringLiteral("Off"), QStringLiteral("mode_off")},
                    {QStringLiteral("Summer"), QStringLiteral("mode_summer")},
                    {QStringLiteral("Winter"), QStringLiteral("mode_winter")}},
                   {0, 1, 2});
    d->scenarioSetup << QStringLiteral("0 set byte %1 2  # winter").arg(mode);

    Number flow;
    flow.caption = QStringLiteral("Flow, C");
    flow.typeD = QStringLiteral("WORD");
    flow.maximum = 100;
    flow.maxval = 1000;
    flow.precision = 1;
    d->boilerFlow = addNumber(page, 40, 250, flow);
    Number back = flow;
    back.caption = QStringLiteral("Return, C");
    const int returnAddress = addNumber(page, 240, 250, back);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2").arg(returnAddress).arg(512 & 0xff);
    d->scenarioSetup
        << QStringLiteral("0 set byte %1 %2  # 51.2 C").arg(returnAddress + 1).arg(512 >> 8);
    Number water;
    water.caption = QStringLiteral("Hot water, C");
    water.minimum = 40;
    water.maximum = 70;
    water.maxval = 30;
    water.readOnly = false;
    water.editable = true;
    water.step = 1.0;
    const int waterAddress = addNumber(page, 440, 250, water);
    d->scenarioSetup << QStringLiteral("0 set byte %1 15  # 55 C").arg(waterAddress);
    const int powerAddress =
        addSlider(page, QStringLiteral("vslider"), QStringLiteral("Burner power"), 700, 220, 90,
                  300, 0, 100, QStringLiteral("#ff7043"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 179  # 70 %").arg(powerAddress);
    addText(page, QStringLiteral("Status"), 40, 380, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    d->boilerStatusText = addDynText(page, QStringLiteral("Boiler status"), 40, 416, 460,
                                     kTextBytes, QStringLiteral("Heating"));
    addLink(page, QStringLiteral("Water leaks"), QStringLiteral("subst"),
            QStringLiteral("leaks.xml"), QStringLiteral("sub_leaks.png"), kLinkColumnX,
            linkRowY(0));
    addLink(page, QStringLiteral("Electricity"), QStringLiteral("subst"),
            QStringLiteral("electricity.xml"), QStringLiteral("sub_electricity.png"), kLinkColumnX,
            linkRowY(1));
    finish(page.file, page.element);
}

void DemoProject::buildGarden()
{
    const Page page = beginSubsystem(QStringLiteral("garden.xml"), QStringLiteral("garden"));

    const int zones = d->plan.allocate(1);
    addText(page, QStringLiteral("Irrigation zones"), 40, 100, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    const QStringList names = {QStringLiteral("Lawn"), QStringLiteral("Flower beds"),
                               QStringLiteral("Vegetables"), QStringLiteral("Hedge")};
    for (int i = 0; i < names.size(); ++i)
        addBool(page, names.at(i), 40 + i * 120, 136, zones, i, QStringLiteral("sprinkler_on.png"),
                QStringLiteral("sprinkler_off.png"), false);
    const int sensors = d->plan.allocate(1);
    addBool(page, QStringLiteral("Rain"), 560, 136, sensors, 0, QStringLiteral("rain_on.png"),
            QStringLiteral("rain_off.png"), true);
    addBool(page, QStringLiteral("Pump"), 670, 136, sensors, 1, QStringLiteral("pump_on.png"),
            QStringLiteral("pump_off.png"), true);

    Number duration;
    duration.caption = QStringLiteral("Watering time, min");
    duration.maximum = 60;
    duration.maxval = 60;
    duration.step = 5;
    duration.readOnly = false;
    duration.editable = true;
    duration.width = 220;
    const int durationAddress = addNumber(page, 40, 280, duration);
    d->scenarioSetup << QStringLiteral("0 set byte %1 15").arg(durationAddress);
    const int start = d->plan.allocate(1);
    addButton(page, QStringLiteral("Water now"), 300, 296, start, 0,
              QStringLiteral("cmd_water.png"));
    const int lights =
        addSlider(page, QStringLiteral("hslider"), QStringLiteral("Garden lights, %"), 40, 420, 420,
                  80, 0, 100, QStringLiteral("#7cb342"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 77  # 30 %").arg(lights);
    addLink(page, QStringLiteral("Weather"), QStringLiteral("subst"), QStringLiteral("weather.xml"),
            QStringLiteral("sub_weather.png"), kLinkColumnX, linkRowY(0));
    finish(page.file, page.element);
}

void DemoProject::buildGates()
{
    const Page page = beginSubsystem(QStringLiteral("gates.xml"), QStringLiteral("gates"));

    const int command = d->plan.allocate(1);
    addText(page, QStringLiteral("Driveway gate"), 40, 100, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    addByteButtons(page, command, 40, 136, 110,
                   {{QStringLiteral("Open"), QStringLiteral("gate_cmd_open")},
                    {QStringLiteral("Stop"), QStringLiteral("gate_cmd_stop")},
                    {QStringLiteral("Close"), QStringLiteral("gate_cmd_close")}},
                   {1, 3, 2});
    d->gateByte = d->plan.allocate(1);
    addBool(page, QStringLiteral("Gate"), 40, 280, d->gateByte, 0, QStringLiteral("gate_open.png"),
            QStringLiteral("gate_closed.png"), true);
    addBool(page, QStringLiteral("Garage door"), 150, 280, d->gateByte, 1,
            QStringLiteral("door_open.png"), QStringLiteral("door_closed.png"), true);
    const int buttons = d->plan.allocate(1);
    addButton(page, QStringLiteral("Open wicket"), 40, 420, buttons, 0,
              QStringLiteral("cmd_wicket.png"));
    addButton(page, QStringLiteral("Garage door"), 260, 420, buttons, 1,
              QStringLiteral("cmd_garage.png"));
    addCamera(page, QStringLiteral("ipcam"), QStringLiteral("Gate camera"), kCameraPortGate,
              QStringLiteral("/gate.mjpg"), 470, 100, 400, 300);
    addLink(page, QStringLiteral("Cameras"), QStringLiteral("subst"), QStringLiteral("cameras.xml"),
            QStringLiteral("sub_cameras.png"), kLinkColumnX, linkRowY(0));
    finish(page.file, page.element);
}

void DemoProject::buildCameras()
{
    const Page page = beginSubsystem(QStringLiteral("cameras.xml"), QStringLiteral("cameras"));
    // Two rows under the heading. A camera tile needs 250 pixels of height for its control
    // buttons and caption; two rows of them just fit a 700-pixel window.
    addCamera(page, QStringLiteral("ipcam"), QStringLiteral("Gate"), kCameraPortGate,
              QStringLiteral("/gate.mjpg"), 40, 100, 400, 250);
    addCamera(page, QStringLiteral("ipcam"), QStringLiteral("Garden"), kCameraPortGarden,
              QStringLiteral("/garden.mjpg"), 470, 100, 400, 250);
    addCamera(page, QStringLiteral("avcam"), QStringLiteral("Front door"), kCameraPortDoor,
              QStringLiteral("/door.mjpg"), 40, 400, 320, 250);
    const int recording = d->plan.allocate(1);
    addBool(page, QStringLiteral("Recording"), 400, 420, recording, 0, QStringLiteral("rec_on.png"),
            QStringLiteral("rec_off.png"), false);
    d->scenarioSetup << QStringLiteral("0 set byte %1 0x01  # recording").arg(recording);
    addLink(page, QStringLiteral("Gates"), QStringLiteral("subst"), QStringLiteral("gates.xml"),
            QStringLiteral("sub_gates.png"), 520, 420);
    addLink(page, QStringLiteral("Security"), QStringLiteral("subst"),
            QStringLiteral("security.xml"), QStringLiteral("sub_security.png"), 630, 420);
    finish(page.file, page.element);
}

void DemoProject::buildMedia()
{
    const Page page = beginSubsystem(QStringLiteral("media.xml"), QStringLiteral("media"));

    const int source = d->plan.allocate(1);
    addText(page, QStringLiteral("Source"), 40, 100, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    addByteButtons(page, source, 40, 136, 110,
                   {{QStringLiteral("Off"), QStringLiteral("src_off")},
                    {QStringLiteral("Radio"), QStringLiteral("src_radio")},
                    {QStringLiteral("TV"), QStringLiteral("src_tv")},
                    {QStringLiteral("Music"), QStringLiteral("src_music")}},
                   {0, 1, 2, 3});
    d->scenarioSetup << QStringLiteral("0 set byte %1 3  # music").arg(source);
    const int volume = addSlider(page, QStringLiteral("hslider"), QStringLiteral("Volume"), 40, 270,
                                 420, 80, 0, 100, QStringLiteral("#ec407a"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 89  # 35 %").arg(volume);
    const int bass = addSlider(page, QStringLiteral("vslider"), QStringLiteral("Bass"), 560, 100,
                               90, 300, -10, 10, QStringLiteral("#ec407a"));
    d->scenarioSetup << QStringLiteral("0 set byte %1 153  # +2").arg(bass);
    addText(page, QStringLiteral("Now playing"), 40, 370, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    d->mediaNowPlaying = addDynText(page, QStringLiteral("Now playing"), 40, 406, 460, kTextBytes,
                                    QStringLiteral("Evening jazz"));
    const int buttons = d->plan.allocate(1);
    addButton(page, QStringLiteral("Play / Pause"), 40, 460, buttons, 0,
              QStringLiteral("cmd_play.png"));
    addButton(page, QStringLiteral("Next"), 260, 460, buttons, 1, QStringLiteral("cmd_next.png"));
    addTextWriter(page, QStringLiteral("Message to the hall display"), 40, 540, kTextBytes);
    finish(page.file, page.element);
}

void DemoProject::buildWeather()
{
    const Page page = beginSubsystem(QStringLiteral("weather.xml"), QStringLiteral("weather"));
    addWeather(page, QStringLiteral("Demo Town"), QStringLiteral("26063"), 40, 100);
    addWeather(page, QStringLiteral("Seaside"), QStringLiteral("26702"), 320, 100);

    addText(page, QStringLiteral("Roof station"), 40, 300, 300, 28, 16, false,
            QStringLiteral("left"), QStringLiteral("#9FD3FF"));
    Number outdoor;
    outdoor.caption = QStringLiteral("Outdoor, C");
    outdoor.minimum = -40;
    outdoor.maximum = 60;
    outdoor.maxval = 200;
    outdoor.precision = 1;
    d->weatherTemp = addNumber(page, 40, 336, outdoor);
    Number wind;
    wind.caption = QStringLiteral("Wind, m/s");
    wind.typeD = QStringLiteral("WORD");
    wind.maximum = 40;
    wind.maxval = 400;
    wind.precision = 1;
    const int windAddress = addNumber(page, 240, 336, wind);
    Number pressure;
    pressure.caption = QStringLiteral("Pressure, hPa");
    pressure.typeD = QStringLiteral("WORD");
    pressure.minimum = 900;
    pressure.maximum = 1100;
    pressure.maxval = 2000;
    pressure.precision = 1;
    const int pressureAddress = addNumber(page, 440, 336, pressure);
    Number rain;
    rain.caption = QStringLiteral("Rain today, mm");
    rain.typeD = QStringLiteral("DWORD");
    rain.maximum = 500;
    rain.maxval = 5000;
    rain.precision = 1;
    const int rainAddress = addNumber(page, 640, 336, rain);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2  # 4.5 C").arg(d->weatherTemp).arg(89);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2  # 3.2 m/s").arg(windAddress).arg(32);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2").arg(pressureAddress).arg(1132 & 0xff);
    d->scenarioSetup
        << QStringLiteral("0 set byte %1 %2  # 1013.2 hPa").arg(pressureAddress + 1).arg(1132 >> 8);
    d->scenarioSetup << QStringLiteral("0 set byte %1 %2  # 1.2 mm").arg(rainAddress).arg(12);
    addText(page, QStringLiteral("Forecast"), 40, 450, 300, 28, 16, false, QStringLiteral("left"),
            QStringLiteral("#9FD3FF"));
    d->forecastText = addDynText(page, QStringLiteral("Forecast"), 40, 486, 460, kTextBytes,
                                 QStringLiteral("Light rain later"));
    addLink(page, QStringLiteral("Garden"), QStringLiteral("subst"), QStringLiteral("garden.xml"),
            QStringLiteral("sub_garden.png"), kLinkColumnX, linkRowY(0));
    finish(page.file, page.element);
}

// ---- the simulator's timeline ------------------------------------------------------------

QByteArray DemoProject::scenario() const
{
    auto text = [](int at, int address, const QString &value) {
        QStringList lines;
        const QByteArray bytes = value.toLatin1().left(kTextBytes - 1);
        for (int i = 0; i < kTextBytes; ++i) {
            const int v = i < bytes.size() ? static_cast<unsigned char>(bytes.at(i)) : 0;
            lines << QStringLiteral("%1 set byte %2 %3").arg(at).arg(address + i).arg(hex(v));
        }
        return lines.join(QLatin1Char('\n'));
    };
    QStringList out;
    out << QStringLiteral(
               "# Demo home timeline for verandix-homesim. Generated by verandix-demogen.")
        << QStringLiteral(
               "# At start: lamp bindings, set-points, texts and readings; then rounds of two")
        << QStringLiteral(
               "# minutes: motion in the hall, the front door alarm, a kitchen leak and its")
        << QStringLiteral("# clearance, the gate, while all parameters drift.");
    out << d->scenarioSetup;
    out << QStringLiteral("# Water meter and power readings");
    out << QStringLiteral("0 set byte %1 %2").arg(d->waterMeter).arg(45678 & 0xff)
        << QStringLiteral("0 set byte %1 %2").arg(d->waterMeter + 1).arg((45678 >> 8) & 0xff)
        << QStringLiteral("0 set byte %1 %2  # 456.78 m3").arg(d->waterMeter + 2).arg(45678 >> 16)
        << QStringLiteral("0 set byte %1 %2").arg(d->electricPower).arg(2850 & 0xff)
        << QStringLiteral("0 set byte %1 %2  # 2.85 kW").arg(d->electricPower + 1).arg(2850 >> 8)
        << QStringLiteral("0 set byte %1 %2").arg(d->boilerFlow).arg(648 & 0xff)
        << QStringLiteral("0 set byte %1 %2  # 64.8 C").arg(d->boilerFlow + 1).arg(648 >> 8)
        << QStringLiteral("0 set byte %1 46").arg(d->ventHumidity)
        << QStringLiteral("0 set byte %1 %2").arg(d->ventCo2).arg(640 & 0xff)
        << QStringLiteral("0 set byte %1 %2  # 640 ppm").arg(d->ventCo2 + 1).arg(640 >> 8);
    out << QStringLiteral("# Parameters drift on their own");
    for (int id = 1; id <= kParameterCount; ++id)
        out << QStringLiteral("0 set param %1 auto").arg(id);

    // The homesim timeline replays from the very start on "repeat", setup included, which would
    // undo what a visitor changed; so the loop is written out a number of times instead.
    for (int cycle = 0; cycle < kScenarioCycles; ++cycle) {
        const int base = 5 + cycle * kScenarioCycleSeconds;
        out << QStringLiteral("# Round %1: someone comes home, the front door opens").arg(cycle + 1)
            << QStringLiteral("%1 motion %2").arg(base + 1).arg(d->hallSensor)
            << QStringLiteral("%1 set byte %2 %3  # front door contact")
                   .arg(base + 5)
                   .arg(d->securityContactsByte)
                   .arg(hex(d->frontDoorMask))
            << QStringLiteral("%1 alarm on %2 0 %3")
                   .arg(base + 5)
                   .arg(kMessageFrontDoor)
                   .arg(kSoundAlarm)
            << text(base + 5, d->securityEventText, QStringLiteral("Front door open"))
            << QStringLiteral("%1 switch %2").arg(base + 11).arg(d->hallSwitch)
            << QStringLiteral("%1 set byte %2 0x00").arg(base + 19).arg(d->securityContactsByte)
            << QStringLiteral("%1 alarm off %2").arg(base + 19).arg(kMessageFrontDoor)
            << text(base + 19, d->securityEventText, QStringLiteral("Front door shut"))
            << QStringLiteral("%1 motion %2").arg(base + 25).arg(d->landingSensor);
        out << QStringLiteral(
                   "# A leak under the kitchen sink: the main valve closes, then all is dry")
            << QStringLiteral("%1 set byte %2 0x01").arg(base + 35).arg(d->leakByte)
            << QStringLiteral("%1 set byte %2 0x02  # main valve closed")
                   .arg(base + 35)
                   .arg(d->leakByte + 1)
            << QStringLiteral("%1 alarm on %2 0 %3")
                   .arg(base + 35)
                   .arg(kMessageKitchenLeak)
                   .arg(kSoundLeak)
            << QStringLiteral("%1 set byte %2 0x00").arg(base + 57).arg(d->leakByte)
            << QStringLiteral("%1 set byte %2 0x03  # valves open again")
                   .arg(base + 57)
                   .arg(d->leakByte + 1)
            << QStringLiteral("%1 alarm off %2").arg(base + 57).arg(kMessageKitchenLeak);
        out << QStringLiteral("# The driveway gate opens for a car and closes again")
            << QStringLiteral("%1 set byte %2 0x01").arg(base + 70).arg(d->gateByte)
            << QStringLiteral("%1 message on %2 0 %3")
                   .arg(base + 70)
                   .arg(kMessageGateOpen)
                   .arg(kSoundChime)
            << QStringLiteral("%1 set byte %2 0x00").arg(base + 85).arg(d->gateByte)
            << QStringLiteral("%1 message off %2").arg(base + 85).arg(kMessageGateOpen)
            << text(base + 90, d->boilerStatusText, QStringLiteral("Hot water"))
            << text(base + 90, d->mediaNowPlaying, QStringLiteral("Radio news"))
            << text(base + 100, d->boilerStatusText, QStringLiteral("Heating"))
            << text(base + 100, d->mediaNowPlaying, QStringLiteral("Evening jazz"))
            << text(base + 105, d->forecastText,
                    cycle % 2 ? QStringLiteral("Light rain later")
                              : QStringLiteral("Clear tonight"));
    }
    return out.join(QLatin1Char('\n')).toUtf8() + '\n';
}
