// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "adminaccess.h"
#include "adminpindialog.h"
#include "alertform.h"
#include "connsettform.h"
#include "eappsettings.h"
#include "echeckboxwidget.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "egroupboxwidget.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "exttoolwidget.h"
#include "sceneform.h"
#include "screentestsupport.h"
#include "secureform.h"
#include "settingsform.h"

#include <QApplication>
#include <QStandardPaths>
#include <QImage>
#include <QtTest>

namespace {
const char *const kSettings = R"(
 <language value="en_US"/>
 <show_settings value="true"/>
 <writearchive value="true"/>
)";

// The PIN panel up over `form`, if any (one that was answered may wait to be deleted).
AdminPinDialog *pinPanel(QGraphicsWidget *form)
{
    return AdminAccess::openPanel(form);
}

QVariant stored(int key)
{
    return ECoreApp::instance()->settings().value(key);
}

// Whether a label or frame title somewhere under `root` shows `text`.
bool showsText(QGraphicsItem *root, const QString &text)
{
    if (root->isWidget()) {
        auto *widget = static_cast<QGraphicsWidget *>(root);
        if (auto *label = qobject_cast<ELabelWidget *>(widget); label && label->labelT() == text)
            return true;
        if (auto *box = qobject_cast<EGroupBoxWidget *>(widget); box && box->labelT() == text)
            return true;
    }
    const QList<QGraphicsItem *> children = root->childItems();
    return std::any_of(children.begin(), children.end(),
                       [&](QGraphicsItem *child) { return showsText(child, text); });
}

bool writeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestSettingsForm : public QObject
{
    Q_OBJECT

private slots:
    void showingIsNotAChange()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SettingsForm;
        fixture.place(form);
        QVERIFY(form->archiveBox()->isChecked());
        QVERIFY(!form->alarmBox()->isChecked());
        QVERIFY(!form->isChanged());
        form->hide();
        ECoreApp::destroyInstance();
        QFile file(fixture.folder() + "/config.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Filling the boxes on show wrote nothing: the file still has no alarm log switch.
        QVERIFY(!file.readAll().contains("writealarm"));
    }

    void clickedBoxIsStoredOnLeaving()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SettingsForm;
        fixture.place(form);
        fixture.click(form->alarmBox());
        QVERIFY(form->alarmBox()->isChecked());
        QVERIFY(form->isChanged());
        QCOMPARE(stored(EAppSettings::WriteAlarm).toBool(), false);
        form->hide();
        QCOMPARE(stored(EAppSettings::WriteAlarm).toBool(), true);
        QCOMPARE(stored(EAppSettings::WriteArchive).toBool(), true);
    }

    void modeButtonTogglesAdministration()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SettingsForm;
        fixture.place(form);
        QCOMPARE(form->modeButton()->text(), QStringLiteral("Administration"));
        fixture.click(form->modeButton());
        QCOMPARE(stored(EAppSettings::ShowSettings).toBool(), false);
        QCOMPARE(form->modeButton()->text(), QStringLiteral("Standard"));
        fixture.click(form->modeButton());
        QCOMPARE(stored(EAppSettings::ShowSettings).toBool(), true);
        QCOMPARE(form->modeButton()->text(), QStringLiteral("Administration"));
    }

    // The demo home runs from a copy the person may spoil; "Reset demo" asks, and a "Yes" brings
    // the built-in demo back at the next start, as the question says: the running session keeps
    // its history, and the exports stay (the question says where).
    void resetDemoAsksThenReplacesTheCopyAtTheNextStart()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString copy = ECoreApp::demoCopyFolder();
        QDir(copy).removeRecursively();
        auto *fixture = new ScreenFixture;
        ECoreApp *app = ECoreApp::instance();
        app->chooseDemo();
        app->loadDemoConfiguration();
        QCOMPARE(app->workingFolder(), copy);
        const QString file = copy + "/light_config.xml";
        const QByteArray pristine = readAll(file);
        QVERIFY(!pristine.isEmpty());
        QVERIFY(writeFile(file));
        QVERIFY(QDir(copy).mkpath("Export") && QDir(copy).mkpath("Archive"));
        QVERIFY(writeFile(copy + "/Export/chart.csv"));
        QVERIFY(writeFile(copy + "/Archive/Out_01_01_26.csv"));

        auto *form = new SettingsForm;
        fixture->place(form);
        QVERIFY(form->resetDemoButton()->isVisible());
        QVERIFY(!form->resetDemoConfirmButton()->isVisible());
        fixture->click(form->resetDemoButton());
        QVERIFY(form->resetDemoConfirmButton()->isVisible());
        QVERIFY(form->demoText().contains(QStringLiteral("fresh copy at the next start")));
        const QString exports = QDir::toNativeSeparators(copy + "/Export");
        QVERIFY2(form->demoText().contains(exports), qPrintable(form->demoText()));
        fixture->click(form->resetDemoCancelButton());
        QVERIFY(!form->resetDemoConfirmButton()->isVisible());
        QCOMPARE(readAll(file), QByteArray("x"));

        fixture->click(form->resetDemoButton());
        fixture->click(form->resetDemoConfirmButton());
        QVERIFY(form->demoText().contains(QStringLiteral("afresh at the next start")));
        QVERIFY(form->demoText().contains(exports));
        // Nothing is gone yet: the history on screen and the exports are still there.
        QCOMPARE(readAll(file), QByteArray("x"));
        QVERIFY(QFile::exists(copy + "/Archive/Out_01_01_26.csv"));
        QVERIFY(QFile::exists(copy + "/Export/chart.csv"));
        // Shown again in this session, the page still says what will happen.
        form->hide();
        form->show();
        QVERIFY(form->demoText().contains(QStringLiteral("afresh at the next start")));
        delete form;
        // Nothing of the session goes into the copy at exit.
        delete fixture;
        QCOMPARE(readAll(file), QByteArray("x"));

        // The next start makes the copy afresh and keeps the exports.
        fixture = new ScreenFixture;
        app = ECoreApp::instance();
        app->chooseDemo();
        app->loadDemoConfiguration();
        QCOMPARE(readAll(file), pristine);
        QVERIFY(!QFile::exists(copy + "/Archive/Out_01_01_26.csv"));
        QCOMPARE(readAll(copy + "/Export/chart.csv"), QByteArray("x"));
        // Once: the start after that keeps the copy with its edits.
        QVERIFY(writeFile(file));
        delete fixture;
        fixture = new ScreenFixture;
        ECoreApp::instance()->chooseDemo();
        ECoreApp::instance()->loadDemoConfiguration();
        QCOMPARE(readAll(file), QByteArray("x"));
        delete fixture;
        QDir(copy).removeRecursively();
    }

    void administrationAsksForThePin_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QStringList>("keys"); // on the PIN panel; "type:NNN" types on the keyboard
        QTest::addColumn<bool>("administration");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no PIN set") << "" << QStringList{} << true << false;
        QTest::newRow("right PIN")
            << "4711" << QStringList{"4", "7", "1", "1", "ok"} << true << false;
        QTest::newRow("right PIN typed") << "4711" << QStringList{"type:4711"} << true << false;
        QTest::newRow("wrong PIN")
            << "4711" << QStringList{"4", "7", "1", "2", "ok"} << false << true;
        QTest::newRow("wrong then right")
            << "4711" << QStringList{"1", "ok", "4", "7", "1", "1", "ok"} << true << false;
        QTest::newRow("cancel") << "4711" << QStringList{"4", "cancel"} << false << false;
    }

    void administrationAsksForThePin()
    {
        QFETCH(QString, pin);
        QFETCH(QStringList, keys);
        QFETCH(bool, administration);
        QFETCH(bool, refused);
        ScreenFixture fixture;
        QString body = QStringLiteral(" <language value=\"en_US\"/>\n"
                                      " <show_settings value=\"false\"/>\n");
        if (!pin.isEmpty())
            body += QStringLiteral(" <admin_pin value=\"%1\"/>\n").arg(pin);
        QVERIFY(fixture.loadSettings(body));
        auto *form = new SettingsForm;
        fixture.place(form);
        fixture.click(form->modeButton());
        QPointer<AdminPinDialog> dialog = pinPanel(form);
        QCOMPARE(dialog != nullptr, !pin.isEmpty());
        for (const QString &key : keys) {
            QVERIFY(dialog);
            if (key.startsWith("type:")) {
                QTest::keyClicks(fixture.view()->viewport(), key.mid(5));
                QCOMPARE(dialog->shownText(), QString(key.size() - 5, QChar(0x2022)));
                QTest::keyClick(fixture.view()->viewport(), Qt::Key_Return);
            } else {
                QVERIFY2(dialog->key(key), qPrintable(key));
                fixture.click(dialog->key(key));
            }
            if (!dialog || !dialog->isVisible())
                break;
            // The PIN shows as dots, never as digits.
            QVERIFY(!dialog->shownText().contains(QRegularExpression("[0-9]")));
        }
        QCOMPARE(stored(EAppSettings::ShowSettings).toBool(), administration);
        QCOMPARE(form->modeButton()->text(),
                 administration ? QStringLiteral("Administration") : QStringLiteral("Standard"));
        if (refused) {
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->messageText(), QStringLiteral("Wrong PIN"));
            QCOMPARE(dialog->enteredText(), QString());
        }
        // Back to standard use locks again: the next switch asks once more.
        if (administration && !pin.isEmpty()) {
            fixture.click(form->modeButton());
            QCOMPARE(stored(EAppSettings::ShowSettings).toBool(), false);
            fixture.click(form->modeButton());
            QCOMPARE(stored(EAppSettings::ShowSettings).toBool(), false);
            QVERIFY(pinPanel(form));
        }
    }

    void nextBackground_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        QTest::newRow("after the last wraps") << "b.jpg"
                                              << "a.png";
        QTest::newRow("after the first") << "a.png"
                                         << "b.jpg";
        QTest::newRow("unknown name") << "gone.png"
                                      << "a.png";
        QTest::newRow("empty setting") << ""
                                       << "a.png";
    }

    void nextBackground()
    {
        QFETCH(QString, current);
        QFETCH(QString, next);
        QCOMPARE(SettingsForm::nextBackground({"a.png", "b.jpg"}, current), next);
        QVERIFY(SettingsForm::nextBackground({}, current).isEmpty());
    }

    void backgroundButtonCyclesTheFolder()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SettingsForm;
        fixture.place(form);
        QSignalSpy changed(form, &SettingsForm::ChangeFone);
        // No folder yet: nothing happens.
        form->ChangeFoneImage();
        QCOMPARE(changed.count(), 0);
        QVERIFY(stored(EAppSettings::FoneImage).toString().isEmpty());

        const QString fone = fixture.folder() + "/fone";
        QVERIFY(QDir().mkpath(fone));
        form->ChangeFoneImage();
        QCOMPARE(changed.count(), 0);
        QVERIFY(writeFile(fone + "/a.png"));
        QVERIFY(writeFile(fone + "/b.JPG"));
        QVERIFY(writeFile(fone + "/notes.txt"));
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            form->ChangeFoneImage();
            seen << stored(EAppSettings::FoneImage).toString();
        }
        QCOMPARE(changed.count(), 3);
        QCOMPARE(seen.at(2), seen.at(0));
        QVERIFY(seen.at(0) != seen.at(1));
        QCOMPARE(QSet<QString>(seen.begin(), seen.end()), (QSet<QString>{"a.png", "b.JPG"}));
    }

    // The background button shows the pictures to choose from; a tap on one takes it.
    void backgroundPickedFromThumbnails()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SettingsForm;
        fixture.place(form);
        QSignalSpy changed(form, &SettingsForm::ChangeFone);
        // No folder: no picker, nothing changes.
        fixture.click(form->backgroundButton());
        QVERIFY(!form->backgroundPicker() || !form->backgroundPicker()->isVisible());
        const QString fone = fixture.folder() + "/fone";
        QVERIFY(QDir().mkpath(fone));
        for (const char *name : {"a.png", "b.png", "c.png"}) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            QVERIFY(picture.save(fone + "/" + name));
        }
        QVERIFY(writeFile(fone + "/notes.txt"));
        fixture.click(form->backgroundButton());
        QVERIFY(form->backgroundPicker() && form->backgroundPicker()->isVisible());
        for (const char *name : {"a.png", "b.png", "c.png"}) {
            auto *thumb = qobject_cast<EIconWidget *>(form->backgroundThumbnail(name));
            QVERIFY2(thumb && thumb->isVisible(), name);
            QVERIFY(!thumb->image().isNull());
            QCOMPARE(thumb->text(), QString::fromLatin1(name));
        }
        QVERIFY(!form->backgroundThumbnail("notes.txt"));
        fixture.click(form->backgroundThumbnail("c.png"));
        QCOMPARE(stored(EAppSettings::FoneImage).toString(), QStringLiteral("c.png"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!form->backgroundPicker()->isVisible());
        // Opened again, the current picture is marked.
        fixture.click(form->backgroundButton());
        QVERIFY(form->backgroundThumbnail("c.png")->isChecked());
        QVERIFY(!form->backgroundThumbnail("a.png")->isChecked());
    }

    void languageRetranslatesEveryScreen_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("security");
        QTest::addColumn<QString>("settingsTitle");
        QTest::newRow("Russian") << 2 << "ru_RU" << QString::fromUtf8("Охрана")
                                 << QString::fromUtf8("Настройки программы");
        // This test runs under a locale without a table of its own: English, not the old text.
        QTest::newRow("system without a table") << 0 << "system"
                                                << "Security"
                                                << "Program settings";
        QTest::newRow("English") << 1 << "en_US"
                                 << "Security"
                                 << "Program settings";
    }

    void languageRetranslatesEveryScreen()
    {
        QFETCH(int, item);
        QFETCH(QString, setting);
        QFETCH(QString, security);
        QFETCH(QString, settingsTitle);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        // Start from the other language, so that every row has something to change.
        ECoreApp::instance()->locale()->load(item == 2 ? "en_US" : "ru_RU");
        auto *form = new SettingsForm;
        auto *secure = new SecureForm;
        auto *alert = new AlertForm;
        auto *connection = new ConnSettForm;
        auto *scenes = new SceneForm;
        fixture.place(form);
        QVERIFY(!showsText(secure, security));

        // Through the drop-down list, as a person chooses.
        EComboWidget *list = form->languageList();
        if (list->currentIndex() == item)
            list->setCurrentIndex((item + 1) % 3);
        fixture.click(list);
        QVERIFY(list->popup());
        const QPointF row = list->popup()->rowSceneRect(item).center();
        QTest::mouseClick(fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          fixture.view()->mapFromScene(row));
        QCOMPARE(stored(EAppSettings::Language).toString(), setting);
        const QString language = ECoreApp::instance()->locale()->currentLanguage();
        QCOMPARE(language, setting == "system" ? QStringLiteral("en_US") : setting);
        QVERIFY(showsText(form, settingsTitle));
        QVERIFY(showsText(secure, security));
        for (QGraphicsWidget *screen :
             std::initializer_list<QGraphicsWidget *>{alert, connection, scenes})
            QCOMPARE(dynamic_cast<AbstractLocalizable *>(screen)->appliedLanguage(), language);
        QVERIFY(showsText(alert, ECoreApp::instance()->locale()->text(61200)));
        QVERIFY(showsText(connection, ECoreApp::instance()->locale()->text(61040)));
        QVERIFY(showsText(scenes, ECoreApp::instance()->locale()->text(61151)));
        delete secure;
        delete alert;
        delete connection;
        delete scenes;
    }
};

int main(int argc, char **argv)
{
    // A system language the program has no table for.
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    QApplication app(argc, argv);
    TestSettingsForm test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsform.moc"
