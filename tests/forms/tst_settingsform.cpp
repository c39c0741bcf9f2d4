// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alertform.h"
#include "connsettform.h"
#include "eappsettings.h"
#include "echeckboxwidget.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "egroupboxwidget.h"
#include "elabelwidget.h"
#include "exttoolwidget.h"
#include "sceneform.h"
#include "screentestsupport.h"
#include "secureform.h"
#include "settingsform.h"

#include <QApplication>
#include <QStandardPaths>
#include <QtTest>

namespace {
const char *const kSettings = R"(
 <language value="en_US"/>
 <show_settings value="true"/>
 <writearchive value="true"/>
)";

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

    // The demo home runs from a copy the person may spoil; "Reset demo" asks, and only a "Yes"
    // brings the built-in demo back into the copy.
    void resetDemoAsksThenReplacesTheCopy()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString copy = ECoreApp::demoCopyFolder();
        QDir(copy).removeRecursively();
        ScreenFixture fixture;
        ECoreApp *app = ECoreApp::instance();
        app->chooseDemo();
        app->loadDemoConfiguration();
        QCOMPARE(app->workingFolder(), copy);
        const QString file = copy + "/light_config.xml";
        QFile original(file);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray pristine = original.readAll();
        original.close();
        QVERIFY(!pristine.isEmpty());
        QVERIFY(writeFile(file));

        auto *form = new SettingsForm;
        fixture.place(form);
        QVERIFY(form->resetDemoButton()->isVisible());
        QVERIFY(!form->resetDemoConfirmButton()->isVisible());
        fixture.click(form->resetDemoButton());
        QVERIFY(form->resetDemoConfirmButton()->isVisible());
        QVERIFY(form->demoText().contains(QStringLiteral("fresh copy")));
        fixture.click(form->resetDemoCancelButton());
        QVERIFY(!form->resetDemoConfirmButton()->isVisible());
        QFile spoilt(file);
        QVERIFY(spoilt.open(QIODevice::ReadOnly));
        QCOMPARE(spoilt.readAll(), QByteArray("x"));
        spoilt.close();

        fixture.click(form->resetDemoButton());
        fixture.click(form->resetDemoConfirmButton());
        QVERIFY(form->demoText().contains(QStringLiteral("afresh")));
        QFile again(file);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), pristine);
        again.close();
        delete form;
        // Nothing of the session goes over the fresh copy at exit.
        ECoreApp::destroyInstance();
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), pristine);
        QDir(copy).removeRecursively();
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
        fixture.click(form->backgroundButton());
        QCOMPARE(changed.count(), 0);
        QVERIFY(stored(EAppSettings::FoneImage).toString().isEmpty());

        const QString fone = fixture.folder() + "/fone";
        QVERIFY(QDir().mkpath(fone));
        fixture.click(form->backgroundButton());
        QCOMPARE(changed.count(), 0);
        QVERIFY(writeFile(fone + "/a.png"));
        QVERIFY(writeFile(fone + "/b.JPG"));
        QVERIFY(writeFile(fone + "/notes.txt"));
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            fixture.click(form->backgroundButton());
            seen << stored(EAppSettings::FoneImage).toString();
        }
        QCOMPARE(changed.count(), 3);
        QCOMPARE(seen.at(2), seen.at(0));
        QVERIFY(seen.at(0) != seen.at(1));
        QCOMPARE(QSet<QString>(seen.begin(), seen.end()), (QSet<QString>{"a.png", "b.JPG"}));
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
