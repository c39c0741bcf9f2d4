// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "baseroomv1.h"
#include "eappsettings.h"
#include "echeckboxwidget.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "enumericwidget.h"
#include "etextedit.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "roomsv1.h"
#include "sceneform.h"
#include "screentestsupport.h"

#include <QtTest>

namespace {
using Bytes = std::array<quint8, 10>;

GActivators activators(const Bytes &bytes)
{
    GActivators a;
    a.bytes = bytes;
    return a;
}

// Scene data as the link publishes it: eight definitions and ten texts.
ScenesStruct sceneData(const QList<Bytes> &definitions, const QStringList &texts)
{
    ScenesStruct s;
    for (int i = 0; i < 8; ++i)
        s.activators.append(activators(i < definitions.size() ? definitions.at(i) : Bytes{}));
    s.names = texts;
    while (s.names.size() < 10)
        s.names.append(QString());
    return s;
}

struct ScenePage
{
    // `lightCaptions` < 0 keeps the demo's lighting scene captions.
    explicit ScenePage(int lightCaptions = -1)
    {
        ok = fixture.loadDemo();
        if (lightCaptions >= 0) {
            QStringList captions;
            for (int i = 1; i <= lightCaptions; ++i)
                captions << QStringLiteral("L%1").arg(i);
            FormServices::rooms()->lightPage()->setScenes(captions);
        }
        form = new SceneForm;
        form->setLink(&link);
        fixture.place(form);
    }
    void publish(const ScenesStruct &data)
    {
        emit link.ReadyUpdateScenes(data);
        QCoreApplication::processEvents();
    }
    // Opens a list and taps one of its entries, as a person does.
    void choose(EComboWidget *list, int item)
    {
        fixture.click(list);
        QVERIFY(list->popup());
        const QPointF row = list->popup()->rowSceneRect(item).center();
        QTest::mouseClick(fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          fixture.view()->mapFromScene(row));
        QCOMPARE(list->currentIndex(), item);
    }
    void save()
    {
        link.clear();
        fixture.click(form->saveButton());
        QCoreApplication::processEvents();
    }
    Bytes savedDefinition(int call = 0) const
    {
        return link.calls.at(call).args.at(0).value<GActivators>().bytes;
    }

    ScreenFixture fixture;
    RecordingLink link;
    SceneForm *form = nullptr;
    bool ok = false;
};
} // namespace

class TestSceneForm : public QObject
{
    Q_OBJECT

private slots:
    void sceneListCoding_data()
    {
        QTest::addColumn<int>("captions");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("item");
        QTest::newRow("4: scene 2") << 4 << 2 << 2;
        QTest::newRow("4: all on") << 4 << 100 << 5;
        QTest::newRow("4: all off") << 4 << 101 << 6;
        QTest::newRow("4: none") << 4 << 0 << 0;
        QTest::newRow("4: unknown code") << 4 << 7 << -1;
        QTest::newRow("3: all on") << 3 << 100 << 4;
        QTest::newRow("3: all off") << 3 << 101 << 5;
        QTest::newRow("3: scene 4 has no item") << 3 << 4 << -1;
        QTest::newRow("5: all off") << 5 << 101 << 7;
        QTest::newRow("5: scene 4") << 5 << 4 << 4;
        QTest::newRow("no captions: all on") << 0 << 100 << 1;
    }

    void sceneListCoding()
    {
        QFETCH(int, captions);
        QFETCH(int, value);
        QFETCH(int, item);
        const int count = captions + 3;
        QCOMPARE(SceneForm::sceneItemForValue(value, count), item);
        // Back again; an unknown code stays what it was.
        QCOMPARE(SceneForm::sceneValueForItem(item, count, value), value);
    }

    void fifthCaptionHasNoCode() { QCOMPARE(SceneForm::sceneValueForItem(5, 8, 3), 255); }

    void showingStartsScenePolling()
    {
        ScenePage page;
        QVERIFY(page.ok);
        QTRY_VERIFY(page.link.names().contains("SetCurrentScenesRoom"));
        QCOMPARE(page.form->sceneSelector()->count(), 9); // "no" and the eight global scenes
        QCOMPARE(page.form->sceneSelector()->itemText(1), QStringLiteral("Evening"));
        EComboWidget *light = page.form->lightSelector();
        QCOMPARE(light->count(), 7);
        QCOMPARE(light->itemText(5), QStringLiteral("Enable all"));
        QCOMPARE(light->itemText(6), QStringLiteral("Disable all"));
        QVERIFY(page.form->engineeringSelector()->isVisible());
        QCOMPARE(page.form->engineeringSelector()->itemText(1), QStringLiteral("Flush pipes"));
        // The demo names four extra conditions; the other four boxes are hidden.
        QCOMPARE(page.form->advancedBox(0)->text(), QStringLiteral("Doorbell"));
        QVERIFY(page.form->advancedBox(3)->isVisible());
        QVERIFY(!page.form->advancedBox(4)->isVisible());
        QCOMPARE(page.form->advancedBox(7)->objectName(), QStringLiteral("bcbwParam8"));
        QVERIFY(page.form->switchSelector()->count() > 1);
        // No scene chosen: nothing to edit or save.
        QVERIFY(!page.form->saveButton()->isEnabled());
        QVERIFY(!page.form->lightSelector()->isEnabled());
    }

    void selectedSceneIsSavedInControllerTerms()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(
            sceneData({{}, {}, {101, 100, 2, 1, 9, 18, 30, 77, 0x05, 0x9F}}, {"a", "b", "Hello"}));
        page.choose(page.form->sceneSelector(), 3);
        SceneForm *form = page.form;
        QCOMPARE(form->lightSelector()->currentIndex(), 6);
        QCOMPARE(form->heatSelector()->currentIndex(), 5);
        QCOMPARE(form->engineeringSelector()->currentIndex(), 2);
        QCOMPARE(form->mediaSelector()->currentIndex(), 1);
        QCOMPARE(form->hourField()->value(), 18.0);
        QCOMPARE(form->minuteField()->value(), 30.0);
        QCOMPARE(form->switchSelector()->currentIndex(), 0); // switch 77 is not in the project
        QVERIFY(form->advancedBox(0)->isChecked());
        QVERIFY(!form->advancedBox(1)->isChecked());
        QVERIFY(form->advancedBox(2)->isChecked());
        QVERIFY(form->timerBox(0)->isChecked());
        QVERIFY(!form->timerBox(5)->isChecked());
        QVERIFY(form->timerBox(7)->isChecked());
        QCOMPARE(form->smsField()->text(), QStringLiteral("Hello"));

        page.fixture.click(form->hourField(), form->hourField()->plusRect().center());
        page.choose(form->lightSelector(), 5);
        page.save();
        QCOMPARE(page.link.names(), (QStringList{"SetActivators", "WriteSMS", "WriteGlobalScene"}));
        QCOMPARE(page.savedDefinition(), (Bytes{100, 100, 2, 1, 0, 19, 30, 0, 0x05, 0x9F}));
        QCOMPARE(page.link.calls.at(1).args, (QVariantList{"Hello", 2}));
        QCOMPARE(page.link.calls.at(2).args, QVariantList{2});
    }

    void switchItemCarriesItsNumber()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(sceneData({}, {}));
        page.choose(page.form->sceneSelector(), 1);
        EComboWidget *list = page.form->switchSelector();
        QVERIFY(list->count() > 1);
        page.choose(list, 2);
        page.save();
        const QString text = list->itemText(2);
        const int number = text.section('(', -1).section(')', 0, 0).toInt();
        QVERIFY(number > 0);
        QCOMPARE(int(page.savedDefinition()[SceneForm::SwitchByte]), number);
    }

    void saveWithoutSceneDoesNothing()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(sceneData({{1, 1, 1, 1, 0, 5, 5, 0, 0, 0}}, {"keep"}));
        page.link.clear();
        page.form->SaveCurrentGlobalScene();
        page.fixture.click(page.form->saveButton());
        QCoreApplication::processEvents();
        QVERIFY(page.link.calls.isEmpty());
        // Back to "no" after editing a scene: still nothing to save.
        page.choose(page.form->sceneSelector(), 1);
        page.choose(page.form->sceneSelector(), 0);
        page.form->SaveCurrentGlobalScene();
        QCoreApplication::processEvents();
        QVERIFY(page.link.calls.isEmpty());
    }

    void enableAndDisableAllWithOtherCaptionCounts_data()
    {
        QTest::addColumn<int>("captions");
        QTest::newRow("three captions") << 3;
        QTest::newRow("five captions") << 5;
    }

    void enableAndDisableAllWithOtherCaptionCounts()
    {
        QFETCH(int, captions);
        ScenePage page(captions);
        QVERIFY(page.ok);
        page.publish(sceneData({{101, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, {}));
        page.choose(page.form->sceneSelector(), 1);
        EComboWidget *light = page.form->lightSelector();
        QCOMPARE(light->count(), captions + 3);
        QCOMPARE(light->currentIndex(), captions + 2);
        QCOMPARE(light->currentText(), QStringLiteral("Disable all"));
        page.save();
        QCOMPARE(int(page.savedDefinition()[SceneForm::LightByte]), 101);
        page.choose(light, captions + 1);
        QCOMPARE(light->currentText(), QStringLiteral("Enable all"));
        page.save();
        QCOMPARE(int(page.savedDefinition()[SceneForm::LightByte]), 100);
        page.choose(light, 3);
        page.save();
        QCOMPARE(int(page.savedDefinition()[SceneForm::LightByte]), 3);
    }

    void quickSavesKeepTheirOwnDefinitions()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(sceneData({{1, 0, 0, 0, 0, 6, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 7, 0, 0, 0, 0}},
                               {"one", "two"}));
        page.choose(page.form->sceneSelector(), 1);
        page.link.clear();
        page.fixture.click(page.form->saveButton());
        page.choose(page.form->sceneSelector(), 2);
        page.fixture.click(page.form->saveButton());
        QCoreApplication::processEvents();
        // Every write is preceded by its own definition, in the order of the saves.
        QCOMPARE(page.link.names(), (QStringList{"SetActivators", "WriteSMS", "WriteGlobalScene",
                                                 "SetActivators", "WriteSMS", "WriteGlobalScene"}));
        QCOMPARE(int(page.savedDefinition(0)[SceneForm::HourByte]), 6);
        QCOMPARE(page.link.calls.at(2).args, QVariantList{0});
        QCOMPARE(int(page.savedDefinition(3)[SceneForm::HourByte]), 7);
        QCOMPARE(page.link.calls.at(5).args, QVariantList{1});
    }

    void emptyTextPlaceholderIsNeverWritten()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(sceneData({}, {"one"}));
        page.choose(page.form->sceneSelector(), 2);
        // The field is empty and shows the hint; the hint is not its text.
        QCOMPARE(page.form->smsField()->text(), QString());
        QCOMPARE(page.form->smsField()->placeholderText(), QString::fromUtf8("пусто"));
        page.save();
        QCOMPARE(page.link.names(), (QStringList{"SetActivators", "WriteGlobalScene"}));
        // A text the person types is written.
        page.fixture.click(page.form->smsField());
        page.form->smsField()->selectAll();
        QTest::keyClicks(page.fixture.view()->viewport(), "Alarm");
        QCOMPARE(page.form->smsField()->text(), QStringLiteral("Alarm"));
        page.save();
        QCOMPARE(page.link.names(), (QStringList{"SetActivators", "WriteSMS", "WriteGlobalScene"}));
        QCOMPARE(page.link.calls.at(1).args, (QVariantList{"Alarm", 1}));
        // The hint's word is a text like any other when the person types it.
        page.link.calls.clear();
        page.form->smsField()->setText(QString::fromUtf8("пусто"));
        page.save();
        QCOMPARE(page.link.names(), (QStringList{"SetActivators", "WriteSMS", "WriteGlobalScene"}));
        QCOMPARE(page.link.calls.at(1).args, (QVariantList{QString::fromUtf8("пусто"), 1}));
    }

    void otherSceneOverUnsavedChangesAsks_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<int>("shownScene");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("no changes, no question") << false << -1 << 2 << QStringList{};
        QTest::newRow("save") << true << int(SceneForm::PromptSave) << 2
                              << QStringList{"SetActivators", "WriteSMS", "WriteGlobalScene"};
        QTest::newRow("discard") << true << int(SceneForm::PromptDiscard) << 2 << QStringList{};
        QTest::newRow("cancel") << true << int(SceneForm::PromptCancel) << 1 << QStringList{};
    }

    // Picking another scene while the shown one has unsaved edits asks first: save them, drop
    // them, or stay.
    void otherSceneOverUnsavedChangesAsks()
    {
        QFETCH(bool, edit);
        QFETCH(int, answer);
        QFETCH(int, shownScene);
        QFETCH(QStringList, sent);
        ScenePage page;
        QVERIFY(page.ok);
        page.publish(sceneData({{1, 0, 0, 0, 0, 6, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 9, 0, 0, 0, 0}},
                               {"one", "two"}));
        page.choose(page.form->sceneSelector(), 1);
        QVERIFY(!page.form->hasUnsavedChanges());
        if (edit) {
            page.fixture.click(page.form->hourField(), page.form->hourField()->plusRect().center());
            QCOMPARE(page.form->hourField()->value(), 7.0);
            QVERIFY(page.form->hasUnsavedChanges());
        }
        page.link.clear();
        // Scene 2 tapped in the list (the list may go back to scene 1 until answered).
        EComboWidget *list = page.form->sceneSelector();
        page.fixture.click(list);
        QVERIFY(list->popup());
        QTest::mouseClick(page.fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          page.fixture.view()->mapFromScene(list->popup()->rowSceneRect(2).center()));
        QGraphicsWidget *prompt = page.form->unsavedPrompt();
        QCOMPARE(prompt->isVisible(), answer >= 0);
        if (answer >= 0) {
            // Nothing is lost while the question is open: the shown scene and its edit stay.
            QCOMPARE(page.form->sceneSelector()->currentIndex(), 1);
            QCOMPARE(page.form->hourField()->value(), 7.0);
            page.fixture.click(page.form->promptButton(SceneForm::PromptAnswer(answer)));
            QVERIFY(!prompt->isVisible());
        }
        QCoreApplication::processEvents();
        QCOMPARE(page.link.names(), sent);
        if (answer == int(SceneForm::PromptSave)) {
            QCOMPARE(int(page.savedDefinition(0)[SceneForm::HourByte]), 7);
            QCOMPARE(page.link.calls.at(2).args, QVariantList{0});
        }
        QCOMPARE(page.form->sceneSelector()->currentIndex(), shownScene);
        // Scene 2 shows its own hour; after Cancel scene 1 keeps the edit.
        QCOMPARE(page.form->hourField()->value(), shownScene == 2 ? 9.0 : 7.0);
        QCOMPARE(page.form->hasUnsavedChanges(), answer == int(SceneForm::PromptCancel));
    }

    void sceneChosenBeforeTheFirstReadIsShownWhenItArrives()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.choose(page.form->sceneSelector(), 1);
        QCOMPARE(page.form->hourField()->value(), 0.0);
        page.publish(sceneData({{0, 0, 0, 0, 0, 21, 15, 0, 0, 0}}, {"x"}));
        QCOMPARE(page.form->hourField()->value(), 21.0);
        QCOMPARE(page.form->smsField()->text(), QStringLiteral("x"));
        // Later reads leave the editors alone.
        page.publish(sceneData({{0, 0, 0, 0, 0, 3, 15, 0, 0, 0}}, {"x"}));
        QCOMPARE(page.form->hourField()->value(), 21.0);
    }

    void renameSelectedScene()
    {
        ScenePage page;
        QVERIFY(page.ok);
        page.form->RenameControlData(); // no scene: nothing happens
        QVERIFY(!page.form->renameField()->isVisible());
        page.choose(page.form->sceneSelector(), 2);
        page.fixture.click(page.form->renameButton());
        QVERIFY(page.form->renameField()->isVisible());
        QVERIFY(!page.form->sceneSelector()->isVisible());
        QCOMPARE(page.form->renameField()->text(), QStringLiteral("Night"));
        page.form->renameField()->selectAll();
        QTest::keyClicks(page.fixture.view()->viewport(), "Late");
        page.fixture.click(page.form->renameButton());
        QVERIFY(page.form->sceneSelector()->isVisible());
        QCOMPARE(page.form->sceneSelector()->itemText(2), QStringLiteral("Late"));
        QCOMPARE(page.form->sceneSelector()->currentIndex(), 2);
        page.form->hide();
        page.form->show();
        QCOMPARE(page.form->sceneSelector()->itemText(2), QStringLiteral("Late"));
        // The settings carry the new name, so it is written into config.xml at exit.
        QCOMPARE(ECoreApp::instance()->settings().globalScenes().at(1).text, QStringLiteral("Late"));
    }
};

QTEST_MAIN(TestSceneForm)
#include "tst_sceneform.moc"
