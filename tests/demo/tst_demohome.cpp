// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The demo home shipped in the resources: current with its generator, unpacked and loaded as the
// program does, complete (plans, pictures, sounds, links, settings) and free of address clashes.
#include "demofolder.h"

#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "cameracontrolv1.h"
#include "controlconstants.h"
#include "eappsettings.h"
#include "epackage.h"
#include "floorstructv1.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "resbtcontrolv1.h"
#include "roomsv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "xmldocument.h"

#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using namespace ControlConstants;

QStringList filesIn(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    return files;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The same file, or for a picture the same picture: the raster engine's antialiasing takes
// different SIMD paths on different processors, which may move an edge pixel by one step of a
// channel, so pictures drawn on another machine are compared pixel by pixel with that allowance.
bool sameContent(const QString &a, const QString &b)
{
    const QByteArray left = readAll(a);
    const QByteArray right = readAll(b);
    if (left == right)
        return true;
    if (!a.endsWith(QLatin1String(".png")) && !a.endsWith(QLatin1String(".jpg")))
        return false;
    const QImage x = QImage::fromData(left).convertToFormat(QImage::Format_ARGB32);
    const QImage y = QImage::fromData(right).convertToFormat(QImage::Format_ARGB32);
    if (x.isNull() || x.size() != y.size())
        return false;
    constexpr int kAllowance = 2;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (qAbs(qRed(p[col]) - qRed(q[col])) > kAllowance ||
                qAbs(qGreen(p[col]) - qGreen(q[col])) > kAllowance ||
                qAbs(qBlue(p[col]) - qBlue(q[col])) > kAllowance ||
                qAbs(qAlpha(p[col]) - qAlpha(q[col])) > kAllowance)
                return false;
        }
    }
    return true;
}

// The pictures a control names; sub-page buttons are collected from the pages themselves.
QStringList imagesOf(const BaseControlV1 *c)
{
    switch (c->kind()) {
    case KindSwitch: {
        auto s = static_cast<const SwitchControlV1 *>(c);
        return {s->imageOn(), s->imageScene()};
    }
    case KindSensor: {
        auto s = static_cast<const SensorControlV1 *>(c);
        return {s->imageOn(), s->imageOff(), s->imageDis()};
    }
    case KindLight: {
        auto l = static_cast<const LightControlV1 *>(c);
        return {l->imageOn(), l->imageOff()};
    }
    case KindBool: {
        auto b = static_cast<const BoolControlV1 *>(c);
        return {b->imageOn(), b->imageOff()};
    }
    case KindResbt: {
        auto b = static_cast<const ResbtControlV1 *>(c);
        return {b->imageOn(), b->imageOff()};
    }
    case KindBtn:
        return {static_cast<const BtnControlV1 *>(c)->image()};
    case KindByte:
        return {static_cast<const ByteControlV1 *>(c)->image()};
    case KindSystem:
        return {static_cast<const SystemControlV1 *>(c)->image()};
    default:
        return {};
    }
}

// Bytes of controller memory a control's value occupies (not the whole window it reads).
int valueBytes(const DynamicControlV1 *c)
{
    switch (c->kind()) {
    case KindByte:
    case KindHSlider:
    case KindVSlider:
        return c->typeD() == TypeDWord ? 4 : c->typeD() == TypeWord ? 2 : 1;
    default:
        return c->dataLength();
    }
}

} // namespace

class tst_DemoHome : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void generatedFilesAreCurrent_data();
    void generatedFilesAreCurrent();
    void generationIsReproducible();

    void everyPageHasAPlanThatLoads();
    void everyPackagedFileIsUsed();
    void everyNamedFileExists();
    void linksResolve();
    void everyControlKindIsShown();
    void controlsDoNotShareBytesByAccident();
    void everythingTalksToLoopback();

    void settingsCoverEveryKeyAndList();
    void securityTextsAreTheKeypadStates();
    void backgroundsAreShipped();

    void checkerReportsNoProblem();
    void pageNamesAreReadableAndUnique();
    void securityArmsOnlyThroughTheKeypad();

private:
    bool generate(const QString &folder, QString *error) const;
    QSet<QString> namedImages() const;

    QTemporaryDir m_fresh;     // a generation from the sources
    QTemporaryDir m_committed; // the committed packages, unpacked one folder each
    QTemporaryDir m_work;      // the resources unpacked as the demo start does
    RoomsV1 m_rooms;
    EAppSettings m_settings;
};

bool tst_DemoHome::generate(const QString &folder, QString *error) const
{
    QProcess gen;
    gen.setProgram(QStringLiteral(DEMOGEN_PATH));
    gen.setArguments({QStringLiteral("--out"), folder});
    gen.start();
    if (!gen.waitForFinished(120000) || gen.exitStatus() != QProcess::NormalExit ||
        gen.exitCode() != 0) {
        *error = QString::fromLocal8Bit(gen.readAllStandardError());
        return false;
    }
    return true;
}

void tst_DemoHome::initTestCase()
{
    QVERIFY(m_fresh.isValid() && m_committed.isValid() && m_work.isValid());
    QString error;
    QVERIFY2(generate(m_fresh.path(), &error), qPrintable(error));

    const QString source = QStringLiteral(DEMO_SOURCE_DIR);
    for (const char *package : {"configs", "images", "sounds"}) {
        const QString name = QString::fromLatin1(package);
        QVERIFY(QDir(m_committed.path()).mkpath(name));
        QVERIFY2(EPackage::unpack(source + QStringLiteral("/%1.package").arg(name),
                                  m_committed.path() + QLatin1Char('/') + name),
                 qPrintable(name));
    }

    QVERIFY2(QFile::exists(QStringLiteral(":/resources/demo/configs.package")),
             "the demo packages are not compiled into the resources");
    QVERIFY(DemoFolder::unpack(m_work.path()));
    const QStringList files = DemoFolder::projectFiles(m_work.path());
    QVERIFY(!files.isEmpty());
    QVERIFY(m_rooms.load(m_work.path(), files));
    QVERIFY(m_settings.load(QStringLiteral(":/resources/demo/config.xml")));
}

void tst_DemoHome::generatedFilesAreCurrent_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("fresh");
    const QString source = QStringLiteral(DEMO_SOURCE_DIR);
    const QString fresh = m_fresh.path();
    QTest::newRow("project files in configs.package")
        << m_committed.path() + QStringLiteral("/configs") << fresh + QStringLiteral("/configs");
    QTest::newRow("pictures in images.package")
        << m_committed.path() + QStringLiteral("/images") << fresh + QStringLiteral("/images");
    QTest::newRow("sounds in sounds.package")
        << m_committed.path() + QStringLiteral("/sounds") << fresh + QStringLiteral("/sounds");
    QTest::newRow("background pictures")
        << source + QStringLiteral("/fone") << fresh + QStringLiteral("/fone");
    QTest::newRow("settings") << source + QStringLiteral("/config.xml")
                              << fresh + QStringLiteral("/config.xml");
    QTest::newRow("simulator timeline")
        << source + QStringLiteral("/demo.scenario") << fresh + QStringLiteral("/demo.scenario");
    QTest::newRow("address plan") << source + QStringLiteral("/src/address-plan.md")
                                  << fresh + QStringLiteral("/address-plan.md");
}

void tst_DemoHome::generatedFilesAreCurrent()
{
    QFETCH(QString, committed);
    QFETCH(QString, fresh);
    const char *hint = "resources/demo is out of date: run resources/demo/regenerate.sh";
    if (QFileInfo(fresh).isFile()) {
        QVERIFY2(readAll(committed) == readAll(fresh), hint);
        return;
    }
    const QStringList names = filesIn(fresh);
    QVERIFY(!names.isEmpty());
    QCOMPARE(filesIn(committed), names);
    for (const QString &name : names)
        QVERIFY2(sameContent(committed + QLatin1Char('/') + name, fresh + QLatin1Char('/') + name),
                 qPrintable(name + QStringLiteral(": ") + QLatin1String(hint)));
}

void tst_DemoHome::generationIsReproducible()
{
    QTemporaryDir again;
    QString error;
    QVERIFY2(generate(again.path(), &error), qPrintable(error));
    for (const char *sub : {"configs", "images", "sounds", "fone"}) {
        const QString a = m_fresh.path() + QLatin1Char('/') + QLatin1String(sub);
        const QString b = again.path() + QLatin1Char('/') + QLatin1String(sub);
        QCOMPARE(filesIn(b), filesIn(a));
        for (const QString &name : filesIn(a))
            QVERIFY2(readAll(a + QLatin1Char('/') + name) == readAll(b + QLatin1Char('/') + name),
                     qPrintable(name));
    }
}

void tst_DemoHome::everyPageHasAPlanThatLoads()
{
    // Home, lighting and heating with two floors of five rooms each, a security tree with two
    // storeys and nine flat subsystems.
    QCOMPARE(m_rooms.pageCount(), 1 + 13 + 13 + 3 + 9);
    for (BaseRoomV1 *page : m_rooms.pages()) {
        QVERIFY2(!page->image().isEmpty(), qPrintable(DemoFolder::describe(page)));
        const QImage plan(m_work.path() + QLatin1Char('/') + page->image());
        QVERIFY2(!plan.isNull(),
                 qPrintable(DemoFolder::describe(page) + QLatin1Char(' ') + page->image()));
        QVERIFY2(plan.width() >= 800 && plan.height() >= 480, qPrintable(page->image()));
        if (page->kind() != 3) {
            // A floor or room is reached through its button on the parent plan.
            QVERIFY2(!page->contImage().isEmpty(), qPrintable(DemoFolder::describe(page)));
        }
    }
}

QSet<QString> tst_DemoHome::namedImages() const
{
    QSet<QString> names;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        names << page->image() << page->contImage();
        for (const BaseControlV1 *c : page->controls()) {
            for (const QString &name : imagesOf(c))
                names << name;
        }
    }
    names.remove(QString());
    names.remove(QStringLiteral("none"));
    return names;
}

void tst_DemoHome::everyPackagedFileIsUsed()
{
    // Pictures: named by a page or control. Project files: loaded as a tree with a root name.
    // Sounds: listed in the settings.
    const QSet<QString> named = namedImages();
    for (const QString &name : filesIn(m_committed.path() + QStringLiteral("/images")))
        QVERIFY2(named.contains(name), qPrintable(name + QStringLiteral(" is never shown")));
    for (const QString &name : filesIn(m_committed.path() + QStringLiteral("/configs"))) {
        const MainStructV1 *tree = m_rooms.systemByFileName(name);
        QVERIFY2(tree && !tree->name().isEmpty(), qPrintable(name));
    }
    QSet<QString> sounds;
    for (const EAppSettings::SoundEntry &s : m_settings.sounds())
        sounds << s.fileName;
    const QStringList packed = filesIn(m_committed.path() + QStringLiteral("/sounds"));
    QCOMPARE(sounds, QSet<QString>(packed.cbegin(), packed.cend()));
}

void tst_DemoHome::everyNamedFileExists()
{
    for (const QString &name : namedImages()) {
        const QImage image(m_work.path() + QLatin1Char('/') + name);
        QVERIFY2(!image.isNull(), qPrintable(name));
    }
    for (const EAppSettings::SoundEntry &s : m_settings.sounds()) {
        const QByteArray wave = readAll(m_work.path() + QLatin1Char('/') + s.fileName);
        QVERIFY2(wave.startsWith("RIFF") && wave.mid(8, 4) == "WAVE" && wave.size() > 1000,
                 qPrintable(s.fileName));
        // PCM, format code 1.
        QCOMPARE(int(wave.at(20)), 1);
    }
}

void tst_DemoHome::linksResolve()
{
    QSet<int> systemScreens;
    int subsystemButtons = 0;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        for (const BaseControlV1 *c : page->controls()) {
            if (c->kind() != KindSystem)
                continue;
            auto link = static_cast<const SystemControlV1 *>(c);
            QVERIFY2(link->systType() != RoomConstantsV1::FormNone,
                     qPrintable(DemoFolder::describe(page) + QLatin1Char(' ') + link->textB()));
            if (link->systType() == RoomConstantsV1::FormSubsystem) {
                const MainStructV1 *target = m_rooms.systemByFileName(link->fileName());
                QVERIFY2(target && !target->name().isEmpty(),
                         qPrintable(link->textB() + QStringLiteral(" -> ") + link->fileName()));
                if (page == m_rooms.mainPage())
                    ++subsystemButtons;
            } else {
                systemScreens << int(link->systType());
            }
        }
    }
    // Every system screen is reachable from the home page, and every further subsystem too.
    const QSet<int> expected = {RoomConstantsV1::FormInfo,       RoomConstantsV1::FormSecure,
                                RoomConstantsV1::FormSettings,   RoomConstantsV1::FormAlerts,
                                RoomConstantsV1::FormConnection, RoomConstantsV1::FormExit,
                                RoomConstantsV1::FormScenes,     RoomConstantsV1::FormLight,
                                RoomConstantsV1::FormHeat,       RoomConstantsV1::FormHistory};
    QCOMPARE(systemScreens, expected);
    QCOMPARE(subsystemButtons, m_rooms.otherSystems().size());
    QVERIFY(m_rooms.otherSystems().size() >= 10);
}

void tst_DemoHome::everyControlKindIsShown()
{
    QSet<int> kinds;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        for (const BaseControlV1 *c : page->controls())
            kinds << c->kind();
    }
    const QList<int> all = {KindSwitch,  KindSensor, KindText,  KindSystem,  KindWeather,
                            KindIpCam,   KindAVCam,  KindBool,  KindBtn,     KindByte,
                            KindHeat,    KindLight,  KindResbt, KindDynText, KindTextWrite,
                            KindHSlider, KindVSlider};
    for (int kind : all)
        QVERIFY2(kinds.contains(kind), qPrintable(QString::number(kind)));

    QSet<int> widths;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        for (const BaseControlV1 *c : page->controls()) {
            if (c->kind() == KindByte)
                widths << static_cast<const DynamicControlV1 *>(c)->typeD();
        }
    }
    QCOMPARE(widths, QSet<int>({TypeByte, TypeWord, TypeDWord}));
}

void tst_DemoHome::controlsDoNotShareBytesByAccident()
{
    QHash<int, QString> lamps;
    QHash<int, QString> thermostats;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        QList<const DynamicControlV1 *> bound;
        for (const BaseControlV1 *c : page->controls()) {
            if (!isControllerBound(c->kind()))
                continue;
            auto d = static_cast<const DynamicControlV1 *>(c);
            bound << d;
            QVERIFY2(d->fetchLength() <= kMaxBlockBytes, qPrintable(c->textB()));
            if (c->kind() == KindLight) {
                const int n = static_cast<const LightControlV1 *>(c)->lmpNumber();
                QVERIFY2(!lamps.contains(n), qPrintable(QStringLiteral("lamp %1 twice").arg(n)));
                lamps.insert(n, c->textB());
            } else if (c->kind() == KindHeat) {
                const int n = static_cast<const HeatControlV1 *>(c)->swcNumber();
                QVERIFY2(!thermostats.contains(n),
                         qPrintable(QStringLiteral("thermostat %1 twice").arg(n)));
                thermostats.insert(n, c->textB());
            } else {
                // Nothing but lamps and thermostats in the status block, scene area or records.
                QVERIFY2(d->byteAddress() >= 1024, qPrintable(c->textB()));
            }
        }
        for (int i = 0; i < bound.size(); ++i) {
            for (int j = i + 1; j < bound.size(); ++j) {
                const DynamicControlV1 *a = bound.at(i);
                const DynamicControlV1 *b = bound.at(j);
                const bool overlap = a->byteAddress() < b->byteAddress() + valueBytes(b) &&
                                     b->byteAddress() < a->byteAddress() + valueBytes(a);
                if (!overlap)
                    continue;
                // Intended sharing: bits of one byte, the buttons of one mode byte.
                const bool bits = (a->kind() == KindBool || a->kind() == KindBtn) &&
                                  (b->kind() == KindBool || b->kind() == KindBtn);
                const bool modeButtons = a->kind() == KindResbt && b->kind() == KindResbt &&
                                         a->byteAddress() == b->byteAddress();
                QVERIFY2(bits || modeButtons,
                         qPrintable(DemoFolder::describe(page) + QStringLiteral(": ") + a->textB() +
                                    QStringLiteral(" / ") + b->textB()));
                if (bits) {
                    const int bitA = a->kind() == KindBool
                                         ? static_cast<const BoolControlV1 *>(a)->bitNumber()
                                         : static_cast<const BtnControlV1 *>(a)->bitNumber();
                    const int bitB = b->kind() == KindBool
                                         ? static_cast<const BoolControlV1 *>(b)->bitNumber()
                                         : static_cast<const BtnControlV1 *>(b)->bitNumber();
                    QVERIFY2(bitA != bitB,
                             qPrintable(a->textB() + QStringLiteral(" / ") + b->textB()));
                }
            }
        }
    }
    QVERIFY(lamps.size() >= 20);
    QCOMPARE(thermostats.size(), 10);
}

void tst_DemoHome::everythingTalksToLoopback()
{
    QCOMPARE(m_settings.value(EAppSettings::IpAddress).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(m_settings.value(EAppSettings::IpAddress2).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(m_settings.value(EAppSettings::IpPort).toInt(), 1502);
    int cameras = 0;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        for (const BaseControlV1 *c : page->controls()) {
            if (c->kind() != KindIpCam && c->kind() != KindAVCam)
                continue;
            ++cameras;
            QCOMPARE(static_cast<const CameraControlV1 *>(c)->ipaddress(),
                     QStringLiteral("//127.0.0.1"));
        }
    }
    QVERIFY(cameras >= 3);
}

void tst_DemoHome::settingsCoverEveryKeyAndList()
{
    XmlDocument doc;
    QVERIFY(doc.load(QStringLiteral(":/resources/demo/config.xml")));
    QCOMPARE(doc.root()->tagName(), QStringLiteral("config"));
    QCOMPARE(doc.root()->attribute(QStringLiteral("version")).toInt(), 2);
    QSet<QString> tags;
    for (const XML::NodeElementPtr &e : doc.root()->children())
        tags << e->tagName();
    for (int key = 0; key < EAppSettings::KeyCount; ++key)
        QVERIFY2(tags.contains(EAppSettings::keyName(key)), qPrintable(EAppSettings::keyName(key)));

    QCOMPARE(m_settings.value(EAppSettings::Timeout).toInt(), 500);
    QCOMPARE(m_settings.registerOffset(), 0);
    QCOMPARE(m_settings.value(EAppSettings::DrawType).toString(), QStringLiteral("auto"));
    QCOMPARE(m_settings.value(EAppSettings::ShowSettings).toBool(), true);
    // The demo keeps its history, a row a minute, so the history screen grows while it runs.
    QCOMPARE(m_settings.value(EAppSettings::WriteArchive).toBool(), true);
    QCOMPARE(m_settings.value(EAppSettings::WriteAlarm).toBool(), true);
    QCOMPARE(m_settings.value(EAppSettings::ArchiveDelay).toInt(), 60000);

    QCOMPARE(m_settings.globalScenes().size(), 8);
    QVERIFY(!m_settings.additionalSets().isEmpty());
    QVERIFY(!m_settings.mediaScenes().isEmpty());
    QVERIFY(!m_settings.engineeringScenes().isEmpty());
    const auto messages = m_settings.messages();
    QVERIFY(messages.size() >= 20);
    QSet<int> ids;
    for (const auto &m : messages) {
        QVERIFY2(!ids.contains(m.id), qPrintable(m.text));
        ids << m.id;
        QVERIFY2(m.maximum > m.minimum, qPrintable(m.text));
    }
    const auto parameters = m_settings.parameters();
    QCOMPARE(parameters.size(), 16);
    for (int i = 0; i < parameters.size(); ++i) {
        QCOMPARE(int(parameters.at(i).id), i + 1);
        QVERIFY(!parameters.at(i).text.isEmpty());
        QVERIFY2(parameters.at(i).maximum > parameters.at(i).minimum,
                 qPrintable(parameters.at(i).text));
    }
}

void tst_DemoHome::securityTextsAreTheKeypadStates()
{
    QStringList expected = {"Malfunction",     "Disarmed",       "Armed",           "Enter pass...",
                            "Wrong pass!",     "Alarm!",         "Countdown",       "Alarm enabled",
                            "Connection lost", "Error",          "Arming...",       "Disarming...",
                            "Enter old pass",  "Enter new pass", "Repeat new pass", "Pass changed",
                            "Changing pass",   "Forced pass"};
    for (int user = 1; user <= 10; ++user)
        expected << QStringLiteral("User %1").arg(user);
    QMap<int, QString> texts;
    for (const EAppSettings::SecureText &t : m_settings.secureTexts()) {
        QVERIFY2(!texts.contains(t.number), qPrintable(QString::number(t.number)));
        texts.insert(t.number, t.text);
    }
    QCOMPARE(texts.size(), expected.size());
    for (int code = 0; code < expected.size(); ++code)
        QCOMPARE(texts.value(code), expected.at(code));
}

void tst_DemoHome::backgroundsAreShipped()
{
    const QStringList names = QDir(QStringLiteral(":/resources/demo/fone")).entryList(QDir::Files);
    QVERIFY(names.size() >= 2);
    for (const QString &name : names)
        QVERIFY2(!QImage(QStringLiteral(":/resources/demo/fone/") + name).isNull(),
                 qPrintable(name));
    QVERIFY(names.contains(m_settings.value(EAppSettings::FoneImage).toString()));
}

void tst_DemoHome::checkerReportsNoProblem()
{
#ifndef CHECK_PATH
    QSKIP("verandix-check is not part of this build");
#else
    // The checker loads the folder as the panel does: settings, project files and pictures.
    QProcess check;
    check.setProgram(QStringLiteral(CHECK_PATH));
    check.setArguments({m_work.path()});
    check.start();
    QVERIFY(check.waitForFinished(60000));
    const QByteArray report = check.readAllStandardOutput() + check.readAllStandardError();
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0,
             report.constData());
#endif
}

QTEST_GUILESS_MAIN(tst_DemoHome)
#include "tst_demohome.moc" // Page names are what back captions and titles show: a person reads where the page is and what
// it is for, and no two pages share a name.
void tst_DemoHome::pageNamesAreReadableAndUnique()
{
    QSet<QString> names;
    for (const BaseRoomV1 *page : m_rooms.pages()) {
        const QString name = page->name();
        QVERIFY2(!names.contains(name), qPrintable(name));
        names << name;
        QVERIFY2(!name.contains(QLatin1Char('_')), qPrintable(name));
        QVERIFY2(name.at(0).isUpper(), qPrintable(name));
        if (page->kind() != BaseRoomV1::KindRoot)
            QVERIFY2(name.startsWith(page->textB() + QStringLiteral(" \u00B7 ")), qPrintable(name));
    }
    const BaseRoomV1 *ground = m_rooms.lightSystem()->floors().first();
    QCOMPARE(ground->name(), QStringLiteral("Ground floor \u00B7 lighting"));
    QCOMPARE(m_rooms.mainSystem()->name(), QStringLiteral("Home"));
}

// Arming and disarming take a code: the security page has no button that writes the mode, only
// the way to the keypad.
void tst_DemoHome::securityArmsOnlyThroughTheKeypad()
{
    const MainStructV1 *security = m_rooms.systemByFileName(QStringLiteral("security.xml"));
    QVERIFY(security);
    bool keypad = false;
    for (const BaseRoomV1 *page : security->allPages()) {
        for (const BaseControlV1 *c : page->controls()) {
            QVERIFY2(c->kind() != KindResbt, qPrintable(c->textB()));
            if (c->kind() == KindByte)
                QVERIFY2(c->isReadOnly(), qPrintable(c->textB()));
            if (auto *button = dynamic_cast<const SystemControlV1 *>(c))
                keypad = keypad || button->systType() == RoomConstantsV1::FormSecure;
        }
    }
    QVERIFY(keypad);
}
