// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "demosettings.h"

#include "democonstants.h"
#include "eappsettings.h"
#include "genelement.h"

namespace {

using namespace DemoConstants;

struct Key
{
    const char *tag;
    QString value;
    const char *description;
};

struct Message
{
    int id;
    const char *text;
    double minimum;
    double maximum;
};

} // namespace

QStringList DemoSettings::soundFiles()
{
    return {QStringLiteral("alarm.wav"), QStringLiteral("chime.wav"), QStringLiteral("leak.wav"),
            QStringLiteral("smoke.wav")};
}

QStringList DemoSettings::backgrounds()
{
    return {QStringLiteral("night.png"), QStringLiteral("dusk.png"), QStringLiteral("garden.png")};
}

QByteArray DemoSettings::document()
{
    GenElement::Ptr root = GenElement::create(QStringLiteral("config"));
    root->set(QStringLiteral("version"), 2);

    const QString loopback = QString::fromLatin1(kLoopback);
    // Every key the program knows, in the order of its settings table.
    const Key keys[] = {
        {"language", QStringLiteral("en_US"), "Language of the interface"},
        {"timeautoclose", QStringLiteral("0"), "Reserved"},
        {"fontname", QStringLiteral("Arial"), "Reserved"},
        {"show_settings", QStringLiteral("true"), "Editing tools on the room screens"},
        {"fulllevelimage", QStringLiteral("false"), "Room screen drawing option"},
        // A row a minute: the demo's own past (written at its first start) has the same pace
        // for the last days, so the live rows join it seamlessly.
        {"archivedelay", QStringLiteral("60000"), "Minimum time between archive rows, ms"},
        {"writearchive", QStringLiteral("true"), "Write the parameter archive"},
        {"writealarm", QStringLiteral("true"), "Write the alarm log"},
        {"savestate", QStringLiteral("false"), "Reserved"},
        {"wndview", QStringLiteral("normal"), "Window mode"},
        {"foneimage", backgrounds().first(), "Background picture from the folder fone"},
        {"ipaddress", loopback, "Controller address"},
        {"ipaddress2", loopback, "Second controller address"},
        {"ipport", QString::number(kControllerPort), "Controller port"},
        {"timeout", QStringLiteral("500"), "Polling period, ms"},
        {"offset", QStringLiteral("0"), "Register offset, hexadecimal"},
        {"reconnecttime", QStringLiteral("60"), "Renew the connection every N minutes"},
        {"closable", QStringLiteral("true"), "Reserved"},
        {"posx", QStringLiteral("100"), "Window left edge"},
        {"posy", QStringLiteral("100"), "Window top edge"},
        {"width", QStringLiteral("1024"), "Window width"},
        {"height", QStringLiteral("700"), "Window height"},
        {"drawtype", QStringLiteral("auto"), "Drawing mode: normal, scale or auto"},
        {"zoomwidth", QStringLiteral("1024"), "Content width when scaling"},
        {"zoomheight", QStringLiteral("768"), "Content height when scaling"},
        {"isHideAlertColumns", QStringLiteral("true"), "Hide the optional alert columns"},
        {"shwingen", QStringLiteral("true"), "Show the engineering scenes"},
        {"shwmedia", QStringLiteral("true"), "Show the media scenes"},
        {"readfunctionmb", QStringLiteral("3"), "Modbus read function"},
        {"controller_codec", QStringLiteral("Windows-1251"),
         "Encoding of the texts in the controller"},
        // The simulator serves the informer beside the controller when started with --http.
        {"weather_url", QStringLiteral("http://127.0.0.1:8089/xml/"),
         "Weather informer: base address ending in /xml/"},
    };
    for (const Key &k : keys) {
        root->append(QString::fromLatin1(k.tag))
            ->set(QStringLiteral("value"), k.value)
            .set(QStringLiteral("name"), QString::fromLatin1(k.description));
    }

    const char *globalScenes[kGlobalSceneCount] = {"Evening", "Night",  "Party",  "Away",
                                                   "Morning", "Cinema", "Dinner", "Holiday"};
    for (int i = 0; i < kGlobalSceneCount; ++i)
        root->append(QStringLiteral("glscene"))
            ->set(QStringLiteral("id"), i + 1)
            .set(QStringLiteral("textB"), QString::fromLatin1(globalScenes[i]));
    const char *triggers[] = {"Doorbell", "Motion at night", "Sunset", "Sunrise"};
    for (int i = 0; i < 4; ++i)
        root->append(QStringLiteral("dopset"))
            ->set(QStringLiteral("id"), i + 1)
            .set(QStringLiteral("value"), QString::fromLatin1(triggers[i]));
    const char *media[] = {"Movie night", "Music everywhere", "Kitchen radio", "Silence"};
    for (int i = 0; i < 4; ++i)
        root->append(QStringLiteral("medscn"))
            ->set(QStringLiteral("id"), i + 1)
            .set(QStringLiteral("value"), QString::fromLatin1(media[i]));
    const char *engineering[] = {"Flush pipes", "Siren test", "Lamp test", "Filter service"};
    for (int i = 0; i < 4; ++i)
        root->append(QStringLiteral("ingscn"))
            ->set(QStringLiteral("id"), i + 1)
            .set(QStringLiteral("value"), QString::fromLatin1(engineering[i]));

    // Alarm and message texts; the range is that of the value the controller reports with them.
    const Message messages[] = {
        {kMessageKitchenLeak, "Water leak in the kitchen", 0, 1},
        {2, "Water leak in the bathroom", 0, 1},
        {3, "Water leak in the boiler room", 0, 1},
        {4, "Smoke in the kitchen", 0, 100},
        {5, "Smoke in the hall", 0, 100},
        {6, "Boiler overheating", 0, 120},
        {7, "Mains power failure", 0, 300},
        {kMessageFrontDoor, "Front door open", 0, 1},
        {kMessageGateOpen, "Driveway gate open", 0, 1},
        {10, "Bedroom window open while armed", 0, 1},
        {11, "Motion in the hall while armed", 0, 1},
        {12, "Low temperature in the boiler room", -20, 40},
        {13, "High humidity in the bathroom", 0, 100},
        {14, "Frost risk for the garden pipes", -30, 10},
        {15, "CO2 level high in the living room", 0, 5000},
        {16, "Gas detected in the boiler room", 0, 100},
        {17, "UPS battery low", 0, 100},
        {18, "Gate camera offline", 0, 1},
        {19, "Irrigation valve stuck", 0, 4},
        {20, "Ventilation filter clogged", 0, 100},
        {21, "Heating pump failure", 0, 1},
    };
    for (const Message &m : messages) {
        root->append(QStringLiteral("message"))
            ->set(QStringLiteral("id"), m.id)
            .set(QStringLiteral("textB"), QString::fromUtf8(m.text))
            .set(QStringLiteral("minimum"), m.minimum)
            .set(QStringLiteral("maximum"), m.maximum);
    }
    const Message parameters[] = {
        {1, "Outdoor temperature, C", -40, 50},
        {2, "Living room temperature, C", 0, 40},
        {3, "Bedroom temperature, C", 0, 40},
        {4, "Bathroom humidity, %", 0, 100},
        {5, "Mains voltage, V", 180, 260},
        {6, "Boiler flow temperature, C", 0, 100},
        {7, "Boiler return temperature, C", 0, 100},
        {8, "Hot water temperature, C", 0, 100},
        {9, "Water pressure, bar", 0, 10},
        {10, "Atmospheric pressure, hPa", 950, 1060},
        {11, "Outdoor humidity, %", 0, 100},
        {12, "CO2 in the living room, ppm", 0, 2500},
        {13, "Wind speed, m/s", 0, 40},
        {14, "Power consumption, kW", 0, 15},
        {15, "Boiler room temperature, C", -10, 50},
        {16, "Soil moisture, %", 0, 100},
    };
    for (const Message &p : parameters) {
        root->append(QStringLiteral("parameter"))
            ->set(QStringLiteral("id"), p.id)
            .set(QStringLiteral("textB"), QString::fromUtf8(p.text))
            .set(QStringLiteral("minimum"), p.minimum)
            .set(QStringLiteral("maximum"), p.maximum);
    }
    const QStringList sounds = soundFiles();
    for (int i = 0; i < sounds.size(); ++i)
        root->append(QStringLiteral("sound"))
            ->set(QStringLiteral("fileName"), sounds.at(i))
            .set(QStringLiteral("value"), i + 1);

    // The keypad shows the controller's security state with these texts, codes 0 to 27.
    QStringList secure = {QStringLiteral("Malfunction"),     QStringLiteral("Disarmed"),
                          QStringLiteral("Armed"),           QStringLiteral("Enter pass..."),
                          QStringLiteral("Wrong pass!"),     QStringLiteral("Alarm!"),
                          QStringLiteral("Countdown"),       QStringLiteral("Alarm enabled"),
                          QStringLiteral("Connection lost"), QStringLiteral("Error"),
                          QStringLiteral("Arming..."),       QStringLiteral("Disarming..."),
                          QStringLiteral("Enter old pass"),  QStringLiteral("Enter new pass"),
                          QStringLiteral("Repeat new pass"), QStringLiteral("Pass changed"),
                          QStringLiteral("Changing pass"),   QStringLiteral("Forced pass")};
    for (int user = 1; user <= 10; ++user)
        secure << QStringLiteral("User %1").arg(user);
    for (int code = 0; code < secure.size(); ++code)
        root->append(QStringLiteral("secure"))
            ->set(QStringLiteral("value"), code)
            .set(QStringLiteral("textB"), secure.at(code));
    // In the layout the program's settings writer gives it, so that the panel's own save of an
    // unchanged demo leaves the file as it is.
    EAppSettings settings;
    const bool loaded = settings.loadData(root->document());
    Q_ASSERT(loaded);
    return loaded ? settings.document() : root->document();
}
