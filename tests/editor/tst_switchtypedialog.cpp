// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The switch type panel: what it shows for a switch's reported type and scene, and which code a
// person's choice becomes.
#include "ebasewidget.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "elabelwidget.h"
#include "elocale.h"
#include "switchtypedialog.h"

#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

class tst_SwitchTypeDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { ECoreApp::destroyInstance(); }
    void setupShowsTheReportedChoice_data();
    void setupShowsTheReportedChoice();
    void choiceBecomesSceneCode_data();
    void choiceBecomesSceneCode();
    void typeEnablesSceneList();
    void buttonsEmitByClick();
    void readableFullTextsAndHowToLink_data();
    void readableFullTextsAndHowToLink();
};

namespace {
const QStringList kScenes{QStringLiteral("Scene 1"), QStringLiteral("Scene 2"),
                          QStringLiteral("Scene 3"), QStringLiteral("Scene 4")};
}

void tst_SwitchTypeDialog::setupShowsTheReportedChoice_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("typeRow");
    QTest::addColumn<int>("sceneRow");
    QTest::addColumn<bool>("sceneEnabled");
    QTest::newRow("plain switch ignores its scene byte") << 0 << 3 << 0 << 0 << false;
    QTest::newRow("scene 2") << 1 << 2 << 1 << 2 << true;
    QTest::newRow("all on") << 1 << 100 << 1 << 5 << true;
    QTest::newRow("all off") << 1 << 101 << 1 << 6 << true;
    QTest::newRow("no scene") << 1 << 0 << 1 << 0 << true;
    // Controller bytes the list does not offer must not select outside it.
    QTest::newRow("scene byte beyond the captions") << 1 << 9 << 1 << 0 << true;
    QTest::newRow("unknown type shows as scene switch") << 7 << 4 << 1 << 4 << true;
}

void tst_SwitchTypeDialog::setupShowsTheReportedChoice()
{
    QFETCH(int, type);
    QFETCH(int, code);
    QFETCH(int, typeRow);
    QFETCH(int, sceneRow);
    QFETCH(bool, sceneEnabled);
    SwitchTypeDialog dialog;
    dialog.setup(nullptr, kScenes, type, code);
    QCOMPARE(dialog.sceneList()->count(), 7);
    QCOMPARE(dialog.sceneList()->itemText(1), QStringLiteral("Scene 1"));
    QCOMPARE(dialog.sceneList()->itemText(5), QStringLiteral("Enable all"));
    QCOMPARE(dialog.sceneList()->itemText(6), QStringLiteral("Disable all"));
    QCOMPARE(dialog.typeList()->currentIndex(), typeRow);
    QCOMPARE(dialog.sceneList()->currentIndex(), sceneRow);
    QCOMPARE(dialog.sceneList()->isEnabled(), sceneEnabled);
}

void tst_SwitchTypeDialog::choiceBecomesSceneCode_data()
{
    QTest::addColumn<QStringList>("scenes");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("code");
    QTest::newRow("no") << kScenes << 0 << 0;
    QTest::newRow("scene 2") << kScenes << 2 << 2;
    QTest::newRow("scene 4") << kScenes << 4 << 4;
    QTest::newRow("enable all") << kScenes << 5 << 100;
    QTest::newRow("disable all") << kScenes << 6 << 101;
    QTest::newRow("page without scenes, all on") << QStringList() << 1 << 100;
    QTest::newRow("page without scenes, all off") << QStringList() << 2 << 101;
}

void tst_SwitchTypeDialog::choiceBecomesSceneCode()
{
    QFETCH(QStringList, scenes);
    QFETCH(int, row);
    QFETCH(int, code);
    SwitchTypeDialog dialog;
    dialog.setup(nullptr, scenes, 1, 0);
    dialog.sceneList()->setCurrentIndex(row);
    QCOMPARE(dialog.sceneCode(), code);
    QCOMPARE(dialog.typeIndex(), 1);
    // Setting up again for another switch shows that switch's choice, not the last one.
    dialog.setup(nullptr, scenes, 0, 0);
    QCOMPARE(dialog.typeIndex(), 0);
    QCOMPARE(dialog.sceneCode(), 0);
}

void tst_SwitchTypeDialog::typeEnablesSceneList()
{
    SwitchTypeDialog dialog;
    dialog.setup(nullptr, kScenes, 0, 0);
    QVERIFY(!dialog.sceneList()->isEnabled());
    dialog.changeType(1);
    QVERIFY(dialog.sceneList()->isEnabled());
    dialog.changeType(0);
    QVERIFY(!dialog.sceneList()->isEnabled());
}

void tst_SwitchTypeDialog::buttonsEmitByClick()
{
    QGraphicsScene scene(0, 0, 800, 480);
    QGraphicsView view(&scene);
    view.setFrameShape(QFrame::NoFrame);
    view.resize(800, 480);
    auto *dialog = new SwitchTypeDialog;
    scene.addItem(dialog);
    dialog->setGeometry(0, 0, 800, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy saved(dialog, &SwitchTypeDialog::SaveClicked);
    QSignalSpy closed(dialog, &SwitchTypeDialog::CloseClicked);
    const auto clickOn = [&view](QGraphicsWidget *w) {
        const QPoint at = view.mapFromScene(w->mapToScene(w->rect().center()));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    clickOn(dialog->saveButton());
    QTRY_COMPARE(saved.count(), 1);
    QCOMPARE(closed.count(), 0);
    clickOn(dialog->cancelButton());
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(saved.count(), 1);
}

namespace {
// Relative luminance and contrast ratio as the web accessibility guidelines define them.
double luminance(const QColor &c)
{
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The veil over the lightest page there is (white): the worst case for light text.
QColor veiledWhite()
{
    const QColor veil = SwitchTypeDialog::veilColor();
    const double a = veil.alphaF();
    return QColor::fromRgbF(veil.redF() * a + (1 - a), veil.greenF() * a + (1 - a),
                            veil.blueF() * a + (1 - a));
}
} // namespace

void tst_SwitchTypeDialog::readableFullTextsAndHowToLink_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("type");
    QTest::newRow("English, lamp switch") << "en_US" << 0;
    QTest::newRow("English, scene switch") << "en_US" << 1;
    QTest::newRow("Russian, lamp switch") << "ru_RU" << 0;
    QTest::newRow("Russian, scene switch") << "ru_RU" << 1;
}

void tst_SwitchTypeDialog::readableFullTextsAndHowToLink()
{
    QFETCH(QString, language);
    QFETCH(int, type);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    QGraphicsScene scene(0, 0, 800, 480);
    auto *dialog = new SwitchTypeDialog;
    scene.addItem(dialog);
    dialog->resize(800, 480);
    dialog->retranslate();
    dialog->setup(nullptr, kScenes, type, 1);
    QCoreApplication::processEvents();
    const QColor back = veiledWhite();
    for (ELabelWidget *label : dialog->captions()) {
        const QString text = label->labelT();
        QVERIFY(!text.isEmpty());
        const double ratio = contrast(label->colortext(), back);
        QVERIFY2(ratio >= 4.5,
                 qPrintable(QStringLiteral("\"%1\": contrast %2").arg(text).arg(ratio)));
        if (!label->wordWrap()) {
            const qreal needed = QFontMetricsF(label->font()).horizontalAdvance(text.trimmed());
            QVERIFY2(needed <= label->size().width(),
                     qPrintable(QStringLiteral("\"%1\" cut: %2 > %3")
                                    .arg(text)
                                    .arg(needed)
                                    .arg(label->size().width())));
        }
    }
    // The line that tells how a switch gets its lamps names the toggle to use.
    const QString hint = dialog->captions().last()->labelT();
    QVERIFY2(hint.contains(ECoreApp::instance()->locale()->text(61144)), qPrintable(hint));
    for (EComboWidget *list : {dialog->typeList(), dialog->sceneList()}) {
        for (int i = 0; i < list->count(); ++i) {
            const qreal needed = QFontMetricsF(list->font()).horizontalAdvance(list->itemText(i));
            // The drop-down arrow takes the right end of the field.
            QVERIFY2(needed <= list->size().width() - 30, qPrintable(list->itemText(i)));
        }
    }
    QVERIFY(ECoreApp::instance()->locale()->load(QStringLiteral("en_US")));
}

QTEST_MAIN(tst_SwitchTypeDialog)
#include "tst_switchtypedialog.moc"
